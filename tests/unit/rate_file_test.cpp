// Reading currency rates from the rate file.
#include "input/rate_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/text_model.h"
#include "unit_support.h"

namespace {

// Each row: the file, the rates read, and how many of them are warned about
// as not read as written.
TEST(ReadRateFile, KeysEndAtEqualsOrTabAndValuesRunOn) {
    const struct {
        std::string bytes;
        RateTable expected;
        int warnings;
    } cases[] = {
        {"EUR = 1.25\n", {{"EUR", 1.25}}, 0},
        {"EUR=1.25\n", {{"EUR", 1.25}}, 0},
        {"EUR\t1.25\n", {{"EUR", 1.25}}, 0},
        {"EUR = 1.25\r\nGBP=2", {{"EUR", 1.25}, {"GBP", 2.0}}, 0},
        // A CR left after the rate (the one before an LF is dropped) is a blank.
        {"EUR = 1.25\r\r\nGBP = 2 \r", {{"EUR", 1.25}, {"GBP", 2.0}}, 0},
        {"EUR 1.25\n", {}, 0},
        {"EUR==1.25\n", {{"EUR", 0.0}}, 1},
        {" EUR = 1.25\n", {{" EUR", 1.25}}, 0},
        {"EUR\t\t= 2\n", {{"EUR", 0.0}}, 1},
        {"# comment = 1\n", {{"# comment", 1.0}}, 0},
        {"EUR = 1.25\nEUR = 1.5\n", {{"EUR", 1.5}}, 0},
        {"USD = 1\n", {{"USD", 1.0}}, 0},
        {"   = 3\n = 4\n", {}, 0},
        {"EUR =\nGBP\n\n=\n", {}, 0},
        {"JPY = abc\nAUD = 0.65x\n", {{"AUD", 0.65}, {"JPY", 0.0}}, 2},
        {"", {}, 0},
        // Saved as UTF-16, with or without the byte-order mark: read as its text.
        {utf16Twin("EUR = 1.25\r\nGBP\t2\r\n", false, true), {{"EUR", 1.25}, {"GBP", 2.0}}, 0},
        {utf16Twin("EUR = 1.25\n", true, false), {{"EUR", 1.25}}, 0},
    };
    for (const auto& c : cases) {
        ScratchDirectory scratch;
        RateTable rateTable;
        Diagnostics diagnostics;
        testing::internal::CaptureStderr();
        readRateFile(scratch.write("config.cfg", c.bytes).c_str(), rateTable, diagnostics);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(rateTable, c.expected) << "'" << c.bytes << "'";
        int warnings = 0;
        for (std::size_t at = err.find("[W] "); at != std::string::npos;
             at = err.find("[W] ", at + 1)) {
            ++warnings;
        }
        EXPECT_EQ(warnings, c.warnings) << "'" << c.bytes << "': " << err;
        EXPECT_FALSE(diagnostics.failed);  // odd values are only warned about
    }
}

TEST(ReadRateFile, MissingFileLeavesTheTableAsItWasAndFails) {
    ScratchDirectory scratch;
    RateTable rateTable{{"EUR", 1.25}};
    Diagnostics diagnostics;
    readRateFile((scratch.path + "/missing.cfg").c_str(), rateTable, diagnostics);
    EXPECT_EQ(rateTable, (RateTable{{"EUR", 1.25}}));
    EXPECT_TRUE(diagnostics.failed);
}

}  // namespace
