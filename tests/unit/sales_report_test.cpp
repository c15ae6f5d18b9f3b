// Reading report files into the records of each application inside the
// date window: the fields taken by token position, the header, pieces as
// lines, and the window.
#include "input/sales_report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "common/grouping.h"
#include "input/date_value.h"
#include "input/label_slots.h"
#include "report/tally.h"
#include "report/text_report.h"
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
        // The same shift from an empty first field, and from an empty field
        // whose TABs are bytes 63 and 64 (a 55-byte first field).
        {reportLine({{0, ""}}), true, {" ", 1226102400, -1, 12, 0, 11.0, 0.0, "USD", " "}},
        {reportLine({{0, std::string(55, 'S')}, {3, ""}}), true,
         {" ", 1226102400, -1, 12, 0, 11.0, 0.0, "USD", " "}},
        // An empty field after the currency's, or the customer price's own:
        // token 20 is column 21.
        {reportLine({{17, ""}, {21, "2.50"}}), true,
         {"App", 1225584000, 1226102400, 1, 12, 0.70, 2.50, "US", "USD"}},
        {reportLine({{field::kCustomerPrice, ""}, {21, "2.50"}}), true,
         {"App", 1225584000, 1226102400, 1, 12, 0.70, 2.50, "US", "USD"}},
        {"a\tb\tc\td\te\tf\n", true, {"", 0, 0, 0, 0, 0.0, 0.0, "", ""}},
        {"0\t1\t2\t3\t4\t5\tName\t7\t1\t5\t2.5\t11/02/2008\n", true,
         {"Name", 1225584000, 0, 1, 5, 2.5, 0.0, "", ""}},
        // Quoted tokens read as their text, '""' inside as '"', spaces around
        // the quotes dropped; a '"' that is not at both ends stays.
        {reportLine({{field::kName, "\"Pocket \"\"Chess\"\"\""}, {field::kType, "\"1\""},
                     {field::kUnits, "\"12\""}, {field::kPrice, " \"0.70\""},
                     {field::kBegin, "\"11/02/2008\""}, {field::kEnd, "\"11/08/2008\" "},
                     {field::kCountry, "\"US\""}, {field::kCurrency, "\"USD\""},
                     {field::kCustomerPrice, "\"0.99\""}}), true,
         {"Pocket \"Chess\"", 1225584000, 1226102400, 1, 12, 0.70, 0.99, "US", "USD"}},
        {reportLine({{field::kUnits, " \"3\" "}}), true,
         {"App", 1225584000, 1226102400, 1, 3, 0.70, 0.99, "US", "USD"}},
        {reportLine({{field::kName, "\""}, {field::kCurrency, "\"\""}}), true,
         {"\"", 1225584000, 1226102400, 1, 12, 0.70, 0.99, "US", ""}},
        {reportLine({{field::kName, "\"App"}, {field::kCurrency, "USD\""}}), true,
         {"\"App", 1225584000, 1226102400, 1, 12, 0.70, 0.99, "US", "USD\""}},
        {reportLine({{field::kName, "\"a\"b\""}, {field::kCountry, "\" \""}}), true,
         {"a\"b", 1225584000, 1226102400, 1, 12, 0.70, 0.99, " ", "USD"}},
        {"\t\t\n", false, {}},
        {"", false, {}}
        // clang-format on
    };
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
    for (const auto& [key, records] : appRecords) {
        summary += "[" + key.front() + "]";
        for (const SalesRecord& record : storedRecords(records)) {
            summary += " " + std::to_string(record.units) + "/" + record.currency;
        }
        summary += ";";
    }
    return summary;
}

