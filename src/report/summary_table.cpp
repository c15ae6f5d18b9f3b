#include "report/summary_table.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "common/output.h"
#include "common/run_settings.h"

void printSummaryTable(int nameWidth, const AppRecords& appRecords, RevenueGrid& revenueGrid,
                       CurrencySet& currencySet) {
    std::printf("AppName");
    printRepeated(nameWidth - 7, ' ');
    std::printf("   Records   Sales Updates\n");
    printRepeated(nameWidth, '-');
    std::printf("--------------------------\n");
    for (const auto& [appName, records] : appRecords) {
        printAppRow(nameWidth, appName, revenueGrid, currencySet, records);
    }
    std::printf("\n");
}

void printAppRow(int nameWidth, const std::string& appName, RevenueGrid& revenueGrid,
                 CurrencySet& currencySet, const RecordList& records) {
    // Sums are 64-bit: a large report set must not wrap them.
    std::int64_t sales = 0;
    std::int64_t updates = 0;
    // A label fixes the currency, so its revenue cell is looked up once, on
    // its first sale, rather than once per record.
    std::vector<CurrencyCell*> cellOfLabel(records.labels.size(), nullptr);
    for (const PackedRecord& record : records.records) {
        const RecordPeriod& period = records.periods[record.period];
        if (!insideDateWindow(period.beginDate, period.endDate)) {
            continue;
        }
        if (record.typeCode == kSaleType) {
            CurrencyCell*& cell = cellOfLabel[record.label];
            if (cell == nullptr) {
                const std::string& currency = records.labels[record.label].currency;
                cell = &revenueGrid[appName][currency];
                currencySet.insert(currency);
            }
            cell->amount += record.units * record.unitAmount;
            cell->units += record.units;
            sales += record.units;
        } else if (record.typeCode == kUpdateType) {
            updates += record.units;
        }
    }
    std::printf("%-*s    %6zu  %6" PRId64 "  %6" PRId64 "\n", nameWidth, appName.c_str(),
                records.size(), sales, updates);
}
