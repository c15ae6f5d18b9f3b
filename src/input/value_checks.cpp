#include "input/value_checks.h"

#include <cstdio>

#include "input/date_value.h"
#include "input/lenient_number.h"
#include "input/product_type.h"

namespace {

std::string quoted(std::string_view text) {
    std::string result = "'";
    result.append(text);
    result += '\'';
    return result;
}

std::string formatted(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void checkDate(ValueChecks& checks, std::string_view text, std::int64_t line) {
    if (isBlankText(text) || isWellFormedDate(text)) {
        return;
    }
    if (CheckedKind* first = noteValue(checks, kBadDate, line)) {
        first->what = "date " + quoted(text) + " is not YYYYMMDD or MM/DD/YYYY";
    }
}

}  // namespace

CheckedKind* noteValue(ValueChecks& checks, ValueCheck kind, std::int64_t line) {
    CheckedKind& checked = checks.kinds[kind];
    if (checked.count++ != 0) {
        return nullptr;
    }
    checked.firstLine = line;
    return &checked;
}

void checkUnusualValues(ValueChecks& checks, const RecordFields& fields, std::int64_t line) {
    if (fields.typeCode != 1 && fields.typeCode != 7 && !isBlankText(fields.typeText) &&
        !isRecordOnlyType(fields.typeText)) {
        if (CheckedKind* first = noteValue(checks, kUnknownProductType, line)) {
            first->what = "product type " + quoted(fields.typeText) +
                          " is neither a sale nor an update, so it counts as a record only";
        }
    }
    if (fields.oddValues != 0) {
        if ((fields.oddValues & kOddUnitsBit) != 0) {
            if (CheckedKind* first = noteValue(checks, kOddUnits, line)) {
                first->what = "units " + quoted(fields.unitsText) + " read as " +
                              std::to_string(fields.units);
            }
        }
        if ((fields.oddValues & kOddPriceBit) != 0) {
            if (CheckedKind* first = noteValue(checks, kOddPrice, line)) {
                first->what = "price " + quoted(fields.amountText) + " read as " +
                              formatted("%g", fields.unitAmount);
            }
        }
        if ((fields.oddValues & kOddCustomerPriceBit) != 0) {
            if (CheckedKind* first = noteValue(checks, kOddCustomerPrice, line)) {
                first->what = "customer price " + quoted(fields.auxAmountText) + " read as " +
                              formatted("%g", lenientReal(fields.auxAmountText));
            }
        }
    }
    checkDate(checks, fields.beginText, line);
    checkDate(checks, fields.endText, line);
}

void noteShortLine(ValueChecks& checks, std::int64_t line, int fieldCount, int fieldsNeeded) {
    if (CheckedKind* first = noteValue(checks, kShortLine, line)) {
        first->what = "only " + std::to_string(fieldCount) + " of the " +
                      std::to_string(fieldsNeeded) + " fields that a record needs";
    }
}

void noteLongLine(ValueChecks& checks, std::int64_t line, int recordLines) {
    if (CheckedKind* first = noteValue(checks, kLongLine, line)) {
        first->what = "longer than 499 bytes, so it was read as " + std::to_string(recordLines) +
                      " record lines";
    }
}

void noteNulByte(ValueChecks& checks, std::int64_t line) {
    if (CheckedKind* first = noteValue(checks, kNulByte, line)) {
        first->what = "a NUL byte ends the line's text";
    }
}

void reportValueChecks(const ValueChecks& checks, const char* path,
                       const Diagnostics& diagnostics) {
    for (const CheckedKind& checked : checks.kinds) {
        if (checked.count == 0) {
            continue;
        }
        reportWarning(diagnostics, "'%s' line %s: %s (%s in this report)\n", path,
                      std::to_string(checked.firstLine).c_str(), checked.what.c_str(),
                      std::to_string(checked.count).c_str());
    }
}