// Reads the files, in order, from a fresh directory, and then a missing one.
std::string readReports(const std::vector<std::string>& files, DateWindow window = {}) {
    ScratchDirectory scratch;
    AppRecords appRecords;
    ReadingMemoHandle memo = startReading(readOptions(false, window));
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
    ScopedTimeZone zone("UTC0");
    const std::string named =
        "Title\tProduct Type Identifier\tUnits\tDeveloper Proceeds\tBegin Date\tEnd Date\t"
        "Currency of Proceeds\n";
    const std::string byName = named + "Chess\t1\t5\t1.40\t11/02/2008\t11/08/2008\tUSD\n";
    const std::string positional = kReportHeader + reportLine();
    // 1,500 record lines of 41 bytes: over 123,000 bytes saved as UTF-16,
    // more than the 64 KiB a source reads of a file at a time.
    std::string longByName = named;
    for (int line = 0; line < 1500; ++line) {
        longByName += "Chess\t1\t5\t1.40\t11/02/2008\t11/08/2008\tUSD\n";
    }
    // Tails longer than one read block, alike up to their last bytes.
    const std::string junk = "\x1A" + std::string(kReadBlockSize + 100, 'j');
    const std::string otherJunk = "\x1A" + std::string(kReadBlockSize + 100, 'j') + "k";
    // What the second report is named as: a copy, a report of the same
    // days (not a copy), or nothing.
    enum Named { kCopy, kSameDays, kNothing };
    const struct {
        std::string first;
        std::string second;
        Named named;
    } cases[] = {
        {byName, byName, kCopy},
        {byName, byName + junk, kCopy},
        {byName + junk, byName + otherJunk, kCopy},
        {positional + junk, positional + otherJunk, kCopy},
        {positional, positional + junk, kCopy},
        {named, named, kNothing},
        {byName, named + "Chess\t1\t6\t1.40\t11/02/2008\t11/08/2008\tUSD\n", kSameDays},
        {byName + junk, byName + "\n" + junk, kSameDays},
        // A UTF-16 copy holds the content of its UTF-8 original, as it is
        // read: also compressed, and up to a Ctrl-Z.
        {byName, utf16Twin(byName, false, true), kCopy},
        {positional, gzipMember(utf16Twin(positional, true, false)), kCopy},
        {positional + junk, utf16Twin(positional + otherJunk, false, true), kCopy},
        {utf16Twin(byName, true, true), utf16Twin(byName + "\n", false, false), kSameDays},
        // Two UTF-16 reports in a row, each longer than one read of the
        // file: the second is read to its end as the first was.
        {utf16Twin(longByName, false, true), utf16Twin(longByName, true, true), kCopy},
    };
    for (const auto& c : cases) {
        ScratchDirectory scratch;
        const std::string first = scratch.write("S_W_1", c.first);
        const std::string second = scratch.write("S_W_2", c.second);
        AppRecords appRecords;
        ReadingMemoHandle memo = startReading(readOptions(true));
        Diagnostics diagnostics;
        testing::internal::CaptureStderr();
        readSalesReport(first.c_str(), appRecords, *memo, diagnostics);
        readSalesReport(second.c_str(), appRecords, *memo, diagnostics);
        const std::string err = testing::internal::GetCapturedStderr();
        const std::string warnings[] = {
            "[W] salesum: '" + second + "' has the same content as '" + first +
                "', and both are counted\n",
            "[W] salesum: '" + second + "' holds days that '" + first +
                "' holds too (11/02/2008 for 'Chess'), so both are counted\n",
            ""};
        EXPECT_EQ(err, warnings[c.named]) << c.second.substr(0, 60);
    }
}

