#include "report/tally.h"

namespace {

// A list that stores its records is summed here, record by record in
// reading order, as the reader sums a list that keeps only its sums: both
// give the same doubles.
RowFigures tallyRow(const RecordList& records) {
    RowSummary counted;
    const RowSummary* summary = &records.summary;
    if (!records.summaryOnly) {
        for (const PackedRecord& record : records.records) {
            addToSummary(counted, records, record);
        }
        summary = &counted;
    }
    RowFigures figures{summary->recordCount, summary->sales, summary->updates, {}, 0.0, &records};
    for (std::size_t i = 0; i < summary->currencies.size(); ++i) {
        figures.revenue[summary->currencies[i]] = summary->cells[i];
    }
    return figures;
}

// Each currency's total adds the rows' revenue in it in row order, a row
// that sold something but has no cell in it adding 0.
void sumTotals(ReportTally& tally) {
    for (const std::string& currency : tally.currencies) {
        tally.totals[currency] = 0.0;
    }
    for (const auto& [key, figures] : tally.rows) {
        if (figures.revenue.empty()) {
            continue;  // not in the revenue table
        }
        for (const std::string& currency : tally.currencies) {
            auto cell = figures.revenue.find(currency);
            tally.totals[currency] += cell == figures.revenue.end() ? 0.0 : cell->second.amount;
        }
    }
}

// Each total and each row's cells converted into the home currency. A
// currency without a rate converts to 0, and is named when that leaves
// something out.
void convertIntoHome(ReportTally& tally, const RateTable& rateTable, double homeFactor) {
    tally.withHome = true;
    const std::string& home = tally.homeCurrency;
    for (const auto& [currency, total] : tally.totals) {
        double converted = 0.0;
        if (!convertAmount(rateTable, currency, total, home, homeFactor, converted) &&
            total != 0.0) {
            tally.unconverted.push_back(currency);
        }
        tally.grandTotalHome += converted;
        tally.totalsHome[currency] = converted;
    }
    for (auto& [key, figures] : tally.rows) {
        for (const auto& [currency, cell] : figures.revenue) {
            double converted = 0.0;
            convertAmount(rateTable, currency, cell.amount, home, homeFactor, converted);
            figures.totalHome += converted;
        }
    }
}

}  // namespace

bool factorIntoUsd(const RateTable& rateTable, const std::string& currency, double& factor) {
    if (currency == "USD") {
        factor = 1.0;
        return true;
    }
    auto rate = rateTable.find(currency);
    if (rate == rateTable.end()) {
        return false;
    }
    factor = rate->second;
    return true;
}

bool convertAmount(const RateTable& rateTable, const std::string& currency, double amount,
                   const std::string& homeCurrency, double homeFactor, double& converted) {
    double factor = 0.0;
    if (currency == homeCurrency) {
        converted = amount;
        return true;
    }
    if (!factorIntoUsd(rateTable, currency, factor)) {
        converted = 0.0;
        return false;
    }
    converted = amount * factor / homeFactor;
    return true;
}

ReportTally tallyReport(const AppRecords& appRecords, const RateTable& rateTable,
                        const std::string& homeCurrency, const Grouping& grouping) {
    ReportTally tally;
    tally.grouping = grouping;
    tally.homeCurrency = homeCurrency;
    for (const auto& [key, records] : appRecords) {
        RowFigures& figures = tally.rows[key] = tallyRow(records);
        for (const auto& [currency, cell] : figures.revenue) {
            tally.currencies.insert(currency);
        }
    }
    sumTotals(tally);
    double homeFactor = 0.0;
    if (!appRecords.empty() && !rateTable.empty() &&
        factorIntoUsd(rateTable, homeCurrency, homeFactor)) {
        convertIntoHome(tally, rateTable, homeFactor);
    }
    return tally;
}
