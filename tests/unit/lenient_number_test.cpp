// The forgiving number conversions used for report and rate-file fields.
#include "input/lenient_number.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(LenientInteger, ReadsTheLongestValidPrefix) {
    const std::pair<std::string, std::int32_t> cases[] = {
        // clang-format off
        {"42", 42}, {" \t\n-17x", -17}, {"+8", 8}, {"0012", 12}, {"12abc", 12}, {"1 2", 1},
        {"", 0}, {"abc", 0}, {"-", 0}, {" - 5", 0},
        {"2147483647", kMax}, {"2147483648", kMax}, {"99999999999999999999999", kMax},
        {"-2147483647", kMin + 1}, {"-2147483648", kMin}, {"-2147483649", kMin},
        {"-99999999999999999999999", kMin},
        {"18446744073709551616", kMax}, {"-18446744073709551617", kMin}  // 2^64 and beyond
        // clang-format on
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(lenientInteger(text), expected) << "'" << text << "'";
    }
}

// Whether a text reads as the number it shows, for both conversions: the
// usual short forms and the general path alike (the value is the same as
// without the question).
TEST(LenientNumbers, TellWhetherTheTextReadsAsItLooks) {
    const struct {
        const char* text;
        bool integerAsItLooks;
        bool realAsItLooks;
    } cases[] = {
        // clang-format off
        {"", true, true}, {" \t", true, true}, {"12", true, true}, {" -3 ", true, true},
        {"3.", true, true}, {"1.00", true, true}, {"+7.0\r", true, true},
        {"123456789", true, true}, {"2147483647", true, true}, {"-2147483648", true, true},
        {"2147483648", false, true}, {"-2147483649", false, true},
        {"1.50", false, true}, {".5", false, true}, {"1e3", false, true},
        {"1,084", false, false}, {"0,70", false, false}, {"1e", false, false},
        {"+", false, false}, {"-", false, false}, {".", false, false}, {"abc", false, false},
        {"5 x", false, false}, {"5x", false, false}, {"1.0.0", false, false},
        {"inf", false, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        bool asItLooks = !c.integerAsItLooks;
        EXPECT_EQ(lenientInteger(c.text, asItLooks), lenientInteger(c.text)) << c.text;
        EXPECT_EQ(asItLooks, c.integerAsItLooks) << "integer '" << c.text << "'";
        asItLooks = !c.realAsItLooks;
        EXPECT_EQ(lenientReal(c.text, asItLooks), lenientReal(c.text)) << c.text;
        EXPECT_EQ(asItLooks, c.realAsItLooks) << "real '" << c.text << "'";
        EXPECT_EQ(realReadsAsItLooks(c.text), c.realAsItLooks) << "real '" << c.text << "'";
    }
}

// Among the cases: a subnormal result is kept, not zeroed; '0.3000...0001'
// lies just past the halfway point between two doubles; '...159e308' lies
// past the halfway point to the next power of two and so overflows.
TEST(LenientReal, ReadsPlainDecimalsCorrectlyRounded) {
    const std::pair<std::string, double> cases[] = {
        // clang-format off
        {"1.25", 1.25}, {"  1.25", 1.25}, {"\t-0.5", -0.5}, {"+2", 2.0}, {".97", 0.97},
        {"1.", 1.0}, {"1e3", 1000.0}, {"1.5E-2", 0.015}, {"-2.5e+1", -25.0}, {"2e", 2.0},
        {"2e+", 2.0}, {"3e+2x", 300.0}, {"7.5abc", 7.5}, {"1,5", 1.0},
        {"", 0.0}, {".", 0.0}, {"-.", 0.0}, {"e5", 0.0}, {"abc", 0.0},
        {"inf", 0.0}, {"-infinity", 0.0}, {"nan", 0.0}, {"0x1A", 0.0}, {"0X1p3", 0.0},
        {"1e400", kInf}, {"-1e400", -kInf}, {"1e99999999999999999999", kInf},
        {"1" + std::string(400, '0'), kInf}, {"1e-400", 0.0},
        {"0." + std::string(400, '0') + "1", 0.0}, {"0.0e999", 0.0},
        {"0.0000001e-310", 1e-317},
        {"0.1", 0.1},
        // 22, 23 and 24 fraction digits: the last exact power of ten and past it.
        {"0.0000000000000000000123", 1.23e-20}, {"0.00000000000000000001234", 1.234e-20},
        {"0.000000000000000000012345", 1.2345e-20},
        {"3.14159265358979323846264338327950288419716939937510", 3.141592653589793},
        {"0.30000000000000001665334536937734810635447502136230468750001", 0.30000000000000004},
        {"1.7976931348623157e308", 1.7976931348623157e308},
        {"1.7976931348623159e308", kInf}
        // clang-format on
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(lenientReal(text), expected) << "'" << text << "'";
    }
}

TEST(LenientReal, FullStopIsTheDecimalPointWhateverTheLocale) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    const char* found = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE",
                             "fr_FR", "nl_NL.UTF-8", "ru_RU.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr &&
            std::string(std::localeconv()->decimal_point) == ",") {
            found = name;
            break;
        }
    }
    if (found == nullptr) {
        std::setlocale(LC_NUMERIC, saved.c_str());
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    const double dotted = lenientReal("1.25");
    const double commaed = lenientReal("1,25");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(dotted, 1.25) << found;
    EXPECT_EQ(commaed, 1.0) << found;
}

}  // namespace