// A report that holds days an earlier report holds for the same application
// is named once, with the first such earlier report, the first such
// application in byte order and the first day they share: local days, in
// every zone.
TEST(ReadSalesReport, NamesAReportThatHoldsDaysOfAnEarlierOne) {
    auto line = [](const char* app, const char* begin, const char* end) {
        return datedLine(app, "1", begin, end);
    };
    // A line without dates: its tokens end at the price.
    auto undatedLine = [](const std::string& units) {
        return "0\t1\t2\t3\t4\t5\tA\t7\t1\t" + units + "\t2.5\n";
    };
    std::string alternating;
    for (int pair = 0; pair < 128; ++pair) {
        alternating +=
            line("A", "11/02/2008", "11/03/2008") + line("A", "11/02/2008", "11/08/2008");
    }
    const struct {
        std::vector<std::string> files;
        std::string expected;  // "N: earlier day app" per warning, N the later file
    } cases[] = {
        // clang-format off
        {{line("A", "11/02/2008", "11/08/2008"), line("A", "11/05/2008", "11/05/2008")}, "2: 1 11/05/2008 A;"},
        {{line("A", "11/05/2008", "11/05/2008"), line("A", "11/02/2008", "11/08/2008")}, "2: 1 11/05/2008 A;"},
        // Neighbouring days, or other applications, are not shared.
        {{line("A", "11/01/2008", "11/01/2008"), line("A", "11/02/2008", "11/08/2008")}, ""},
        {{line("A", "11/02/2008", "11/08/2008"), line("B", "11/02/2008", "11/08/2008")}, ""},
        // The first earlier report wins over the first application.
        {{line("B", "20081102", "20081108"), line("A", "20081102", "20081108"),
          line("A", "20081104", "20081104") + line("B", "20081106", "20081106")},
         "3: 1 11/06/2008 B;"},
        {{line("A", "20081102", "20081108"), line("B", "20081102", "20081108"),
          line("B", "20081104", "20081104") + line("A", "20081106", "20081106")},
         "3: 1 11/06/2008 A;"},
        // The first shared day, over every range of the application.
        {{line("A", "11/02/2008", "11/08/2008"),
          line("A", "11/10/2008", "11/20/2008") + line("A", "11/05/2008", "11/12/2008") +
              line("A", "11/10/2008", "11/20/2008")},
         "2: 1 11/05/2008 A;"},
        // Later reports are told of the first report of each day.
        {{line("A", "11/02/2008", "11/04/2008"), line("A", "11/03/2008", "11/06/2008"),
          line("A", "11/05/2008", "11/05/2008")},
         "2: 1 11/03/2008 A;3: 2 11/05/2008 A;"},
        // Dates that did not convert, or a period that ends before it
        // begins, hold no days.
        {{line("A", "1/21/10", "1/21/10") + line("A", "11/08/2008", "11/02/2008"),
          line("A", "11/02/2008", "11/08/2008") + line("A", "1/21/10", "1/21/10")}, ""},
        {{line("A", "1/21/10", "11/08/2008"), line("A", "11/02/2008", "11/02/2008")}, ""},
        {{undatedLine("5"), undatedLine("6")}, ""},
        // Ranges that meet on one day share it, in either order; ranges
        // that only touch share none.
        {{line("A", "11/02/2008", "11/08/2008"), line("A", "11/08/2008", "11/14/2008")}, "2: 1 11/08/2008 A;"},
        {{line("A", "11/08/2008", "11/14/2008"), line("A", "11/02/2008", "11/08/2008")}, "2: 1 11/08/2008 A;"},
        {{line("A", "11/09/2008", "11/15/2008"), line("A", "11/02/2008", "11/08/2008")}, ""},
        // Within one earlier report, the first application in byte order,
        // even when another shares an earlier day.
        {{line("A", "11/05/2008", "11/08/2008") + line("B", "11/02/2008", "11/08/2008"),
          line("A", "11/06/2008", "11/06/2008") + line("B", "11/02/2008", "11/02/2008")},
         "2: 1 11/06/2008 A;"},
        // Each day stays with the first report that held it: after a report
        // that meets the earlier days on one day, that overlaps them, that
        // goes one day past them, or that holds days on both sides of them
        // (the third report no copy of the first).
        {{line("A", "11/02/2008", "11/05/2008"), line("A", "11/05/2008", "11/08/2008"),
          line("A", "11/05/2008", "11/05/2008")},
         "2: 1 11/05/2008 A;3: 1 11/05/2008 A;"},
        {{line("A", "11/02/2008", "11/04/2008"), line("A", "11/03/2008", "11/06/2008"),
          line("A", "11/04/2008", "11/04/2008")},
         "2: 1 11/03/2008 A;3: 1 11/04/2008 A;"},
        {{line("A", "11/02/2008", "11/04/2008"), line("A", "11/03/2008", "11/05/2008"),
          line("A", "11/05/2008", "11/05/2008")},
         "2: 1 11/03/2008 A;3: 2 11/05/2008 A;"},
        {{line("A", "11/05/2008", "11/05/2008"), line("A", "11/02/2008", "11/08/2008"),
          line("A", "11/05/2008", "11/06/2008")},
         "2: 1 11/05/2008 A;3: 1 11/05/2008 A;"},
        // Both periods of a report whose lines alternate between them stay
        // when its noted ranges are compacted (at 256).
        {{alternating, line("A", "11/06/2008", "11/06/2008")}, "2: 1 11/06/2008 A;"},
        // A line's dates are its own, however little their texts differ
        // from the last line's: in the year's last digits, in the month, in
        // the ninth byte of a 17-byte text, or as the last line's swapped.
        {{line("A", "11/02/2008", "11/08/2008") + line("A", "11/02/2007", "11/08/2008"),
          line("A", "11/03/2007", "11/03/2007")},
         "2: 1 11/03/2007 A;"},
        {{line("A", "11/02/2008", "11/08/2008") + line("A", "11/02/2008", "12/08/2008"),
          line("A", "12/01/2008", "12/01/2008")},
         "2: 1 12/01/2008 A;"},
        {{line("A", "11/02/2008 00:00Z", "11/02/2008 00:00Z") +
              line("A", "11/02/2018 00:00Z", "11/02/2018 00:00Z"),
          line("A", "11/02/2018", "11/02/2018")},
         "2: 1 11/02/2018 A;"},
        {{line("A", "11/08/2008", "11/02/2008") + line("A", "11/02/2008", "11/08/2008"),
          line("A", "11/05/2008", "11/05/2008")},
         "2: 1 11/05/2008 A;"},
        // clang-format on
    };
    for (const char* zone : {"UTC0", "JST-9", "EST5EDT,M3.2.0,M11.1.0"}) {
        ScopedTimeZone inZone(zone);
        for (bool listed : {false, true}) {
            for (const auto& c : cases) {
                ScratchDirectory scratch;
                AppRecords appRecords;
                ReadingMemoHandle memo = startReading(readOptions(!listed));
                Diagnostics diagnostics;
                std::vector<std::string> paths;
                testing::internal::CaptureStderr();
                for (std::size_t i = 0; i < c.files.size(); ++i) {
                    paths.push_back(
                        scratch.write(std::to_string(i + 1), kReportHeader + c.files[i]));
                    readSalesReport(paths.back().c_str(), appRecords, *memo, diagnostics);
                }
                // The lines of this warning; the dates' own warnings aside.
                std::string err;
                std::string all = testing::internal::GetCapturedStderr();
                for (std::size_t at = 0; at < all.size();) {
                    std::size_t end = all.find('\n', at) + 1;
                    if (all.find("holds days", at) < end) {
                        err += all.substr(at, end - at);
                    }
                    at = end;
                }
                std::string expected;
                for (std::size_t at = 0; at < c.expected.size();) {
                    std::size_t end = c.expected.find(';', at);
                    char later = 0, earlier = 0, day[11] = {}, app[8] = {};
                    std::sscanf(c.expected.substr(at, end - at).c_str(), "%c: %c %10s %7s", &later,
                                &earlier, day, app);
                    expected += "[W] salesum: '" + paths[later - '1'] + "' holds days that '" +
                                paths[earlier - '1'] + "' holds too (" + day + " for '" + app +
                                "'), so both are counted\n";
                    at = end + 1;
                }
                EXPECT_EQ(err, expected) << zone << " " << listed << " " << c.expected;
            }
        }
    }
}

