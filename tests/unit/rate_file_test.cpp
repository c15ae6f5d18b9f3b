// Reading currency rates from the rate file.
#include "input/rate_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/text_model.h"
#include "unit_support.h"

namespace {

// The warnings of one rate file, with <path> standing for its path.
std::string notAboveZero(int line, const std::string& code, const std::string& text) {
    return "[W] salesum: rate file '<path>' line " + std::to_string(line) + ": the rate for '" +
           code + "' is " + text + ", not above 0, so it is not used\n";
}

std::string notANumber(int line, const std::string& code, const std::string& text) {
    return "[W] salesum: rate file '<path>' line " + std::to_string(line) + ": the rate for '" +
           code + "' is '" + text + "', which is not a number, so it is not used\n";
}

std::string skipped(int line, const std::string& text) {
    return "[W] salesum: rate file '<path>' line " + std::to_string(line) + ": '" + text +
           "' is not CODE = rate, so it is skipped\n";
}

const std::string kNoRate =
    "[W] salesum: no rate was read from '<path>', so no USD totals are printed\n";

std::string withPath(std::string text, const std::string& path) {
    const std::string placeholder = "<path>";
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + path.size())) {
        text.replace(at, placeholder.size(), path);
    }
    return text;
}

const std::string kSpaces600(600, ' ');

