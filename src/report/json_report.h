// The report as one JSON document, for programs rather than people: the
// files taken, every row (without -g, every application) with its summary
// figures and its revenue cells, the currencies, the totals and, when rates
// were loaded, the totals in the home currency. Its figures are the very sums the tables print (the
// same doubles, before rounding).
#pragma once

#include <string>
#include <vector>

#include "common/output.h"
#include "common/types.h"
#include "report/tally.h"

// Writes the document and one LF. With withListing, each row also lists
// its sales and then its updates.
void printJsonReport(OutputSink& sink, const std::vector<std::string>& files,
                     const ReportTally& tally, bool withListing);