// Neighbouring records of one label that share one date of their period keep
// their own other date, as the listing shows them.
TEST(ReadSalesReport, NeighboursKeepTheirOwnPeriods) {
    ScopedTimeZone zone("UTC0");
    const std::string file = kReportHeader + datedLine("A", "1", "11/02/2008", "11/08/2008") +
                             datedLine("A", "2", "11/02/2008", "11/09/2008") +
                             datedLine("A", "3", "11/03/2008", "11/09/2008");
    AppRecords appRecords = readListed(file);
    std::vector<std::pair<DateValue, DateValue>> periods;
    for (const SalesRecord& record : storedRecords(appRecords[{"A"}])) {
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
            DateWindow window{*c.start ? parseDate(c.start) : 0, *c.end ? parseDate(c.end) : 0};
            EXPECT_EQ(readReports({file}, window), c.expected)
                << zone << " -s " << c.start << " -e " << c.end;
        }
    }
}

// Every record line read counts, inside the date window or not, in both
// layouts; a header, a blank line and a line of empty fields do not, and each
// piece of a line longer than a piece counts as the record line it is read as.
TEST(ReadSalesReport, CountsEveryRecordLineRead) {
    ScopedTimeZone zone("UTC0");
    const std::string byName =
        "Title\tProduct Type Identifier\tUnits\tDeveloper Proceeds\tBegin Date\tEnd Date\t"
        "Currency of Proceeds\n"
        "Chess\t1\t5\t1.40\t11/02/2008\t11/08/2008\tUSD\n\t\t\n\n"
        "Chess\t7\t1\t0\t11/02/2008\t11/08/2008\tUSD\n";
    const std::size_t shortLength = reportLine({{22, ""}}).size() - 1;
    const std::string byPosition = kReportHeader + reportLine() + "\n" +
                                   reportLine({{22, std::string(600 - shortLength, 'p')}});
    ScratchDirectory scratch;
    AppRecords appRecords;
    // The window begins after every record.
    ReadingMemoHandle memo = startReading(readOptions(true, {parseDate("20090101"), 0}));
    Diagnostics diagnostics;
    testing::internal::CaptureStderr();  // the long line's warnings
    EXPECT_EQ(recordLinesRead(*memo), 0);
    readSalesReport(scratch.write("S_W_1", byPosition).c_str(), appRecords, *memo, diagnostics);
    EXPECT_EQ(recordLinesRead(*memo), 3);
    readSalesReport(scratch.write("S_W_2", byName).c_str(), appRecords, *memo, diagnostics);
    EXPECT_EQ(recordLinesRead(*memo), 5);
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(appRecords.empty());
}

