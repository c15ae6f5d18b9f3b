// The listing's field formats against snprintf with the same format, which
// is what they replace: every byte must be the same.
#include "report/text_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace {

std::string viaPrintf(const char* format, int width, double value) {
    char text[512];
    int length = std::snprintf(text, sizeof text, format, width, value);
    return std::string(text, static_cast<std::size_t>(length));
}

std::string fixed2(double value, int width) {
    char text[kMaxFormattedNumber + 64];
    return std::string(text, appendFixed2(text, value, width));
}

// Values where rounding or the form is easily got wrong, at several widths;
// then, at width 9, random bit patterns (every magnitude, subnormals, NaNs
// with payloads), amounts of cents and of halves of cents, where rounding is
// decided, and amounts at the edge of the band in which the shortcut for
// cents decides.
TEST(TextFormat, FixedMatchesPrintf) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double tricky[] = {0.0,
                             -0.0,
                             0.005,
                             -0.005,
                             0.015,
                             0.025,
                             0.125,
                             0.375,
                             -0.125,
                             2.675,
                             1.005,
                             1.115,
                             0.994999,
                             0.995,
                             0.9950000000000001,
                             9.995,
                             99999.995,
                             25.2,
                             0.7,
                             115.0,
                             36.0,
                             123456.789,
                             -2.5,
                             1e-300,
                             DBL_TRUE_MIN,
                             -DBL_TRUE_MIN,
                             4503599627370495.5,
                             9007199254740993.0,
                             1e15,
                             1e16,
                             1e22,
                             1e23,
                             123456789012.345,
                             1e308,
                             DBL_MAX,
                             -DBL_MAX,
                             inf,
                             -inf,
                             nan,
                             -nan,
                             0.5,
                             1.5,
                             2.5,
                             -0.5,
                             1e9 + 0.125,
                             999999.995};
    for (double value : tricky) {
        for (int width : {0, 3, 9, 12}) {
            EXPECT_EQ(fixed2(value, width), viaPrintf("%*.2f", width, value))
                << value << " width " << width;
        }
    }
    std::mt19937_64 random(7);
    for (int round = 0; round < 200000; ++round) {
        double value = 0.0;
        switch (round % 4) {
            case 3:
                // Just inside and outside the band the shortcut for cents decides.
                value =
                    (static_cast<double>(random() % 2000001) + (round % 8 == 3 ? 0.499 : 0.501) +
                     static_cast<double>(random() % 3 - 1) * 1e-9) /
                    100.0;
                break;
            case 0:
                value = std::bit_cast<double>(random());
                break;
            case 1:
                value =
                    static_cast<double>(static_cast<std::int64_t>(random() % 20000001) - 10000000) /
                    100.0;
                break;
            default:
                value = (static_cast<double>(random() % 2000001) + 0.5) / 100.0;
        }
        ASSERT_EQ(fixed2(value, 9), viaPrintf("%*.2f", 9, value))
            << std::bit_cast<std::uint64_t>(value);
    }
}

TEST(TextFormat, IntegersAndTextsMatchPrintf) {
    for (std::int32_t value :
         {0, 1, -1, 7, 56, -3, 999, 1000, -99, -100, 301235004,
          std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min()}) {
        for (int width : {0, 3}) {
            char text[32];
            char expected[32];
            int length = std::snprintf(expected, sizeof expected, "%*d", width, value);
            EXPECT_EQ(std::string(text, appendInteger(text, value, width)),
                      std::string(expected, static_cast<std::size_t>(length)))
                << value << " width " << width;
        }
    }
    const std::string nul("ab\0cd", 5);
    for (const std::string& value :
         {std::string(), std::string("Tiny"), std::string("Exactly12chr"),
          std::string("Longer than twelve"), nul}) {
        for (bool left : {true, false}) {
            char text[64];
            char expected[64];
            int length =
                std::snprintf(expected, sizeof expected, left ? "%-*s" : "%*s", 12, value.c_str());
            EXPECT_EQ(std::string(text, appendText(text, value, 12, left)),
                      std::string(expected, static_cast<std::size_t>(length)))
                << value;
        }
    }
}

// Plain decimals for spreadsheets: the shortest text that reads back as the
// double, never an exponent. Expected texts by hand from the values (Python's
// repr() gives the same digits: 0.30000000000000004, 1e+21, 5e-324).
TEST(TextFormat, PlainDecimalIsShortestWithoutExponent) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        // clang-format off
        {7.0, "7"},
        {0.7, "0.7"},
        {100000.0, "100000"},
        {0.0001, "0.0001"},
        {0.0, "0"},
        {-2.5, "-2.5"},
        {0.1 + 0.2, "0.30000000000000004"},
        {1e21, "1000000000000000000000"},
        {123456789.125, "123456789.125"},
        {std::numeric_limits<double>::infinity(), "inf"},
        {-std::numeric_limits<double>::infinity(), "-inf"},
        {std::numeric_limits<double>::quiet_NaN(), "nan"},
        {-std::numeric_limits<double>::quiet_NaN(), "-nan"},
        // clang-format on
    };
    for (const auto& c : cases) {
        char text[kMaxFormattedNumber];
        EXPECT_EQ(std::string(text, appendPlainDecimal(text, c.value)), c.text) << c.text;
    }
    // The smallest subnormal: 323 zeros after the point, then its digit 5;
    // the largest double: 309 digits, and no point.
    char text[kMaxFormattedNumber];
    std::string tiny(text, appendPlainDecimal(text, std::numeric_limits<double>::denorm_min()));
    EXPECT_EQ(tiny, "0." + std::string(323, '0') + "5");
    std::string huge(text, appendPlainDecimal(text, std::numeric_limits<double>::max()));
    EXPECT_EQ(huge.size(), 309u);
    EXPECT_EQ(huge.substr(0, 6), "179769");
}

}  // namespace
