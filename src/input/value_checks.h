// Values of a report that are not read as they look: counted per kind while
// the report is read, and named once per kind after it, with the line of the
// first occurrence and the count. The tables are never changed by them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/diagnostics.h"

struct RecordFields;

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

struct ValueChecks {
    CheckedKind kinds[kValueCheckCount];
};

// The bit of a kind in RecordFields::oddValues.
constexpr unsigned oddBit(ValueCheck kind) {
    return 1u << kind;
}

// Counts one occurrence of the kind on the line. Returns the kind's entry
// for the first occurrence, whose `what` the caller then writes, and null
// for any later one.
CheckedKind* noteValue(ValueChecks& checks, ValueCheck kind, std::int64_t line);

// Checks the values of one record line: the product type, the numbers whose
// conversion found them odd (RecordFields::oddValues) and both dates.
void checkRecordValues(ValueChecks& checks, const RecordFields& fields, std::int64_t line);

// Counts a record line with fewer fields than a record needs.
void noteShortLine(ValueChecks& checks, std::int64_t line, int fieldCount, int fieldsNeeded);

// Prints one warning per kind that occurred, in the order of ValueCheck.
void reportValueChecks(const ValueChecks& checks, const char* path, const Diagnostics& diagnostics);
