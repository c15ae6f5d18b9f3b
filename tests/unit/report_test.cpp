// The tally and the text report, read back from a sink that keeps what the
// printers write. The figures are worked out by hand below.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "common/grouping.h"
#include "report/tally.h"
#include "report/text_report.h"
#include "report/tsv_report.h"
#include "support/report_lines.h"
#include "unit_support.h"

namespace {

// Alpha's records are stored, as for a listing: 3 units at 2.00 EUR, 2 at
// 0.50 USD, an update of 5 units and 1 unit at 4.25 GBP. Beta is only
// summed, as without -v, and holds one update of 4 units, so it sold
// nothing and has no row in the revenue table.
AppRecords twoApps() {
    AppRecords appRecords;
    RecordList& alpha = appRecords[{"Alpha"}];
    std::uint32_t period = internPeriod(alpha, 0, 0);
    auto add = [&](const char* currency, std::int32_t type, std::int32_t units, double amount) {
        std::uint32_t label = internLabel(alpha, "Alpha", "DE", currency);
        alpha.records.push_back({amount, 0.0, type, units, label, period});
    };
    add("EUR", 1, 3, 2.00);
    add("USD", 1, 2, 0.50);
    add("USD", 7, 5, 0.00);
    add("GBP", 1, 1, 4.25);
    RecordList& beta = appRecords[{"Beta"}];
    beta.summaryOnly = true;
    std::uint32_t label = internLabel(beta, "Beta", "US", "USD");
    addToSummary(beta.summary, beta, {0.0, 0.0, 7, 4, label, 0});
    return appRecords;
}

// A summary row is "%-11s    %6zu  %6d  %6d": its count ends in column 21,
// under the s of Records. EUR converts at 1.5; GBP has no rate and a total of 4.25, so it is left
// out of the grand total (9.00 + 1.00) and named. A USD total stays as it is,
// and the file's USD entry does not scale the others. Alpha's own total adds
// its cells so converted: 9.00 + 0 + 1.00; Beta sold nothing.
TEST(Report, TallyOnceThenPrintTheTables) {
    const AppRecords appRecords = twoApps();
    const ReportTally tally = tallyReport(appRecords, {{"EUR", 1.5}, {"JPY", 0.01}, {"USD", 2.0}});
    EXPECT_EQ(tally.unconverted, std::vector<std::string>{"GBP"});
    EXPECT_EQ(tally.rows.at({"Alpha"}).totalHome, 10.0);
    EXPECT_EQ(tally.rows.at({"Beta"}).totalHome, 0.0);
    OutputSink out;
    printTextReport(out, tally, false);
    EXPECT_EQ(std::string(keptText(out)),
              "Apps count: 2\n"
              "\n"
              "AppName       Records   Sales Updates\n"
              "-------------------------------------\n"
              "Alpha               4       6       5\n"
              "Beta                1       0       4\n"
              "\n"
              "AppName     U  EUR U  GBP U  USD\n"
              "--------------------------------\n"
              "Alpha       3 6.00 1 4.25 2 1.00\n"
              "--------------------------------\n"
              "Totals        6.00   4.25   1.00\n"
              "Totals(USD)   9.00   0.00   1.00\n"
              "\n"
              "GrandTotal(USD): 10.00\n");
}

// Without rates there are no USD rows, and nothing is left out.
TEST(Report, NoRatesNoUsdRows) {
    const ReportTally tally = tallyReport(twoApps(), {});
    EXPECT_FALSE(tally.withHome);
    EXPECT_TRUE(tally.unconverted.empty());
    EXPECT_EQ(tally.totals.at("GBP"), 4.25);
}

// A total converts as amount * factor / homeFactor, in that order; USD's
// factor is 1 whatever the rate file says, and the home currency's own amount
// is taken as it is. Expected values with Python, in the same order:
// 1.96 * 1.25 / 1.5 = 1.6333333333333335 (dividing the factors first, or
// by 1.5 first, gives 1.6333333333333333), 7 * 1 / 1.25 = 5.6 (7 * 2 / 1.25
// would take the file's USD entry), and 1.96 * 1.25 / 1.25 would be
// 1.9600000000000002.
TEST(Report, ConvertAmountIntoHome) {
    const RateTable rates{{"EUR", 1.25}, {"GBP", 1.5}, {"USD", 2.0}};
    const struct {
        const char* currency;
        double amount;
        const char* home;
        double homeFactor;
        bool known;
        double converted;
    } cases[] = {
        // clang-format off
        {"EUR", 1.96, "GBP", 1.5,  true,  1.6333333333333335},
        {"USD", 7.0,  "EUR", 1.25, true,  5.6},
        {"EUR", 1.96, "EUR", 1.25, true,  1.96},
        {"CAD", 3.0,  "EUR", 1.25, false, 0.0},
        // clang-format on
    };
    for (const auto& c : cases) {
        double converted = -1.0;
        EXPECT_EQ(convertAmount(rates, c.currency, c.amount, c.home, c.homeFactor, converted),
                  c.known)
            << c.currency << " into " << c.home;
        EXPECT_EQ(converted, c.converted) << c.currency << " into " << c.home;
    }
}

// A currency without a rate is named when its total is not 0, a negative
// one included: CAD sold 1 unit at -3.00, JPY 2 units at 0.00.
TEST(Report, UnconvertedNamedWhenNotZero) {
    AppRecords appRecords;
    RecordList& alpha = appRecords[{"Alpha"}];
    std::uint32_t period = internPeriod(alpha, 0, 0);
    for (const auto& [currency, units, amount] :
         {std::tuple{"CAD", 1, -3.0}, std::tuple{"JPY", 2, 0.0}, std::tuple{"USD", 1, 1.0}}) {
        std::uint32_t label = internLabel(alpha, "Alpha", "DE", currency);
        alpha.records.push_back({amount, 0.0, 1, units, label, period});
    }
    const ReportTally tally = tallyReport(appRecords, {{"EUR", 1.5}});
    EXPECT_TRUE(tally.withHome);
    EXPECT_EQ(tally.unconverted, std::vector<std::string>{"CAD"});
    EXPECT_EQ(tally.grandTotalHome, 1.0);
}

// Without any report read there is nothing to convert: no home rows.
TEST(Report, NoReportsNoHomeRows) {
    const ReportTally tally = tallyReport({}, {{"EUR", 1.5}});
    EXPECT_FALSE(tally.withHome);
}

// The name column is at least as wide as "Totals(<home>)": 12 for EURO, one
// more than the 11 of TallyOnceThenPrintTheTables, so every table line gains
// a column after the name. EURO's factor is 2: EUR 6.00 * 1.5 / 2 = 4.50,
// GBP has no rate (0.00), USD 1.00 * 1 / 2 = 0.50; grand 0 + 4.5 + 0 + 0.5.
TEST(Report, NameColumnFitsTheHomeTotalsTitle) {
    const AppRecords appRecords = twoApps();
    const ReportTally tally = tallyReport(appRecords, {{"EUR", 1.5}, {"EURO", 2.0}}, "EURO");
    OutputSink out;
    printTextReport(out, tally, false);
    EXPECT_EQ(std::string(keptText(out)),
              "Apps count: 2\n"
              "\n"
              "AppName        Records   Sales Updates\n"
              "--------------------------------------\n"
              "Alpha                4       6       5\n"
              "Beta                 1       0       4\n"
              "\n"
              "AppName      U  EUR U  GBP U  USD\n"
              "---------------------------------\n"
              "Alpha        3 6.00 1 4.25 2 1.00\n"
              "---------------------------------\n"
              "Totals         6.00   4.25   1.00\n"
              "Totals(EURO)   4.50   0.00   0.50\n"
              "\n"
              "GrandTotal(EURO): 5.00\n");
}

// A random report of the first layout: a few applications, countries,
// types (sales, updates, records only, and texts that differ only by a
// blank), units with refunds, prices of up to three decimals and begin
// dates around two year ends, some before 1970 (dates that do not convert).
std::string randomReport(std::mt19937& random, int lines) {
    const char* names[] = {"Alpha", "Beta", "Zeta Pro", "\u00dcber"};
    const char* countries[] = {"US", "DE", "GB", "JP"};
    const char* types[] = {"1", "7", "1F", "IA1", "3F", " 1"};
    const char* currencies[] = {"USD", "EUR", "JPY"};
    const char* dates[] = {"12/28/2008", "12/29/2008", "01/03/2009", "12/31/2009",
                           "01/03/2010", "01/04/2010", "06/15/1960", "07/01/2009"};
    auto pick = [&](const auto& texts) { return texts[random() % std::size(texts)]; };
    std::string report = kReportHeader;
    for (int i = 0; i < lines; ++i) {
        const int units = static_cast<int>(random() % 24) - 3;
        const std::string price =
            std::to_string(random() % 20) + "." + std::to_string(100 + random() % 900).substr(1);
        report += reportLine({{field::kName, pick(names)},
                              {field::kType, pick(types)},
                              {field::kUnits, std::to_string(units)},
                              {field::kPrice, price},
                              {field::kBegin, pick(dates)},
                              {field::kCountry, pick(countries)},
                              {field::kCurrency, pick(currencies)}});
    }
    return report;
}

ReportTally tallyRead(const std::string& path, bool summaryOnly, const Grouping& grouping,
                      AppRecords& appRecords) {
    ReadOptions options = readOptions(summaryOnly);
    options.grouping = grouping;
    Diagnostics diagnostics;
    testing::internal::CaptureStderr();
    readSalesReport(path.c_str(), appRecords, *startReading(options), diagnostics);
    testing::internal::GetCapturedStderr();  // the value checks: seen elsewhere
    return tallyReport(appRecords, {}, "USD", grouping);
}

// The TSV lines of a tally, each cut at its TABs.
std::vector<std::vector<std::string>> tsvCells(const ReportTally& tally) {
    OutputSink out;
    printTsvReport(out, tally);
    std::vector<std::vector<std::string>> lines;
    std::string text(keptText(out));
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        std::vector<std::string>& cells = lines.emplace_back();
        std::size_t at = begin;
        while (true) {
            std::size_t tab = text.find('\t', at);
            if (tab == std::string::npos || tab > end) {
                cells.push_back(text.substr(at, end - at));
                break;
            }
            cells.push_back(text.substr(at, tab - at));
            at = tab + 1;
        }
        begin = end + 1;
    }
    return lines;
}

