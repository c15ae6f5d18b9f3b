#include "common/lenient_number.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <limits>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

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

// Powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Short plain decimals such as "25.20", the usual amounts, without the
// general conversion: when all digits form an integer below 2^53 and there
// are at most 22 fraction digits, both the integer and the power of ten are
// exact doubles, so one correctly rounded division gives the correctly
// rounded value. Returns false (for from_chars to decide) in every other case.
bool convertShortDecimal(std::string_view number, double& value) {
    constexpr std::uint64_t kExactLimit = std::uint64_t{1} << 53;
    std::uint64_t digits = 0;
    std::size_t fractionDigits = 0;
    bool inFraction = false;
    for (char c : number) {
        if (c == '.') {
            inFraction = true;
            continue;
        }
        if (!isDigit(c) || digits >= kExactLimit / 10) {
            return false;  // an exponent, or too many digits to stay exact
        }
        digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
        fractionDigits += inFraction ? 1 : 0;
    }
    if (fractionDigits >= std::size(kExactPowersOfTen)) {
        return false;
    }
    value = static_cast<double>(digits) / kExactPowersOfTen[fractionDigits];
    return true;
}

// The usual report amount, such as "25.20", in one pass: digits, an
// optional '.' and digits, at most 15 digits in all (so the integer they
// form is exact), and no exponent after them. Then one correctly rounded
// division by an exact power of ten gives the correctly rounded value.
// Returns false, for the general path to decide, in every other case.
bool convertPlainAmount(std::string_view text, double& value) {
    std::size_t at = 0;
    std::uint64_t digits = 0;
    int digitCount = 0;
    int fractionDigits = 0;
    for (; at < text.size() && isDigit(text[at]); ++at, ++digitCount) {
        digits = digits * 10 + static_cast<std::uint64_t>(text[at] - '0');
    }
    if (digitCount == 0) {
        return false;  // blanks, a sign or a leading '.' take the general path
    }
    if (at < text.size() && text[at] == '.') {
        for (++at; at < text.size() && isDigit(text[at]); ++at, ++fractionDigits) {
            digits = digits * 10 + static_cast<std::uint64_t>(text[at] - '0');
        }
    }
    if (digitCount + fractionDigits > 15 ||
        (at < text.size() && (text[at] == 'e' || text[at] == 'E'))) {
        return false;
    }
    value = static_cast<double>(digits) / kExactPowersOfTen[fractionDigits];
    return true;
}

}  // namespace

std::int32_t lenientInteger(std::string_view text) {
    std::size_t at = skipSpace(text, 0);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    // Accumulate towards the sign's limit and stop growing once past it.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; at < text.size() && isDigit(text[at]); ++at) {
        if (value <= kLimit) {
            value = value * 10 + (text[at] - '0');
        }
    }
    if (negative) {
        return value >= kLimit ? std::numeric_limits<std::int32_t>::min()
                               : static_cast<std::int32_t>(-value);
    }
    return value >= kLimit ? std::numeric_limits<std::int32_t>::max()
                           : static_cast<std::int32_t>(value);
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

double lenientReal(std::string_view text) {
    double quick = 0.0;
    if (convertPlainAmount(text, quick)) {
        return quick;
    }
    RealPrefix prefix = findRealPrefix(text);
    if (!prefix.anyDigit) {
        return 0.0;
    }
    std::string_view number = text.substr(prefix.begin, prefix.end - prefix.begin);
    bool negative = prefix.negative;
    double value = 0.0;
    if (convertShortDecimal(number, value)) {
        return negative ? -value : value;
    }
    auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                  std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = isHugeMagnitude(number) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

std::size_t lenientRealLength(std::string_view text) {
    RealPrefix prefix = findRealPrefix(text);
    return prefix.anyDigit ? prefix.end : 0;
}
