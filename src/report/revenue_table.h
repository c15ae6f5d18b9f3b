// The revenue table: per application and currency the units sold and the
// revenue, then a row of totals per currency and, when rates were loaded, the
// totals converted to USD and their grand total.
#pragma once

#include <map>
#include <string>

#include "common/types.h"

// The totals row converted to USD: each currency's figure and their sum.
struct UsdTotals {
    std::map<std::string, double> converted;
    double grandTotal = 0.0;
};

// Sets each currency's total to the sum of the applications' revenue in it,
// added in the table's order (an application without a cell adds 0).
void sumCurrencyTotals(const RevenueGrid& revenueGrid, const CurrencySet& currencySet,
                       CurrencyTotals& currencyTotals);

// Converts each total to USD with its rate; a USD total stays as it is and a
// currency without a rate converts to 0.
UsdTotals convertToUsd(const CurrencyTotals& currencyTotals, const RateTable& rateTable);

void printRevenueTable(int nameWidth, const RevenueGrid& revenueGrid,
                       const CurrencySet& currencySet, CurrencyTotals& currencyTotals,
                       UnitWidths& unitWidths, AmountWidths& amountWidths,
                       const RateTable& rateTable);
