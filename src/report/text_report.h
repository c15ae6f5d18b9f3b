// The report as text: the count line, with -v each application's listing,
// and, when an application was read, the summary and revenue tables.
#pragma once

#include "common/output.h"
#include "common/types.h"
#include "report/tally.h"

void printTextReport(OutputSink& out, const AppRecords& appRecords, const ReportTally& tally,
                     bool listed);
