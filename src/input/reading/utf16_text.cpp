#include "input/reading/utf16_text.h"

#include <cstring>

#include "input/reading/byte_scan.h"

namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

bool isAsciiText(unsigned char byte) {
    return byte != 0 && byte < 0x80;
}

bool isHighSurrogate(std::uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(std::uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Writes the UTF-8 form of a code point that is no surrogate.
char* putCodePoint(char* at, std::uint32_t point) {
    if (point < 0x80) {
        *at++ = static_cast<char>(point);
    } else if (point < 0x800) {
        *at++ = static_cast<char>(0xC0 | point >> 6);
        *at++ = static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        *at++ = static_cast<char>(0xE0 | point >> 12);
        *at++ = static_cast<char>(0x80 | (point >> 6 & 0x3F));
        *at++ = static_cast<char>(0x80 | (point & 0x3F));
    } else {
        *at++ = static_cast<char>(0xF0 | point >> 18);
        *at++ = static_cast<char>(0x80 | (point >> 12 & 0x3F));
        *at++ = static_cast<char>(0x80 | (point >> 6 & 0x3F));
        *at++ = static_cast<char>(0x80 | (point & 0x3F));
    }
    return at;
}

std::uint16_t unitOf(const Utf16Converter& converter, unsigned char first, unsigned char second) {
    return converter.bigEndian ? static_cast<std::uint16_t>(first << 8 | second)
                               : static_cast<std::uint16_t>(second << 8 | first);
}

// Writes one code unit, joining a high surrogate to the low one after it.
// A surrogate without its partner is written as U+FFFD.
char* putUnit(Utf16Converter& converter, std::uint16_t unit, char* at) {
    if (isHighSurrogate(unit)) {
        if (converter.highSurrogate != 0) {
            at = putCodePoint(at, kReplacement);
        }
        converter.highSurrogate = unit;
        return at;
    }
    if (isLowSurrogate(unit)) {
        if (converter.highSurrogate == 0) {
            return putCodePoint(at, kReplacement);
        }
        std::uint32_t point =
            0x10000 + ((std::uint32_t{converter.highSurrogate} - 0xD800) << 10) + (unit - 0xDC00);
        converter.highSurrogate = 0;
        return putCodePoint(at, point);
    }
    if (converter.highSurrogate != 0) {
        at = putCodePoint(at, kReplacement);
        converter.highSurrogate = 0;
    }
    return putCodePoint(at, unit);
}

// The four low bytes of four ASCII code units, moved together into the
// word's first four (the first byte in memory is the word's lowest).
std::uint64_t packAsciiUnits(std::uint64_t word, bool bigEndian) {
    word = bigEndian ? word >> 8 : word;
    word = (word | word >> 8) & 0x0000FFFF0000FFFFu;
    return (word | word >> 16) & 0xFFFFFFFFu;
}

// Converts the run of code units that are all ASCII, as most of a report's
// text is, eight at a time: each has a high byte of 0 and a low byte below
// 0x80. Returns where the run stopped, with at moved past its text.
std::size_t convertAsciiRun(const unsigned char* bytes, std::size_t next, std::size_t count,
                            bool bigEndian, char*& at) {
    const std::uint64_t mask = bigEndian ? 0x80FF80FF80FF80FFu : 0xFF80FF80FF80FF80u;
    for (; next + 16 <= count; next += 16) {
        const char* from = reinterpret_cast<const char*>(bytes + next);
        std::uint64_t first = byte_scan_detail::loadWord(from);
        std::uint64_t second = byte_scan_detail::loadWord(from + 8);
        if (((first | second) & mask) != 0) {
            break;
        }
        std::uint64_t text = packAsciiUnits(first, bigEndian) | packAsciiUnits(second, bigEndian)
                                                                    << 32;
        std::memcpy(at, &text, sizeof text);
        at += sizeof text;
    }
    return next;
}

}  // namespace

Utf16Start detectUtf16(const unsigned char* bytes, std::size_t count) {
    if (count < 2) {
        return {};
    }
    if (bytes[0] == 0xFF && bytes[1] == 0xFE) {
        return {true, false, 2};
    }
    if (bytes[0] == 0xFE && bytes[1] == 0xFF) {
        return {true, true, 2};
    }
    if (isAsciiText(bytes[0]) && bytes[1] == 0) {
        return {true, false, 0};
    }
    if (bytes[0] == 0 && isAsciiText(bytes[1])) {
        return {true, true, 0};
    }
    return {};
}

std::size_t convertUtf16(Utf16Converter& converter, const unsigned char* bytes, std::size_t count,
                         char* out) {
    char* at = out;
    std::size_t next = 0;
    if (converter.hasCarriedByte && count > 0) {
        converter.hasCarriedByte = false;
        at = putUnit(converter, unitOf(converter, converter.carriedByte, bytes[0]), at);
        next = 1;
    }
    while (next + 2 <= count) {
        if (converter.highSurrogate == 0) {
            next = convertAsciiRun(bytes, next, count, converter.bigEndian, at);
            if (next + 2 > count) {
                break;
            }
        }
        at = putUnit(converter, unitOf(converter, bytes[next], bytes[next + 1]), at);
        next += 2;
    }
    if (next < count) {
        converter.hasCarriedByte = true;
        converter.carriedByte = bytes[next];
    }
    return static_cast<std::size_t>(at - out);
}

std::size_t finishUtf16(Utf16Converter& converter, char* out) {
    char* at = out;
    if (converter.highSurrogate != 0) {
        at = putCodePoint(at, kReplacement);
        converter.highSurrogate = 0;
    }
    if (converter.hasCarriedByte) {
        at = putCodePoint(at, kReplacement);
        converter.hasCarriedByte = false;
    }
    return static_cast<std::size_t>(at - out);
}
