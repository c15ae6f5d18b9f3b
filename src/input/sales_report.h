// Reading sales report files into records grouped by application.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/diagnostics.h"
#include "common/piece_reader.h"
#include "common/types.h"

// Converts the tokens of one record line into a record. Returns false when
// the line holds no token at all. Fields whose tokens are missing keep their
// starting values (empty texts, zero numbers and dates).
bool parseSalesRecord(Piece& piece, SalesRecord& record);

// The last date text seen at one field and its value.
struct DateMemo {
    std::array<char, 16> text{};
    std::size_t length = 17;  // matches no text at first
    DateValue value = 0;
};

// A recently seen (name, country text, currency) triple with the list it
// belongs to, its label there and the period of its last record.
struct LabelSlot {
    std::string appName;
    std::string auxText;
    std::string currency;
    RecordList* list = nullptr;  // none: the slot is empty
    std::uint32_t label = 0;
    bool hasPeriod = false;
    std::uint32_t period = 0;
    DateValue beginDate = 0;
    DateValue endDate = 0;
};

// What reading remembers from line to line and from report to report. Lines
// repeat the same period and the same few triples, so most lines find their
// dates and their list and label here instead of converting the dates and
// looking up two maps. The slots are direct-mapped by a hash of the triple;
// a collision only costs a look-up. A memo serves one AppRecords (it points
// into it) during one run (the time zone must not change meanwhile).
struct ReadingMemo {
    static constexpr std::size_t kSlotCount = 2048;
    DateMemo beginDate;
    DateMemo endDate;
    std::vector<LabelSlot> slots = std::vector<LabelSlot>(kSlotCount);
    std::unordered_map<std::string, RecordList*, TextHash, std::equal_to<>> lists;
    std::unique_ptr<PieceReader> reader;  // its block is reused from report to report
    // Set when nothing will list the records: the lists this memo creates
    // then keep only their summary (see record_list.h), and the fields only
    // a listing shows are not read. Set it before the first report, and read
    // into an AppRecords whose lists this memo created.
    bool summaryOnly = false;
};

// Reads the named report (relative to the current directory) and appends each
// record inside the run's date window to appRecords under its application
// name. The first piece of the file is the header and is skipped. A file that
// cannot be opened adds nothing.
void readSalesReport(const char* fileName, AppRecords& appRecords);

// The same with a memo kept across the reports of a run. A gzip-compressed
// report is read as its decompressed content. A report that cannot be read
// in full is reported as a failure; the records read before it stay.
void readSalesReport(const char* path, AppRecords& appRecords, ReadingMemo& memo,
                     Diagnostics& diagnostics);
