// The records of one application, stored compactly.
//
// A large report set holds millions of records, but one application's
// records repeat the same few texts and periods: its name, a dozen country
// texts and currencies, one period per report. So each distinct combination
// of name, country text and currency is kept once, as a label, and each
// distinct pair of dates once, as a period; a record keeps its numbers and
// the two indexes, and its type and amounts are shared in turn with the
// records that repeat them (record_store.h): 16 bytes instead of the 136 of
// a SalesRecord with its three strings. The records sit in a deque, which
// grows in small fixed blocks without moving what it holds, so memory stays
// close to the records' own size and appending never copies.
// unpackRecord gives back the whole SalesRecord a packed record stands for.
//
// When nothing will list the records (no -v), the tables only need a few
// sums per application, so the reader keeps just those (RowSummary) and the
// list holds no records at all: memory stays as small as the number of
// applications and currencies, whatever the size of the reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/record_store.h"
#include "common/sales_record.h"

struct RecordLabel {
    std::string appName;
    std::string auxText;  // the country code
    std::string currency;
};

struct RecordPeriod {
    DateValue beginDate = 0;
    DateValue endDate = 0;
};

// Revenue of one application in one currency. Units are summed in 64 bits so
// that large report sets cannot wrap the total.
struct CurrencyCell {
    double amount = 0.0;
    std::int64_t units = 0;
};

// Hashes std::string keys and looks them up by string_view without a copy.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>{}(text);
    }
};

// What the tables show of an application's records: how many there are, the
// units of its sales and of its updates, and per currency the units sold and
// the revenue. The sums are added record by record in reading order, so they
// are the same doubles whether they are added while reading or later from
// the stored records.
struct RowSummary {
    std::size_t recordCount = 0;
    std::int64_t sales = 0;
    std::int64_t updates = 0;
    std::vector<std::string> currencies;  // of the sales, in order of first sale
    std::vector<CurrencyCell> cells;      // revenue per currency, in the same order
    // Per label of the list: 1 + the index of its currency's cell, or 0
    // before the label's first sale. Indexes, not pointers, so that a copied
    // summary stays valid.
    std::vector<std::uint32_t> cellOfLabel;
};

struct RecordList {
    RecordStore records;  // PackedRecord in, PackedRecord out, 16 bytes kept (record_store.h)
    std::vector<RecordLabel> labels;
    // Label key (see labelKey in record_list.cpp) to index in labels.
    std::unordered_map<std::string, std::uint32_t, TextHash, std::equal_to<>> labelIndex;
    std::string keyScratch;  // reused to build keys without allocating
    std::vector<RecordPeriod> periods;
    std::map<std::pair<DateValue, DateValue>, std::uint32_t> periodIndex;
    // Set when the records are only summed, not stored: records stays empty
    // and summary holds their figures. Otherwise summary is unused.
    bool summaryOnly = false;
    RowSummary summary;

    std::size_t size() const { return records.size(); }
    bool empty() const { return records.empty(); }
};

// The index of the label with these texts, adding it when it is new.
std::uint32_t internLabel(RecordList& list, std::string_view appName, std::string_view auxText,
                          std::string_view currency);

// The index of the period with these dates, adding it when it is new.
std::uint32_t internPeriod(RecordList& list, DateValue beginDate, DateValue endDate);

// Adds one record of the list (its label, type, units and amount; the
// period and auxAmount are not looked at) to the summary.
void addToSummary(RowSummary& summary, const RecordList& list, const PackedRecord& record);

// The two halves of adding a sale, for the reader, whose label slot keeps
// the cell: 1 + the index of the cell of the label's currency, made on the
// label's first sale; and the sale added to that cell. addToSummary is
// these, so that both ways give the same doubles.
std::uint32_t cellOfLabel(RowSummary& summary, const RecordList& list, std::uint32_t label);
inline void addSale(RowSummary& summary, std::uint32_t cell, std::int32_t units,
                    double unitAmount) {
    CurrencyCell& counted = summary.cells[cell - 1];
    counted.amount += units * unitAmount;
    counted.units += units;
    summary.sales += units;
}

// The whole record a packed record of the list stands for.
SalesRecord unpackRecord(const RecordList& list, const PackedRecord& record);
