// The loops behind the scan kernels, each written once as a template over
// the mask function (or the vector type) and instantiated per width by
// scan_kernels.cpp. They are always inlined, so that each width's masks
// are inlined into its loops, in a function compiled for that width.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "input/reading/byte_scan.h"
#include "input/reading/content_digest.h"
#include "input/reading/scan_kernels.h"

// The piece reader's line scan of start[0, window). One pass for every kind
// of byte, the TABs that separate fields included: lines are short, so the
// cost of starting a search per kind would dominate.
template <ByteMasks (*kMasks)(const char*)>
[[gnu::always_inline]] inline LineScan scanLineWith(const char* start, std::size_t window,
                                                    std::uint64_t* separatorBits) {
    LineScan scan{window, static_cast<std::uint32_t>(window), 0};
    std::uint64_t quotes = 0;
    for (std::size_t at = 0; at < window; at += 64) {
        ByteMasks masks = kMasks(start + at);
        separatorBits[at / 64] = masks.tabs;  // the LF that ends the piece is added after
        std::uint64_t odds = masks.odd;
        if (masks.lineFeeds != 0) {
            odds &= (masks.lineFeeds & -masks.lineFeeds) - 1;  // only bytes before the LF
        }
        quotes |= masks.quotes;  // also after the LF: a quote there costs a look only
        if (odds != 0 && scan.firstOdd == window) {
            scan.firstOdd = static_cast<std::uint32_t>(
                std::min(window, at + static_cast<std::size_t>(std::countr_zero(odds))));
        }
        if (masks.lineFeeds != 0) {
            std::size_t lineFeed = at + static_cast<std::size_t>(std::countr_zero(masks.lineFeeds));
            scan.lineFeed = std::min(window, lineFeed);
            scan.quoted = quotes != 0;
            return scan;
        }
    }
    return scan;
}

// The line reader's search for where a line's text stops, keeping the TABs
// before it on the way.
template <ByteMasks (*kMasks)(const char*)>
[[gnu::always_inline]] inline LineStop findStopWith(const char* start, std::size_t available,
                                                    std::uint64_t* tabBits) {
    std::uint64_t quotes = 0;
    for (std::size_t at = 0; at < available; at += 64) {
        ByteMasks masks = kMasks(start + at);
        tabBits[at / 64] = masks.tabs;
        std::uint64_t stops = masks.lineFeeds | masks.odd;
        quotes |= masks.quotes;  // also after the stop: a quote there costs a look only
        if (stops != 0) {
            return {std::min(available, at + static_cast<std::size_t>(std::countr_zero(stops))),
                    quotes != 0};
        }
    }
    return {available, quotes != 0};
}

// A split into tokens under way, whichever way its separators are found.
struct TokenRun {
    const char* begin = nullptr;       // start of the current token
    std::string_view* next = nullptr;  // where the next token goes
    std::string_view* last = nullptr;  // past the last token wanted
};

// Every separator in found (bit i for chunk[i], in order) closes the token
// before it; a separator right after another closes none. Returns true as
// soon as the last token wanted is out, with begin after the separator that
// closed it.
[[gnu::always_inline]] inline bool emitTokens(TokenRun& run, const char* chunk,
                                              std::uint64_t found) {
    for (; found != 0; found &= found - 1) {
        const char* separator = chunk + std::countr_zero(found);
        if (separator != run.begin) {
            *run.next++ =
                std::string_view(run.begin, static_cast<std::size_t>(separator - run.begin));
        }
        run.begin = separator + 1;
        if (run.next == run.last) {
            return true;
        }
    }
    return false;
}

// Ends a split that used up text[0, length): what follows the last
// separator is the last token, unless empty. Returns the count of tokens.
[[gnu::always_inline]] inline int finishTokens(TokenRun& run, const char* text, std::size_t length,
                                               std::size_t& cursor, std::string_view* tokens) {
    if (run.begin < text + length) {
        *run.next++ =
            std::string_view(run.begin, static_cast<std::size_t>(text + length - run.begin));
    }
    cursor = length;
    return static_cast<int>(run.next - tokens);
}

// The field splitter's split of text[cursor, length). Instead of one search
// per token, the text is scanned 64 bytes at a time, and the scan stops at
// the separator that closes the last token wanted.
template <ByteMasks (*kMasks)(const char*)>
[[gnu::always_inline]] inline int splitWith(const char* text, std::size_t length,
                                            std::size_t& cursor, std::string_view* tokens,
                                            int maxTokens) {
    TokenRun run{text + cursor, tokens, tokens + maxTokens};
    const char* const end = text + length;
    for (const char* chunk = text + cursor; chunk < end; chunk += 64) {
        ByteMasks masks = kMasks(chunk);
        std::uint64_t found = masks.tabs | masks.lineFeeds;
        if (end - chunk < 64) {
            found &= (std::uint64_t{1} << (end - chunk)) - 1;
        }
        if (emitTokens(run, chunk, found)) {
            cursor = static_cast<std::size_t>(run.begin - text);
            return maxTokens;
        }
    }
    return finishTokens(run, text, length, cursor, tokens);
}

// The content digest's lanes of 8-byte words, 128 bits wide, which every
// x86-64 processor adds in one step each (elsewhere the compiler splits
// them), or 256 bits wide with AVX2.
using DigestLanes128 = std::uint64_t __attribute__((vector_size(16)));
using DigestLanes256 = std::uint64_t __attribute__((vector_size(32)));

// Each lane sums its words, and sums those sums, so that the order of the
// words counts as well as their values. The lanes' sums are independent, so
// a chunk's vectors are added side by side.
template <typename Lanes>
[[gnu::always_inline]] inline void addChunksWith(ContentDigest& digest, const unsigned char* bytes,
                                                 std::size_t chunks) {
    constexpr std::size_t kVectors = kDigestChunk / sizeof(Lanes);
    Lanes sums[kVectors];
    Lanes weighted[kVectors];
    std::memcpy(sums, digest.sums, sizeof sums);
    std::memcpy(weighted, digest.weightedSums, sizeof weighted);
    for (std::size_t chunk = 0; chunk < chunks; ++chunk, bytes += kDigestChunk) {
        for (std::size_t at = 0; at < kVectors; ++at) {
            Lanes words;
            std::memcpy(&words, bytes + at * sizeof(Lanes), sizeof words);
            sums[at] += words;
            weighted[at] += sums[at];
        }
    }
    std::memcpy(digest.sums, sums, sizeof sums);
    std::memcpy(digest.weightedSums, weighted, sizeof weighted);
}
