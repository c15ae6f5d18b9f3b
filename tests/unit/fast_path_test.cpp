// The fast paths of reading must agree with the plain rules on any input:
// the byte masks of every scan width against a plain test of each byte,
// pieces left in the read block and copied ones against the plain model of
// the piece rules, the one-pass line splitter against nextToken, short decimals against from_chars,
// the compact record list against the records put into it, and the sums kept while reading against
// sums of the stored records.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "common/record_store.h"
#include "common/types.h"
#include "input/date_value.h"
#include "input/lenient_number.h"
#include "input/reading/byte_scan.h"
#include "input/reading/field_splitter.h"
#include "input/reading/piece_reader.h"
#include "input/reading/scan_kernels.h"
#include "input/sales_report.h"
#include "input/value_checks.h"
#include "support/piece_model.h"
#include "support/report_lines.h"
#include "support/text_model.h"
#include "unit_support.h"

namespace {

// Bytes built from fragments that stress the piece and token rules.
std::string randomBytes(std::mt19937& random, std::size_t size) {
    using namespace std::string_literals;
    static const std::vector<std::string> kFragments = {
        "\t",         "\t\t",         "\n",         "\r",
        "\r\n",       "\r\r\n",       "ab",         "Name",
        "12",         "0.70",         "-3",         "1e3",
        " ",          "\x1A",         "\0"s,        std::string(200, 'y'),
        "07/06/2008", "20081102",     "2008-11-02", "\"",
        "\"\"",       " \"a\"\"b\" ", "\"12\""};
    return fragmentBytes(random, size, kFragments);
}

// The pieces of the bytes by the plain model, each cut at its first NUL as
// the reader's text is.
std::vector<std::string> modelTexts(const std::string& bytes) {
    std::vector<std::string> texts;
    for (const std::string& whole : modelPieces(bytes)) {
        texts.emplace_back(whole.c_str());
    }
    return texts;
}

TEST(FastPath, TheWidestScanIsTheOneTheProcessorHas) {
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_EQ(widestScan() == ScanWidth::kAvx2, __builtin_cpu_supports("avx2") != 0);
    EXPECT_GE(widestScan(), ScanWidth::kSse2);
#else
    EXPECT_EQ(widestScan(), ScanWidth::kPortable);
#endif
    EXPECT_EQ(scanKernels().width, widestScan());
    EXPECT_EQ(&scanKernels(), &scanKernelsFor(widestScan()));
    for (ScanWidth width : runnableWidths()) {
        EXPECT_EQ(scanKernelsFor(width).width, width);
    }
}

// The masks of every width against the plain rule, on bytes of every value
// and on the bytes that matter packed close together.
TEST(FastPath, ByteMasksMatchThePlainRule) {
    std::mt19937 random(5);
    const std::string dense =
        std::string("\t\n\r\x1A", 4) + std::string(1, '\0') + "a\"\xFF\x8A\x89\xA2";
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
            plain.quotes |= bytes[i] == '"' ? bit : 0;
        }
        for (ScanWidth width : runnableWidths()) {
            ByteMasks masks = scanKernelsFor(width).masks(bytes);
            ASSERT_EQ(masks.lineFeeds, plain.lineFeeds) << static_cast<int>(width);
            ASSERT_EQ(masks.tabs, plain.tabs) << static_cast<int>(width);
            ASSERT_EQ(masks.odd, plain.odd) << static_cast<int>(width);
            ASSERT_EQ(masks.quotes, plain.quotes) << static_cast<int>(width);
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
            OpenReader open = openReader(bytes, width);
            std::vector<std::string> pieces;
            Piece piece;
            while (readPiece(*open.reader, piece)) {
                pieces.emplace_back(pieceText(piece), piece.length);
                ++(piece.view != nullptr ? inPlace : copied);
            }
            EXPECT_EQ(pieces, modelTexts(bytes)) << size << " width " << static_cast<int>(width);
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
    std::vector<std::string> pieces = modelTexts(bytes);
    for (ScanWidth width : runnableWidths()) {
        OpenReader open = openReader(bytes, width);
        Piece piece;
        for (std::size_t index = 0; readPiece(*open.reader, piece); ++index) {
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
                int count = splitTokens(*split, tokens, wanted, &scanKernelsFor(width));
                ASSERT_EQ(std::vector<std::string_view>(tokens, tokens + count), expected)
                    << text << " from " << start << " width " << static_cast<int>(width);
                EXPECT_EQ(split->cursor, cursorAfter) << text;
            }
        }
    }
}

