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

// Counts a type text the table does not know, under its own text while
// there is room to name it.
void noteUnknownType(ValueChecks& checks, const RecordFields& fields, std::int64_t line) {
    noteValue(checks, kUnknownProductType, line);
    for (UnknownType& known : checks.namedTypes) {
        if (known.text == fields.typeText) {
            ++known.count;
            return;
        }
    }
    if (checks.namedTypes.size() < kNamedUnknownTypes) {
        checks.namedTypes.push_back({std::string(fields.typeText), fields.typeCode, 1, line});
        return;
    }
    checks.otherTypes.emplace(fields.typeText);
}

// What an unknown type counts as: by its number, a sale or an update when
// that reads 1 or 7 (as '1X' does), else a record only.
std::string unknownTypeText(const UnknownType& type) {
    std::string what = "product type " + quoted(type.text);
    if (type.typeCode == 1 || type.typeCode == 7) {
        return what + " is not a known type, but reads as " + std::to_string(type.typeCode) +
               ", so it counts as " + (type.typeCode == 1 ? "a sale" : "an update");
    }
    return what + " is neither a sale nor an update, so it counts as a record only";
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
    if (!fields.typeInTable && !isBlankText(fields.typeText) &&
        !isRecordOnlyType(fields.typeText)) {
        noteUnknownType(checks, fields, line);
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
    for (const UnknownType& type : checks.namedTypes) {
        reportWarning(diagnostics, "'%s' line %s: %s (%s in this report)\n", path,
                      std::to_string(type.firstLine).c_str(), unknownTypeText(type).c_str(),
                      std::to_string(type.count).c_str());
    }
    if (!checks.otherTypes.empty()) {
        std::int64_t others = checks.kinds[kUnknownProductType].count;
        for (const UnknownType& type : checks.namedTypes) {
            others -= type.count;
        }
        reportWarning(
            diagnostics, "'%s': and %s more kinds of unknown product type (%s in this report)\n",
            path, std::to_string(checks.otherTypes.size()).c_str(), std::to_string(others).c_str());
    }
    for (const CheckedKind& checked : checks.kinds) {
        if (checked.count == 0 || &checked == &checks.kinds[kUnknownProductType]) {
            continue;
        }
        reportWarning(diagnostics, "'%s' line %s: %s (%s in this report)\n", path,
                      std::to_string(checked.firstLine).c_str(), checked.what.c_str(),
                      std::to_string(checked.count).c_str());
    }
}
