#include "report/text_format.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// Appends the field right-aligned in width (printf's default), or
// left-aligned.
char* appendAligned(char* out, const char* field, std::size_t size, int width, bool left) {
    std::size_t padding = width > 0 && static_cast<std::size_t>(width) > size
                              ? static_cast<std::size_t>(width) - size
                              : 0;
    if (!left) {
        std::memset(out, ' ', padding);
        out += padding;
    }
    std::memcpy(out, field, size);
    out += size;
    if (left) {
        std::memset(out, ' ', padding);
        out += padding;
    }
    return out;
}

}  // namespace

char* appendText(char* out, std::string_view text, int width, bool left) {
    if (const void* nul = std::memchr(text.data(), '\0', text.size())) {
        text =
            text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
    }
    return appendAligned(out, text.data(), text.size(), width, left);
}

char* appendInteger(char* out, std::int32_t value, int width) {
    char digits[16];
    char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return appendAligned(out, digits, static_cast<std::size_t>(end - digits), width, false);
}

// The usual amount without the general conversion: when value * 100,
// computed in doubles, lies clearly closer to one integer than to the
// halfway points around it, that integer is the exact value rounded to two
// decimals (the product's rounding error, below 2^-12 under 2^40, cannot
// cross a halfway point 0.001 away). Returns false, for to_chars to decide,
// for halfway cases, large magnitudes, infinities and NaNs.
bool formatCents(double value, char* digits, char*& end) {
    constexpr double kLimit = 1099511627776.0;  // 2^40
    double scaled = value * 100.0;
    if (!(scaled > -kLimit && scaled < kLimit)) {
        return false;
    }
    double nearest = std::nearbyint(scaled);
    if (std::fabs(scaled - nearest) > 0.499) {
        return false;
    }
    auto cents = static_cast<std::uint64_t>(std::fabs(nearest));
    char* at = digits;
    if (std::signbit(value)) {
        *at++ = '-';  // printf keeps the sign of a value that rounds to zero
    }
    char whole[24];
    char* wholeEnd = std::to_chars(whole, whole + sizeof whole, cents / 100).ptr;
    std::memcpy(at, whole, static_cast<std::size_t>(wholeEnd - whole));
    at += wholeEnd - whole;
    *at++ = '.';
    *at++ = static_cast<char>('0' + cents % 100 / 10);
    *at++ = static_cast<char>('0' + cents % 10);
    end = at;
    return true;
}

char* appendFixed2(char* out, double value, int width) {
    char digits[kMaxFormattedNumber];
    char* end = digits;
    if (!formatCents(value, digits, end)) {
        // The C++ standard defines to_chars with a precision as printf's
        // "%.*f" in the C locale: the exact binary value rounded to nearest,
        // ties to even, and an infinity or a NaN spelled "inf" or "nan" with
        // its sign.
        end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 2).ptr;
    }
    return appendAligned(out, digits, static_cast<std::size_t>(end - digits), width, false);
}

char* appendPlainDecimal(char* out, double value) {
    if (std::isnan(value) || std::isinf(value)) {
        return appendFixed2(out, value);  // the sign and the word, as the tables print them
    }
    return std::to_chars(out, out + kMaxFormattedNumber, value, std::chars_format::fixed).ptr;
}
