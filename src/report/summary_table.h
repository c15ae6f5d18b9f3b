// The application summary table: records, units sold and units of updates
// per application. Printing it also fills the revenue grid and the set of
// currencies that the revenue table is printed from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/types.h"

// One application's figures in the summary table.
struct AppCounts {
    std::size_t records = 0;   // of any type
    std::int64_t sales = 0;    // units of the sales
    std::int64_t updates = 0;  // units of the updates
};

void printSummaryTable(int nameWidth, const AppRecords& appRecords, RevenueGrid& revenueGrid,
                       CurrencySet& currencySet);

// Adds one application's sales to the revenue grid and the currency set and
// returns its figures. Every output of the report goes through it, so all of
// them show the same sums.
AppCounts tallyApp(const std::string& appName, RevenueGrid& revenueGrid, CurrencySet& currencySet,
                   const RecordList& records);

// Accumulates one application's records and prints its row.
void printAppRow(int nameWidth, const std::string& appName, RevenueGrid& revenueGrid,
                 CurrencySet& currencySet, const RecordList& records);
