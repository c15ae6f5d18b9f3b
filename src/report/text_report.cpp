#include "report/text_report.h"

#include "report/record_listing.h"
#include "report/revenue_table.h"
#include "report/summary_table.h"

namespace {

constexpr int kMinimumNameWidth = 11;

// Width of the name column: the longest name, at least 11.
int measureNameColumn(const ReportTally& tally) {
    int nameWidth = kMinimumNameWidth;
    for (const auto& [appName, figures] : tally.apps) {
        if (static_cast<int>(appName.size()) > nameWidth) {
            nameWidth = static_cast<int>(appName.size());
        }
    }
    return nameWidth;
}

}  // namespace

void printTextReport(OutputSink& out, const AppRecords& appRecords, const ReportTally& tally,
                     bool listed) {
    writeFormatted(out, "Apps count: %d\n\n", static_cast<int>(appRecords.size()));
    if (listed) {
        for (const auto& [appName, records] : appRecords) {
            printSalesAndUpdates(out, records);
        }
        writeText(out, "\n");
    }
    if (!appRecords.empty()) {
        int nameWidth = measureNameColumn(tally);
        printSummaryTable(out, nameWidth, tally);
        printRevenueTable(out, nameWidth, tally);
    }
}