// The text report of -v (the listing and both tables) of one report read
// alone.
std::string reportOf(const std::string& bytes) {
    ScratchDirectory scratch;
    AppRecords appRecords;
    Diagnostics diagnostics;
    testing::internal::CaptureStderr();
    readSalesReport(scratch.write("S_W_twin", bytes).c_str(), appRecords,
                    *startReading(readOptions(false)), diagnostics);
    testing::internal::GetCapturedStderr();  // the value checks: seen elsewhere
    EXPECT_FALSE(diagnostics.failed);
    OutputSink out;
    printTextReport(out, tallyReport(appRecords, {{"EUR", 1.25}}), true);
    return std::string(keptText(out));
}

// The lines split at LF, each with its CR kept apart, and joined again with
// each field changed by `change`; fields that are empty stay empty, so that
// by position no token comes or goes.
std::string changeFields(const std::string& bytes, std::string (*change)(const std::string&)) {
    std::string changed;
    std::size_t begin = 0;
    while (begin < bytes.size()) {
        std::size_t end = std::min(bytes.find('\n', begin), bytes.size());
        std::string line = bytes.substr(begin, end - begin);
        bool crLf = !line.empty() && line.back() == '\r';
        line.resize(line.size() - (crLf ? 1 : 0));
        std::size_t fieldBegin = 0;
        for (;;) {
            std::size_t tab = std::min(line.find('\t', fieldBegin), line.size());
            std::string field = line.substr(fieldBegin, tab - fieldBegin);
            changed += field.empty() ? field : change(field);
            if (tab == line.size()) {
                break;
            }
            changed += '\t';
            fieldBegin = tab + 1;
        }
        changed += crLf ? "\r" : "";
        changed += end < bytes.size() ? "\n" : "";
        begin = end + 1;
    }
    return changed;
}

// A field in quotes; by name a field is read trimmed, so its trimmed text
// is quoted (and padded again, which by name is trimmed once more).
std::string quotedByPosition(const std::string& field) {
    return quotedTwin(field);
}

std::string quotedByName(const std::string& field) {
    std::size_t first = field.find_first_not_of(' ');
    std::string trimmed = first == std::string::npos
                              ? ""
                              : field.substr(first, field.find_last_not_of(' ') - first + 1);
    return " " + quotedTwin(trimmed) + " ";
}

// A date of the form MM/DD/YYYY written YYYY-MM-DD.
std::string isoDated(const std::string& field) {
    bool slashed = field.size() == 10 && field[2] == '/' && field[5] == '/';
    return slashed ? field.substr(6, 4) + "-" + field.substr(0, 2) + "-" + field.substr(3, 2)
                   : field;
}

