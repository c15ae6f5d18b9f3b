// The fast paths of reading must agree with the plain rules on any input:
// the byte masks of every scan width against a plain test of each byte,
// pieces left in the read block against a byte-by-byte reference, the
// one-pass line splitter against nextToken, short decimals against from_chars, the
// compact record list against the records put into it, and the sums kept
// while reading against sums of the stored records.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/byte_scan.h"
#include "common/field_splitter.h"
#include "common/file_handle.h"
#include "common/lenient_number.h"
#include "common/piece_reader.h"
#include "common/record_store.h"
#include "common/run_settings.h"
#include "common/types.h"
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

// Pieces formed one byte at a time, straight from the rules: a CR right
// before an LF is dropped, at most 499 characters, Ctrl-Z ends the file, the
// text is cut at a NUL.
std::vector<std::string> referencePieces(const std::string& bytes) {
    std::vector<std::string> pieces;
    std::size_t at = 0;
    bool ended = false;
    while (!ended && at < bytes.size()) {
        std::string piece;
        while (piece.size() < 499 && at < bytes.size()) {
            char c = bytes[at];
            if (c == '\x1A') {
                ended = true;
                break;
            }
            ++at;
            if (c == '\r' && at < bytes.size() && bytes[at] == '\n') {
                continue;
            }
            piece += c;
            if (c == '\n') {
                break;
            }
        }
        if (!piece.empty()) {
            pieces.push_back(piece.substr(0, piece.find('\0')));
        }
    }
    return pieces;
}

// Every scan width the processor can run; the widest is what a run uses.
std::vector<ScanWidth> runnableWidths() {
    std::vector<ScanWidth> widths = {ScanWidth::kPortable};
    for (ScanWidth width : {ScanWidth::kSse2, ScanWidth::kAvx2}) {
        if (width <= widestScan()) {
            widths.push_back(width);
        }
    }
    return widths;
}

TEST(FastPath, TheWidestScanIsTheOneTheProcessorHas) {
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_EQ(widestScan() == ScanWidth::kAvx2, __builtin_cpu_supports("avx2") != 0);
    EXPECT_GE(widestScan(), ScanWidth::kSse2);
#else
    EXPECT_EQ(widestScan(), ScanWidth::kPortable);
#endif
}

// The masks of every width against the plain rule, on bytes of every value
// and on the bytes that matter packed close together.
TEST(FastPath, ByteMasksMatchThePlainRule) {
    std::mt19937 random(5);
    const std::string dense = std::string("\t\n\r\x1A", 4) + std::string(1, '\0') + "a\xFF\x8A\x89";
    for (int round = 0; round < 3000; ++round) {
        char bytes[64];
        for (char& byte : bytes) {
            byte = round % 2 == 0 ? static_cast<char>(random()) : dense[random() % dense.size()];
        }
        ByteMasks plain;
        for (std::size_t i = 0; i < 64; ++i) {
            std::uint64_t bit = std::uint64_t{1} << i;
            plain.lineFeeds |= bytes[i] == '\n' ? bit : 0;
            plain.tabs |= bytes[i] == '\t' ? bit : 0;
            bool odd = bytes[i] == '\r' || bytes[i] == '\0' || bytes[i] == '\x1A';
            plain.odd |= odd ? bit : 0;
        }
        for (ScanWidth width : runnableWidths()) {
            ByteMasks masks = scanBytes(bytes, width);
            ASSERT_EQ(masks.lineFeeds, plain.lineFeeds) << static_cast<int>(width);
            ASSERT_EQ(masks.tabs, plain.tabs) << static_cast<int>(width);
            ASSERT_EQ(masks.odd, plain.odd) << static_cast<int>(width);
        }
    }
}

// Pieces at every scan width against the reference; both the pieces left in
// the read block and the copied ones must occur.
TEST(FastPath, PiecesMatchTheByteByByteRules) {
    std::mt19937 random(1);
    // Lines around the 499-character limit, with LF and CR-LF ends, lead.
    std::string boundaries;
    for (std::size_t length = 496; length <= 502; ++length) {
        boundaries += std::string(length, 'z') + "\n" + std::string(length, 'z') + "\r\n";
    }
    for (ScanWidth width : runnableWidths()) {
        std::size_t inPlace = 0;
        std::size_t copied = 0;
        for (std::size_t size : {0u, 700u, 5000u, 70000u, 140000u, 140001u}) {
            std::string bytes = boundaries + randomBytes(random, size);
            if (size % 2 == 1) {
                std::erase(bytes, '\x1A');  // a Ctrl-Z would end the file early
            }
            FileHandle file(std::tmpfile());
            std::fwrite(bytes.data(), 1, bytes.size(), file.get());
            std::rewind(file.get());
            auto reader = std::make_unique<PieceReader>();
            startPieces(*reader, file.get());
            reader->width = width;
            std::vector<std::string> pieces;
            Piece piece;
            while (readPiece(*reader, piece)) {
                pieces.emplace_back(pieceText(piece), piece.length);
                ++(piece.view != nullptr ? inPlace : copied);
            }
            EXPECT_EQ(pieces, referencePieces(bytes))
                << size << " width " << static_cast<int>(width);
        }
        EXPECT_GT(inPlace, 500u);
        EXPECT_GT(copied, 500u);
    }
}

