// Names measured in columns of the terminal, and padded by them: the table
// of widths compiled in against utf8proc itself, a row per kind of text,
// and ASCII padding against printf's "%-*s".
#include "report/display_width.h"

#include <gtest/gtest.h>
#include <utf8proc.h>

#include <cstdio>
#include <ostream>
#include <string>

namespace {

struct WidthRow {
    const char* what;
    std::string text;
    std::size_t width;
};

// A failing row is named by what it holds, not by its bytes.
void PrintTo(const WidthRow& row, std::ostream* os) {
    *os << row.what;
}

class DisplayWidthRows : public testing::TestWithParam<WidthRow> {};

TEST_P(DisplayWidthRows, Measures) {
    EXPECT_EQ(displayWidth(GetParam().text), GetParam().width) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    DisplayWidth, DisplayWidthRows,
    testing::Values(
        WidthRow{"empty", "", 0}, WidthRow{"ascii", "Tide Clock", 10},
        WidthRow{"ascii_controls", "a\x01\x7F", 3}, WidthRow{"latin_two_bytes", "Caf\xC3\xA9", 4},
        WidthRow{"en_dash", "Ebb \xE2\x80\x93 Flow", 10},
        WidthRow{"cjk", "\xE6\x97\xA5\xE6\x9C\xAC", 4}, WidthRow{"fullwidth_a", "\xEF\xBC\xA1", 2},
        WidthRow{"combining_acute", "e\xCC\x81", 1}, WidthRow{"emoji", "\xF0\x9F\x98\x80", 2},
        WidthRow{"c1_control", "\xC2\x85", 1},
        WidthRow{"invalid_bytes",
                 "\xFF\xFE"
                 "ab",
                 4},
        WidthRow{"latin1_byte", "Old\xE9Name", 8}, WidthRow{"cut_off_cjk", "ab\xE6\x97", 4},
        WidthRow{"cut_off_emoji_at_end", "\xF0\x9F\x98", 3},
        WidthRow{"overlong_slash", "\xC0\xAF", 2}, WidthRow{"surrogate", "\xED\xA0\x80", 3},
        WidthRow{"past_u10ffff", "\xF4\x90\x80\x80", 4},
        WidthRow{"stray_continuation_then_cjk", "\x80\xE6\x97\xA5", 3}),
    [](const testing::TestParamInfo<WidthRow>& info) { return std::string(info.param.what); });

std::string encodeUtf8(char32_t codePoint) {
    utf8proc_uint8_t bytes[4];
    utf8proc_ssize_t length = utf8proc_encode_char(static_cast<utf8proc_int32_t>(codePoint), bytes);
    return std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
}

// Every code point, encoded, measures what utf8proc says, but for the
// controls below U+00A0, which take one column as an invalid byte does.
TEST(DisplayWidth, EveryCodePointAsUtf8procHasIt) {
    for (char32_t codePoint = 0; codePoint <= 0x10FFFF; ++codePoint) {
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            continue;  // surrogates are not valid UTF-8
        }
        int expected =
            codePoint < 0xA0 ? 1 : utf8proc_charwidth(static_cast<utf8proc_int32_t>(codePoint));
        ASSERT_EQ(characterWidth(codePoint), expected)
            << std::hex << static_cast<unsigned>(codePoint);
        ASSERT_EQ(displayWidth(encodeUtf8(codePoint)), static_cast<std::size_t>(expected))
            << std::hex << static_cast<unsigned>(codePoint);
    }
}

std::string leftAligned(std::string_view text, int width) {
    OutputSink out;
    writeLeftAligned(out, text, width);
    return std::string(keptText(out));
}

// ASCII names come out as printf pads them, NUL and controls included.
TEST(DisplayWidth, AsciiPadsAsPrintf) {
    const std::string nul("ab\0cd", 5);
    for (const std::string& value :
         {std::string(), std::string("Tiny"), std::string("Exactly12chr"),
          std::string("Longer than twelve"), std::string("tab\tand\x01"), nul}) {
        for (int width : {0, 11, 12, 20}) {
            char expected[64];
            int length = std::snprintf(expected, sizeof expected, "%-*s", width, value.c_str());
            EXPECT_EQ(leftAligned(value, width),
                      std::string(expected, static_cast<std::size_t>(length)))
                << value << " width " << width;
        }
    }
}

TEST(DisplayWidth, OtherTextsPadByColumns) {
    EXPECT_EQ(leftAligned("\xE6\x97\xA5\xE6\x9C\xAC", 6), "\xE6\x97\xA5\xE6\x9C\xAC  ");
    EXPECT_EQ(leftAligned("Ebb \xE2\x80\x93 Flow", 11), "Ebb \xE2\x80\x93 Flow ");
    EXPECT_EQ(leftAligned("Cafe\xCC\x81", 5), "Cafe\xCC\x81 ");
    EXPECT_EQ(leftAligned("\xFF\xE6\x97", 4), "\xFF\xE6\x97 ");
    EXPECT_EQ(leftAligned("\xE6\x97\xA5\xE6\x9C\xAC", 3), "\xE6\x97\xA5\xE6\x9C\xAC");
}

}  // namespace
