#include "report/revenue_table.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string>

#include "common/output.h"

namespace {

// A currency the application sold nothing in counts as zero; looking it up
// does not create the cell.
CurrencyCell cellOf(const std::map<std::string, CurrencyCell>& cells, const std::string& currency) {
    auto found = cells.find(currency);
    return found == cells.end() ? CurrencyCell{} : found->second;
}

int formattedLength(std::int64_t units) {
    return std::snprintf(nullptr, 0, "%" PRId64, units);
}

int formattedLength(double amount) {
    return std::snprintf(nullptr, 0, "%.2f", amount);
}

// Every currency's two columns are as wide as their widest text.
void measureColumns(const RevenueGrid& revenueGrid, const CurrencySet& currencySet,
                    UnitWidths& unitWidths, AmountWidths& amountWidths) {
    for (const std::string& currency : currencySet) {
        unitWidths[currency] = 0;
        amountWidths[currency] = 0;
    }
    for (const auto& [appName, cells] : revenueGrid) {
        for (const std::string& currency : currencySet) {
            CurrencyCell cell = cellOf(cells, currency);
            unitWidths[currency] = std::max(unitWidths[currency], formattedLength(cell.units));
            amountWidths[currency] = std::max(amountWidths[currency], formattedLength(cell.amount));
        }
    }
}

// Prints the header and returns the width the currency columns add.
int printHeader(int nameWidth, const CurrencySet& currencySet, const UnitWidths& unitWidths,
                const AmountWidths& amountWidths) {
    std::printf("AppName");
    printRepeated(nameWidth - 7, ' ');
    int extraWidth = 0;
    for (const std::string& currency : currencySet) {
        int unitWidth = unitWidths.at(currency);
        int amountWidth = amountWidths.at(currency);
        std::printf(" %*s %*s", unitWidth, "U", amountWidth, currency.c_str());
        extraWidth += unitWidth + amountWidth + 2;
    }
    std::printf("\n");
    printRepeated(nameWidth + extraWidth, '-');
    std::printf("\n");
    return extraWidth;
}

void printRows(int nameWidth, const RevenueGrid& revenueGrid, const CurrencySet& currencySet,
               const UnitWidths& unitWidths, const AmountWidths& amountWidths) {
    for (const auto& [appName, cells] : revenueGrid) {
        std::printf("%-*s", nameWidth, appName.c_str());
        for (const std::string& currency : currencySet) {
            CurrencyCell cell = cellOf(cells, currency);
            std::printf(" %*" PRId64 " %*.2f", unitWidths.at(currency), cell.units,
                        amountWidths.at(currency), cell.amount);
        }
        std::printf("\n");
    }
}

// Width of a total: it spans its currency's two columns.
int totalWidth(const std::string& currency, const UnitWidths& unitWidths,
               const AmountWidths& amountWidths) {
    return unitWidths.at(currency) + amountWidths.at(currency) + 1;
}

void printTotals(int nameWidth, const CurrencyTotals& currencyTotals, const UnitWidths& unitWidths,
                 const AmountWidths& amountWidths) {
    std::printf("%-*s", nameWidth, "Totals");
    for (const auto& [currency, total] : currencyTotals) {
        std::printf(" %*.2f", totalWidth(currency, unitWidths, amountWidths), total);
    }
    std::printf("\n");
}

void printUsdRows(int nameWidth, const UsdTotals& usdTotals, const UnitWidths& unitWidths,
                  const AmountWidths& amountWidths) {
    std::printf("%-*s", nameWidth, "Totals(USD)");
    for (const auto& [currency, converted] : usdTotals.converted) {
        std::printf(" %*.2f", totalWidth(currency, unitWidths, amountWidths), converted);
    }
    std::printf("\n");
    std::printf("\nGrandTotal(USD): %.2f\n", usdTotals.grandTotal);
}

}  // namespace

void sumCurrencyTotals(const RevenueGrid& revenueGrid, const CurrencySet& currencySet,
                       CurrencyTotals& currencyTotals) {
    for (const std::string& currency : currencySet) {
        currencyTotals[currency] = 0.0;
    }
    for (const auto& [appName, cells] : revenueGrid) {
        for (const std::string& currency : currencySet) {
            currencyTotals[currency] += cellOf(cells, currency).amount;
        }
    }
}

// The USD figure of a USD total is the total itself, whatever the rate file
// says.
UsdTotals convertToUsd(const CurrencyTotals& currencyTotals, const RateTable& rateTable) {
    UsdTotals usdTotals;
    for (const auto& [currency, total] : currencyTotals) {
        double converted = 0.0;
        auto rate = rateTable.find(currency);
        if (rate != rateTable.end()) {
            converted = total * rate->second;
        }
        if (currency == "USD") {
            converted = total;
        }
        usdTotals.grandTotal += converted;
        usdTotals.converted[currency] = converted;
    }
    return usdTotals;
}

void printRevenueTable(int nameWidth, const RevenueGrid& revenueGrid,
                       const CurrencySet& currencySet, CurrencyTotals& currencyTotals,
                       UnitWidths& unitWidths, AmountWidths& amountWidths,
                       const RateTable& rateTable) {
    measureColumns(revenueGrid, currencySet, unitWidths, amountWidths);
    sumCurrencyTotals(revenueGrid, currencySet, currencyTotals);
    int extraWidth = printHeader(nameWidth, currencySet, unitWidths, amountWidths);
    printRows(nameWidth, revenueGrid, currencySet, unitWidths, amountWidths);
    printRepeated(nameWidth + extraWidth, '-');
    std::printf("\n");
    printTotals(nameWidth, currencyTotals, unitWidths, amountWidths);
    if (!rateTable.empty()) {
        printUsdRows(nameWidth, convertToUsd(currencyTotals, rateTable), unitWidths, amountWidths);
    }
}