// Each row: the file, the rates read, and the warnings, in order.
TEST(ReadRateFile, KeysEndAtEqualsOrTabAndValuesRunOn) {
    const struct {
        std::string bytes;
        RateTable expected;
        std::string err;
    } cases[] = {
        {"EUR = 1.25\n", {{"EUR", 1.25}}, ""},
        {"EUR=1.25\n", {{"EUR", 1.25}}, ""},
        {"EUR\t1.25\n", {{"EUR", 1.25}}, ""},
        {"EUR = 1.25\r\nGBP=2", {{"EUR", 1.25}, {"GBP", 2.0}}, ""},
        // A CR left after the rate (the one before an LF is dropped) is a blank.
        {"EUR = 1.25\r\r\nGBP = 2 \r", {{"EUR", 1.25}, {"GBP", 2.0}}, ""},
        {"EUR =   1.25 \t \r\n\tJPY\t\t0.0067\n", {{"EUR", 1.25}, {"JPY", 0.0067}}, ""},
        {"EUR 1.25\n", {}, skipped(1, "EUR 1.25") + kNoRate},
        {"EUR==1.25\n", {}, notANumber(1, "EUR", "=1.25") + kNoRate},
        {" EUR = 1.25\n", {{" EUR", 1.25}}, ""},
        {"EUR\t\t= 2\n", {}, notANumber(1, "EUR", "= 2") + kNoRate},
        // A line whose first non-blank is '#' is a comment.
        {"# comment = 1\n", {}, kNoRate},
        {"EUR = 1.25\nEUR = 1.5\n", {{"EUR", 1.5}}, ""},
        {"USD = 1\n", {{"USD", 1.0}}, ""},
        // A code of blanks only, or none, names no currency.
        {"   = 3\n = 4\n\r = 5\n=EUR=1\n\t=GBP=2\n",
         {},
         skipped(1, "   = 3") + skipped(2, " = 4") + skipped(3, "\r = 5") + skipped(4, "=EUR=1") +
             skipped(5, "\t=GBP=2") + kNoRate},
        {"EUR =\nGBP\n\n=\nJPY =  \t\nCAD = # later\n",
         {},
         skipped(1, "EUR =") + skipped(2, "GBP") + skipped(4, "=") + skipped(5, "JPY =  \t") +
             skipped(6, "CAD = # later") + kNoRate},
        {"JPY = abc\nAUD = 0.65x\n",
         {},
         notANumber(1, "JPY", "abc") + notANumber(2, "AUD", "0.65x") + kNoRate},
        {"", {}, kNoRate},
        {"\n  \n\t\r\n# rates\n", {}, kNoRate},
        // Separators other than '=' and TAB.
        {"EUR: 1.085\nGBP,1.27\nJPY 0.0067\nUSD = 1\n",
         {{"USD", 1.0}},
         skipped(1, "EUR: 1.085") + skipped(2, "GBP,1.27") + skipped(3, "JPY 0.0067")},
        // 0 or below; a number of zeros only is 0 whatever its exponent.
        {"EUR = 0\nGBP = -1.27\nJPY = -0\nCAD = 0.000\nAUD = 0.0e-400\nUSD = 1\n",
         {{"USD", 1.0}},
         notAboveZero(1, "EUR", "0") + notAboveZero(2, "GBP", "-1.27") +
             notAboveZero(3, "JPY", "-0") + notAboveZero(4, "CAD", "0.000") +
             notAboveZero(5, "AUD", "0.0e-400")},
        {"USD = 0\n", {}, notAboveZero(1, "USD", "0") + kNoRate},
        // Not a finite number as it looks.
        {"EUR = 1,2700\nGBP = 1e\nJPY = abc\nCAD = 1e400\nAUD = -1e400\nCHF = 1e-400\n"
         "SEK = inf\nNOK = nan\nDKK = 0x1p3\nNZD = +\nUSD = 1\n",
         {{"USD", 1.0}},
         notANumber(1, "EUR", "1,2700") + notANumber(2, "GBP", "1e") + notANumber(3, "JPY", "abc") +
             notANumber(4, "CAD", "1e400") + notANumber(5, "AUD", "-1e400") +
             notANumber(6, "CHF", "1e-400") + notANumber(7, "SEK", "inf") +
             notANumber(8, "NOK", "nan") + notANumber(9, "DKK", "0x1p3") +
             notANumber(10, "NZD", "+")},
        // Small, signed and exponent forms that are numbers above 0.
        {"EUR = +1.25\nGBP = .5\nJPY = 67e-4\nCAD = 1e-320\n",
         {{"EUR", 1.25}, {"GBP", 0.5}, {"JPY", 0.0067}, {"CAD", 1e-320}},
         ""},
        // Text after the number: a comment, or what makes it no number.
        {"EUR = 1.25 # euro\nGBP = 1.27#pound\nJPY\t0.0067\t# yen\n  # EUR = 2\n",
         {{"EUR", 1.25}, {"GBP", 1.27}, {"JPY", 0.0067}},
         ""},
        {"EUR\t1.25\tjunk\nGBP = 1.27 1.28\nJPY = abc # later\nCAD = 0  # free\n",
         {},
         notANumber(1, "EUR", "1.25\tjunk") + notANumber(2, "GBP", "1.27 1.28") +
             notANumber(3, "JPY", "abc") + notAboveZero(4, "CAD", "0") + kNoRate},
        // A refused rate leaves the rate given before it.
        {"EUR = 1.25\nEUR = 0\nGBP = 1.27\nGBP = x\nGBP: 2\n",
         {{"EUR", 1.25}, {"GBP", 1.27}},
         notAboveZero(2, "EUR", "0") + notANumber(4, "GBP", "x") + skipped(5, "GBP: 2")},
        // A line longer than a piece is one line, with one number.
        {"EUR = 1.25" + kSpaces600 + "\nGBP = 2\n", {{"EUR", 1.25}, {"GBP", 2.0}}, ""},
        {"# " + std::string(1000, 'a') + " = 3\nGBP = 2\n", {{"GBP", 2.0}}, ""},
        {"EUR = 1.25" + kSpaces600 + "x\nJPY: 1\nGBP = 2\n",
         {{"GBP", 2.0}},
         notANumber(1, "EUR", "1.25" + kSpaces600 + "x") + skipped(2, "JPY: 1")},
        {std::string(1200, 'x') + "\nGBP = 2\n",
         {{"GBP", 2.0}},
         skipped(1, std::string(1200, 'x'))},
        {"EUR = 1.25" + std::string(489, ' ') + "\r\nGBP: 2\n",
         {{"EUR", 1.25}},
         skipped(2, "GBP: 2")},
        {"GBP = 2\nEUR = 1" + kSpaces600, {{"EUR", 1.0}, {"GBP", 2.0}}, ""},
        // A NUL ends a line's text, in one piece or in several.
        {std::string("EUR = 1.25\0junk\nGBP = 2\n", 24), {{"EUR", 1.25}, {"GBP", 2.0}}, ""},
        {std::string("EUR = 1.25\0", 11) + std::string(600, 'x') + "\nGBP: 2\n",
         {{"EUR", 1.25}},
         skipped(2, "GBP: 2")},
        // A Ctrl-Z ends the file.
        {"EUR = 1.25\n\x1aGBP: 2\n", {{"EUR", 1.25}}, ""},
        // Saved as UTF-16, with or without the byte-order mark: read as its text.
        {utf16Twin("EUR = 1.25\r\nGBP\t2\r\n", false, true), {{"EUR", 1.25}, {"GBP", 2.0}}, ""},
        {utf16Twin("EUR = 1.25\n", true, false), {{"EUR", 1.25}}, ""},
        {utf16Twin("EUR: 1.25\n", true, true), {}, skipped(1, "EUR: 1.25") + kNoRate},
    };
    for (const auto& c : cases) {
        ScratchDirectory scratch;
        RateTable rateTable;
        Diagnostics diagnostics;
        const std::string path = scratch.write("config.cfg", c.bytes);
        testing::internal::CaptureStderr();
        readRateFile(path.c_str(), rateTable, diagnostics);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(rateTable, c.expected) << "'" << c.bytes << "'";
        EXPECT_EQ(err, withPath(c.err, path)) << "'" << c.bytes << "'";
        EXPECT_FALSE(diagnostics.failed);  // odd lines are only warned about
    }
}

TEST(ReadRateFile, MissingFileLeavesTheTableAsItWasAndFails) {
    ScratchDirectory scratch;
    RateTable rateTable{{"EUR", 1.25}};
    Diagnostics diagnostics;
    const std::string path = scratch.path + "/missing.cfg";
    testing::internal::CaptureStderr();
    readRateFile(path.c_str(), rateTable, diagnostics);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(rateTable, (RateTable{{"EUR", 1.25}}));
    EXPECT_TRUE(diagnostics.failed);
    // The failure alone: no word of rates that were not read.
    EXPECT_EQ(err.rfind("[E] salesum: cannot read rate file '" + path + "': ", 0), 0u) << err;
    EXPECT_EQ(err.find("[W]"), std::string::npos) << err;
}

}  // namespace