// Every record is stored with the fields its piece's tokens give, whatever
// the bytes: the one-pass splitter, the quotes taken off and the reader's
// memos against the plain models of pieces and tokens. Bytes that begin with a NUL and an ASCII
// byte are read as UTF-16, as the model reads them.
TEST(FastPath, RecordFieldsMatchTheTokenRules) {
    ScopedTimeZone zone("UTC0");
    std::mt19937 random(2);
    for (int round = 0; round < 60; ++round) {
        const std::string bytes = randomBytes(random, 1 + random() % 30000);
        std::map<std::string, std::vector<SalesRecord>> expected;
        const std::vector<std::string> pieces = modelPieces(modelText(bytes));
        for (std::size_t i = 1; i < pieces.size(); ++i) {
            SalesRecord record;
            if (modelRecord(pieces[i], record)) {
                expected[record.appName].push_back(record);
            }
        }
        AppRecords appRecords = readListed(bytes);
        ASSERT_EQ(appRecords.size(), expected.size()) << round;
        for (const auto& [key, list] : appRecords) {
            const std::string& app = key.front();
            std::vector<std::string> stored;
            std::vector<std::string> model;
            for (const SalesRecord& record : storedRecords(list)) {
                stored.push_back(describe(record));
            }
            for (const SalesRecord& record : expected[app]) {
                model.push_back(describe(record));
            }
            EXPECT_EQ(stored, model) << round << " " << app;
        }
    }
}

