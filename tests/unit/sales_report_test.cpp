// Reading report files into the records of each application inside the
// date window: the fields taken by token position, the header, pieces as
// lines, and the window.
#include "input/sales_report.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/run_settings.h"
#include "input/date_value.h"
#include "support/gzip_member.h"
#include "support/piece_model.h"
#include "support/report_lines.h"
#include "support/text_model.h"
#include "unit_support.h"

namespace {

TEST(ReadSalesReport, TakesFieldsByTokenPosition) {
    ScopedTimeZone zone("UTC0");
    // Dates: python3 calendar.timegm for 2008-11-02 and 2008-11-08 at 00:00.
    const struct {
        std::string line;
        bool parsed;
        SalesRecord expected;
    } cases[] = {
        // clang-format off
        {reportLine(), true, {"App", 1225584000, 1226102400, 1, 12, 0.70, 0.99, "US", "USD"}},
        {reportLine({{field::kType, "3"}, {field::kUnits, "-4"}, {field::kPrice, "1e2"}}), true,
         {"App", 1225584000, 1226102400, 3, -4, 100.0, 0.99, "US", "USD"}},
        // Column 3 empty: token 6 is column 7, token 8 column 9 and so on.
        {reportLine({{3, ""}}), true, {" ", 1226102400, -1, 12, 0, 11.0, 0.0, "USD", " "}},
        {"a\tb\tc\td\te\tf\n", true, {"", 0, 0, 0, 0, 0.0, 0.0, "", ""}},
        {"0\t1\t2\t3\t4\t5\tName\t7\t1\t5\t2.5\t11/02/2008\n", true,
         {"Name", 1225584000, 0, 1, 5, 2.5, 0.0, "", ""}},
        {"\t\t\n", false, {}},
        {"", false, {}}
        // clang-format on
    };
    runSettings = RunSettings{};
    for (const auto& c : cases) {
        AppRecords appRecords = readListed(kReportHeader + c.line);
        ASSERT_EQ(appRecords.size(), c.parsed ? 1u : 0u) << c.line;
        if (c.parsed) {
            std::vector<SalesRecord> records = storedRecords(appRecords.begin()->second);
            ASSERT_EQ(records.size(), 1u) << c.line;
            EXPECT_EQ(describe(records[0]), describe(c.expected)) << c.line;
        }
    }
}

// Application name, units and currency of every stored record, in stored order.
std::string summarise(const AppRecords& appRecords) {
    std::string summary;
    for (const auto& [name, records] : appRecords) {
        summary += "[" + name + "]";
        for (const SalesRecord& record : storedRecords(records)) {
            summary += " " + std::to_string(record.units) + "/" + record.currency;
        }
        summary += ";";
    }
    return summary;
}

// Reads the files, in order, from a fresh directory, and then a missing one.
std::string readReports(const std::vector<std::string>& files) {
    ScratchDirectory scratch;
    AppRecords appRecords;
    ReadingMemoHandle memo = startReading(false);
    Diagnostics diagnostics;
    for (std::size_t i = 0; i < files.size(); ++i) {
        readSalesReport(scratch.write("S_W_" + std::to_string(i), files[i]).c_str(), appRecords,
                        *memo, diagnostics);
    }
    EXPECT_FALSE(diagnostics.failed);
    readSalesReport((scratch.path + "/missing").c_str(), appRecords, *memo, diagnostics);
    EXPECT_TRUE(diagnostics.failed);  // and it adds nothing
    return summarise(appRecords);
}

std::string datedLine(const std::string& app, const std::string& units, const char* begin,
                      const char* end) {
    return reportLine(
        {{field::kName, app}, {field::kUnits, units}, {field::kBegin, begin}, {field::kEnd, end}});
}

TEST(ReadSalesReport, SkipsTheHeaderAndReadsEveryPieceAsALine) {
    runSettings = RunSettings{};
    const std::size_t shortLength = reportLine({{field::kName, "Long"}, {22, ""}}).size() - 1;
    const std::string line600 =
        reportLine({{field::kName, "Long"}, {22, std::string(600 - shortLength, 'p')}});
    const std::string crLfLine =
        "0\t1\t2\t3\t4\t5\tApp\t7\t1\t5\t2.5\t11/02/2008\t11/08/2008\t13\tUS\tEUR\r\n";
    const std::string nulLine = "0\t1\t2\t3\t4\t5\tAp" + std::string(1, '\0') + "p\t7\t1\t5\n";
    const struct {
        std::vector<std::string> files;
        std::string expected;
    } cases[] = {
        // clang-format off
        {{kReportHeader}, ""},
        {{""}, ""},
        {{std::string(600, 'h') + "\n" + reportLine()}, "[] 0/;[App] 12/USD;"},
        {{kReportHeader + line600}, "[] 0/;[Long] 12/USD;"},
        {{kReportHeader + "\r\n" + reportLine({{field::kType, "3"}}) + crLfLine}, "[App] 12/USD 5/EUR;"},
        {{kReportHeader + nulLine}, "[Ap] 0/;"},
        // Two labels that share a slot of the reading memo stay apart.
        {{kReportHeader + reportLine() + reportLine({{field::kCurrency, "USC"}})}, "[App] 12/USD 12/USC;"},
        // Labels whose texts join to the same bytes stay apart.
        {{kReportHeader + reportLine({{field::kName, "ab"}, {field::kCountry, "c"}}) +
              reportLine({{field::kName, "a"}, {field::kCountry, "bc"}})},
         "[a] 12/USD;[ab] 12/USD;"},
        {{kReportHeader + reportLine({{field::kCountry, "C"}, {field::kCurrency, "USD"}}) +
              reportLine({{field::kCountry, "CU"}, {field::kCurrency, "SD"}})},
         "[App] 12/USD 12/SD;"},
        {{kReportHeader + datedLine("A", "1", "11/02/2008", "11/08/2008") +
              datedLine("B", "2", "11/02/2008", "11/08/2008"),
          kReportHeader + datedLine("A", "3", "11/09/2008", "11/15/2008") +
              datedLine("A", "4", "11/09/2008", "11/15/2008")},
         "[A] 1/USD 3/USD 4/USD;[B] 2/USD;"}
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readReports(c.files), c.expected) << c.files[0];
    }
}

