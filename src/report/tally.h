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

#include "common/grouping.h"
#include "common/types.h"

// One row (without -g, one application): its counts and, per currency it
// sold in, the units sold and the revenue.
struct RowFigures {
    std::size_t records = 0;   // of any type
    std::int64_t sales = 0;    // units of the sales
    std::int64_t updates = 0;  // units of the updates
    std::map<std::string, CurrencyCell> revenue;
    // With a home total: the row's cells converted into the home currency
    // and added from 0 in currency order.
    double totalHome = 0.0;
    const RecordList* list = nullptr;  // the row's records, for the listings
};

// The rows point into the records they were tallied from, which outlive it.
struct ReportTally {
    Grouping grouping = appGrouping();  // what the rows are keyed by
    std::map<RowKey, RowFigures> rows;  // every row read, in key order
    CurrencySet currencies;             // every currency some row sold in
    CurrencyTotals totals;              // per currency, over the rows
    // With rates loaded and an application read: each total converted into
    // the home currency, their sum, and the currencies whose total is left
    // out for want of a rate.
    std::string homeCurrency = "USD";
    bool withHome = false;
    std::map<std::string, double> totalsHome;
    double grandTotalHome = 0.0;
    std::vector<std::string> unconverted;
};

// A currency's factor into USD: 1 for USD, whatever the rate file says,
// else its entry. False when it has none.
bool factorIntoUsd(const RateTable& rateTable, const std::string& currency, double& factor);

// An amount in a currency converted into the home currency, whose factor is
// homeFactor: amount * factor / homeFactor, computed in that order, the
// home currency's own amount taken as it is. False, and 0, for a currency
// without a factor.
bool convertAmount(const RateTable& rateTable, const std::string& currency, double amount,
                   const std::string& homeCurrency, double homeFactor, double& converted);

// The tally of the records, whose rows are keyed by grouping, converted
// into homeCurrency (which must have a factor) when rates are loaded.
ReportTally tallyReport(const AppRecords& appRecords, const RateTable& rateTable,
                        const std::string& homeCurrency = "USD",
                        const Grouping& grouping = appGrouping());