// Random reports of both layouts, with names beyond ASCII (an emoji among
// them) and with quotes inside, each read with its twins: saved as UTF-16
// (little-endian with the mark, big-endian without, compressed), with every
// field quoted, quoted and saved as UTF-16, and with ISO dates. Each twin
// gives the report, listing and tables, of its original, byte for byte.
TEST(ReadSalesReport, SpreadsheetTwinsGiveTheSameReport) {
    ScopedTimeZone zone("UTC0");
    std::mt19937 random(27);
    auto pick = [&random](const std::vector<std::string>& from) {
        return from[random() % from.size()];
    };
    const std::vector<std::string> names = {
        "Alpha", "Tide Clock \"Pro\"", "Caf\xC3\xA9 \xCE\xA9", "Sky \xF0\x9F\x8C\x99", "  Padded ",
        "\"Odd"};
    const std::vector<std::string> types = {"1", "7", "IA1", "3", "1F", "F7"};
    const std::vector<std::string> units = {"1", "12", "-2", "300"};
    const std::vector<std::string> prices = {"0.70", "1.40", "25.20", "0"};
    const std::vector<std::string> dates = {"11/02/2008", "11/08/2008", "12/01/2008", "20081109"};
    const std::vector<std::string> currencies = {"USD", "EUR", "GBP"};
    const std::vector<std::string> countries = {"US", "DE", "GB", "\xC3\x85L"};
    const std::string named =
        "Provider\tTitle\tProduct Type Identifier\tUnits\tDeveloper Proceeds\tBegin Date\t"
        "End Date\tCountry Code\tCurrency of Proceeds\tCustomer Price";
    for (int round = 0; round < 24; ++round) {
        const bool byName = round % 2 == 1;
        const char* lineEnd = round % 3 == 0 ? "\r\n" : "\n";
        std::string report = (byName ? named : kReportHeader.substr(0, kReportHeader.size() - 1));
        report += lineEnd;
        for (int line = 0; line < 1 + static_cast<int>(random() % 40); ++line) {
            const std::string name = pick(names);
            const std::string type = pick(types);
            const std::string unit = pick(units);
            const std::string price = pick(prices);
            const std::string begin = pick(dates);
            const std::string end = pick(dates);
            const std::string country = pick(countries);
            const std::string currency = pick(currencies);
            std::string text = byName ? "STORE\t" + name + "\t" + type + "\t " + unit + "\t" +
                                            price + "\t" + begin + "\t" + end + "\t" + country +
                                            "\t" + currency + "\t0.99\n"
                                      : reportLine({{field::kName, name},
                                                    {field::kType, type},
                                                    {field::kUnits, unit},
                                                    {field::kPrice, price},
                                                    {field::kBegin, begin},
                                                    {field::kEnd, end},
                                                    {field::kCountry, country},
                                                    {field::kCurrency, currency}});
            text.replace(text.size() - 1, 1, lineEnd);
            report += text;
        }
        const std::string expected = reportOf(report);
        ASSERT_NE(expected.find("Apps count: "), std::string::npos);
        const std::string quoted = changeFields(report, byName ? quotedByName : quotedByPosition);
        const struct {
            const char* what;
            std::string bytes;
        } twins[] = {
            {"UTF-16LE with the mark", utf16Twin(report, false, true)},
            {"UTF-16BE without the mark", utf16Twin(report, true, false)},
            {"UTF-16 compressed", gzipMember(utf16Twin(report, round % 2 == 0, true))},
            {"quoted", quoted},
            {"quoted UTF-16", utf16Twin(quoted, round % 2 == 0, true)},
            {"ISO dates", changeFields(report, isoDated)},
        };
        for (const auto& twin : twins) {
            EXPECT_EQ(reportOf(twin.bytes), expected) << twin.what << " of round " << round;
        }
    }
}

}  // namespace

