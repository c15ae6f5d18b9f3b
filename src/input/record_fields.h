// The fields of one report line, converted but for the dates: what both
// ways of reading a line (by token position, by column name) hand on.
#pragma once

#include <cstdint>
#include <string_view>

#include "input/lenient_number.h"
#include "input/product_type.h"

// The bits of RecordFields::oddValues: a number whose text its conversion
// did not read whole.
constexpr unsigned kOddUnitsBit = 1;
constexpr unsigned kOddPriceBit = 2;
constexpr unsigned kOddCustomerPriceBit = 4;

// The texts still point into the line, or, for a quoted field whose '""'
// became '"', into the reader's scratch (see quoted_fields.h). Nothing but
// views and numbers: so the fields of a line can stay in registers.
struct RecordFields {
    std::string_view appName;
    std::string_view auxText;  // the country code: taken only when needed (FieldsNeeded)
    std::string_view currency;
    std::string_view beginText;
    std::string_view endText;
    // The texts of the converted fields, kept to name one that is not read
    // as it looks (see value_checks.h).
    std::string_view typeText;
    std::string_view unitsText;
    std::string_view amountText;
    std::string_view auxAmountText;
    std::int32_t typeCode = 0;
    std::int32_t units = 0;
    double unitAmount = 0.0;
    double auxAmount = 0.0;    // the customer price: shown by the listing only
    unsigned oddValues = 0;    // the bits above
    bool typeInTable = false;  // the type text is a known sale or update
};

// What a line's fields are read for: a listing (the customer price is
// then converted, not only checked), and the country code, which only a
// listing and rows keyed by country need.
struct FieldsNeeded {
    bool listed = false;
    bool country = false;
};

// Converts the texts the reader has set: the type, the units, the price
// and, when the record will be listed, the customer price, which is
// otherwise only checked. Both ways of reading a line end here.
inline void convertFieldTexts(RecordFields& fields, bool listed) {
    bool unitsAsTheyLook = true;
    bool amountAsItLooks = true;
    bool auxAmountAsItLooks = true;
    fields.typeCode = productTypeCode(fields.typeText, fields.typeInTable);
    fields.units = lenientInteger(fields.unitsText, unitsAsTheyLook);
    fields.unitAmount = lenientReal(fields.amountText, amountAsItLooks);
    if (listed) {
        fields.auxAmount = lenientReal(fields.auxAmountText, auxAmountAsItLooks);
    } else {
        auxAmountAsItLooks = realReadsAsItLooks(fields.auxAmountText);
    }
    fields.oddValues = (unitsAsTheyLook ? 0 : kOddUnitsBit) | (amountAsItLooks ? 0 : kOddPriceBit) |
                       (auxAmountAsItLooks ? 0 : kOddCustomerPriceBit);
}
