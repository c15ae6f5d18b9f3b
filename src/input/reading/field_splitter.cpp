#include "input/reading/field_splitter.h"

#include <bit>
#include <cstdint>

namespace {

// The split of text[cursor, length) that the kernels' splitText makes, over
// separator bits found before (a word per 64 characters), with no scan of
// its own.
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

// A piece left in the block: its line scan found the separators already.
bool splitsAtBits(const Piece& piece) {
    return piece.view != nullptr && piece.cursor < piece.length;
}

}  // namespace

int splitTokens(Piece& piece, std::string_view* tokens, int maxTokens, const ScanKernels& kernels) {
    if (splitsAtBits(piece)) {
        return splitAtBits(piece.view, piece.length, piece.separatorBits, piece.cursor, tokens,
                           maxTokens);
    }
    return kernels.splitText(pieceText(piece), piece.length, piece.cursor, tokens, maxTokens);
}

int splitTokens(Piece& piece, std::string_view* tokens, int maxTokens) {
    if (splitsAtBits(piece)) {
        return splitAtBits(piece.view, piece.length, piece.separatorBits, piece.cursor, tokens,
                           maxTokens);
    }
    return scanKernels().splitText(pieceText(piece), piece.length, piece.cursor, tokens, maxTokens);
}
