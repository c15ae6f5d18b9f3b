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
double lenientReal(std::string_view text, bool& asItLooks);

// Whether lenientReal reads the text as it looks, when its value is not
// wanted.
inline bool realReadsAsItLooks(std::string_view text);

// The general cases of the two above.
std::int32_t lenientIntegerChecked(std::string_view text, bool& asItLooks);
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
