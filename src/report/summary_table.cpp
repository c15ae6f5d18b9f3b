#include "report/summary_table.h"

#include <cinttypes>

#include "report/display_width.h"

void printSummaryTable(OutputSink& out, int nameWidth, const ReportTally& tally) {
    writeText(out, "AppName");
    writeRepeated(out, nameWidth - 7, ' ');
    writeText(out, "   Records   Sales Updates\n");
    writeRepeated(out, nameWidth, '-');
    writeText(out, "--------------------------\n");
    for (const auto& [appName, figures] : tally.apps) {
        writeLeftAligned(out, appName, nameWidth);
        writeFormatted(out, "    %6zu  %6" PRId64 "  %6" PRId64 "\n", figures.records,
                       figures.sales, figures.updates);
    }
    writeText(out, "\n");
}
