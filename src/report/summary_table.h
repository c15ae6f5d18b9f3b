// The application summary table: records, units sold and units of updates
// per application.
#pragma once

#include "common/output.h"
#include "report/tally.h"

void printSummaryTable(OutputSink& out, int nameWidth, const ReportTally& tally);
