// The revenue table: per application and currency the units sold and the
// revenue, then a row of totals per currency and, when rates were loaded, the
// totals converted to USD and their grand total.
#pragma once

#include "common/types.h"

void printRevenueTable(int nameWidth, const RevenueGrid& revenueGrid,
                       const CurrencySet& currencySet, CurrencyTotals& currencyTotals,
                       UnitWidths& unitWidths, AmountWidths& amountWidths,
                       const RateTable& rateTable);
