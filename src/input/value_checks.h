// Values of a report that are not read as they look: counted per kind while
// the report is read, and named once per kind after it, with the line of the
// first occurrence and the count. The tables are never changed by them.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/diagnostics.h"
#include "input/reading/byte_scan.h"
#include "input/record_fields.h"

// The kinds, in the order their warnings are printed.
enum ValueCheck {
    kUnknownProductType,
    kOddUnits,
    kOddPrice,
    kOddCustomerPrice,
    kBadDate,
    kShortLine,
    kLongLine,
    kNulByte,
    kValueCheckCount,
};

// One kind within one report.
struct CheckedKind {
    std::int64_t count = 0;
    std::int64_t firstLine = 0;
    std::string what;  // the first occurrence, as its warning names it
};

// One product type text that the type table does not know.
struct UnknownType {
    std::string text;
    std::int32_t typeCode = 0;  // what it counts as
    std::int64_t count = 0;
    std::int64_t firstLine = 0;
};

// The unknown product types are named one text at a time, the first few
// met; the others are only counted.
constexpr std::size_t kNamedUnknownTypes = 5;

struct ValueChecks {
    CheckedKind kinds[kValueCheckCount];  // kUnknownProductType: every text together
    std::vector<UnknownType> namedTypes;  // at most kNamedUnknownTypes, as first met
    std::set<std::string> otherTypes;     // the texts past those named
};

// Counts one occurrence of the kind on the line. Returns the kind's entry
// for the first occurrence, whose `what` the caller then writes, and null
// for any later one.
CheckedKind* noteValue(ValueChecks& checks, ValueCheck kind, std::int64_t line);

// Checks the values of one record line: the product type, the numbers whose
// conversion found them odd (RecordFields::oddValues) and both dates.
// datesUsual is usualDates of the line's date texts: a report's lines share
// one pair of texts, so the reader keeps it beside their conversion.
inline void checkRecordValues(ValueChecks& checks, const RecordFields& fields, std::int64_t line,
                              bool datesUsual);

// The same for a line that the usual case below does not cover.
void checkUnusualValues(ValueChecks& checks, const RecordFields& fields, std::int64_t line);

// Counts a record line with fewer fields than a record needs.
void noteShortLine(ValueChecks& checks, std::int64_t line, int fieldCount, int fieldsNeeded);

// Counts a line that the piece limit cut into several record lines.
void noteLongLine(ValueChecks& checks, std::int64_t line, int recordLines);

// Counts a line whose text a NUL byte ended.
void noteNulByte(ValueChecks& checks, std::int64_t line);

// Prints one warning per kind that occurred, in the order of ValueCheck;
// unknown product types get one per text named, then one for the others.
void reportValueChecks(const ValueChecks& checks, const char* path, const Diagnostics& diagnostics);

namespace value_checks_detail {

// True when every byte of the word is an ASCII digit.
inline bool allDigits(std::uint64_t word) {
    constexpr std::uint64_t kHighNibbles = 0xF0F0F0F0F0F0F0F0u;
    constexpr std::uint64_t kZeros = 0x3030303030303030u;
    return (word & kHighNibbles) == kZeros &&
           ((word + 0x0606060606060606u) & kHighNibbles) == kZeros;
}

// The usual forms, 'YYYYMMDD', 'MM/DD/YYYY' and 'YYYY-MM-DD', with a digit
// at every position: a date that passes the test -s and -e use.
inline bool usualDate(std::string_view text) {
    if (text.size() == 8) {
        return allDigits(byte_scan_detail::loadWord(text.data()));
    }
    // The slashes are bytes 2 and 5 of the first word, the dashes bytes 4
    // and 7.
    constexpr std::uint64_t kSlashBytes = 0x0000FF0000FF0000u;
    constexpr std::uint64_t kSlashes = 0x00002F00002F0000u;
    constexpr std::uint64_t kDashBytes = 0xFF0000FF00000000u;
    constexpr std::uint64_t kDashes = 0x2D00002D00000000u;
    constexpr std::uint64_t kZeros = 0x3030303030303030u;
    if (text.size() != 10) {
        return false;
    }
    std::uint64_t word = byte_scan_detail::loadWord(text.data());
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    // A report writes its dates in one form, so this choice is foreseen.
    std::uint64_t separators = (word & kSlashBytes) == kSlashes ? kSlashBytes : kDashBytes;
    bool formed = (word & kSlashBytes) == kSlashes || (word & kDashBytes) == kDashes;
    return formed && allDigits((word & ~separators) | (kZeros & separators)) && digit(text[8]) &&
           digit(text[9]);
}

}  // namespace value_checks_detail

// Whether both date texts are of a usual form, which no check warns about.
inline bool usualDates(std::string_view beginText, std::string_view endText) {
    return value_checks_detail::usualDate(beginText) && value_checks_detail::usualDate(endText);
}

inline void checkRecordValues(ValueChecks& checks, const RecordFields& fields, std::int64_t line,
                              bool datesUsual) {
    // Nearly every line: a sale or an update, numbers read whole, usual dates.
    if (fields.typeInTable && fields.oddValues == 0 && datesUsual) {
        return;
    }
    checkUnusualValues(checks, fields, line);
}
