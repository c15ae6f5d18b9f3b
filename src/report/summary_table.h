// The application summary table: records, units sold and units of updates
// per application. Printing it also fills the revenue grid and the set of
// currencies that the revenue table is printed from.
#pragma once

#include <string>

#include "common/types.h"

void printSummaryTable(int nameWidth, const AppRecords& appRecords, RevenueGrid& revenueGrid,
                       CurrencySet& currencySet);

// Accumulates one application's records and prints its row.
void printAppRow(int nameWidth, const std::string& appName, RevenueGrid& revenueGrid,
                 CurrencySet& currencySet, const RecordList& records);
