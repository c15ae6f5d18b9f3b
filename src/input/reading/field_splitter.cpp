#include "input/reading/field_splitter.h"

#include <cstdint>

#include "input/reading/scan_loops.h"

namespace {

// The split of text[cursor, length) that the kernels' splitText makes, over
// separator bits found before (a word per 64 characters), with no scan of
// its own. Wants cursor < length. The first word, cut below the cursor, is
// taken before the loop: with the cut inside it, GCC kept the end of the
// tokens on the stack in the inner loop, and a plain run took 1% longer.
int splitAtBits(const char* text, std::size_t length, const std::uint64_t* bits,
                std::size_t& cursor, std::string_view* tokens, int maxTokens) {
    TokenRun run{text + cursor, tokens, tokens + maxTokens};
    std::size_t word = cursor / 64;
    std::uint64_t found = bits[word] & ~std::uint64_t{0} << (cursor % 64);
    for (;;) {
        if (length - 64 * word < 64) {
            found &= (std::uint64_t{1} << (length - 64 * word)) - 1;
        }
        if (emitTokens(run, text + 64 * word, found)) {
            cursor = static_cast<std::size_t>(run.begin - text);
            return maxTokens;
        }
        if (64 * ++word >= length) {
            return finishTokens(run, text, length, cursor, tokens);
        }
        found = bits[word];
    }
}

// A piece left in the block: its line scan found the separators already.
bool splitsAtBits(const Piece& piece) {
    return piece.view != nullptr && piece.cursor < piece.length;
}

}  // namespace

int splitTokens(Piece& piece, std::string_view* tokens, int maxTokens, const ScanKernels* kernels) {
    if (splitsAtBits(piece)) {
        return splitAtBits(piece.view, piece.length, piece.separatorBits, piece.cursor, tokens,
                           maxTokens);
    }
    const ScanKernels& scan = kernels != nullptr ? *kernels : scanKernels();
    return scan.splitText(pieceText(piece), piece.length, piece.cursor, tokens, maxTokens);
}
