#include "input/lenient_number.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <limits>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

using lenient_number_detail::convertShortDecimal;
using lenient_number_detail::isDigit;

std::size_t skipSpace(std::string_view text, std::size_t at) {
    while (at < text.size() && isSpace(text[at])) {
        ++at;
    }
    return at;
}

std::size_t skipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && isDigit(text[at])) {
        ++at;
    }
    return at;
}

// Decides the overflow direction of a decimal text that from_chars found out
// of range: the decimal exponent of its leading non-zero digit tells whether
// it is too large (infinity) or too small (zero).
bool isHugeMagnitude(std::string_view digits) {
    std::int64_t exponent = 0;
    std::size_t e = digits.find_first_of("eE");
    if (e != std::string_view::npos) {
        std::size_t at = e + 1;
        bool negative = at < digits.size() && digits[at] == '-';
        if (at < digits.size() && (digits[at] == '-' || digits[at] == '+')) {
            ++at;
        }
        for (; at < digits.size(); ++at) {
            if (exponent < 100000000) {
                exponent = exponent * 10 + (digits[at] - '0');
            }
        }
        if (negative) {
            exponent = -exponent;
        }
        digits = digits.substr(0, e);
    }
    std::size_t point = digits.find('.');
    std::size_t integerDigits = point == std::string_view::npos ? digits.size() : point;
    std::size_t first = digits.find_first_not_of("0.");
    if (first == std::string_view::npos) {
        return false;
    }
    std::int64_t leading = first < integerDigits
                               ? static_cast<std::int64_t>(integerDigits - first)
                               : -static_cast<std::int64_t>(first - integerDigits);
    return leading + exponent > 0;
}

}  // namespace

namespace {

// What lenientInteger reads of a text: its value, where the digits end, and
// whether the value was clamped to the 32-bit range.
struct IntegerPrefix {
    std::int32_t value = 0;
    std::size_t digitsBegin = 0;  // first character after the sign
    std::size_t end = 0;          // one past the last digit
    bool clamped = false;
};

[[gnu::always_inline]] inline IntegerPrefix readIntegerPrefix(std::string_view text) {
    IntegerPrefix prefix;
    std::size_t at = skipSpace(text, 0);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    prefix.digitsBegin = at;
    // Accumulate towards the sign's limit and stop growing once past it.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; at < text.size() && isDigit(text[at]); ++at) {
        if (value <= kLimit) {
            value = value * 10 + (text[at] - '0');
        }
    }
    prefix.end = at;
    if (negative) {
        prefix.clamped = value > kLimit;
        prefix.value = value >= kLimit ? std::numeric_limits<std::int32_t>::min()
                                       : static_cast<std::int32_t>(-value);
    } else {
        prefix.clamped = value >= kLimit;
        prefix.value = value >= kLimit ? std::numeric_limits<std::int32_t>::max()
                                       : static_cast<std::int32_t>(value);
    }
    return prefix;
}

bool onlySpaceFrom(std::string_view text, std::size_t at) {
    return skipSpace(text, at) == text.size();
}

}  // namespace

std::int32_t lenientInteger(std::string_view text) {
    return readIntegerPrefix(text).value;
}

std::int32_t lenientIntegerChecked(std::string_view text, bool& asItLooks) {
    IntegerPrefix prefix = readIntegerPrefix(text);
    if (prefix.end == text.size()) {
        // The usual units text: digits to the end. Without any digit it is
        // blank, or a sign alone.
        asItLooks = prefix.end > prefix.digitsBegin ? !prefix.clamped : onlySpaceFrom(text, 0);
        return prefix.value;
    }
    std::size_t at = prefix.end;
    if (text[at] == '.') {
        for (++at; at < text.size() && text[at] == '0'; ++at) {
        }
    }
    asItLooks = prefix.end > prefix.digitsBegin ? !prefix.clamped && onlySpaceFrom(text, at)
                                                : onlySpaceFrom(text, 0);
    return prefix.value;
}

namespace {

// Where the plain decimal prefix of a text lies: leading white space, a
// sign, digits, '.', digits, then an exponent when digits follow its 'e'.
struct RealPrefix {
    std::size_t begin = 0;  // first character after the sign
    std::size_t end = 0;    // one past the last character of the number
    bool negative = false;
    bool anyDigit = false;  // false: the text holds no number
};

RealPrefix findRealPrefix(std::string_view text) {
    RealPrefix prefix;
    std::size_t at = skipSpace(text, 0);
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        prefix.negative = text[at] == '-';
        ++at;
    }
    prefix.begin = at;
    std::size_t end = skipDigits(text, at);
    prefix.anyDigit = end > at;
    if (end < text.size() && text[end] == '.') {
        std::size_t fractionEnd = skipDigits(text, end + 1);
        prefix.anyDigit = prefix.anyDigit || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (prefix.anyDigit && end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponentAt = end + 1;
        if (exponentAt < text.size() && (text[exponentAt] == '+' || text[exponentAt] == '-')) {
            ++exponentAt;
        }
        std::size_t exponentEnd = skipDigits(text, exponentAt);
        if (exponentEnd > exponentAt) {
            end = exponentEnd;
        }
    }
    prefix.end = end;
    return prefix;
}

}  // namespace

namespace {

// lenientReal, with end set to one past the number read (0 when the text
// holds no number).
[[gnu::always_inline]] inline double readReal(std::string_view text, std::size_t& end) {
    double value = 0.0;
    // Most amounts are short and begin with a digit: then the text is read
    // once. Blanks or a sign in front take the general path.
    if (convertShortDecimal(text, value, end)) {
        return value;
    }
    RealPrefix prefix = findRealPrefix(text);
    if (!prefix.anyDigit) {
        end = 0;
        return 0.0;
    }
    end = prefix.end;
    std::string_view number = text.substr(prefix.begin, prefix.end - prefix.begin);
    std::size_t numberEnd = 0;
    if (!convertShortDecimal(number, value, numberEnd)) {
        auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                      std::chars_format::general);
        if (result.ec == std::errc::result_out_of_range) {
            value = isHugeMagnitude(number) ? std::numeric_limits<double>::infinity() : 0.0;
        }
    }
    return prefix.negative ? -value : value;
}

}  // namespace

double lenientReal(std::string_view text) {
    std::size_t end = 0;
    return readReal(text, end);
}

double lenientRealChecked(std::string_view text, bool& asItLooks) {
    std::size_t end = 0;
    double value = readReal(text, end);
    // No number read: only a blank text reads as it looks.
    asItLooks = end == text.size() || onlySpaceFrom(text, end);
    return value;
}

bool realReadsAsItLooksChecked(std::string_view text) {
    bool asItLooks = true;
    lenientRealChecked(text, asItLooks);
    return asItLooks;
}

bool isBlankText(std::string_view text) {
    return onlySpaceFrom(text, 0);
}

std::size_t lenientRealLength(std::string_view text) {
    RealPrefix prefix = findRealPrefix(text);
    return prefix.anyDigit ? prefix.end : 0;
}
