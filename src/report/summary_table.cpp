#include "report/summary_table.h"

#include <cinttypes>

#include "report/display_width.h"

void printSummaryTable(OutputSink& out, int nameWidth, const RowLabels& labels,
                       const ReportTally& tally) {
    writeLeftAligned(out, labels.heading, nameWidth);
    writeText(out, "   Records   Sales Updates\n");
    writeRepeated(out, nameWidth, '-');
    writeText(out, "--------------------------\n");
    auto label = labels.labels.begin();
    for (const auto& [key, figures] : tally.rows) {
        writeLeftAligned(out, *label++, nameWidth);
        writeFormatted(out, "    %6zu  %6" PRId64 "  %6" PRId64 "\n", figures.records,
                       figures.sales, figures.updates);
    }
    writeText(out, "\n");
}