// The value checks' shortcut, which passes a usual sale or update at once,
// warns exactly where the full rule does: on types whose code is neither 1
// nor 7, and on dates of each form with a byte out of place at any position
// it tests.
TEST(FastPath, ValueCheckShortcutWarnsWhereTheFullRuleDoes) {
    struct Row {
        std::string type;
        std::string begin;
        std::string end;
        bool typeWarned;
        bool dateWarned;
    };
    std::vector<Row> rows = {
        // clang-format off
        {"1", "20081102", "11/08/2008", false, false}, {"7", "11/02/2008", "20081108", false, false},
        {"IA1", "", " ", false, false},  // a blank date is no bad one
        {"3", "20081102", "20081108", false, false}, {"3F", "20081102", "20081108", false, false},
        {"3T", "20081102", "20081108", false, false}, {"IA3", "20081102", "20081108", false, false},
        {"0", "20081102", "20081108", true, false}, {"2", "20081102", "20081108", true, false},
        {"4F", "20081102", "20081108", true, false}, {"5", "20081102", "20081108", true, false},
        {"6", "20081102", "20081108", true, false}, {"8", "20081102", "20081108", true, false},
        {"-1", "20081102", "20081108", true, false},
        // Not in the table, though their numbers read as a sale or an update.
        {"1X", "20081102", "20081108", true, false}, {"7X", "20081102", "20081108", true, false},
        {"1f", "20081102", "20081108", true, false}, {" 1", "20081102", "20081108", true, false},
        // Both slashes gone: read as 'YYYYMMDD', whose third byte is no digit.
        {"1", "11-02-2008", "20081108", false, true}, {"1", "20081102", "11:08:2008", false, true},
        // One slash left: the digits still stand where a slashed date has them.
        {"1", "11102/2008", "11/0812008", false, false},
        // 'YYYY-MM-DD' is usual too; dashes anywhere else are not.
        {"1", "2008-11-02", "2008-11-08", false, false}, {"7", "11/02/2008", "2008-11-08", false, false},
        {"1", "2008-11-02T00", "20081108", false, false},  // past its ten characters: the full rule
        {"1", "2008-1-02", "20081108", false, true}, {"1", "08-11-02", "20081108", false, true},
        {"1", "20081108", "2008-11/02", false, true},
        // clang-format on
    };
    // Each digit of both forms replaced by a byte just outside the digits,
    // or far from them.
    for (const std::string date : {"20081102", "11/02/2008", "2008-11-02"}) {
        // The shortcut itself takes each usual form: the full rule is slower.
        EXPECT_TRUE(value_checks_detail::usualDate(date)) << date;
        for (std::size_t at = 0; at < date.size(); ++at) {
            for (char byte : std::string(date[at] == '/' ? "" : "/:x ")) {
                std::string odd = date;
                odd[at] = byte;
                rows.push_back({"1", odd, "20081108", false, true});
                rows.push_back({"7", "20081102", odd, false, true});
            }
        }
    }
    for (const Row& row : rows) {
        RecordFields fields;
        fields.typeText = row.type;
        fields.typeCode = productTypeCode(row.type, fields.typeInTable);
        fields.beginText = row.begin;
        fields.endText = row.end;
        ValueChecks shortcut;
        ValueChecks full;
        checkRecordValues(shortcut, fields, 2, usualDates(row.begin, row.end));
        checkUnusualValues(full, fields, 2);
        const std::string what = "'" + row.type + "' '" + row.begin + "' '" + row.end + "'";
        EXPECT_EQ(shortcut.kinds[kUnknownProductType].count, row.typeWarned ? 1 : 0) << what;
        EXPECT_EQ(shortcut.kinds[kBadDate].count, row.dateWarned ? 1 : 0) << what;
        for (int kind = 0; kind < kValueCheckCount; ++kind) {
            EXPECT_EQ(shortcut.kinds[kind].count, full.kinds[kind].count) << what << " " << kind;
        }
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

// Records stored as the reader stores them (labels and periods interned,
// numbers packed) come back whole. Neighbouring records share their begin
// date in pairs, and never their end.
TEST(FastPath, RecordListGivesBackWhatWasPut) {
    std::vector<SalesRecord> records;
    for (int i = 0; i < 300; ++i) {
        records.push_back({i % 2 ? "Alpha" : "Beta", 86400 * (i / 2 % 3), 86400 * (i % 5), i % 8,
                           i - 100, 0.25 * i, 1.5, i % 3 ? "DE" : "", i % 7 ? "EUR" : "USD"});
    }
    RecordList list;
    for (const SalesRecord& put : records) {
        std::uint32_t label = internLabel(list, put.appName, put.auxText, put.currency);
        std::uint32_t period = internPeriod(list, put.beginDate, put.endDate);
        list.records.push_back(
            {put.unitAmount, put.auxAmount, put.typeCode, put.units, label, period});
    }
    EXPECT_LE(list.labels.size(), 8u);  // texts and periods are stored once
    EXPECT_LE(list.periods.size(), 15u);
    std::vector<SalesRecord> stored = storedRecords(list);
    ASSERT_EQ(stored.size(), records.size());
    for (std::size_t index = 0; index < stored.size(); ++index) {
        EXPECT_EQ(describe(stored[index]), describe(records[index])) << index;
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
    // Every field, the amounts bit for bit.
    auto bits = [](const PackedRecord& r) {
        return std::tuple(std::bit_cast<std::uint64_t>(r.unitAmount),
                          std::bit_cast<std::uint64_t>(r.auxAmount), r.typeCode, r.units, r.label,
                          r.period);
    };
    std::size_t index = 0;
    for (const PackedRecord& record : store) {
        ASSERT_EQ(bits(record), bits(put[index])) << index;
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
    std::mt19937 random(4);
    const char* apps[] = {"Alpha", "Beta", "Gamma"};
    const char* countries[] = {"US", "DE", "JP", "FR"};
    const char* currencies[] = {"USD", "EUR", "JPY", "XTS"};
    const char* amounts[] = {"0.70", "1e-3", "123456.789", "3", "0.1", "-2.5"};
    const char* types[] = {"1", "7", "1", "3", "1"};
    ScratchDirectory scratch;
    std::vector<std::string> files;
    for (int file = 0; file < 3; ++file) {
        std::string bytes = "header\r\n";
        for (int line = 0; line < 400; ++line) {
            std::size_t currency = random() % 4;
            bool updateOnly = currency == 3;  // XTS is never sold
            bytes +=
                reportLine({{field::kName, apps[random() % 3]},
                            {field::kType, updateOnly ? "7" : types[random() % 5]},
                            {field::kUnits, std::to_string(static_cast<int>(random() % 200) - 20)},
                            {field::kPrice, amounts[random() % 6]},
                            {field::kBegin, "0" + std::to_string(file + 1) + "/02/2009"},
                            {field::kEnd, "02/08/2009"},
                            {field::kCountry, countries[random() % 4]},
                            {field::kCurrency, currencies[currency]}});
            bytes.insert(bytes.size() - 1, "\r");
        }
        files.push_back(scratch.write("S_W_" + std::to_string(file), bytes));
    }
    // Without a date window, and with one that drops the first report.
    for (const char* start : {"", "20090201"}) {
        const DateWindow window{*start ? parseDate(start) : 0, 0};
        AppRecords stored;
        AppRecords summed;
        ReadingMemoHandle storing = startReading(readOptions(false, window));
        ReadingMemoHandle summing = startReading(readOptions(true, window));
        Diagnostics diagnostics;
        for (const std::string& file : files) {
            readSalesReport(file.c_str(), stored, *storing, diagnostics);
            readSalesReport(file.c_str(), summed, *summing, diagnostics);
        }
        EXPECT_FALSE(diagnostics.failed);
        ASSERT_EQ(stored.size(), 3u);
        ASSERT_EQ(summed.size(), 3u);
        for (const auto& [key, records] : stored) {
            const RecordList& list = summed.at(key);
            const std::string& app = key.front();
            EXPECT_TRUE(list.summaryOnly && list.empty() && !records.summaryOnly);
            // The same figures, the sums bit for bit.
            EXPECT_TRUE(sameFigures(keptSummary(list.summary), modelSummary(records)))
                << app << " from " << start;
        }
    }
}

}  // namespace
