// Reading currency rates from the rate file.
#include "input/rate_file.h"

#include <gtest/gtest.h>

#include <string>

#include "unit_support.h"

namespace {

TEST(ReadRateFile, KeysEndAtEqualsOrTabAndValuesRunOn) {
    const struct {
        const char* what;
        std::string bytes;
        RateTable expected;
    } cases[] = {
        {"spaced", "EUR = 1.25\n", {{"EUR", 1.25}}},
        {"tight", "EUR=1.25\n", {{"EUR", 1.25}}},
        {"tab", "EUR\t1.25\n", {{"EUR", 1.25}}},
        {"CR-LF, no final LF", "EUR = 1.25\r\nGBP=2", {{"EUR", 1.25}, {"GBP", 2.0}}},
        {"space only", "EUR 1.25\n", {}},
        {"second equals", "EUR==1.25\n", {{"EUR", 0.0}}},
        {"leading blank", " EUR = 1.25\n", {{" EUR", 1.25}}},
        {"tab run before value", "EUR\t\t= 2\n", {{"EUR", 0.0}}},
        {"comment", "# comment = 1\n", {{"# comment", 1.0}}},
        {"duplicate", "EUR = 1.25\nEUR = 1.5\n", {{"EUR", 1.5}}},
        {"USD", "USD = 1\n", {{"USD", 1.0}}},
        {"blank key", "   = 3\n = 4\n", {}},
        {"no value", "EUR =\nGBP\n\n=\n", {}},
        {"junk value", "JPY = abc\nAUD = 0.65x\n", {{"AUD", 0.65}, {"JPY", 0.0}}},
        {"empty", "", {}},
    };
    for (const auto& c : cases) {
        ScratchFiles scratch;
        RateTable rateTable;
        readRateFile(scratch.write("config.cfg", c.bytes).c_str(), rateTable);
        EXPECT_EQ(rateTable, c.expected) << c.what;
    }
}

TEST(ReadRateFile, MissingFileLeavesTheTableAsItWas) {
    ScratchFiles scratch;
    RateTable rateTable{{"EUR", 1.25}};
    readRateFile((scratch.directory / "missing.cfg").c_str(), rateTable);
    EXPECT_EQ(rateTable, (RateTable{{"EUR", 1.25}}));
}

}  // namespace
