// The positions of a line's first separators, taken from the bits its scan
// found, so that a field is two loads away however far along the line it
// lies. Walking the separators one by one per field taken cost more than
// the rest of a line's reading together.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

// Room a positions array needs beyond the separators wanted: the last word
// looked at may hold up to 63 more, and all of them are written.
constexpr int kSeparatorOverrun = 64;

// Writes to at[1], at[2], ... the indices of the separators of a line of
// length characters, in order (bit i % 64 of bits[i / 64] set where
// character i is one; bits at and past length mean nothing), until at
// least wanted are out or the line has no more. at[0] is set to -1 (as
// unsigned): field f of the line then runs from at[f] + 1 up to at[f + 1].
// Returns the count of separators written. at must hold wanted + 1 +
// kSeparatorOverrun entries.
[[gnu::always_inline]] inline int separatorPositions(const std::uint64_t* bits, std::size_t length,
                                                     std::uint32_t* at, int wanted) {
    at[0] = ~std::uint32_t{0};
    std::uint32_t* last = at;  // the last position written
    for (std::size_t word = 0; 64 * word < length && last - at < wanted; ++word) {
        std::uint64_t found = bits[word];
        const std::size_t left = length - 64 * word;
        if (left < 64) {
            found &= (std::uint64_t{1} << left) - 1;
        }
        const auto base = static_cast<std::uint32_t>(64 * word);
        for (; found != 0; found &= found - 1) {
            *++last = base + static_cast<std::uint32_t>(std::countr_zero(found));
        }
    }
    return static_cast<int>(last - at);
}

// Whether a field of the line up to the separator at index last is empty:
// the line begins with a separator, or two lie side by side.
[[gnu::always_inline]] inline bool emptyFieldBefore(const std::uint64_t* bits, std::uint32_t last) {
    std::uint64_t carry = 1;  // a separator at index 0 closes an empty field
    const std::size_t lastWord = last / 64;
    for (std::size_t word = 0; word <= lastWord; ++word) {
        std::uint64_t found = bits[word];
        if (word == lastWord) {
            found &= ~std::uint64_t{0} >> (63 - last % 64);
        }
        if ((found & (found << 1 | carry)) != 0) {
            return true;
        }
        carry = found >> 63;
    }
    return false;
}
