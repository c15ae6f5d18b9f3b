// The fields of one report line, converted but for the dates: what both
// ways of reading a line (by token position, by column name) hand on.
#pragma once

#include <cstdint>
#include <string_view>

// The texts still point into the line.
struct RecordFields {
    std::string_view appName;
    std::string_view auxText;  // the country code: shown by the listing only
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
    double auxAmount = 0.0;  // the customer price: shown by the listing only
    // A bit per number whose text its conversion did not read whole
    // (oddBit of kOddUnits, kOddPrice, kOddCustomerPrice).
    unsigned oddValues = 0;
};
