#include "report/text_report.h"

#include <algorithm>

#include "report/display_width.h"
#include "report/record_listing.h"
#include "report/revenue_table.h"
#include "report/row_labels.h"
#include "report/summary_table.h"

namespace {

constexpr int kMinimumNameWidth = 11;

// Width of the name column in columns of the terminal: the labels' width,
// at least 11, and at least the home currency's totals title.
int measureNameColumn(const ReportTally& tally, const RowLabels& labels) {
    int nameWidth = std::max(kMinimumNameWidth, labels.width);
    if (tally.withHome) {
        nameWidth = std::max(nameWidth, static_cast<int>(displayWidth(tally.homeCurrency)) + 8);
    }
    return nameWidth;
}

}  // namespace

void printTextReport(OutputSink& out, const ReportTally& tally, bool listed) {
    const RowLabels labels = labelRows(tally);
    writeFormatted(out, "%s: %d\n\n", labels.countTitle, static_cast<int>(tally.rows.size()));
    if (listed) {
        for (const auto& [key, figures] : tally.rows) {
            printSalesAndUpdates(out, *figures.list);
        }
        writeText(out, "\n");
    }
    if (!tally.rows.empty()) {
        int nameWidth = measureNameColumn(tally, labels);
        printSummaryTable(out, nameWidth, labels, tally);
        printRevenueTable(out, nameWidth, labels, tally);
    }
}
