#include "report/tally.h"

namespace {

// A list that stores its records is summed here, record by record in
// reading order, as the reader sums a list that keeps only its sums: both
// give the same doubles.
AppFigures tallyApp(const RecordList& records) {
    AppSummary counted;
    const AppSummary* summary = &records.summary;
    if (!records.summaryOnly) {
        for (const PackedRecord& record : records.records) {
            addToSummary(counted, records, record);
        }
        summary = &counted;
    }
    AppFigures figures{summary->recordCount, summary->sales, summary->updates, {}};
    for (std::size_t i = 0; i < summary->currencies.size(); ++i) {
        figures.revenue[summary->currencies[i]] = summary->cells[i];
    }
    return figures;
}

// Each currency's total adds the applications' revenue in it in name order,
// an application without a cell adding 0.
void sumTotals(ReportTally& tally) {
    for (const std::string& currency : tally.currencies) {
        tally.totals[currency] = 0.0;
    }
    for (const auto& [appName, figures] : tally.apps) {
        if (figures.revenue.empty()) {
            continue;  // not in the revenue table
        }
        for (const std::string& currency : tally.currencies) {
            auto cell = figures.revenue.find(currency);
            tally.totals[currency] += cell == figures.revenue.end() ? 0.0 : cell->second.amount;
        }
    }
}

// A USD total stays as it is, whatever the rate file says; a currency
// without a rate converts to 0, and is named when that leaves something out.
void convertToUsd(ReportTally& tally, const RateTable& rateTable) {
    tally.withUsd = true;
    for (const auto& [currency, total] : tally.totals) {
        double converted = 0.0;
        auto rate = rateTable.find(currency);
        if (currency == "USD") {
            converted = total;
        } else if (rate != rateTable.end()) {
            converted = total * rate->second;
        } else if (total != 0.0) {
            tally.unconverted.push_back(currency);
        }
        tally.grandTotalUsd += converted;
        tally.totalsUsd[currency] = converted;
    }
}

}  // namespace

ReportTally tallyReport(const AppRecords& appRecords, const RateTable& rateTable) {
    ReportTally tally;
    for (const auto& [appName, records] : appRecords) {
        AppFigures& figures = tally.apps[appName] = tallyApp(records);
        for (const auto& [currency, cell] : figures.revenue) {
            tally.currencies.insert(currency);
        }
    }
    sumTotals(tally);
    if (!appRecords.empty() && !rateTable.empty()) {
        convertToUsd(tally, rateTable);
    }
    return tally;
}