// Each line key finds its own row however many keys share the slots: past
// kSlotCount keys some must land in a slot that holds another, one that
// differs from it only in its day, or only in its type. The day's text
// takes its own place in the row, after the keys before it.
TEST(LabelSlots, EveryLineKeyFindsItsOwnRow) {
    ScopedTimeZone utc("UTC0");
    constexpr std::size_t kKeys = LabelSlots::kSlotCount + 500;
    constexpr DateValue kNoon = 946728000;  // 2000-01-01 12:00 UTC
    const Grouping grouping{GroupKey::kApp, GroupKey::kType, GroupKey::kDay};
    {
        LabelSlots labels;
        labels.grouping = grouping;
        labels.byAppOnly = false;
        AppRecords appRecords;
        for (std::size_t at = 0; at < kKeys; ++at) {
            const DateValue date = kNoon + static_cast<DateValue>(86400 * at);
            const std::uint32_t dayKey = dayKeyOf(labels, date);
            LabelSlot& slot = rowSlotOf(labels, appRecords, {"Alpha", "US", "USD", "1", dayKey});
            auto row = appRecords.find(RowKey{"Alpha", "1", dateKeyText(GroupKey::kDay, date)});
            ASSERT_NE(row, appRecords.end()) << at;
            ASSERT_EQ(slot.list, &row->second) << at;
        }
        EXPECT_EQ(appRecords.size(), kKeys);
    }
    {
        LabelSlots labels;
        labels.grouping = grouping;
        labels.byAppOnly = false;
        AppRecords appRecords;
        const std::uint32_t dayKey = dayKeyOf(labels, kNoon);
        for (std::size_t at = 0; at < kKeys; ++at) {
            const std::string type = "T" + std::to_string(at);
            LabelSlot& slot = rowSlotOf(labels, appRecords, {"Alpha", "US", "USD", type, dayKey});
            auto row = appRecords.find(RowKey{"Alpha", type, "2000-01-01"});
            ASSERT_NE(row, appRecords.end()) << at;
            ASSERT_EQ(slot.list, &row->second) << at;
        }
        EXPECT_EQ(appRecords.size(), kKeys);
    }
}

// Two line keys that land in one slot are told apart by each of their
// texts, also where the words a slot keeps could miss the difference: one
// byte against another, texts alike in their first eight bytes, an empty
// text against another. A slot's index is its key's hash alone, hit or
// miss, so for each row the first pair of its keys found in one slot is
// read: a listing run of lines a, b, a keeps each record's own texts.
TEST(LabelSlots, KeysThatShareASlotAreToldApart) {
    ScopedTimeZone zone("UTC0");
    struct Key {
        std::string name;
        std::string country;
        std::string currency;
    };
    using KeyPair = std::pair<Key, Key>;
    // Eight digits, which never read 12345678 below 729 * 729.
    auto digits = [](int at) {
        char text[16];
        std::snprintf(text, sizeof text, "%08d", at);
        return std::string(text);
    };
    // Eight bytes picked from '#' to '~' by the number.
    auto printable = [](int at) {
        std::mt19937 random(static_cast<std::uint32_t>(at));
        std::string text(8, ' ');
        for (char& byte : text) {
            byte = static_cast<char>('#' + random() % 92);
        }
        return text;
    };
    const struct {
        const char* what;
        std::function<KeyPair(int)> pairAt;
    } cases[] = {
        {"one-byte codes",
         [&](int at) {
             const std::string currency = printable(at);
             return KeyPair{{"App", "A", currency}, {"App", "~", currency}};
         }},
        {"one-byte names",
         [&](int at) {
             const std::string currency = printable(at);
             return KeyPair{{"A", "US", currency}, {"~", "US", currency}};
         }},
        {"codes alike in their first eight bytes",
         [&](int at) {
             return KeyPair{{"App", "ABCDEFGH12345678", "USD"},
                            {"App", "ABCDEFGH" + digits(at), "USD"}};
         }},
        {"currencies alike in their first eight bytes",
         [&](int at) {
             return KeyPair{{"App", "US", "EUROEURO12345678"},
                            {"App", "US", "EUROEURO" + digits(at)}};
         }},
        {"another code",
         [](int at) {
             return KeyPair{{"App", "US", "USD"}, {"App", "C" + std::to_string(at), "USD"}};
         }},
        {"an empty code",
         [](int at) {
             return KeyPair{{"App", "", "USD"}, {"App", "C" + std::to_string(at), "USD"}};
         }},
        {"an empty currency",
         [](int at) {
             return KeyPair{{"App", "US", ""}, {"App", "US", "E" + std::to_string(at)}};
         }},
    };
    const std::string header =
        "Title\tProduct Type Identifier\tUnits\tDeveloper Proceeds\tBegin Date\tEnd Date\t"
        "Currency of Proceeds\tCountry Code\tCustomer Price\n";
    auto line = [](const Key& key) {
        return key.name + "\t1F\t5\t1.40\t11/02/2008\t11/08/2008\t" + key.currency + "\t" +
               key.country + "\t1.99\n";
    };
    // python3 calendar.timegm for 2008-11-02 and 2008-11-08 at 00:00.
    auto record = [](const Key& key) {
        return describe(
            {key.name, 1225584000, 1226102400, 1, 5, 1.40, 1.99, key.country, key.currency});
    };
    for (const auto& c : cases) {
        std::optional<KeyPair> shared;
        LabelSlots labels;
        AppRecords appRecords;
        for (int at = 0; !shared && at < 729 * 729; ++at) {
            const KeyPair keys = c.pairAt(at);
            const LabelSlot* a = &slotOf(labels, appRecords, keys.first.name, keys.first.country,
                                         keys.first.currency);
            const LabelSlot* b = &slotOf(labels, appRecords, keys.second.name, keys.second.country,
                                         keys.second.currency);
            if (a == b) {
                shared = keys;
            }
        }
        ASSERT_TRUE(shared) << c.what;
        const auto& [a, b] = *shared;
        const AppRecords read = readListed(header + line(a) + line(b) + line(a));
        std::vector<std::string> stored;
        for (const auto& [key, list] : read) {
            for (const SalesRecord& kept : storedRecords(list)) {
                stored.push_back(describe(kept));
            }
        }
        // In name order, each name's records in line order.
        std::vector<std::string> expected = {record(a), record(b), record(a)};
        if (a.name != b.name) {
            expected = a.name < b.name ? std::vector{record(a), record(a), record(b)}
                                       : std::vector{record(b), record(a), record(a)};
        }
        EXPECT_EQ(stored, expected) << c.what;
    }
}

