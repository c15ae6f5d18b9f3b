// Every figure the report shows, computed once from the records and the
// rates before anything is printed. The tables, the JSON document and the
// missing-rate warning all read the tally; none of them adds anything up,
// so all of them show the very same sums.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "common/types.h"

// One application's row: its counts and, per currency it sold in, the
// units sold and the revenue.
struct AppFigures {
    std::size_t records = 0;   // of any type
    std::int64_t sales = 0;    // units of the sales
    std::int64_t updates = 0;  // units of the updates
    std::map<std::string, CurrencyCell> revenue;
};

struct ReportTally {
    std::map<std::string, AppFigures> apps;  // every application read, by name
    CurrencySet currencies;                  // every currency some application sold in
    CurrencyTotals totals;                   // per currency, over the applications
    // With rates loaded and an application read: each total in USD, their
    // sum, and the currencies whose total is left out for want of a rate.
    bool withUsd = false;
    std::map<std::string, double> totalsUsd;
    double grandTotalUsd = 0.0;
    std::vector<std::string> unconverted;
};

ReportTally tallyReport(const AppRecords& appRecords, const RateTable& rateTable);
