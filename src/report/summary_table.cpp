#include "report/summary_table.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>

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

AppCounts tallyApp(const std::string& appName, RevenueGrid& revenueGrid, CurrencySet& currencySet,
                   const RecordList& records) {
    // A list that stores its records is summed here, the same way the reader
    // sums a list that does not.
    AppSummary counted;
    const AppSummary* summary = &records.summary;
    if (!records.summaryOnly) {
        for (const PackedRecord& record : records.records) {
            const RecordPeriod& period = records.periods[record.period];
            if (insideDateWindow(period.beginDate, period.endDate)) {
                addToSummary(counted, records, record);
            }
        }
        counted.recordCount = records.size();  // every stored record is counted
        summary = &counted;
    }
    for (std::size_t i = 0; i < summary->currencies.size(); ++i) {
        const std::string& currency = summary->currencies[i];
        CurrencyCell& cell = revenueGrid[appName][currency];
        cell.amount += summary->cells[i].amount;
        cell.units += summary->cells[i].units;
        currencySet.insert(currency);
    }
    return {summary->recordCount, summary->sales, summary->updates};
}

void printAppRow(int nameWidth, const std::string& appName, RevenueGrid& revenueGrid,
                 CurrencySet& currencySet, const RecordList& records) {
    AppCounts counts = tallyApp(appName, revenueGrid, currencySet, records);
    std::printf("%-*s    %6zu  %6" PRId64 "  %6" PRId64 "\n", nameWidth, appName.c_str(),
                counts.records, counts.sales, counts.updates);
}
