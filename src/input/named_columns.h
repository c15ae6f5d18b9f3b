// Reading a report by its column names: which field of a line holds what,
// found from the header, and a line's fields taken by those columns.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "input/reading/line_reader.h"
#include "input/record_fields.h"

// The columns a record is built from. The first seven are required for a
// report to be read by name; the last two are read when the header has them.
enum NamedColumn {
    kTitleColumn,
    kTypeColumn,
    kUnitsColumn,
    kProceedsColumn,
    kBeginDateColumn,
    kEndDateColumn,
    kCurrencyColumn,
    kRequiredColumnCount,
    kCountryColumn = kRequiredColumnCount,
    kCustomerPriceColumn,
    kNamedColumnCount,
};

// How a report is read, chosen from its header.
struct ReportLayout {
    bool byName = false;  // else by token position
    // By name: the field index of each column, or -1 when the header lacks it.
    int fieldOf[kNamedColumnCount] = {};
    // By name: the columns to take from a line, in the order of their
    // fields: the required ones and the customer price (whose text is
    // checked all the same even when it is not listed), and with the
    // country code every one the header has.
    struct Pick {
        int field = 0;
        NamedColumn column = kTitleColumn;
    };
    Pick summedPicks[kNamedColumnCount] = {};
    int summedPickCount = 0;
    Pick allPicks[kNamedColumnCount] = {};
    int allPickCount = 0;
    // By name: the fields a line needs to hold every required column.
    int fieldsNeeded = 0;
    // When the header names a column that tells of today's layout but lacks
    // another required one (its layout changed): the first required column
    // it lacks, and such a report is not read. Else null.
    const char* missingColumn = nullptr;
};

// Why a report with this header text is no tab-separated text report, as a
// message names it, or null when it may be one: a file that begins with the
// zip signature (a workbook, or any zip archive), or a header without a TAB
// that holds a comma or a semicolon (a spreadsheet's comma-separated export,
// or its semicolon-separated one where the comma is the decimal point).
const char* notTabSeparated(std::string_view header);

// Reads the header's text (its first line, without the line end): fields
// split at every TAB, spaces trimmed at both ends, names compared without
// regard to ASCII case, the first of two equal names counting.
ReportLayout chooseLayout(std::string_view header);

// What a line read by name turned out to be.
enum class NamedLine {
    kNoRecord,  // every field is empty: such a line is skipped
    kRecord,
    kShortRecord,  // a record whose line lacks a required column's field
};

// Splits a line read by name into fields and takes the layout's columns
// into fields, unquoted (into scratch, when shortened) and converted. An
// empty field, or one the line lacks, leaves its value empty or 0. The
// values not needed are left empty or 0. tabAt is scratch for the
// positions of the line's TABs, grown when too short.
NamedLine takeNamedFields(const WholeLine& line, const ReportLayout& layout, FieldsNeeded needed,
                          RecordFields& fields, std::string& scratch,
                          std::vector<std::uint32_t>& tabAt);

// The number of fields of a line: its TABs and one.
int countFields(const WholeLine& line);
