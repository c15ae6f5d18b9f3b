// UTF-16 text, as a spreadsheet saves "Unicode text", turned into the UTF-8
// that every reader takes. The conversion is streamed: a code unit or a
// surrogate pair cut between two reads is joined across them.
//
// What cannot be converted is not dropped: an unpaired surrogate, and an odd
// byte left at the end of the content, each become U+FFFD, the replacement
// character (EF BF BD in UTF-8).
#pragma once

#include <cstddef>
#include <cstdint>

// What the first bytes of a content say of it.
struct Utf16Start {
    bool isUtf16 = false;
    bool bigEndian = false;
    std::size_t markLength = 0;  // the byte-order mark's bytes, which are not text
};

// The content is UTF-16 when it begins with the byte-order mark FF FE
// (little-endian) or FE FF (big-endian), or, without a mark, when its first
// two bytes are an ASCII byte other than NUL and a NUL (little-endian) or a
// NUL and such a byte (big-endian). count is how many bytes the start holds.
Utf16Start detectUtf16(const unsigned char* bytes, std::size_t count);

// Where a conversion stands between two reads.
struct Utf16Converter {
    bool bigEndian = false;
    bool hasCarriedByte = false;  // the first byte of a code unit, read without its second
    unsigned char carriedByte = 0;
    std::uint16_t highSurrogate = 0;  // a high surrogate waiting for its low one, or 0
};

// The most UTF-8 bytes that converting count bytes can write: three per code
// unit, and three for a surrogate left waiting by the bytes before.
constexpr std::size_t utf8Room(std::size_t count) {
    return 3 * ((count + 1) / 2) + 3;
}

// Converts the next count bytes of the content into out, which has room for
// utf8Room(count) bytes, and returns how many bytes it wrote.
std::size_t convertUtf16(Utf16Converter& converter, const unsigned char* bytes, std::size_t count,
                         char* out);

// Ends the content: a surrogate still waiting and a byte still carried each
// become U+FFFD. Writes at most 6 bytes into out and returns how many.
std::size_t finishUtf16(Utf16Converter& converter, char* out);
