// Shared value types of a run: the records read from reports and the
// ordered containers the tables are built from.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

// Seconds since 1970-01-01 00:00:00 UTC. In the run settings 0 means "not set".
using DateValue = std::int64_t;

// One accepted line of a sales report.
struct SalesRecord {
    std::string appName;
    DateValue beginDate = 0;
    DateValue endDate = 0;
    std::int32_t typeCode = 0;  // 1 is a sale, 7 an update
    std::int32_t units = 0;
    double unitAmount = 0.0;  // amount per unit, in currency
    double auxAmount = 0.0;   // shown only in the record listing
    std::string auxText;      // shown only in the record listing
    std::string currency;
};

// Record type codes the tables look at; every other code is only counted.
constexpr std::int32_t kSaleType = 1;
constexpr std::int32_t kUpdateType = 7;

// All maps and sets order their keys as byte strings (std::string compares
// bytes as unsigned characters), so 'Zeta' sorts before 'alpha'.
using AppRecords = std::map<std::string, std::vector<SalesRecord>>;
using RateTable = std::map<std::string, double>;

// Revenue of one application in one currency. Units are summed in 64 bits so
// that large report sets cannot wrap the total.
struct CurrencyCell {
    double amount = 0.0;
    std::int64_t units = 0;
};

using RevenueGrid = std::map<std::string, std::map<std::string, CurrencyCell>>;
using CurrencySet = std::set<std::string>;
using CurrencyTotals = std::map<std::string, double>;
using UnitWidths = std::map<std::string, std::int32_t>;
using AmountWidths = std::map<std::string, std::int32_t>;