// A slot's cell goes with its key: a key that a newer one moves to the
// second slot of its pair, and a key that takes a slot another key of the
// same row held, add their sales to their own currency's cell. Three keys
// of one row (the type), each in a currency of its own, that share a pair
// of slots are read a, b, a, c, b without a listing.
TEST(LabelSlots, ACellGoesWithItsKey) {
    ScopedTimeZone zone("UTC0");
    const Grouping grouping{GroupKey::kType};
    // A miss takes the first slot of its pair, so new keys share a pair
    // when they are given the same slot. Without a listing, rows not keyed
    // by the country read no country code: the lines have none.
    std::vector<std::string> currencies = {"USD"};
    {
        LabelSlots labels;
        labels.grouping = grouping;
        labels.byAppOnly = false;
        AppRecords appRecords;
        auto slotFor = [&](const std::string& currency) {
            return &rowSlotOf(labels, appRecords, {"App", "", currency, "1", 0});
        };
        const LabelSlot* first = slotFor(currencies.front());
        for (int at = 0; currencies.size() < 3 && at < 1000000; ++at) {
            const std::string currency = "C" + std::to_string(at);
            if (slotFor(currency) == first) {
                currencies.push_back(currency);
            }
        }
    }
    ASSERT_EQ(currencies.size(), 3u);
    const std::string& a = currencies[0];
    const std::string& b = currencies[1];
    const std::string& c = currencies[2];
    auto line = [](const std::string& currency) {
        return "App\t1\t5\t1.50\t11/02/2008\t11/08/2008\t" + currency + "\t\t1.99\n";
    };
    const std::string header =
        "Title\tProduct Type Identifier\tUnits\tDeveloper Proceeds\tBegin Date\tEnd Date\t"
        "Currency of Proceeds\tCountry Code\tCustomer Price\n";
    ScratchDirectory scratch;
    const std::string path =
        scratch.write("S_W_0", header + line(a) + line(b) + line(a) + line(c) + line(b));
    ReadOptions options = readOptions(true);
    options.grouping = grouping;
    AppRecords summed;
    Diagnostics diagnostics;
    readSalesReport(path.c_str(), summed, *startReading(options), diagnostics);
    EXPECT_FALSE(diagnostics.failed);
    ASSERT_EQ(summed.size(), 1u);
    const RecordList& list = summed.begin()->second;
    EXPECT_EQ(summed.begin()->first, RowKey{"1"});
    // Each sale is 5 units at 1.50, 7.5 exactly: a and b sell twice, c once.
    const ModelSummary expected{5, 25, 0, {{a, {15.0, 10}}, {b, {15.0, 10}}, {c, {7.5, 5}}}};
    EXPECT_TRUE(list.summaryOnly);
    EXPECT_TRUE(sameFigures(keptSummary(list.summary), expected)) << a << " " << b << " " << c;
}
