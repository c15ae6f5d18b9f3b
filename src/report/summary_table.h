// The summary table: records, units sold and units of updates per row
// (without -g, per application).
#pragma once

#include "common/output.h"
#include "report/row_labels.h"
#include "report/tally.h"

void printSummaryTable(OutputSink& out, int nameWidth, const RowLabels& labels,
                       const ReportTally& tally);
