// Forming pieces from a file's bytes, and splitting pieces into tokens.
#include "input/reading/piece_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "input/reading/content_digest.h"
#include "support/gzip_member.h"
#include "unit_support.h"

namespace {

using Pieces = std::vector<std::string>;

// The tokenisable text of every piece of a file holding bytes; failed tells
// whether the reader met a read error or damaged compressed data.
Pieces readAllPieces(const std::string& bytes, bool detectCompressed = false,
                     bool* failed = nullptr) {
    OpenReader open = openReader(bytes, widestScan(), detectCompressed);
    Pieces pieces;
    Piece piece;
    while (pieces.size() <= bytes.size() * 1100 && readPiece(*open.reader, piece)) {
        pieces.emplace_back(pieceText(piece), piece.length);
    }
    if (failed != nullptr) {
        *failed = sourceFailed(open.reader->source);
    }
    return pieces;
}

// Lines of every length up to 1,200, with CR-LF ends, lone CRs and TABs, and
// letters that repeat little, so that the compressed form spans several
// read blocks.
std::string variedText(std::size_t size) {
    std::string text;
    std::uint32_t state = 12345;
    while (text.size() < size) {
        state = state * 1103515245u + 12345u;
        std::size_t length = (state >> 8) % 1200;
        for (std::size_t i = 0; i < length; ++i) {
            state = state * 1103515245u + 12345u;
            unsigned pick = (state >> 16) % 70;
            text += pick < 62 ? static_cast<char>('0' + pick) : pick < 66 ? '\t' : '\r';
        }
        text += (state & 1) ? "\r\n" : "\n";
    }
    return text;
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

// A gzip report gives the pieces of its content, also across members and
// read blocks; bytes after the last member are ignored. Damage ends the
// pieces where it lies and is reported, unless a Ctrl-Z ended them first.
TEST(ReadPiece, CompressedFileGivesThePiecesOfItsContent) {
    const std::string content = variedText(3 * kReadBlockSize);
    const std::size_t half = content.size() / 2 + 7;  // inside a line
    const std::string packed = gzipMember(content);   // empty if zlib failed
    ASSERT_GT(packed.size(), kReadBlockSize);
    const Pieces plain = readAllPieces(content);

    bool failed = true;
    EXPECT_EQ(readAllPieces(packed, true, &failed), plain);
    EXPECT_FALSE(failed);
    const std::string twoMembers =
        gzipMember(content.substr(0, half)) + gzipMember(content.substr(half)) + "junk\n";
    EXPECT_EQ(readAllPieces(twoMembers, true, &failed), plain);
    EXPECT_FALSE(failed);
    // Rate files are never decompressed.
    EXPECT_EQ(readAllPieces(packed, false, &failed), readAllPieces(packed));

    // Cut short, in the trailer or halfway: what was decompressed is read,
    // then the failure shows.
    EXPECT_EQ(readAllPieces(packed.substr(0, packed.size() - 4), true, &failed), plain);
    EXPECT_TRUE(failed);
    Pieces got = readAllPieces(twoMembers.substr(0, twoMembers.size() / 2), true, &failed);
    EXPECT_TRUE(failed);
    ASSERT_FALSE(got.empty());
    ASSERT_LT(got.size(), plain.size());
    EXPECT_TRUE(std::equal(got.begin(), got.end() - 1, plain.begin()));  // the last may be cut
    // A changed byte is found at the latest by the member's checksum.
    std::string damaged = packed;
    damaged[damaged.size() / 2] ^= 0x55;
    readAllPieces(damaged, true, &failed);
    EXPECT_TRUE(failed);
    // A wrong checksum shows only after the member's whole content, and all
    // of that content is read before the failure.
    std::string badCheck = packed;
    badCheck[badCheck.size() - 8] ^= 0x55;
    EXPECT_EQ(readAllPieces(badCheck, true, &failed), plain);
    EXPECT_TRUE(failed);
    const std::string stopped = gzipMember("head\nline\n\x1A" + content);
    EXPECT_EQ(readAllPieces(stopped.substr(0, stopped.size() - 4), true, &failed),
              (Pieces{"head\n", "line\n"}));
    EXPECT_FALSE(failed);
}

ContentKey keyInSteps(const std::string& content, std::size_t step) {
    ContentDigest digest;
    for (std::size_t at = 0; at < content.size(); at += step) {
        addContent(digest, content.data() + at, std::min(step, content.size() - at));
    }
    return contentKey(digest);
}

// The digest of a content does not depend on how its bytes arrive, and it
// only ever proposes a copy: the bytes decide.
TEST(ContentDigest, ProposesCopiesThatTheBytesConfirm) {
    const std::string content = variedText(2 * kReadBlockSize + 77);
    const ContentKey whole = keyInSteps(content, content.size());
    for (std::size_t step : {1, 7, 64, 4096}) {
        EXPECT_EQ(keyInSteps(content, step), whole) << step;
    }
    EXPECT_NE(keyInSteps(content + '\0', 64), whole);  // a trailing zero byte counts
    // Flipping the top bit of one word and of the same lane's word two
    // chunks on leaves every sum alike modulo 2^64.
    std::string twin = content;
    twin[7] ^= '\x80';
    twin[7 + 2 * kDigestChunk] ^= '\x80';
    ASSERT_EQ(keyInSteps(twin, 64), whole);

    ScratchDirectory files;
    const std::string plain = files.write("plain", content);
    EXPECT_FALSE(sameContent(plain.c_str(), files.write("twin", twin).c_str()));
    EXPECT_TRUE(sameContent(plain.c_str(), files.write("packed", gzipMember(content)).c_str()));
    EXPECT_TRUE(sameContent(plain.c_str(), files.write("stopped", content + "\x1A" + "x").c_str()));
    const std::string cut = gzipMember(content);
    EXPECT_FALSE(
        sameContent(plain.c_str(), files.write("cut", cut.substr(0, cut.size() - 4)).c_str()));
    EXPECT_FALSE(sameContent(plain.c_str(), (plain + ".missing").c_str()));
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