// The rows' counts and units added up, and their amounts added in row
// order from 0.
struct RowSums {
    std::size_t records = 0;
    std::int64_t sales = 0;
    std::int64_t updates = 0;
    std::map<std::string, std::int64_t> units;
    std::map<std::string, double> amounts;
};

RowSums sumRows(const ReportTally& tally) {
    RowSums sums;
    for (const auto& [key, figures] : tally.rows) {
        sums.records += figures.records;
        sums.sales += figures.sales;
        sums.updates += figures.updates;
        for (const auto& [currency, cell] : figures.revenue) {
            sums.units[currency] += cell.units;
            sums.amounts[currency] += cell.amount;
        }
    }
    return sums;
}

// Whatever the grouping, the rows hold every record once: their counts and
// units add up exactly to the report's without -g, and their amounts, in
// row order, exactly to the same run's Totals and to within 1e-9 of the
// Totals without -g, which add the same records in another order. The TSV
// lines' amounts, read back, add up to the Totals exactly.
TEST(Report, GroupedRowsAddUpToTheReportWithoutGrouping) {
    ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    std::mt19937 random(20261209);
    const char* groupings[] = {"app",      "month", "app,country",    "type", "country,type,week",
                               "year,app", "day",   "week,month,type"};
    for (int round = 0; round < 12; ++round) {
        ScratchDirectory scratch;
        const std::string path = scratch.write("S_W_1", randomReport(random, 40 + round * 30));
        for (bool summaryOnly : {true, false}) {
            AppRecords plainRecords;
            const ReportTally plain = tallyRead(path, summaryOnly, appGrouping(), plainRecords);
            for (const char* keys : groupings) {
                Grouping grouping;
                ASSERT_TRUE(parseGrouping(keys, grouping));
                AppRecords rowRecords;
                const ReportTally rows = tallyRead(path, summaryOnly, grouping, rowRecords);
                const std::string where = std::string(keys) + " round " + std::to_string(round) +
                                          (summaryOnly ? " summed" : " stored");
                for (const auto& [key, figures] : rows.rows) {
                    ASSERT_EQ(key.size(), grouping.size()) << where;
                }
                const RowSums sums = sumRows(rows);
                const RowSums plainSums = sumRows(plain);
                EXPECT_EQ(sums.records, plainSums.records) << where;
                EXPECT_EQ(sums.sales, plainSums.sales) << where;
                EXPECT_EQ(sums.updates, plainSums.updates) << where;
                EXPECT_EQ(sums.units, plainSums.units) << where;
                ASSERT_EQ(rows.currencies, plain.currencies) << where;
                for (const std::string& currency : rows.currencies) {
                    EXPECT_EQ(sums.amounts.at(currency), rows.totals.at(currency))
                        << where << currency;
                    const double expected = plain.totals.at(currency);
                    EXPECT_LE(std::fabs(rows.totals.at(currency) - expected),
                              1e-9 * std::max(1.0, std::fabs(expected)))
                        << where << " " << currency;
                }
                // The TSV's columns: the keys, three counts, then units and
                // amount per currency.
                const auto lines = tsvCells(rows);
                ASSERT_EQ(lines.size(), rows.rows.size() + 1) << where;
                const std::size_t first = grouping.size() + 3;
                ASSERT_EQ(lines[0].size(), first + 2 * rows.currencies.size()) << where;
                std::size_t column = first;
                for (const std::string& currency : rows.currencies) {
                    double tsvAmount = 0.0;
                    std::int64_t tsvUnits = 0;
                    for (std::size_t line = 1; line < lines.size(); ++line) {
                        tsvUnits += std::stoll(lines[line][column]);
                        tsvAmount += std::strtod(lines[line][column + 1].c_str(), nullptr);
                    }
                    EXPECT_EQ(tsvUnits, sums.units.at(currency)) << where << " " << currency;
                    EXPECT_EQ(tsvAmount, rows.totals.at(currency)) << where << " " << currency;
                    column += 2;
                }
            }
        }
    }
}

}  // namespace
