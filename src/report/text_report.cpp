#include "report/text_report.h"

#include <algorithm>

#include "report/display_width.h"
#include "report/record_listing.h"
#include "report/revenue_table.h"
#include "report/summary_table.h"

namespace {

constexpr int kMinimumNameWidth = 11;

// Width of the name column in columns of the terminal: the widest name, at
// least 11, and at least the home currency's totals title.
int measureNameColumn(const ReportTally& tally) {
    int nameWidth = kMinimumNameWidth;
    if (tally.withHome) {
        nameWidth = std::max(nameWidth, static_cast<int>(displayWidth(tally.homeCurrency)) + 8);
    }
    for (const auto& [appName, figures] : tally.apps) {
        nameWidth = std::max(nameWidth, static_cast<int>(displayWidth(appName)));
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
