#include "report/revenue_table.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <map>
#include <string>

#include "report/display_width.h"

namespace {

// The widths of one currency's two columns: units and revenue.
struct ColumnWidths {
    int units = 0;
    int amount = 0;
};

using CurrencyColumns = std::map<std::string, ColumnWidths>;

// A currency the row sold nothing in shows zero.
CurrencyCell cellOf(const RowFigures& figures, const std::string& currency) {
    auto found = figures.revenue.find(currency);
    return found == figures.revenue.end() ? CurrencyCell{} : found->second;
}

int formattedLength(std::int64_t units) {
    return std::snprintf(nullptr, 0, "%" PRId64, units);
}

int formattedLength(double amount) {
    return std::snprintf(nullptr, 0, "%.2f", amount);
}

// A row that sold nothing has no line in this table.
bool hasRow(const RowFigures& figures) {
    return !figures.revenue.empty();
}

// Every currency's two columns are as wide as their widest text.
CurrencyColumns measureColumns(const ReportTally& tally) {
    CurrencyColumns columns;
    for (const std::string& currency : tally.currencies) {
        ColumnWidths& widths = columns[currency];
        for (const auto& [key, figures] : tally.rows) {
            if (hasRow(figures)) {
                CurrencyCell cell = cellOf(figures, currency);
                widths.units = std::max(widths.units, formattedLength(cell.units));
                widths.amount = std::max(widths.amount, formattedLength(cell.amount));
            }
        }
    }
    return columns;
}

// Prints the header and returns the width the currency columns add.
int printHeader(OutputSink& out, int nameWidth, const std::string& heading,
                const CurrencyColumns& columns) {
    writeLeftAligned(out, heading, nameWidth);
    int extraWidth = 0;
    for (const auto& [currency, widths] : columns) {
        writeFormatted(out, " %*s %*s", widths.units, "U", widths.amount, currency.c_str());
        extraWidth += widths.units + widths.amount + 2;
    }
    writeText(out, "\n");
    writeRepeated(out, nameWidth + extraWidth, '-');
    writeText(out, "\n");
    return extraWidth;
}

void printRows(OutputSink& out, int nameWidth, const RowLabels& labels, const ReportTally& tally,
               const CurrencyColumns& columns) {
    auto label = labels.labels.begin();
    for (const auto& [key, figures] : tally.rows) {
        const std::string& shown = *label++;
        if (!hasRow(figures)) {
            continue;
        }
        writeLeftAligned(out, shown, nameWidth);
        for (const auto& [currency, widths] : columns) {
            CurrencyCell cell = cellOf(figures, currency);
            writeFormatted(out, " %*" PRId64 " %*.2f", widths.units, cell.units, widths.amount,
                           cell.amount);
        }
        writeText(out, "\n");
    }
}

// A row of one figure per currency, each spanning its currency's two columns.
void printTotalsRow(OutputSink& out, int nameWidth, const char* title,
                    const std::map<std::string, double>& totals, const CurrencyColumns& columns) {
    writeLeftAligned(out, title, nameWidth);
    for (const auto& [currency, total] : totals) {
        const ColumnWidths& widths = columns.at(currency);
        writeFormatted(out, " %*.2f", widths.units + widths.amount + 1, total);
    }
    writeText(out, "\n");
}

}  // namespace

void printRevenueTable(OutputSink& out, int nameWidth, const RowLabels& labels,
                       const ReportTally& tally) {
    CurrencyColumns columns = measureColumns(tally);
    int extraWidth = printHeader(out, nameWidth, labels.heading, columns);
    printRows(out, nameWidth, labels, tally, columns);
    writeRepeated(out, nameWidth + extraWidth, '-');
    writeText(out, "\n");
    printTotalsRow(out, nameWidth, "Totals", tally.totals, columns);
    if (tally.withHome) {
        const std::string title = "Totals(" + tally.homeCurrency + ")";
        printTotalsRow(out, nameWidth, title.c_str(), tally.totalsHome, columns);
        writeFormatted(out, "\nGrandTotal(%s): %.2f\n", tally.homeCurrency.c_str(),
                       tally.grandTotalHome);
    }
}
