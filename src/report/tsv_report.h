// The report as tab-separated text, for spreadsheets and scripts (-t): a
// header line, then one line per row of the summary table, in its order.
#pragma once

#include "common/output.h"
#include "report/tally.h"

// Columns: each key's text (without -g, the name), Records, Sales and Updates; per currency of the
// revenue table, its units and amount; with a home total, Total(<home>).
// Texts are printed as they are, integers in full, amounts as plain
// decimals. No totals line follows.
void printTsvReport(OutputSink& out, const ReportTally& tally);
