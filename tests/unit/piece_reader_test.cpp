// Forming pieces from a file's bytes, and splitting pieces into tokens.
#include "input/reading/piece_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "input/reading/content_digest.h"
#include "input/reading/line_reader.h"
#include "input/reading/utf16_text.h"
#include "support/gzip_member.h"
#include "support/text_model.h"
#include "unit_support.h"

namespace {

using Pieces = std::vector<std::string>;

// The tokenisable text of every piece of a file holding bytes; failed tells
// whether the reader met a read error or damaged compressed data.
Pieces readAllPieces(const std::string& bytes, SourceDecoding decoding = kReadAsItIs,
                     bool* failed = nullptr) {
    OpenReader open = openReader(bytes, widestScan(), decoding);
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
    EXPECT_EQ(readAllPieces(packed, kReportDecoding, &failed), plain);
    EXPECT_FALSE(failed);
    const std::string twoMembers =
        gzipMember(content.substr(0, half)) + gzipMember(content.substr(half)) + "junk\n";
    EXPECT_EQ(readAllPieces(twoMembers, kReportDecoding, &failed), plain);
    EXPECT_FALSE(failed);
    // Rate files are never decompressed.
    EXPECT_EQ(readAllPieces(packed, kTextDecoding, &failed), readAllPieces(packed));

    // Cut short, in the trailer or halfway: what was decompressed is read,
    // then the failure shows.
    EXPECT_EQ(readAllPieces(packed.substr(0, packed.size() - 4), kReportDecoding, &failed), plain);
    EXPECT_TRUE(failed);
    Pieces got =
        readAllPieces(twoMembers.substr(0, twoMembers.size() / 2), kReportDecoding, &failed);
    EXPECT_TRUE(failed);
    ASSERT_FALSE(got.empty());
    ASSERT_LT(got.size(), plain.size());
    EXPECT_TRUE(std::equal(got.begin(), got.end() - 1, plain.begin()));  // the last may be cut
    // A changed byte is found at the latest by the member's checksum.
    std::string damaged = packed;
    damaged[damaged.size() / 2] ^= 0x55;
    readAllPieces(damaged, kReportDecoding, &failed);
    EXPECT_TRUE(failed);
    // A wrong checksum shows only after the member's whole content, and all
    // of that content is read before the failure.
    std::string badCheck = packed;
    badCheck[badCheck.size() - 8] ^= 0x55;
    EXPECT_EQ(readAllPieces(badCheck, kReportDecoding, &failed), plain);
    EXPECT_TRUE(failed);
    const std::string stopped = gzipMember("head\nline\n\x1A" + content);
    EXPECT_EQ(readAllPieces(stopped.substr(0, stopped.size() - 4), kReportDecoding, &failed),
              (Pieces{"head\n", "line\n"}));
    EXPECT_FALSE(failed);
}

// Code units written out, little-endian or big-endian.
std::string units(std::initializer_list<std::uint16_t> list, bool bigEndian = false) {
    std::string bytes;
    for (std::uint16_t unit : list) {
        char high = static_cast<char>(unit >> 8);
        char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// A report saved as UTF-16 gives the pieces of its UTF-8 text. The UTF-8 of
// the expected pieces is written out by hand: U+00E9 is C3 A9, U+20AC E2 82
// AC, U+1F600 (the surrogates D83D DE00) F0 9F 98 80, U+FFFD EF BF BD.
TEST(ReadPiece, Utf16TextGivesThePiecesOfItsUtf8) {
    const std::string lf = units({'\n'});
    const std::string mark = "\xFF\xFE";
    const struct {
        const char* what;
        std::string bytes;
        Pieces expected;
        SourceDecoding decoding = kReportDecoding;
    } cases[] = {
        // clang-format off
        {"LE with the mark", mark + units({'a', '\t', 'b', '\r', '\n', 'c'}), {"a\tb\n", "c"}},
        {"BE with the mark", "\xFE\xFF" + units({'a', '\n', 'c'}, true), {"a\n", "c"}},
        {"LE without the mark", units({'a', '\n'}), {"a\n"}},
        {"BE without the mark", units({'a', '\n'}, true), {"a\n"}},
        {"a letter and a NUL alone", units({'A'}), {"A"}},
        {"two NULs are no UTF-16", std::string("\0\0ab\n", 5), {""}},
        {"nor is a UTF-8 mark", "\xEF\xBB\xBF" "ab\n", {"\xEF\xBB\xBF" "ab\n"}},
        {"nor one byte", "A", {"A"}},
        {"the mark alone", mark, {}},
        {"beyond ASCII", mark + units({0xE9, 0x20AC, 0xD83D, 0xDE00}) + lf,
         {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\n"}},
        {"a high surrogate before a letter", mark + units({0xD83D, 'A'}), {"\xEF\xBF\xBD" "A"}},
        // Four ASCII units after it are not copied past the U+FFFD it owes.
        {"a high surrogate before four letters", mark + units({0xD83D, 'a', 'b', 'c', 'd'}),
         {"\xEF\xBF\xBD" "abcd"}},
        {"a low surrogate alone", mark + units({'A', 0xDE00, 'B'}), {"A\xEF\xBF\xBD" "B"}},
        {"two high surrogates, one low", mark + units({0xD83D, 0xD83D, 0xDE00}),
         {"\xEF\xBF\xBD\xF0\x9F\x98\x80"}},
        {"a high surrogate at the end", mark + units({'A', 0xD83D}), {"A\xEF\xBF\xBD"}},
        {"an odd byte at the end", mark + units({'A'}) + "B", {"A\xEF\xBF\xBD"}},
        {"a surrogate and an odd byte at the end", mark + units({0xD83D}) + "B",
         {"\xEF\xBF\xBD\xEF\xBF\xBD"}},
        {"a Ctrl-Z ends it", mark + units({'a', '\n', 0x1A, 'b'}), {"a\n"}},
        {"a NUL unit ends a piece's text", mark + units({'a', 0, 'b', '\n'}), {"a"}},
        // The rate file's decoding converts too; reading as it is does not.
        {"text decoding", mark + units({'a'}), {"a"}, kTextDecoding},
        {"as it is", units({'a', '\n'}), {"a", ""}, kReadAsItIs},  // cut at the NULs
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readAllPieces(c.bytes, c.decoding), c.expected) << c.what;
        if (c.decoding.gzip) {
            EXPECT_EQ(readAllPieces(gzipMember(c.bytes), c.decoding), c.expected) << c.what;
        }
    }
}

// A long text saved as UTF-16 of either order, plain or compressed, gives
// the pieces of its UTF-8 form: also where a surrogate pair, or a letter's
// two bytes, straddle the 64 KiB read of the UTF-16 bytes, and where the
// UTF-8 made of them straddles the piece reader's block.
TEST(ReadPiece, Utf16TextAcrossReadBlocks) {
    std::string text = variedText(3 * kReadBlockSize);
    for (std::size_t at = 500; at < text.size(); at += 997) {
        text.insert(at, at % 2 == 0 ? "\xE2\x82\xAC" : "\xF0\x9F\x98\x80");  // U+20AC, U+1F600
    }
    // The mark and 32,766 units, then U+1F600: its high surrogate ends the
    // first read of 65,536 bytes and its low one starts the second.
    const std::string filler = std::string(32765, 'y') + "\n";
    const std::string straddling = filler + "\xF0\x9F\x98\x80" + "\xC3\xA9\n" + text;
    for (const std::string& utf8 : {text, straddling}) {
        const Pieces expected = readAllPieces(utf8);
        for (bool bigEndian : {false, true}) {
            const std::string saved = utf16Twin(utf8, bigEndian, true);
            bool failed = true;
            EXPECT_EQ(readAllPieces(saved, kReportDecoding, &failed), expected) << bigEndian;
            EXPECT_FALSE(failed);
            EXPECT_EQ(readAllPieces(gzipMember(saved), kReportDecoding, &failed), expected)
                << bigEndian;
            EXPECT_FALSE(failed);
        }
    }
}

// The conversion gives the same text however the UTF-16 bytes are cut
// into reads: a unit's two bytes and a pair's two units are joined across
// the cut. Runs of ASCII units are converted 16 bytes at a time, so the
// cases also put units past ASCII inside such a run and at its edges; every
// cut moves where the runs begin. The UTF-8 is written out by hand: U+00E9
// is C3 A9, U+0141 C5 81, U+20AC E2 82 AC, U+1F600 F0 9F 98 80 and U+FFFD
// EF BF BD.
TEST(Utf16Text, ConvertsAlikeWhereverTheReadsCutIt) {
    const struct {
        const char* what;
        std::string saved;
        bool bigEndian;
        std::string expected;
    } cases[] = {
        // clang-format off
        {"letters, surrogates and an odd byte",
         units({'a', 0xE9, 0xD83D, 0xDE00, 0x20AC, 0xDE00, 0xD83D, 'b', 0xD83D}) + "z", false,
         "a\xC3\xA9\xF0\x9F\x98\x80\xE2\x82\xAC\xEF\xBF\xBD\xEF\xBF\xBD" "b\xEF\xBF\xBD\xEF\xBF\xBD"},
        // Seven letters and an odd byte: one byte short of a run.
        {"seven letters and an odd byte, LE", units({'a', 'b', 'c', 'd', 'e', 'f', 'g'}) + "h", false,
         "abcdefg\xEF\xBF\xBD"},
        {"seven letters and an odd byte, BE", units({'a', 'b', 'c', 'd', 'e', 'f', 'g'}, true) + "h",
         true, "abcdefg\xEF\xBF\xBD"},
        // U+0141's low byte is ASCII; U+00E9's high byte is 0.
        {"U+0141 inside a run, LE", units({'a', 'b', 'c', 'd', 0x141, 'f', 'g', 'h', 'i'}), false,
         "abcd\xC5\x81" "fghi"},
        {"U+0141 inside a run, BE", units({'a', 'b', 'c', 'd', 0x141, 'f', 'g', 'h', 'i'}, true), true,
         "abcd\xC5\x81" "fghi"},
        {"U+00E9 ending a run, LE", units({'a', 'b', 'c', 'd', 'e', 'f', 'g', 0xE9, 'i'}), false,
         "abcdefg\xC3\xA9" "i"},
        {"U+00E9 ending a run, BE", units({'a', 'b', 'c', 'd', 'e', 'f', 'g', 0xE9, 'i'}, true), true,
         "abcdefg\xC3\xA9" "i"},
        {"U+00E9 starting a run, BE", units({0xE9, 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i'}, true), true,
         "\xC3\xA9" "bcdefghi"},
        {"a pair across a run's edge, LE",
         units({'a', 'b', 'c', 'd', 'e', 'f', 'g', 0xD83D, 0xDE00, 'j'}), false,
         "abcdefg\xF0\x9F\x98\x80" "j"},
        // clang-format on
    };
    for (const auto& c : cases) {
        ASSERT_EQ(modelUtf8(modelCodePoints(c.saved, c.bigEndian)), c.expected) << c.what;
        const auto* bytes = reinterpret_cast<const unsigned char*>(c.saved.data());
        for (std::size_t first = 0; first <= c.saved.size(); ++first) {
            for (std::size_t second = first; second <= c.saved.size(); ++second) {
                Utf16Converter converter;
                converter.bigEndian = c.bigEndian;
                std::string out(utf8Room(c.saved.size()) + 6, '\0');
                std::size_t written = convertUtf16(converter, bytes, first, out.data());
                written +=
                    convertUtf16(converter, bytes + first, second - first, out.data() + written);
                written += convertUtf16(converter, bytes + second, c.saved.size() - second,
                                        out.data() + written);
                written += finishUtf16(converter, out.data() + written);
                EXPECT_EQ(out.substr(0, written), c.expected)
                    << c.what << " " << first << " " << second;
            }
        }
    }
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

// However the readers take a content's bytes (as pieces or as whole lines,
// after a look at the first line, which may be longer than the block and is
// then given back to the source), the digest at the end is the content's:
// every byte in it once, in order, at every scan width.
TEST(ContentDigest, ReadersDigestEveryByteOnce) {
    const std::string text = variedText(3 * kReadBlockSize + 1234);
    const std::string contents[] = {
        text,
        std::string(kReadBlockSize + 100, 'h') + "\n" + text,  // a header past the block
        text.substr(0, kReadBlockSize - 1) + "\n",             // the block's last byte an LF
        "a",
        "",
    };
    for (ScanWidth width : runnableWidths()) {
        for (const std::string& content : contents) {
            const ContentKey expected = keyInSteps(content, content.size() + 1);
            for (int way = 0; way < 4; ++way) {
                OpenReader open = openReader(content, width);
                if (way >= 2) {
                    peekFirstLine(*open.reader);
                }
                if (way % 2 == 0) {
                    Piece piece;
                    while (readPiece(*open.reader, piece)) {
                    }
                } else {
                    WholeLine line;
                    while (readWholeLine(*open.reader, line)) {
                    }
                }
                EXPECT_EQ(contentKey(open.reader->source.digest), expected)
                    << content.size() << " way " << way << " width " << static_cast<int>(width);
            }
        }
    }
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
