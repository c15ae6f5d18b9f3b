#include "report/summary_table.h"

#include <cinttypes>

void printSummaryTable(OutputSink& out, int nameWidth, const ReportTally& tally) {
    writeText(out, "AppName");
    writeRepeated(out, nameWidth - 7, ' ');
    writeText(out, "   Records   Sales Updates\n");
    writeRepeated(out, nameWidth, '-');
    writeText(out, "--------------------------\n");
    for (const auto& [appName, figures] : tally.apps) {
        writeFormatted(out, "%-*s    %6zu  %6" PRId64 "  %6" PRId64 "\n", nameWidth,
                       appName.c_str(), figures.records, figures.sales, figures.updates);
    }
    writeText(out, "\n");
}
