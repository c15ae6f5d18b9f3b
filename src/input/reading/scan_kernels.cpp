#include "input/reading/scan_kernels.h"

#include "input/reading/scan_loops.h"

ScanWidth widestScan() {
#if defined(SALESUM_HAS_AVX2_SCAN)
    if (__builtin_cpu_supports("avx2")) {
        return ScanWidth::kAvx2;
    }
#endif
#if defined(__SSE2__)
    return ScanWidth::kSse2;
#else
    return ScanWidth::kPortable;
#endif
}

namespace {

// The plain and the SSE2 loops need nothing the build's own target lacks,
// so the table takes the templates' instances as they are.
constexpr ScanKernels kPortableKernels = {
    .width = ScanWidth::kPortable,
    .masks = masksPortable,
    .scanLine = scanLineWith<masksPortable>,
    .findStop = findStopWith<masksPortable>,
    .splitText = splitWith<masksPortable>,
    .addChunks = addChunksWith<DigestLanes128>,
};

#if defined(__SSE2__)
constexpr ScanKernels kSse2Kernels = {
    .width = ScanWidth::kSse2,
    .masks = masksSse2,
    .scanLine = scanLineWith<masksSse2>,
    .findStop = findStopWith<masksSse2>,
    .splitText = splitWith<masksSse2>,
    .addChunks = addChunksWith<DigestLanes128>,
};
#endif

#if defined(SALESUM_HAS_AVX2_SCAN)
// The AVX2 loops are compiled for AVX2 whatever the build's target: each is
// a function of that target into which its loop, and the masks, inline.
__attribute__((target("avx2"))) LineScan scanLineAvx2(const char* start, std::size_t window,
                                                      std::uint64_t* separatorBits) {
    return scanLineWith<masksAvx2>(start, window, separatorBits);
}

__attribute__((target("avx2"))) LineStop findStopAvx2(const char* start, std::size_t available,
                                                      std::uint64_t* tabBits) {
    return findStopWith<masksAvx2>(start, available, tabBits);
}

__attribute__((target("avx2"))) int splitAvx2(const char* text, std::size_t length,
                                              std::size_t& cursor, std::string_view* tokens,
                                              int maxTokens) {
    return splitWith<masksAvx2>(text, length, cursor, tokens, maxTokens);
}

__attribute__((target("avx2"))) void addChunksAvx2(ContentDigest& digest,
                                                   const unsigned char* bytes, std::size_t chunks) {
    addChunksWith<DigestLanes256>(digest, bytes, chunks);
}

constexpr ScanKernels kAvx2Kernels = {
    .width = ScanWidth::kAvx2,
    .masks = masksAvx2,
    .scanLine = scanLineAvx2,
    .findStop = findStopAvx2,
    .splitText = splitAvx2,
    .addChunks = addChunksAvx2,
};
#endif

}  // namespace

const ScanKernels& scanKernelsFor(ScanWidth width) {
    switch (width) {
#if defined(SALESUM_HAS_AVX2_SCAN)
        case ScanWidth::kAvx2:
            return kAvx2Kernels;
#endif
#if defined(__SSE2__)
        case ScanWidth::kSse2:
            return kSse2Kernels;
#endif
        default:
            return kPortableKernels;
    }
}

const ScanKernels& scanKernels() {
    static const ScanKernels& chosen = scanKernelsFor(widestScan());
    return chosen;
}
