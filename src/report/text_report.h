// The report as text: the count line, with -v each row's listing, and,
// when a row was read, the summary and revenue tables.
#pragma once

#include "common/output.h"
#include "common/types.h"
#include "report/tally.h"

void printTextReport(OutputSink& out, const ReportTally& tally, bool listed);
