#include "common/text_format.h"

#include <charconv>
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

char* appendFixed2(char* out, double value, int width) {
    char digits[kMaxFormattedNumber];
    // to_chars with a precision is specified as printf's "%.*f" in the C
    // locale: the exact binary value rounded to nearest, ties to even, and
    // an infinity or a NaN spelled "inf" or "nan" with its sign.
    char* end =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 2).ptr;
    return appendAligned(out, digits, static_cast<std::size_t>(end - digits), width, false);
}
