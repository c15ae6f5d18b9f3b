// Forgiving number conversions: they read the longest valid prefix of a text
// and never fail. Report fields are converted with these, so a malformed
// number reads as 0 (or as its valid prefix) instead of stopping the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Leading white space, an optional sign, then decimal digits. No digits give
// 0; values beyond the signed 32-bit range give its nearest limit.
std::int32_t lenientInteger(std::string_view text);

// Leading white space, an optional sign, digits with an optional '.' and
// fraction, and an optional exponent. Nothing valid gives 0.0. The full stop
// is the decimal point whatever the locale; 'inf', 'nan' and hexadecimal
// forms are not numbers here. The result is correctly rounded; a magnitude
// beyond the double range gives an infinity of the same sign.
double lenientReal(std::string_view text);

// The same conversions, telling whether the text reads as the number it
// shows (asItLooks). A blank text (empty or white space only) does, with
// nothing to read. An integer does when, after leading white space, it is
// an optional sign and digits, then optionally a '.' with zeros only after
// it, then only white space, and lies within the 32-bit range. A real does
// when what follows the number it reads is only white space.
inline std::int32_t lenientInteger(std::string_view text, bool& asItLooks);
inline double lenientReal(std::string_view text, bool& asItLooks);

// Whether lenientReal reads the text as it looks, when its value is not
// wanted.
inline bool realReadsAsItLooks(std::string_view text);

// The general cases of the three above.
std::int32_t lenientIntegerChecked(std::string_view text, bool& asItLooks);
double lenientRealChecked(std::string_view text, bool& asItLooks);
bool realReadsAsItLooksChecked(std::string_view text);

// True when the text is empty or holds only white space (space, TAB, LF,
// VT, FF, CR): the bytes the conversions skip.
bool isBlankText(std::string_view text);

// How many characters of text lenientReal reads (leading white space and
// sign included), or 0 when the text holds no number.
std::size_t lenientRealLength(std::string_view text);

namespace lenient_number_detail {

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The usual amount, such as "25.20", in one pass over the text after its
// sign: digits with an optional '.' and fraction, at most 15 digits in all
// (so the integer they form is an exact double, as is the power of ten),
// and no exponent after them. Then one correctly rounded division gives the
// correctly rounded value. Returns false, for the general conversion to
// decide, in every other case.
// It is inlined wherever it is called: nearly every amount goes through it.
// end is set to one past the last character read.
[[gnu::always_inline]] inline bool convertShortDecimal(std::string_view text, double& value,
                                                       std::size_t& end) {
    constexpr std::size_t kMostDigits = 15;
    std::uint64_t digits = 0;  // may wrap on a long text, which is then refused
    std::size_t at = 0;
    for (; at < text.size() && isDigit(text[at]); ++at) {
        digits = digits * 10 + static_cast<std::uint64_t>(text[at] - '0');
    }
    std::size_t integerDigits = at;
    std::size_t fractionDigits = 0;
    if (at < text.size() && text[at] == '.') {
        for (++at; at < text.size() && isDigit(text[at]); ++at, ++fractionDigits) {
            digits = digits * 10 + static_cast<std::uint64_t>(text[at] - '0');
        }
    }
    std::size_t digitCount = integerDigits + fractionDigits;
    if (digitCount == 0 || digitCount > kMostDigits ||
        (at < text.size() && (text[at] == 'e' || text[at] == 'E'))) {
        return false;
    }
    value = static_cast<double>(digits) / kExactPowersOfTen[fractionDigits];
    end = at;
    return true;
}

}  // namespace lenient_number_detail

inline std::int32_t lenientInteger(std::string_view text, bool& asItLooks) {
    using lenient_number_detail::isDigit;
    // The usual units: one to nine digits and nothing else, which no clamp
    // can reach.
    if (!text.empty() && text.size() <= 9) {
        std::int32_t value = 0;
        std::size_t at = 0;
        for (; at < text.size() && isDigit(text[at]); ++at) {
            value = value * 10 + (text[at] - '0');
        }
        if (at == text.size()) {
            asItLooks = true;
            return value;
        }
    }
    return lenientIntegerChecked(text, asItLooks);
}

inline double lenientReal(std::string_view text, bool& asItLooks) {
    // The usual amount, read whole by the short conversion: no call.
    double value = 0.0;
    std::size_t end = 0;
    if (lenient_number_detail::convertShortDecimal(text, value, end) && end == text.size()) {
        asItLooks = true;
        return value;
    }
    return lenientRealChecked(text, asItLooks);
}

inline bool realReadsAsItLooks(std::string_view text) {
    using lenient_number_detail::isDigit;
    // The usual amount: digits with at most one '.' among or after them.
    std::size_t at = 0;
    while (at < text.size() && isDigit(text[at])) {
        ++at;
    }
    bool digitFirst = at > 0;
    if (at < text.size() && text[at] == '.') {
        ++at;
        std::size_t fraction = at;
        while (at < text.size() && isDigit(text[at])) {
            ++at;
        }
        digitFirst = digitFirst || at > fraction;
    }
    return (digitFirst && at == text.size()) || realReadsAsItLooksChecked(text);
}
