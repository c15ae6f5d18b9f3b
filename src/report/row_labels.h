// How the tables name their rows: without -g an application's name under
// `AppName`; with -g each row's key texts, each padded to its key's width
// (the display width of the longest of its heading and its texts) and
// joined by one space, under the headings padded and joined the same way.
// The count line's title comes from here too, so no table joins anything.
#pragma once

#include <string>
#include <vector>

#include "report/tally.h"

struct RowLabels {
    const char* countTitle = "Apps count";  // "Groups count" when keyed otherwise
    std::string heading;
    std::vector<std::string> labels;  // one per row of the tally, in its order
    int width = 0;                    // of the heading and every label, in columns
};

RowLabels labelRows(const ReportTally& tally);
