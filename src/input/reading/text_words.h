// A short text read as two words, for hashing and keying texts that are
// looked up once per report line (date texts, a record's name and
// currency): a few loads instead of a step per byte.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

struct TextWords {
    std::uint64_t head = 0;
    std::uint64_t tail = 0;
};

// The first and the last eight bytes of the text (overlapping when it is
// shorter than 16), four and four below 8 bytes, and the first, middle and
// last byte below 4. Together with the text's length the words tell every
// text of at most 16 bytes from every other.
[[gnu::always_inline]] inline TextWords textWords(std::string_view text) {
    const char* bytes = text.data();
    std::size_t size = text.size();
    TextWords words;
    if (size >= 8) {
        std::memcpy(&words.head, bytes, 8);
        std::memcpy(&words.tail, bytes + size - 8, 8);
    } else if (size >= 4) {
        std::uint32_t first = 0;
        std::uint32_t last = 0;
        std::memcpy(&first, bytes, 4);
        std::memcpy(&last, bytes + size - 4, 4);
        words.head = first;
        words.tail = last;
    } else if (size > 0) {
        words.head = static_cast<unsigned char>(bytes[0]) |
                     std::uint64_t{static_cast<unsigned char>(bytes[size / 2])} << 8 |
                     std::uint64_t{static_cast<unsigned char>(bytes[size - 1])} << 16;
    }
    return words;
}