// A report whose content is that of one read before it is named, in either
// layout, however much follows a Ctrl-Z; a header alone holds nothing to count
// twice.
TEST(ReadSalesReport, NamesAReportWithTheContentOfAnEarlierOne) {
    runSettings = RunSettings{};
    const std::string named =
        "Title\tProduct Type Identifier\tUnits\tDeveloper Proceeds\tBegin Date\tEnd Date\t"
        "Currency of Proceeds\n";
    const std::string byName = named + "Chess\t1\t5\t1.40\t11/02/2008\t11/08/2008\tUSD\n";
    const std::string positional = kReportHeader + reportLine();
    // Tails longer than one read block, alike up to their last bytes.
    const std::string junk = "\x1A" + std::string(kReadBlockSize + 100, 'j');
    const std::string otherJunk = "\x1A" + std::string(kReadBlockSize + 100, 'j') + "k";
    const struct {
        std::string first;
        std::string second;
        bool named;
    } cases[] = {
        {byName, byName, true},
        {byName, byName + junk, true},
        {byName + junk, byName + otherJunk, true},
        {positional + junk, positional + otherJunk, true},
        {positional, positional + junk, true},
        {named, named, false},
        {byName, named + "Chess\t1\t6\t1.40\t11/02/2008\t11/08/2008\tUSD\n", false},
        {byName + junk, byName + "\n" + junk, false},
        // A UTF-16 copy holds the content of its UTF-8 original, as it is
        // read: also compressed, and up to a Ctrl-Z.
        {byName, utf16Twin(byName, false, true), true},
        {positional, gzipMember(utf16Twin(positional, true, false)), true},
        {positional + junk, utf16Twin(positional + otherJunk, false, true), true},
        {utf16Twin(byName, true, true), utf16Twin(byName + "\n", false, false), false},
    };
    for (const auto& c : cases) {
        ScratchDirectory scratch;
        const std::string first = scratch.write("S_W_1", c.first);
        const std::string second = scratch.write("S_W_2", c.second);
        AppRecords appRecords;
        ReadingMemoHandle memo = startReading(true);
        Diagnostics diagnostics;
        testing::internal::CaptureStderr();
        readSalesReport(first.c_str(), appRecords, *memo, diagnostics);
        readSalesReport(second.c_str(), appRecords, *memo, diagnostics);
        const std::string err = testing::internal::GetCapturedStderr();
        const std::string warning = "[W] salesum: '" + second + "' has the same content as '" +
                                    first + "', and both are counted\n";
        EXPECT_EQ(err, c.named ? warning : "") << c.second.substr(0, 60);
    }
}

