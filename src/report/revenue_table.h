// The revenue table: per application and currency the units sold and the
// revenue, then a row of totals per currency and, when rates were loaded, the
// totals converted to USD and their grand total.
#pragma once

#include "common/output.h"
#include "report/tally.h"

void printRevenueTable(OutputSink& out, int nameWidth, const ReportTally& tally);
