#include "input/reading/utf16_text.h"

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

// Four code units that are all ASCII, as most of a report's text is: the
// high byte of each is 0 and the low byte below 0x80.
bool fourAsciiUnits(const unsigned char* bytes, bool bigEndian) {
    // The first byte in memory is the word's lowest.
    constexpr std::uint64_t kLittleEndianMask = 0xFF80FF80FF80FF80u;
    constexpr std::uint64_t kBigEndianMask = 0x80FF80FF80FF80FFu;
    std::uint64_t word = byte_scan_detail::loadWord(reinterpret_cast<const char*>(bytes));
    return (word & (bigEndian ? kBigEndianMask : kLittleEndianMask)) == 0;
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
    const std::size_t lowByte = converter.bigEndian ? 1 : 0;
    while (next + 2 <= count) {
        if (next + 8 <= count && converter.highSurrogate == 0 &&
            fourAsciiUnits(bytes + next, converter.bigEndian)) {
            for (std::size_t unit = 0; unit < 4; ++unit) {
                *at++ = static_cast<char>(bytes[next + 2 * unit + lowByte]);
            }
            next += 8;
            continue;
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
