// The revenue table: per row and currency the units sold and the revenue,
// then a row of totals per currency and, when rates were loaded, the totals
// converted into the home currency and their grand total.
#pragma once

#include "common/output.h"
#include "report/row_labels.h"
#include "report/tally.h"

void printRevenueTable(OutputSink& out, int nameWidth, const RowLabels& labels,
                       const ReportTally& tally);