// Neighbouring records of one label that share one date of their period keep
// their own other date, as the listing shows them.
TEST(ReadSalesReport, NeighboursKeepTheirOwnPeriods) {
    ScopedTimeZone zone("UTC0");
    runSettings = RunSettings{};
    const std::string file = kReportHeader + datedLine("A", "1", "11/02/2008", "11/08/2008") +
                             datedLine("A", "2", "11/02/2008", "11/09/2008") +
                             datedLine("A", "3", "11/03/2008", "11/09/2008");
    AppRecords appRecords = readListed(file);
    std::vector<std::pair<DateValue, DateValue>> periods;
    for (const SalesRecord& record : storedRecords(appRecords["A"])) {
        periods.emplace_back(record.beginDate, record.endDate);
    }
    // python3 calendar.timegm for 2008-11-02, -08, -09 and -03 at 00:00.
    const std::vector<std::pair<DateValue, DateValue>> expected = {
        {1225584000, 1226102400}, {1225584000, 1226188800}, {1225670400, 1226188800}};
    EXPECT_EQ(periods, expected);
}

TEST(ReadSalesReport, DropsRecordsOutsideTheDateWindow) {
    const std::string file = kReportHeader +
                             datedLine("EarlyBegin", "1", "10/31/2008", "11/06/2008") +
                             datedLine("OnStart", "2", "11/01/2008", "11/07/2008") +
                             datedLine("OnEnd", "3", "11/24/2008", "11/30/2008") +
                             datedLine("LateEnd", "4", "11/25/2008", "12/01/2008") + "a\tb\n";
    const struct {
        const char* start;
        const char* end;
        std::string expected;
    } cases[] = {
        // clang-format off
        {"", "", "[] 0/;[EarlyBegin] 1/USD;[LateEnd] 4/USD;[OnEnd] 3/USD;[OnStart] 2/USD;"},
        {"20081101", "", "[LateEnd] 4/USD;[OnEnd] 3/USD;[OnStart] 2/USD;"},
        {"", "20081130", "[] 0/;[EarlyBegin] 1/USD;[OnEnd] 3/USD;[OnStart] 2/USD;"},
        {"20081101", "20081130", "[OnEnd] 3/USD;[OnStart] 2/USD;"}
        // clang-format on
    };
    for (const char* zone : {"UTC0", "JST-9", "EST5EDT,M3.2.0,M11.1.0"}) {
        ScopedTimeZone inZone(zone);
        for (const auto& c : cases) {
            runSettings = RunSettings{};
            runSettings.startDate = *c.start ? parseDate(c.start) : 0;
            runSettings.endLimit = *c.end ? parseDate(c.end) : 0;
            EXPECT_EQ(readReports({file}), c.expected)
                << zone << " -s " << c.start << " -e " << c.end;
        }
    }
    runSettings = RunSettings{};
}

}  // namespace
