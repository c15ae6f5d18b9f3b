// The tally and the text report, read back from a sink that keeps what the
// printers write. The figures are worked out by hand below.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "report/tally.h"
#include "report/text_report.h"

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

}  // namespace
