// One accepted line of a sales report, and the type codes the tables use.
#pragma once

#include <cstdint>
#include <string>

// Seconds since 1970-01-01 00:00:00 UTC. In the run settings 0 means "not set".
using DateValue = std::int64_t;

// The value of a date text that did not convert (or of a day before 1970).
constexpr DateValue kFailedDate = -1;

// One accepted line of a sales report.
struct SalesRecord {
    std::string appName;
    DateValue beginDate = 0;
    DateValue endDate = 0;
    std::int32_t typeCode = 0;  // 1 is a sale, 7 an update
    std::int32_t units = 0;
    double unitAmount = 0.0;  // amount per unit, in currency
    double auxAmount = 0.0;   // the customer price: shown only in the record listing
    std::string auxText;      // the country code: shown only in the record listing
    std::string currency;
};

// Record type codes the tables look at; every other code is only counted.
constexpr std::int32_t kSaleType = 1;
constexpr std::int32_t kUpdateType = 7;
