// The settings of one run, filled from the command line before anything is
// read and only read afterwards.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/grouping.h"
#include "common/types.h"

struct RunSettings {
    std::int32_t verbosity = 0;  // number of -v options
    bool jsonOutput = false;     // -j: the report as one JSON document
    bool tableOutput = false;    // -t: the report as tab-separated text
    bool strict = false;         // --strict: a run that warned ends with status 1
    std::optional<std::string> ratePath;
    std::optional<std::string> homeCurrency;  // -u: the totals converted into it
    Grouping grouping = appGrouping();        // -g: what the rows are keyed by
    std::optional<std::string> filePattern;
    DateValue startDate = 0;  // 0: no lower bound on a record's begin date
    DateValue endLimit = 0;   // 0: no upper bound on a record's end date
};

extern RunSettings runSettings;
