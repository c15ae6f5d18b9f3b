// Record lines of every shape the line rules allow, read by the reader and
// by the plain models of those rules. The usual line takes its fields from
// the positions of its separators, not by a split into tokens: every other
// shape (an empty field, a line cut by the piece limit, a CR alone, a NUL,
// a Ctrl-Z) must still give the tokens' records and the same warnings, and
// a line read by name the model's fields, whatever its length.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "common/types.h"
#include "input/sales_report.h"
#include "support/named_model.h"
#include "support/piece_model.h"
#include "support/report_lines.h"
#include "support/text_model.h"
#include "unit_support.h"

namespace {

// Texts that leave the usual line's path or read oddly: empty and blank
// fields, quotes, texts over 16 bytes, numbers not read as they look,
// dates of each form and odd ones, types in and out of the table, a CR.
const std::vector<std::string> kOddTexts = {"",
                                            " ",
                                            "  ",
                                            "\"USD\"",
                                            "\"a\"\"b\"",
                                            "Seventeen Bytes!!",
                                            std::string(40, 'n'),
                                            "1e3",
                                            "-3",
                                            "12x",
                                            "0,70",
                                            " 12",
                                            "2147483648",
                                            "1.50",
                                            "007",
                                            "3",
                                            "IA1",
                                            "7F",
                                            "0",
                                            "1X",
                                            "2008-13-45",
                                            "11/2/2008",
                                            "20081302",
                                            "2008-11-02",
                                            "20081102",
                                            "11/02/2008",
                                            "EUR",
                                            "\r",
                                            "x\ry"};

// Lengths around the limits a line meets: the scan's 64-byte words, and
// the piece's 499 characters.
const std::size_t kLengths[] = {63,  64,  65,  127, 128, 129, 190, 191, 192,
                                193, 255, 256, 498, 499, 500, 501, 700};

// A record line of these fields: now and then a field replaced by an odd
// text, padded to a length near a limit, with a NUL, a CR or (rarely) a
// Ctrl-Z put in, and ended by LF, CR-LF or a CR alone.
std::string shapedLine(std::mt19937& random, std::vector<std::string> fields, int nameField) {
    for (int change = static_cast<int>(random() % 4); change > 0; --change) {
        fields[random() % fields.size()] = kOddTexts[random() % kOddTexts.size()];
    }
    if (random() % 8 == 0) {
        fields[random() % fields.size()].clear();  // an empty field, wherever it stands
    }
    std::string line = fields[0];
    for (std::size_t i = 1; i < fields.size(); ++i) {
        line += "\t" + fields[i];
    }
    if (random() % 3 == 0) {
        const std::size_t length = kLengths[random() % std::size(kLengths)];
        if (line.size() < length) {
            // The padding lengthens the name or the last field.
            std::size_t at = random() % 2 == 0 ? line.size() : line.find('\t') + 1;
            for (int field = 0; at != line.size() && field < nameField; ++field) {
                at = line.find('\t', at) + 1;
            }
            line.insert(at, length - line.size(), 'p');
        }
    }
    switch (random() % 40) {
        case 0:
        case 1:
            line.insert(random() % (line.size() + 1), 1, '\0');
            break;
        case 2:
        case 3:
            line.insert(random() % (line.size() + 1), 1, '\r');
            break;
        case 4:
            line.insert(random() % (line.size() + 1), 1, '\x1A');
            break;
        default:
            break;
    }
    const int end = static_cast<int>(random() % 20);
    return line + (end < 13 ? "\n" : end < 19 ? "\r\n" : "\r");
}

// The 23 fields of the first layout's usual line (see report_lines.h),
// with names and currencies that differ from line to line.
std::vector<std::string> positionFields(std::mt19937& random) {
    static const std::vector<std::string> kNames = {"App", "Chess", "Word Smith Lite",
                                                    "A Name of 16 B.", "Seventeen Bytes!!"};
    static const std::vector<std::string> kCurrencies = {"USD", "EUR", "JPY", "GBP"};
    return {"STORE",
            "US",
            "1001",
            " ",
            " ",
            "Dev",
            kNames[random() % kNames.size()],
            " ",
            random() % 4 == 0 ? "7" : "1",
            std::to_string(1 + random() % 40),
            "0.70",
            "11/02/2008",
            "11/08/2008",
            "GBP",
            random() % 2 == 0 ? "US" : "DE",
            kCurrencies[random() % kCurrencies.size()],
            " ",
            " ",
            " ",
            "301234567",
            "0.99",
            random() % 2 == 0 ? " " : "5.00",  // read as the customer price after an empty field
            " "};
}

std::vector<std::string> describedRecords(const AppRecords& appRecords) {
    std::vector<std::string> described;
    for (const auto& [key, list] : appRecords) {
        for (const SalesRecord& record : storedRecords(list)) {
            described.push_back(key.front() + ": " + describe(record));
        }
    }
    return described;
}

// What reading a report prints on standard error, with the records read for
// a listing.
struct ReadResult {
    AppRecords appRecords;
    std::vector<std::string> records;
    std::string warnings;
};

ReadResult readWithWarnings(const std::string& bytes) {
    ScratchDirectory scratch;
    AppRecords appRecords;
    Diagnostics diagnostics;
    const std::string path = scratch.write("S_W_0", bytes);
    testing::internal::CaptureStderr();
    readSalesReport(path.c_str(), appRecords, *startReading(readOptions(false)), diagnostics);
    std::string warnings = testing::internal::GetCapturedStderr();
    // The path differs from read to read.
    for (std::size_t at; (at = warnings.find(path)) != std::string::npos;) {
        warnings.replace(at, path.size(), "P");
    }
    std::vector<std::string> records = describedRecords(appRecords);
    return {std::move(appRecords), std::move(records), warnings};
}

// By position: the records are the model's, read for a listing and for the
// sums only. The same lines after a TAB, which yields no token but is an
// empty field, so each line takes the split into tokens, give the same
// records and the same warnings. Only lines well short of the piece limit
// get the TAB, so that it cuts no line anew, and only after an LF.
TEST(ShapedLines, ByPositionTheUsualPathReadsAsTheTokensDo) {
    ScopedTimeZone zone("UTC0");
    std::mt19937 random(29);
    int usualLines = 0;
    for (int round = 0; round < 80; ++round) {
        std::string bytes = kReportHeader;
        std::string tabbed = kReportHeader;
        for (int count = 1 + static_cast<int>(random() % 60); count > 0; --count) {
            const std::string line = shapedLine(random, positionFields(random), field::kName);
            bytes += line;
            // After a CR alone the line goes on: a TAB there would split a token.
            tabbed += (line.size() < 400 && tabbed.back() == '\n' ? "\t" : "") + line;
            usualLines += line.back() == '\n' && line.find('\r') >= line.size() - 2 &&
                          line.find_first_of(std::string("\0\x1A", 2)) == std::string::npos &&
                          line.find("\t\t") == std::string::npos && line.size() < 450;
        }
        std::vector<std::string> expected;
        std::map<std::string, std::vector<SalesRecord>> byApp;
        const std::vector<std::string> pieces = modelPieces(modelText(bytes));
        for (std::size_t i = 1; i < pieces.size(); ++i) {
            SalesRecord record;
            if (modelRecord(pieces[i], record)) {
                byApp[record.appName].push_back(record);
            }
        }
        for (const auto& [app, records] : byApp) {
            for (const SalesRecord& record : records) {
                expected.push_back(app + ": " + describe(record));
            }
        }
        const ReadResult read = readWithWarnings(bytes);
        ASSERT_EQ(read.records, expected) << round;
        const ReadResult split = readWithWarnings(tabbed);
        EXPECT_EQ(split.records, read.records) << round;
        EXPECT_EQ(split.warnings, read.warnings) << round;
        // Summed while read, without a listing.
        ScratchDirectory scratch;
        AppRecords summed;
        Diagnostics diagnostics;
        testing::internal::CaptureStderr();
        readSalesReport(scratch.write("S_W_0", bytes).c_str(), summed,
                        *startReading(readOptions(true)), diagnostics);
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(summed.size(), read.appRecords.size()) << round;
        for (const auto& [key, list] : summed) {
            auto stored = read.appRecords.find(key);
            ASSERT_NE(stored, read.appRecords.end()) << round << " " << key.front();
            EXPECT_TRUE(sameFigures(keptSummary(list.summary), modelSummary(stored->second)))
                << round << " " << key.front();
        }
    }
    // The generator must reach the usual path, not only the others.
    EXPECT_GT(usualLines, 1000);
}

// By name: today's 28 columns, the same shapes. Every line's columns are
// the model's fields, and a line short of the required columns is named
// where the model finds the first, with the model's count.
TEST(ShapedLines, ByNameTheColumnsAreTheModelsFields) {
    ScopedTimeZone zone("UTC0");
    std::mt19937 random(30);
    const std::string header =
        "Provider\tProvider Country\tSKU\tDeveloper\tTitle\tVersion\tProduct Type Identifier\t"
        "Units\tDeveloper Proceeds\tBegin Date\tEnd Date\tCustomer Currency\tCountry Code\t"
        "Currency of Proceeds\tStore Identifier\tCustomer Price\tPromo Code\tParent Identifier\t"
        "Subscription\tPeriod\tCategory\tCMB\tDevice\tSupported Platforms\tProceeds Reason\t"
        "Preserved Pricing\tClient\tOrder Type";
    const std::map<std::string, std::size_t> columns = modelColumns(header);
    ASSERT_TRUE(modelReadsByName(columns));
    constexpr std::size_t kFieldsNeeded = 14;  // up to Currency of Proceeds
    for (int round = 0; round < 80; ++round) {
        std::string bytes = header + "\r\n";
        for (int count = 1 + static_cast<int>(random() % 60); count > 0; --count) {
            std::vector<std::string> old = positionFields(random);
            std::vector<std::string> fields = {
                old[0],  old[1],   old[2],  old[5],  old[6],  "",      old[8],
                old[9],  old[10],  old[11], old[12], old[13], old[14], old[15],
                old[19], old[20],  " ",     "",      " ",     "",      "Games",
                "",      "iPhone", "iOS",   "",      " ",     "",      ""};
            // Now and then a line without its last columns.
            if (random() % 8 == 0) {
                fields.resize(1 + random() % fields.size());
            }
            bytes += shapedLine(random, fields, 4);
        }
        std::vector<std::string> expected;
        std::map<std::string, std::vector<SalesRecord>> byApp;
        std::size_t shortLines = 0;
        std::string firstShort;
        const std::vector<std::string> lines = modelWholeLines(bytes);
        for (std::size_t i = 1; i < lines.size(); ++i) {
            SalesRecord record;
            if (!modelNamedRecord(columns, lines[i], record)) {
                continue;
            }
            byApp[record.appName].push_back(record);
            const std::size_t fieldCount = modelFields(lines[i]).size();
            if (fieldCount < kFieldsNeeded && shortLines++ == 0) {
                firstShort = "'P' line " + std::to_string(i + 1) + ": only " +
                             std::to_string(fieldCount) + " of the 14 fields that a record needs";
            }
        }
        for (const auto& [app, records] : byApp) {
            for (const SalesRecord& record : records) {
                expected.push_back(app + ": " + describe(record));
            }
        }
        const ReadResult read = readWithWarnings(bytes);
        ASSERT_EQ(read.records, expected) << round;
        if (shortLines == 0) {
            EXPECT_EQ(read.warnings.find("fields that a record needs"), std::string::npos) << round;
        } else {
            EXPECT_NE(read.warnings.find(firstShort + " (" + std::to_string(shortLines) +
                                         " in this report)"),
                      std::string::npos)
                << round << "\n"
                << read.warnings;
        }
    }
}

}  // namespace
