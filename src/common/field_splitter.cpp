#include "common/field_splitter.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

bool isFieldSeparator(char c) {
    return c == '\t' || c == '\n';
}

#if !defined(__SSE2__)
constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Fu;
constexpr std::uint64_t kOnes = 0x0101010101010101u;

// The high bit of each byte of the word that is zero, and no other bit.
std::uint64_t zeroBytes(std::uint64_t word) {
    return ~(((word & kLowBits) + kLowBits) | word | kLowBits);
}
#endif

// One bit per byte of text[at, at + 16), set where the byte is TAB or LF.
// The buffer must hold the 16 bytes.
std::uint32_t separatorBits(const char* text, std::size_t at) {
#if defined(__SSE2__)
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
    __m128i found = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')),
                                 _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
    return static_cast<std::uint32_t>(_mm_movemask_epi8(found));
#else
    std::uint32_t bits = 0;
    for (std::size_t half = 0; half < 2; ++half) {
        std::uint64_t word = 0;
        std::memcpy(&word, text + at + 8 * half, sizeof word);
        std::uint64_t zeros = zeroBytes(word ^ (kOnes * '\t')) | zeroBytes(word ^ (kOnes * '\n'));
        for (; zeros != 0; zeros &= zeros - 1) {
            bits |= 1u << (8 * half + static_cast<std::size_t>(std::countr_zero(zeros)) / 8);
        }
    }
    return bits;
#endif
}

}  // namespace

// Splits the piece's text as repeated nextToken calls with the separators
// TAB and LF would, keeping the first maxTokens tokens, and returns their
// count. Instead of one search per token, the text is scanned once, sixteen
// bytes at a time while they lie inside the piece's buffer (bytes past the
// text's length are read but ignored), and every separator found closes the
// token before it. Leaves the cursor where nextToken would.
int splitTokens(Piece& piece, std::string_view* tokens, int maxTokens) {
    const char* text = piece.text;
    const std::size_t length = piece.length;
    std::size_t begin = piece.cursor;  // start of the current token
    int count = 0;
    // Closes the token ending at a separator; true once enough are kept.
    auto separatorAt = [&](std::size_t at) {
        if (at > begin) {
            tokens[count++] = std::string_view(text + begin, at - begin);
        }
        begin = at + 1;
        return count == maxTokens;
    };
    std::size_t at = begin;
    for (; at < length && at + 16 <= kPieceCapacity; at += 16) {
        for (std::uint32_t found = separatorBits(text, at); found != 0; found &= found - 1) {
            std::size_t separator = at + static_cast<std::size_t>(std::countr_zero(found));
            if (separator >= length) {
                break;
            }
            if (separatorAt(separator)) {
                piece.cursor = separator + 1;
                return count;
            }
        }
    }
    for (; at < length; ++at) {
        if (isFieldSeparator(text[at]) && separatorAt(at)) {
            piece.cursor = at + 1;
            return count;
        }
    }
    if (begin < length) {
        tokens[count++] = std::string_view(text + begin, length - begin);
    }
    piece.cursor = length;
    return count;
}