// The splitter at every width against nextToken, on pieces left in the read
// block and on copied ones, from the start and from a later cursor, with
// every count of tokens wanted.
TEST(FastPath, SplitTokensMatchesNextToken) {
    std::mt19937 random(6);
    std::string bytes = randomBytes(random, 200000);
    std::erase(bytes, '\x1A');  // a Ctrl-Z would end the file early
    std::vector<std::string> pieces = referencePieces(bytes);
    for (ScanWidth width : runnableWidths()) {
        FileHandle file(std::tmpfile());
        std::fwrite(bytes.data(), 1, bytes.size(), file.get());
        std::rewind(file.get());
        auto reader = std::make_unique<PieceReader>();
        startPieces(*reader, file.get());
        reader->width = width;
        Piece piece;
        for (std::size_t index = 0; readPiece(*reader, piece); ++index) {
            std::string_view text(pieceText(piece), piece.length);
            ASSERT_LT(index, pieces.size());
            ASSERT_EQ(text, std::string_view(pieces[index]).substr(0, pieces[index].find('\0')));
            std::size_t start = index % 3 == 0 ? random() % (piece.length + 1) : 0;
            Piece plain;
            text.copy(plain.text, text.size());
            plain.length = text.size();
            plain.cursor = start;
            std::vector<std::string_view> expected;
            std::string_view token;
            while (nextToken(plain, "\t\n", token)) {
                expected.push_back(token);
            }
            int wanted = 1 + static_cast<int>(random() % 23);
            std::size_t cursorAfter = plain.cursor;
            if (static_cast<std::size_t>(wanted) <= expected.size()) {
                plain.cursor = start;
                for (int i = 0; i < wanted; ++i) {
                    nextToken(plain, "\t\n", token);
                }
                cursorAfter = plain.cursor;
                expected.resize(static_cast<std::size_t>(wanted));
            }
            for (Piece* split : {&piece, &plain}) {
                split->cursor = start;
                std::string_view tokens[24];
                int count = splitTokens(*split, tokens, wanted, width);
                ASSERT_EQ(std::vector<std::string_view>(tokens, tokens + count), expected)
                    << text << " from " << start << " width " << static_cast<int>(width);
                EXPECT_EQ(split->cursor, cursorAfter) << text;
            }
        }
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

TEST(FastPath, RecordListGivesBackWhatWasPut) {
    std::vector<SalesRecord> records;
    for (int i = 0; i < 300; ++i) {
        records.push_back({i % 2 ? "Alpha" : "Beta", 86400 * (i % 3), 86400 * (i % 5), i % 8,
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

// Records whose amounts repeat a few values, and amounts that differ only in
// bits a comparison of doubles would miss (-0.0 and 0.0, NaN payloads), come
// back from the store bit for bit; repeated values are stored once, also
// after the store has grown its index many times.
TEST(FastPath, RecordStoreGivesBackEveryBit) {
    std::mt19937_64 random(8);
    const double pool[] = {0.0,
                           -0.0,
                           0.7,
                           25.2,
                           std::bit_cast<double>(0x7FF8000000000001u),
                           std::bit_cast<double>(0x7FF8000000000002u),
                           -1e300};
    RecordStore store;
    std::vector<PackedRecord> put;
    for (std::uint32_t i = 0; i < 100000; ++i) {
        PackedRecord record;
        bool unique = i % 10 == 0;  // one record in ten has amounts of its own
        record.unitAmount = unique ? std::bit_cast<double>(random()) : pool[random() % 7];
        record.auxAmount = pool[random() % 7];
        record.typeCode = static_cast<std::int32_t>(random() % 3) - 1;
        record.units = static_cast<std::int32_t>(random());
        record.label = i % 5;
        record.period = i % 7;
        put.push_back(record);
        store.push_back(record);
    }
    ASSERT_EQ(store.size(), put.size());
    EXPECT_LE(store.values.size(), 10000u + 7 * 7 * 3);
    std::size_t index = 0;
    for (const PackedRecord& record : store) {
        const PackedRecord& want = put[index];
        ASSERT_EQ(std::bit_cast<std::uint64_t>(record.unitAmount),
                  std::bit_cast<std::uint64_t>(want.unitAmount))
            << index;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(record.auxAmount),
                  std::bit_cast<std::uint64_t>(want.auxAmount))
            << index;
        ASSERT_EQ(record.typeCode, want.typeCode) << index;
        ASSERT_EQ(record.units, want.units) << index;
        ASSERT_EQ(record.label, want.label) << index;
        ASSERT_EQ(record.period, want.period) << index;
        ++index;
    }
    EXPECT_EQ(store.back().units, put.back().units);
    EXPECT_EQ(store[4242].units, put[4242].units);
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
            // The figures straight from the stored records, in their order.
            std::int64_t sales = 0;
            std::int64_t updates = 0;
            std::map<std::string, CurrencyCell> revenue;
            for (const SalesRecord& record : records) {
                if (record.typeCode == 1) {
                    revenue[record.currency].amount += record.units * record.unitAmount;
                    revenue[record.currency].units += record.units;
                    sales += record.units;
                }
                updates += record.typeCode == 7 ? record.units : 0;
            }
            const RecordList& list = summed.at(app);
            EXPECT_TRUE(list.summaryOnly && list.empty() && !records.summaryOnly);
            const AppSummary& summary = list.summary;
            EXPECT_EQ(summary.recordCount, records.size()) << app << " from " << start;
            EXPECT_EQ(summary.sales, sales) << app;
            EXPECT_EQ(summary.updates, updates) << app;
            std::map<std::string, CurrencyCell> kept;
            for (std::size_t i = 0; i < summary.currencies.size(); ++i) {
                kept[summary.currencies[i]] = summary.cells[i];
            }
            ASSERT_EQ(kept.size(), revenue.size()) << app;
            for (const auto& [currency, cell] : revenue) {
                EXPECT_EQ(kept[currency].amount, cell.amount) << app << " " << currency;
                EXPECT_EQ(kept[currency].units, cell.units) << app << " " << currency;
            }
        }
    }
    runSettings = RunSettings{};
}

}  // namespace
