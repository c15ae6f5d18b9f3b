// Forming pieces from a file's bytes, and splitting pieces into tokens.
#include "common/piece_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/file_handle.h"

namespace {

using Pieces = std::vector<std::string>;

// The tokenisable text of every piece of a file holding bytes.
Pieces readAllPieces(const std::string& bytes) {
    FileHandle file(std::tmpfile());
    EXPECT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file.get());
    std::rewind(file.get());
    auto reader = std::make_unique<PieceReader>();
    startPieces(*reader, file.get());
    Pieces pieces;
    Piece piece;
    while (pieces.size() <= bytes.size() && readPiece(*reader, piece)) {
        pieces.emplace_back(piece.text, piece.length);
    }
    return pieces;
}

std::string x(std::size_t count) {
    return std::string(count, 'x');
}

TEST(ReadPiece, FormsPiecesOfAtMost499Characters) {
    const struct {
        const char* what;
        std::string bytes;
        Pieces expected;
    } cases[] = {
        {"498", x(498) + "\nz\n", {x(498) + "\n", "z\n"}},
        {"498 CR-LF", x(498) + "\r\nz\r\n", {x(498) + "\n", "z\n"}},
        {"499", x(499) + "\nz\n", {x(499), "\n", "z\n"}},
        {"499 CR-LF", x(499) + "\r\nz\n", {x(499), "\n", "z\n"}},
        {"500", x(500) + "\nz\n", {x(499), "x\n", "z\n"}},
        {"500 CR-LF", x(500) + "\r\nz\n", {x(499), "x\n", "z\n"}},
        {"998", x(998) + "\nz\n", {x(499), x(499), "\n", "z\n"}},
        {"998 CR-LF", x(998) + "\r\nz\n", {x(499), x(499), "\n", "z\n"}},
        {"CR-CR-LF", "ab\r\r\nz\n", {"ab\r\n", "z\n"}},
        {"lone CR", "a\rb\nz\n", {"a\rb\n", "z\n"}},
        {"CR at the end", "ab\r", {"ab\r"}},
        {"CR then 499", "\r" + x(499) + "\r\n", {"\r" + x(498), "x\n"}},
        {"Ctrl-Z mid-line", "ab\nc\032d\nz\n", {"ab\n", "c"}},
        {"Ctrl-Z at line start", "ab\n\x1Az\n", {"ab\n"}},
        {"empty file", "", {}},
        {"no final LF", "ab\nz", {"ab\n", "z"}},
        {"empty lines", "\n\r\n\n", {"\n", "\n", "\n"}},
        // A NUL cuts the text, but the piece is formed over all 499 bytes.
        {"NUL", "a\tb" + std::string(1, '\0') + x(495) + "tail\n", {"a\tb", "tail\n"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readAllPieces(c.bytes), c.expected) << c.what;
    }
}

// A CR that ends one read block and an LF that starts the next are still a
// CR-LF; a CR ending a block before any other character stays.
TEST(ReadPiece, CrLfAcrossTheReadBlockBoundary) {
    const std::size_t crAt = kReadBlockSize - 1;
    const std::string filler = std::string(99, 'y') + "\n";
    std::string prefix;
    Pieces fillerPieces;
    for (std::size_t i = 0; i < crAt / filler.size(); ++i) {
        prefix += filler;
        fillerPieces.push_back(filler);
    }
    prefix += std::string(crAt % filler.size(), 'z');
    ASSERT_EQ(prefix.size(), crAt);

    Pieces expected = fillerPieces;
    expected.push_back(std::string(crAt % filler.size(), 'z') + "\n");
    expected.push_back("tail\n");
    EXPECT_EQ(readAllPieces(prefix + "\r\ntail\n"), expected);

    expected = fillerPieces;
    expected.push_back(std::string(crAt % filler.size(), 'z') + "\rtail\n");
    EXPECT_EQ(readAllPieces(prefix + "\rtail\n"), expected);
}

Piece makePiece(const std::string& text) {
    Piece piece;
    std::memcpy(piece.text, text.c_str(), text.size() + 1);
    piece.length = text.size();
    return piece;
}

TEST(NextToken, SkipsSeparatorRunsAndTakesEachCallsSet) {
    const struct {
        std::string text;
        std::vector<std::string> separatorSets;  // one per call
        std::vector<std::string> expected;       // "(none)" when no token
    } cases[] = {
        {"a\tb\n", {"\t\n", "\t\n", "\t\n"}, {"a", "b", "(none)"}},
        {"\t\ta\t\t\tb\t\n", {"\t\n", "\t\n", "\t\n", "\t\n"}, {"a", "b", "(none)", "(none)"}},
        {"a\tb", {"\t\n", "\t\n", "\t\n"}, {"a", "b", "(none)"}},
        {"", {"\t\n"}, {"(none)"}},
        {"\t\n", {"\t\n"}, {"(none)"}},
        {"EUR==1.25\tx\n", {"=\t\n", "\t\n", "\t\n"}, {"EUR", "=1.25", "x"}},
        {"EUR 1.25\n", {"=\t\n", "\t\n"}, {"EUR 1.25", "(none)"}},
        {"k=v=w", {"=", "=", "="}, {"k", "v", "w"}},
        {"k=v=w", {"=", ""}, {"k", "v=w"}},
    };
    for (const auto& c : cases) {
        Piece piece = makePiece(c.text);
        for (std::size_t i = 0; i < c.separatorSets.size(); ++i) {
            std::string_view token;
            const std::string got = nextToken(piece, c.separatorSets[i], token)
                                        ? std::string(token)
                                        : std::string("(none)");
            EXPECT_EQ(got, c.expected[i]) << "'" << c.text << "' call " << i;
        }
    }
}

}  // namespace
