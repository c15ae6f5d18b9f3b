#include "input/reading/field_splitter.h"

#include <bit>
#include <cstdint>

namespace {

// The split of text[begin, length), written once for every scan width.
// Instead of one search per token, the text is scanned 64 bytes at a time
// (bytes past the length are read but ignored), and every separator found
// closes the token before it. The scan stops at the separator that closes
// the last token wanted. Returns the count and leaves cursor after the last
// separator looked at.
template <ByteMasks (*kMasks)(const char*)>
[[gnu::always_inline]] inline int splitWith(const char* text, std::size_t length,
                                            std::size_t& cursor, std::string_view* tokens,
                                            int maxTokens) {
    const char* begin = text + cursor;  // start of the current token
    const char* const end = text + length;
    std::string_view* next = tokens;
    std::string_view* const last = tokens + maxTokens;
    for (const char* chunk = begin; chunk < end; chunk += 64) {
        ByteMasks masks = kMasks(chunk);
        std::uint64_t found = masks.tabs | masks.lineFeeds;
        if (end - chunk < 64) {
            found &= (std::uint64_t{1} << (end - chunk)) - 1;
        }
        for (; found != 0; found &= found - 1) {
            const char* separator = chunk + std::countr_zero(found);
            if (separator != begin) {
                *next++ = std::string_view(begin, static_cast<std::size_t>(separator - begin));
            }
            begin = separator + 1;
            if (next == last) {
                cursor = static_cast<std::size_t>(begin - text);
                return maxTokens;
            }
        }
    }
    if (begin < end) {
        *next++ = std::string_view(begin, static_cast<std::size_t>(end - begin));
    }
    cursor = length;
    return static_cast<int>(next - tokens);
}

// The same split over separator bits found before (a word per 64
// characters), with no scan of its own.
int splitAtBits(const char* text, std::size_t length, const std::uint64_t* bits,
                std::size_t& cursor, std::string_view* tokens, int maxTokens) {
    const char* begin = text + cursor;  // start of the current token
    const char* const end = text + length;
    std::string_view* next = tokens;
    std::string_view* const last = tokens + maxTokens;
    for (std::size_t word = cursor / 64; 64 * word < length; ++word) {
        std::uint64_t found = bits[word];
        if (word == cursor / 64) {
            found &= ~std::uint64_t{0} << (cursor % 64);
        }
        if (length - 64 * word < 64) {
            found &= (std::uint64_t{1} << (length - 64 * word)) - 1;
        }
        const char* chunk = text + 64 * word;
        for (; found != 0; found &= found - 1) {
            const char* separator = chunk + std::countr_zero(found);
            if (separator != begin) {
                *next++ = std::string_view(begin, static_cast<std::size_t>(separator - begin));
            }
            begin = separator + 1;
            if (next == last) {
                cursor = static_cast<std::size_t>(begin - text);
                return maxTokens;
            }
        }
    }
    if (begin < end) {
        *next++ = std::string_view(begin, static_cast<std::size_t>(end - begin));
    }
    cursor = length;
    return static_cast<int>(next - tokens);
}

int splitPortable(const char* text, std::size_t length, std::size_t& cursor,
                  std::string_view* tokens, int maxTokens) {
    return splitWith<masksPortable>(text, length, cursor, tokens, maxTokens);
}

#if defined(__SSE2__)
int splitSse2(const char* text, std::size_t length, std::size_t& cursor, std::string_view* tokens,
              int maxTokens) {
    return splitWith<masksSse2>(text, length, cursor, tokens, maxTokens);
}
#endif

#if defined(SALESUM_HAS_AVX2_SCAN)
__attribute__((target("avx2"))) int splitAvx2(const char* text, std::size_t length,
                                              std::size_t& cursor, std::string_view* tokens,
                                              int maxTokens) {
    return splitWith<masksAvx2>(text, length, cursor, tokens, maxTokens);
}
#endif

}  // namespace

int splitTokens(Piece& piece, std::string_view* tokens, int maxTokens, ScanWidth width) {
    if (piece.view != nullptr && piece.cursor < piece.length) {
        // Left in the block: the line scan found the separators already.
        return splitAtBits(piece.view, piece.length, piece.separatorBits, piece.cursor, tokens,
                           maxTokens);
    }
    const char* text = pieceText(piece);
    switch (width) {
#if defined(SALESUM_HAS_AVX2_SCAN)
        case ScanWidth::kAvx2:
            return splitAvx2(text, piece.length, piece.cursor, tokens, maxTokens);
#endif
#if defined(__SSE2__)
        case ScanWidth::kSse2:
            return splitSse2(text, piece.length, piece.cursor, tokens, maxTokens);
#endif
        default:
            return splitPortable(text, piece.length, piece.cursor, tokens, maxTokens);
    }
}
