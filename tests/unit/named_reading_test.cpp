// Reading a report by its column names: the layout chosen from the header,
// the product type table in both layouts, the rules of a line read by name,
// and the one-pass line scan against the plain model of those rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "input/named_columns.h"
#include "input/reading/line_reader.h"
#include "input/reading/scan_kernels.h"
#include "input/reading/separator_positions.h"
#include "input/sales_report.h"
#include "support/named_model.h"
#include "support/report_lines.h"
#include "unit_support.h"

namespace {

const std::string kSevenColumns =
    "Title\tProduct Type Identifier\tUnits\tDeveloper Proceeds\tBegin Date\tEnd Date\t"
    "Currency of Proceeds";
const std::string kSevenFields = "Chess\t1F\t5\t1.40\t11/02/2008\t11/08/2008\tUSD";

// The records of a report read as a listing run reads it, in name order.
std::vector<SalesRecord> readRecords(const std::string& bytes, bool refused = false) {
    std::vector<SalesRecord> records;
    for (const auto& [name, list] : readListed(bytes, refused)) {
        for (const SalesRecord& record : storedRecords(list)) {
            records.push_back(record);
        }
    }
    return records;
}

ReportLayout layoutOf(const std::string& bytes) {
    OpenReader open = openReader(bytes, widestScan());
    return chooseLayout(peekFirstLine(*open.reader));
}

TEST(ReadByName, ChoosesTheLayoutFromTheHeader) {
    ScopedTimeZone zone("UTC0");
    // python3 calendar.timegm for 2008-11-02 and 2008-11-08 at 00:00.
    const SalesRecord chess{"Chess", 1225584000, 1226102400, 1, 5, 1.40, 0.0, "", "USD"};
    const SalesRecord listed{"Chess", 1225584000, 1226102400, 1, 5, 1.40, 1.99, "GB", "USD"};
    const SalesRecord fromFirst{"Chess", 1225584000, 1226102400, 1, 5, 1.40, 0.0, "GB", "USD"};
    std::string renamed = kSevenColumns;
    renamed.replace(renamed.find("Units"), 5, "Quantity");
    const struct {
        std::string file;
        const char* missing;  // null: none is missing, or the header is read by position
        std::vector<SalesRecord> expected;
    } cases[] = {
        // clang-format off
        {kSevenColumns + "\n" + kSevenFields + "\n", nullptr, {chess}},
        // Another order, other columns among them, the listing's two columns.
        {"Currency of Proceeds\tNote\tEnd Date\tBegin Date\tDeveloper Proceeds\tUnits\t"
         "Product Type Identifier\tTitle\tCountry Code\tCustomer Price\r\n"
         "USD\tx\t11/08/2008\t11/02/2008\t1.40\t5\t1F\tChess\tGB\t1.99\r\n", nullptr, {listed}},
        // A country in the header's first column.
        {"Country Code\t" + kSevenColumns + "\nGB\t" + kSevenFields + "\n", nullptr, {fromFirst}},
        {" title\tPRODUCT type identifier \tunits\tdeveloper proceeds\tBEGIN DATE\tend date\t"
         "Currency Of Proceeds\n" + kSevenFields, nullptr, {chess}},
        // The first of two equal names counts.
        {"Title\t" + kSevenColumns + "\nChess\tOther\t1F\t5\t1.40\t11/02/2008\t11/08/2008\tUSD\n",
         nullptr, {chess}},
        // A header longer than a piece, and one longer than the read block.
        {std::string(600, 'h') + "\t" + kSevenColumns + "\nx\t" + kSevenFields + "\n", nullptr,
         {chess}},
        {std::string(200000, 'h') + "\t" + kSevenColumns + "\nx\t" + kSevenFields + "\n", nullptr,
         {chess}},
        // A lone CR ends the header; the next line starts after it.
        {kSevenColumns + "\r" + kSevenFields, nullptr, {chess}},
        // Quoted names are read by their text, also with spaces around the
        // quotes; a name quoted at one end only is no name of the layout.
        {"\"Title\"\t \"Product Type Identifier\" \t\"Units\"\t\"Developer Proceeds\"\t"
         "\"Begin Date\"\t\"End Date\"\t\"Currency of Proceeds\"\n" + kSevenFields, nullptr, {chess}},
        {"\"Title\t" + kSevenColumns.substr(6) + "\n" + kSevenFields, "Title", {}},
        // Near misses are not read at all (by position, USD would be the
        // name).
        {renamed + "\n" + kSevenFields + "\n", "Units", {}},
        {"Provider\tDeveloper Proceeds\n", "Title", {}},
        {kSevenColumns.substr(0, kSevenColumns.rfind('\t')) + std::string(1, '\0') +
             "\tCurrency of Proceeds\n", "Currency of Proceeds", {}},
        // The first layout, and any other header, are no near miss.
        {"Provider\tTitle / Episode / Season\tRoyalty Price\tRoyalty Currency\n", nullptr, {}},
        {"a\tb\n", nullptr, {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        const std::string header = c.file.substr(0, 80);
        ReportLayout layout = layoutOf(c.file);
        EXPECT_EQ(layout.missingColumn != nullptr ? layout.missingColumn : "",
                  std::string(c.missing != nullptr ? c.missing : ""))
            << header;
        std::vector<SalesRecord> records = readRecords(c.file, c.missing != nullptr);
        ASSERT_EQ(records.size(), c.expected.size()) << header;
        for (std::size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(describe(records[i]), describe(c.expected[i])) << header;
        }
    }
}

// What a spreadsheet saves in other formats is not read: a workbook (a zip
// archive) and a header that holds a comma or a semicolon but no TAB.
TEST(ReadByName, RefusesFilesThatAreNotTabSeparated) {
    const std::string comma = "it is comma-separated; export it as tab-separated text";
    const std::string zip = "it is a workbook or zip archive, not a text report";
    const struct {
        std::string header;
        std::string reason;  // empty: read
    } cases[] = {
        // clang-format off
        {"Title,Product Type Identifier,Units", comma}, {"Title;Units", comma},
        {"\"Title\",\"Units\"", comma}, {",", comma},
        {std::string("PK\x03\x04\x14", 5), zip}, {"PK\x03\x04,a\tb", zip},
        // A TAB makes it tab-separated, commas and all; other headers are read.
        {"Provider\tTitle, Episode; Season", ""}, {"Provider", ""}, {"", ""},
        {"PK\x03\x05", ""}, {"PK", ""},
        // clang-format on
    };
    for (const auto& c : cases) {
        const char* reason = notTabSeparated(c.header);
        EXPECT_EQ(reason != nullptr ? reason : "", c.reason) << c.header;
        // None of its records count.
        const std::string file = c.header + "\n" + reportLine();
        EXPECT_EQ(readRecords(file, !c.reason.empty()).size(), c.reason.empty() ? 1u : 0u)
            << c.header;
    }
}

// For each header: the layout, the field of each column found (-1: none),
// the fields a record needs and the column the near-miss warning names.
TEST(ReadByName, HeaderTableGivesColumnsFieldsNeededAndWarning) {
    const std::string withoutCurrency = kSevenColumns.substr(0, kSevenColumns.rfind('\t'));
    const struct {
        std::string header;
        bool byName;
        std::vector<int> fieldOf;  // in the order of NamedColumn
        int fieldsNeeded;
        std::string missing;
    } cases[] = {
        // clang-format off
        {kSevenColumns, true, {0, 1, 2, 3, 4, 5, 6, -1, -1}, 7, ""},
        // The listing's columns are no field a record needs, wherever they stand.
        {kSevenColumns + "\tCustomer Price\tCountry Code", true, {0, 1, 2, 3, 4, 5, 6, 8, 7}, 7, ""},
        {"Country Code\tCustomer Price\t" + kSevenColumns, true, {2, 3, 4, 5, 6, 7, 8, 0, 1}, 9, ""},
        {"x\t\t" + kSevenColumns + "\tTitle", true, {2, 3, 4, 5, 6, 7, 8, -1, -1}, 9, ""},
        // Each of the three telling columns alone makes a near miss.
        {"Title\tUnits", false, {0, -1, 1, -1, -1, -1, -1, -1, -1}, 0, "Product Type Identifier"},
        {"Developer Proceeds", false, {-1, -1, -1, 0, -1, -1, -1, -1, -1}, 0, "Title"},
        {"Units\tCurrency of Proceeds", false, {-1, -1, 0, -1, -1, -1, 1, -1, -1}, 0, "Title"},
        {withoutCurrency, false, {0, 1, 2, 3, 4, 5, -1, -1, -1}, 0, "Currency of Proceeds"},
        // Other columns of today's layout alone do not.
        {"Units\tBegin Date\tEnd Date\tCountry Code", false, {-1, -1, 0, -1, 1, 2, -1, 3, -1}, 0, ""},
        {std::string(kReportHeader, 0, kReportHeader.find('\n')), false,
         {-1, -1, -1, -1, -1, -1, -1, -1, -1}, 0, ""},
        // clang-format on
    };
    for (const auto& c : cases) {
        ReportLayout layout = chooseLayout(c.header);
        EXPECT_EQ(layout.byName, c.byName) << c.header;
        EXPECT_EQ(std::vector<int>(std::begin(layout.fieldOf), std::end(layout.fieldOf)), c.fieldOf)
            << c.header;
        if (c.byName) {
            EXPECT_EQ(layout.fieldsNeeded, c.fieldsNeeded) << c.header;
        }
        EXPECT_EQ(layout.missingColumn != nullptr ? layout.missingColumn : "", c.missing)
            << c.header;
    }
}

// The type text decides the type code alike in both layouts; only by name
// is the field trimmed.
TEST(ReadByName, ProductTypesCountTheSameInBothLayouts) {
    const struct {
        const char* text;
        int byPosition;
        int byName;
    } cases[] = {
        // clang-format off
        {"1", 1, 1}, {"1F", 1, 1}, {"1T", 1, 1}, {"1E", 1, 1}, {"1EP", 1, 1}, {"1EU", 1, 1},
        {"1-B", 1, 1}, {"F1", 1, 1}, {"F1-B", 1, 1}, {"IA1", 1, 1}, {"IA1-M", 1, 1},
        {"IA9", 1, 1}, {"IA9-M", 1, 1}, {"IAY", 1, 1}, {"IAY-M", 1, 1}, {"IAC", 1, 1},
        {"FI1", 1, 1}, {"7", 7, 7}, {"7F", 7, 7}, {"7T", 7, 7}, {"F7", 7, 7},
        // Anything else is read as a number: re-downloads, restores, case.
        {"3", 3, 3}, {"3F", 3, 3}, {"IA3", 0, 0}, {"ia1", 0, 0}, {"f7", 0, 0}, {"1f", 1, 1},
        {"F7 ", 0, 7}, {" 7", 7, 7}, {"12", 12, 12},
        // clang-format on
    };
    for (const auto& c : cases) {
        const std::string positional =
            "header\n0\t1\t2\t3\t4\t5\tApp\t7\t" + std::string(c.text) + "\t5\t1.40\n";
        const std::string byName =
            kSevenColumns + "\nApp\t" + c.text + "\t5\t1.40\t11/02/2008\t11/08/2008\tUSD\n";
        for (const auto& [file, expected] :
             {std::pair{positional, c.byPosition}, std::pair{byName, c.byName}}) {
            std::vector<SalesRecord> records = readRecords(file);
            ASSERT_EQ(records.size(), 1u) << c.text;
            EXPECT_EQ(records[0].typeCode, expected) << "'" << c.text << "' in " << file;
        }
    }
}

// Application name and units of every record, in name order.
std::string summarise(const std::vector<SalesRecord>& records) {
    std::string summary;
    for (const SalesRecord& record : records) {
        summary +=
            "[" + record.appName + "]" + std::to_string(record.units) + record.currency + ";";
    }
    return summary;
}

TEST(ReadByName, ReadsWholeLinesWithEveryField) {
    const std::string nul(1, '\0');
    const std::string longName(70000, 'n');  // longer than the read block
    const struct {
        std::string lines;
        std::string expected;
    } cases[] = {
        // clang-format off
        {"A\t1\t2\t0\t\t\tEUR\nB\t1\t3\t0\r\nC\t1\t4\rD\t1\t5\r\n", "[A]2EUR;[B]3;[C]4;[D]5;"},
        // Empty fields, one space or nothing, and spaces around values.
        {" A \t\t 2 \t\t \t\t EUR\n", "[A]2EUR;"},
        // Lines of empty fields are no records; a missing title is an empty one.
        {"\n \t \t\n\t\t\t\t\t\tUSD\n", "[]0USD;"},
        {"A" + nul + "B\t1\t2\nC\t1\t3" + nul + "\n", "[A]0;[C]3;"},
        {"A\t1\t2\n\x1A" "B\t1\t3\n", "[A]2;"},
        {"A\t1\t2\x1A", "[A]2;"},
        {std::string(600, ' ') + "A\t1\t2\t" + std::string(600, 'x') + "\n", "[A]2;"},
        {longName + "\t1\t2\n" + longName + "\t1\t3", "[" + longName + "]2;[" + longName + "]3;"},
        // Quoted fields: '""' inside is '"', spaces around the quotes go,
        // inside them they stay; a '"' not at both ends stays.
        {"\"A\"\t\"1\"\t\"2\"\t\"0\"\t\"\"\t\"\"\t\"EUR\"\n", "[A]2EUR;"},
        {" \"A \"\"x\"\"\" \t1\t2\n\"\t1\t3\n\"B\t1\t4\nC\"\t1\t5\n\" D\"\t1\t6\n",
         "[ D]6;[\"]3;[\"B]4;[A \"x\"]2;[C\"]5;"},  // in byte order
        // A line of fields '""' is no record; '" "' is a space, no empty field.
        {"\"\"\t \"\" \t\"\"\n\"\"\t\"\"\t\" \"\n", "[]0;"},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(summarise(readRecords(kSevenColumns + "\n" + c.lines)), c.expected)
            << c.lines.substr(0, 40);
    }
}

// The columns of each line taken from its TABs' positions, one scratch
// array kept from line to line as a run keeps it, and whether the line is
// short of the last required column's field. The array always holds the
// room the positions are written in (one more than the TABs up to the last
// column's end, and an overrun of a word's worth), also when a later layout's
// columns lie further along than an earlier one's.
TEST(ReadByName, TakesColumnsFromTheTabsPositions) {
    std::string farHeader;
    std::string farLine;
    for (int at = 0; at < 100; ++at) {
        farHeader += "x\t";
        farLine += "y\t";
    }
    const std::string withoutCurrency = kSevenFields.substr(0, kSevenFields.rfind('\t'));
    const std::string name54(54, 'n');
    const struct {
        std::string header;
        std::string line;
        NamedLine kind;
        std::string appName;
        std::string currency;
    } cases[] = {
        // clang-format off
        {kSevenColumns, kSevenFields, NamedLine::kRecord, "Chess", "USD"},
        // Without the currency's field, or with it empty.
        {kSevenColumns, withoutCurrency, NamedLine::kShortRecord, "Chess", ""},
        {kSevenColumns, withoutCurrency + "\t", NamedLine::kRecord, "Chess", ""},
        {kSevenColumns, "Chess\t1F", NamedLine::kShortRecord, "Chess", ""},
        // The currency's field from byte 63 to 65, a field after it.
        {kSevenColumns, name54 + "\t1\t2\t0\t\t\tUSD\tx", NamedLine::kRecord, name54, "USD"},
        // Columns past 100 fields, then the first layout again.
        {farHeader + kSevenColumns, farLine + kSevenFields, NamedLine::kRecord, "Chess", "USD"},
        {kSevenColumns, kSevenFields + "\tx", NamedLine::kRecord, "Chess", "USD"},
        // clang-format on
    };
    std::vector<std::uint32_t> tabAt;
    std::string scratch;
    for (const auto& c : cases) {
        OpenReader open = openReader(c.header + "\n" + c.line + "\n", widestScan());
        const ReportLayout layout = chooseLayout(peekFirstLine(*open.reader));
        ASSERT_TRUE(layout.byName) << c.line;
        WholeLine line;
        ASSERT_TRUE(readWholeLine(*open.reader, line));  // the header
        ASSERT_TRUE(readWholeLine(*open.reader, line));
        RecordFields fields;
        const NamedLine kind = takeNamedFields(line, layout, {true, true}, fields, scratch, tabAt);
        EXPECT_EQ(kind, c.kind) << c.line;
        EXPECT_EQ(fields.appName, c.appName) << c.line;
        EXPECT_EQ(fields.currency, c.currency) << c.line;
        const int lastField =
            *std::max_element(std::begin(layout.fieldOf), std::end(layout.fieldOf));
        EXPECT_GE(tabAt.size(), static_cast<std::size_t>(lastField + 2 + kSeparatorOverrun))
            << c.line;
    }
}

// Bytes built from fragments that stress the line and field rules.
std::string randomLines(std::mt19937& random, std::size_t size) {
    using namespace std::string_literals;
    static const std::vector<std::string> kFragments = {
        "\t",    "\t\t", "\n",         "\r",        "\r\n",    " ",         "  ",
        "Chess", "IA1",  "F1",         "7",         "3F",      "12",        "-1",
        "1.40",  "EUR",  "11/02/2008", "20081108",  "\x1A",    "\0"s,       std::string(300, 'y'),
        "\"",    "\"\"", "\"Chess\"",  "\"a\"\"\"", " \"7\" ", "2008-11-02"};
    return fragmentBytes(random, size, kFragments);
}

// The line scan at every width finds the lines, the TABs in them and the
// lines a NUL cut that the plain model does, on lines left in the block and
// copied ones, and on a CR-LF whose CR ends the first read block.
TEST(ReadByName, WholeLinesMatchThePlainRules) {
    std::mt19937 random(7);
    const std::string filler = std::string(99, 'y') + "\n";
    std::string crAtBlockEnd;
    while (crAtBlockEnd.size() + filler.size() < kReadBlockSize) {
        crAtBlockEnd += filler;
    }
    crAtBlockEnd.resize(kReadBlockSize - 1, 'z');
    crAtBlockEnd += "\r\ntail\n";
    for (ScanWidth width : runnableWidths()) {
        for (std::size_t size : {0u, 900u, 70000u, 140001u, 1u}) {
            std::string bytes = size == 1 ? crAtBlockEnd : randomLines(random, size);
            if (size % 2 == 1) {
                std::erase(bytes, '\x1A');  // a Ctrl-Z would end the file early
            }
            OpenReader open = openReader(bytes, width);
            std::vector<std::string> lines;
            std::vector<bool> cut;
            WholeLine line;
            while (readWholeLine(*open.reader, line)) {
                lines.emplace_back(line.text);
                cut.push_back(line.cutAtNul);
                for (std::size_t i = 0; i < line.text.size(); ++i) {
                    bool tab = (line.tabBits[i / 64] >> (i % 64) & 1) != 0;
                    ASSERT_EQ(tab, line.text[i] == '\t') << i << " of " << lines.size();
                }
            }
            std::vector<bool> modelCut;
            EXPECT_EQ(lines, modelWholeLines(bytes, &modelCut))
                << size << " width " << static_cast<int>(width);
            EXPECT_EQ(cut, modelCut) << size << " width " << static_cast<int>(width);
        }
    }
}

// Every record read by name has the fields the plain model gives its line,
// whatever the bytes, read for a listing and for the sums only.
TEST(ReadByName, RecordsMatchThePlainRules) {
    ScopedTimeZone zone("UTC0");
    std::mt19937 random(8);
    const std::string header =
        "Provider\tTitle\tCountry Code\t" + kSevenColumns.substr(6) + "\tCustomer Price\tTitle";
    const std::map<std::string, std::size_t> columns = modelColumns(header);
    ASSERT_TRUE(modelReadsByName(columns));
    for (int round = 0; round < 40; ++round) {
        const std::string bytes = header + "\n" + randomLines(random, 1 + random() % 20000);
        std::vector<std::string> lines = modelWholeLines(bytes);
        std::map<std::string, std::vector<SalesRecord>> byApp;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            SalesRecord record;
            if (modelNamedRecord(columns, lines[i], record)) {
                byApp[record.appName].push_back(record);
            }
        }
        std::vector<std::string> expected;
        for (const auto& [app, records] : byApp) {
            for (const SalesRecord& record : records) {
                expected.push_back(describe(record));
            }
        }
        std::vector<std::string> got;
        for (const SalesRecord& record : readRecords(bytes)) {
            got.push_back(describe(record));
        }
        ASSERT_EQ(got, expected) << round;
    }
}

}  // namespace
