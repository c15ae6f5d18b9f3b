// Reading currency rates from the rate file.
#include "input/rate_file.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "unit_support.h"

namespace {

TEST(ReadRateFile, KeysEndAtEqualsOrTabAndValuesRunOn) {
    const std::pair<std::string, RateTable> cases[] = {
        {"EUR = 1.25\n", {{"EUR", 1.25}}},
        {"EUR=1.25\n", {{"EUR", 1.25}}},
        {"EUR\t1.25\n", {{"EUR", 1.25}}},
        {"EUR = 1.25\r\nGBP=2", {{"EUR", 1.25}, {"GBP", 2.0}}},
        {"EUR 1.25\n", {}},
        {"EUR==1.25\n", {{"EUR", 0.0}}},
        {" EUR = 1.25\n", {{" EUR", 1.25}}},
        {"EUR\t\t= 2\n", {{"EUR", 0.0}}},
        {"# comment = 1\n", {{"# comment", 1.0}}},
        {"EUR = 1.25\nEUR = 1.5\n", {{"EUR", 1.5}}},
        {"USD = 1\n", {{"USD", 1.0}}},
        {"   = 3\n = 4\n", {}},
        {"EUR =\nGBP\n\n=\n", {}},
        {"JPY = abc\nAUD = 0.65x\n", {{"AUD", 0.65}, {"JPY", 0.0}}},
        {"", {}},
    };
    for (const auto& [bytes, expected] : cases) {
        ScratchDirectory scratch;
        RateTable rateTable;
        Diagnostics diagnostics;
        readRateFile(scratch.write("config.cfg", bytes).c_str(), rateTable, diagnostics);
        EXPECT_EQ(rateTable, expected) << "'" << bytes << "'";
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
