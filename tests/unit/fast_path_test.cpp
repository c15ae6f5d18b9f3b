// The fast paths of reading must agree with the plain rules on any input:
// whole-line pieces against the plain model of the piece rules, the one-pass line
// splitter against nextToken, short decimals against from_chars, the
// compact record list against the records put into it, and the sums kept
// while reading against sums of the stored records.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/file_handle.h"
#include "common/lenient_number.h"
#include "common/piece_reader.h"
#include "common/run_settings.h"
#include "common/types.h"
#include "fuzz/piece_model.h"
#include "input/date_value.h"
#include "input/sales_report.h"
#include "unit_support.h"

namespace {

// Bytes built from fragments that stress the piece and token rules.
std::string randomBytes(std::mt19937& random, std::size_t size) {
    static const std::vector<std::string> kFragments = {"\t",
                                                        "\t\t",
                                                        "\n",
                                                        "\r",
                                                        "\r\n",
                                                        "\r\r\n",
                                                        "ab",
                                                        "Name",
                                                        "12",
                                                        "0.70",
                                                        "-3",
                                                        "1e3",
                                                        " ",
                                                        "\x1A",
                                                        std::string(1, '\0'),
                                                        std::string(200, 'y'),
                                                        "07/06/2008",
                                                        "20081102"};
    std::string bytes;
    while (bytes.size() < size) {
        bytes += kFragments[random() % kFragments.size()];
    }
    return bytes;
}

TEST(FastPath, PiecesMatchTheByteByByteRules) {
    std::mt19937 random(1);
    // Lines around the 499-character limit, with LF and CR-LF ends, lead.
    std::string boundaries;
    for (std::size_t length = 496; length <= 502; ++length) {
        boundaries += std::string(length, 'z') + "\n" + std::string(length, 'z') + "\r\n";
    }
    for (std::size_t size : {0u, 700u, 5000u, 70000u, 140000u}) {
        std::string bytes = boundaries + randomBytes(random, size);
        FileHandle file(std::tmpfile());
        std::fwrite(bytes.data(), 1, bytes.size(), file.get());
        std::rewind(file.get());
        auto reader = std::make_unique<PieceReader>();
        startPieces(*reader, file.get());
        std::vector<std::string> pieces;
        Piece piece;
        while (readPiece(*reader, piece)) {
            pieces.emplace_back(piece.text, piece.length);
        }
        std::vector<std::string> expected;
        for (const std::string& whole : modelPieces(bytes)) {
            expected.emplace_back(whole.c_str());  // the text ends at the first NUL
        }
        EXPECT_EQ(pieces, expected) << size;
    }
}

TEST(FastPath, RecordFieldsMatchNextToken) {
    std::mt19937 random(2);
    for (int round = 0; round < 2000; ++round) {
        std::string text = randomBytes(random, random() % 499).substr(0, 499);
        Piece piece;
        text.copy(piece.text, text.size());
        piece.text[text.size()] = '\0';
        piece.length = text.size();
        std::vector<std::string> tokens;
        std::string_view token;
        while (tokens.size() < 21 && nextToken(piece, "\t\n", token)) {
            tokens.emplace_back(token);
        }
        tokens.resize(21);
        piece.cursor = 0;
        SalesRecord record;
        EXPECT_EQ(parseSalesRecord(piece, record), !tokens[0].empty());
        EXPECT_EQ(record.appName, tokens[6]) << text;
        EXPECT_EQ(record.typeCode, lenientInteger(tokens[8]));
        EXPECT_EQ(record.units, lenientInteger(tokens[9]));
        EXPECT_EQ(record.beginDate, tokens[11].empty() ? 0 : parseDate(tokens[11]));
        EXPECT_EQ(record.auxText, tokens[14]);
        EXPECT_EQ(record.currency, tokens[15]);
        EXPECT_EQ(record.auxAmount, lenientReal(tokens[20]));
    }
}

TEST(FastPath, ShortDecimalsAreCorrectlyRounded) {
    std::mt19937_64 random(3);
    for (int round = 0; round < 100000; ++round) {
        std::string digits = std::to_string(random() % 1000000000000000000u);
        digits.resize(1 + random() % digits.size());
        std::size_t point = random() % (digits.size() + 1);
        std::string text = digits.substr(0, point) + "." + digits.substr(point);
        double expected = 0.0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        ASSERT_EQ(lenientReal(text), expected) << text;
        ASSERT_EQ(lenientReal(digits), std::stod(digits)) << digits;
    }
}

// Neighbouring records share their begin date in pairs, and never their end.
TEST(FastPath, RecordListGivesBackWhatWasPut) {
    std::vector<SalesRecord> records;
    for (int i = 0; i < 300; ++i) {
        records.push_back({i % 2 ? "Alpha" : "Beta", 86400 * (i / 2 % 3), 86400 * (i % 5), i % 8,
                           i - 100, 0.25 * i, 1.5, i % 3 ? "DE" : "", i % 7 ? "EUR" : "USD"});
    }
    RecordList list(records);
    ASSERT_EQ(list.size(), records.size());
    EXPECT_LE(list.labels.size(), 8u);  // texts and periods are stored once
    EXPECT_LE(list.periods.size(), 15u);
    std::size_t index = 0;
    for (const SalesRecord& record : list) {
        const SalesRecord& put = records[index++];
        EXPECT_EQ(record.appName, put.appName);
        EXPECT_EQ(record.beginDate, put.beginDate);
        EXPECT_EQ(record.endDate, put.endDate);
        EXPECT_EQ(record.typeCode, put.typeCode);
        EXPECT_EQ(record.units, put.units);
        EXPECT_EQ(record.unitAmount, put.unitAmount);
        EXPECT_EQ(record.auxAmount, put.auxAmount);
        EXPECT_EQ(record.auxText, put.auxText);
        EXPECT_EQ(record.currency, put.currency);
    }
}

// Reports whose sums depend on the order of addition (amounts of many
// magnitudes), with several labels sharing a currency, types other than 1 and
// 7, and currencies only updated, never sold.
TEST(FastPath, SummaryWhileReadingMatchesTheStoredRecords) {
    ScopedTimeZone zone("UTC0");
    runSettings = RunSettings{};
    std::mt19937 random(4);
    const char* apps[] = {"Alpha", "Beta", "Gamma"};
    const char* countries[] = {"US", "DE", "JP", "FR"};
    const char* currencies[] = {"USD", "EUR", "JPY", "XTS"};
    const char* amounts[] = {"0.70", "1e-3", "123456.789", "3", "0.1", "-2.5"};
    const char* types[] = {"1", "7", "1", "3", "1"};
    ScratchFiles scratch;
    std::vector<std::string> files;
    for (int file = 0; file < 3; ++file) {
        std::string bytes = "header\r\n";
        for (int line = 0; line < 400; ++line) {
            std::size_t currency = random() % 4;
            bool updateOnly = currency == 3;  // XTS is never sold
            bytes += std::string("S\tUS\t1\t \t \t \t") + apps[random() % 3] + "\t \t" +
                     (updateOnly ? "7" : types[random() % 5]) + "\t" +
                     std::to_string(static_cast<int>(random() % 200) - 20) + "\t" +
                     amounts[random() % 6] + "\t0" + std::to_string(file + 1) +
                     "/02/2009\t02/08/2009\tGBP\t" + countries[random() % 4] + "\t" +
                     currencies[currency] + "\t \t \t \t7\t0.99\t \t \r\n";
        }
        files.push_back(scratch.write("S_W_" + std::to_string(file), bytes));
    }
    // Without a date window, and with one that drops the first report.
    for (const char* start : {"", "20090201"}) {
        runSettings.startDate = *start ? parseDate(start) : 0;
        AppRecords stored;
        AppRecords summed;
        ReadingMemo storing;
        auto summing = std::make_unique<ReadingMemo>();
        summing->summaryOnly = true;
        Diagnostics diagnostics;
        for (const std::string& file : files) {
            readSalesReport(file.c_str(), stored, storing, diagnostics);
            readSalesReport(file.c_str(), summed, *summing, diagnostics);
        }
        EXPECT_FALSE(diagnostics.failed);
        ASSERT_EQ(stored.size(), 3u);
        ASSERT_EQ(summed.size(), 3u);
        for (const auto& [app, records] : stored) {
            const RecordList& list = summed.at(app);
            EXPECT_TRUE(list.summaryOnly && list.empty() && !records.summaryOnly);
            const ModelSummary expected = modelSummary(records);
            ModelSummary kept = keptSummary(list.summary);
            EXPECT_EQ(kept.recordCount, expected.recordCount) << app << " from " << start;
            EXPECT_EQ(kept.sales, expected.sales) << app;
            EXPECT_EQ(kept.updates, expected.updates) << app;
            ASSERT_EQ(kept.revenue.size(), expected.revenue.size()) << app;
            for (const auto& [currency, cell] : expected.revenue) {
                EXPECT_EQ(kept.revenue[currency].amount, cell.amount) << app << " " << currency;
                EXPECT_EQ(kept.revenue[currency].units, cell.units) << app << " " << currency;
            }
        }
    }
    runSettings = RunSettings{};
}

}  // namespace
