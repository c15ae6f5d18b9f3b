// Finding the bytes that end lines and fields, 64 bytes at a time.
//
// The reader looks for three things in each line: where it ends (and whether
// it holds a byte that needs the careful path), where its fields end, and
// whether it holds a double quote (so that a field may be quoted).
// Both ask the same question of 64 bytes at a time, answered here as bit
// masks, one bit per byte, in three ways: AVX2, SSE2 and plain 64-bit
// words, which all give the same masks. The loops that use them are written
// once over the mask function (scan_loops.h) and compiled once per width
// into a table of kernels, of which a run takes the widest its processor
// has (scan_kernels.h).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SALESUM_HAS_AVX2_SCAN 1
#endif

// A scan reads 64 bytes from where it starts, whatever the length of the
// text there: buffers that are scanned keep this many readable bytes after
// the last byte that can hold text.
constexpr std::size_t kScanPadding = 64;

// Ctrl-Z, the end-of-file mark of old text files: every reader ends a
// file's content at the first one, and nothing after it is read.
constexpr char kCtrlZ = 0x1A;

enum class ScanWidth { kPortable, kSse2, kAvx2 };

// Bit i is set where byte i of the 64 is of that kind.
struct ByteMasks {
    std::uint64_t lineFeeds = 0;
    std::uint64_t tabs = 0;
    std::uint64_t odd = 0;     // CR, NUL and Ctrl-Z: bytes the copying path handles
    std::uint64_t quotes = 0;  // '"'
};

namespace byte_scan_detail {

constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Fu;
constexpr std::uint64_t kOnes = 0x0101010101010101u;

// The high bit of each byte of the word that is zero, and no other bit.
inline std::uint64_t zeroBytes(std::uint64_t word) {
    return ~(((word & kLowBits) + kLowBits) | word | kLowBits);
}

// Gathers the high bits of the eight bytes into the low eight bits, the
// first byte in memory to bit 0.
inline std::uint64_t gatherHighBits(std::uint64_t highBits) {
    return ((highBits >> 7) * 0x0102040810204080u) >> 56;
}

inline std::uint64_t loadWord(const char* bytes) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::big) {
        word = __builtin_bswap64(word);
    }
    return word;
}

}  // namespace byte_scan_detail

// Eight bytes at a time in plain 64-bit words, on any processor.
inline ByteMasks masksPortable(const char* bytes) {
    using namespace byte_scan_detail;
    ByteMasks masks;
    for (std::size_t at = 0; at < 64; at += 8) {
        std::uint64_t word = loadWord(bytes + at);
        std::uint64_t odd = zeroBytes(word) | zeroBytes(word ^ (kOnes * '\r')) |
                            zeroBytes(word ^ (kOnes * static_cast<unsigned char>(kCtrlZ)));
        masks.lineFeeds |= gatherHighBits(zeroBytes(word ^ (kOnes * '\n'))) << at;
        masks.tabs |= gatherHighBits(zeroBytes(word ^ (kOnes * '\t'))) << at;
        masks.odd |= gatherHighBits(odd) << at;
        masks.quotes |= gatherHighBits(zeroBytes(word ^ (kOnes * '"'))) << at;
    }
    return masks;
}

#if defined(__SSE2__)
inline std::uint64_t sse2Bits(__m128i found) {
    return static_cast<std::uint32_t>(_mm_movemask_epi8(found));
}

inline ByteMasks masksSse2(const char* bytes) {
    ByteMasks masks;
    for (std::size_t at = 0; at < 64; at += 16) {
        __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
        __m128i odd = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('\r')),
                                                _mm_cmpeq_epi8(chunk, _mm_set1_epi8(kCtrlZ))),
                                   _mm_cmpeq_epi8(chunk, _mm_setzero_si128()));
        masks.lineFeeds |= sse2Bits(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('\n'))) << at;
        masks.tabs |= sse2Bits(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('\t'))) << at;
        masks.odd |= sse2Bits(odd) << at;
        masks.quotes |= sse2Bits(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('"'))) << at;
    }
    return masks;
}
#endif

#if defined(SALESUM_HAS_AVX2_SCAN)
// Compiled for AVX2 whatever the build's target, so only ever run from the
// AVX2 kernels, which a run takes only when the processor has AVX2.
__attribute__((target("avx2"))) inline std::uint64_t avx2Bits(__m256i low, __m256i high) {
    auto lowHalf = static_cast<std::uint32_t>(_mm256_movemask_epi8(low));
    auto highHalf = static_cast<std::uint32_t>(_mm256_movemask_epi8(high));
    return static_cast<std::uint64_t>(highHalf) << 32 | lowHalf;
}

__attribute__((target("avx2"))) inline __m256i avx2Odd(__m256i chunk) {
    return _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(chunk, _mm256_set1_epi8('\r')),
                                           _mm256_cmpeq_epi8(chunk, _mm256_set1_epi8(kCtrlZ))),
                           _mm256_cmpeq_epi8(chunk, _mm256_setzero_si256()));
}

__attribute__((target("avx2"))) inline ByteMasks masksAvx2(const char* bytes) {
    __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
    __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + 32));
    const __m256i lineFeed = _mm256_set1_epi8('\n');
    const __m256i tab = _mm256_set1_epi8('\t');
    const __m256i quote = _mm256_set1_epi8('"');
    ByteMasks masks;
    masks.lineFeeds = avx2Bits(_mm256_cmpeq_epi8(low, lineFeed), _mm256_cmpeq_epi8(high, lineFeed));
    masks.tabs = avx2Bits(_mm256_cmpeq_epi8(low, tab), _mm256_cmpeq_epi8(high, tab));
    masks.odd = avx2Bits(avx2Odd(low), avx2Odd(high));
    masks.quotes = avx2Bits(_mm256_cmpeq_epi8(low, quote), _mm256_cmpeq_epi8(high, quote));
    return masks;
}
#endif
