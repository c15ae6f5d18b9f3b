#include "input/reading/byte_scan.h"

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

#if defined(SALESUM_HAS_AVX2_SCAN)
namespace {
__attribute__((target("avx2"))) ByteMasks scanAvx2(const char* bytes) {
    return masksAvx2(bytes);
}
}  // namespace
#endif

ByteMasks scanBytes(const char* bytes, ScanWidth width) {
    switch (width) {
#if defined(SALESUM_HAS_AVX2_SCAN)
        case ScanWidth::kAvx2:
            return scanAvx2(bytes);
#endif
#if defined(__SSE2__)
        case ScanWidth::kSse2:
            return masksSse2(bytes);
#endif
        default:
            return masksPortable(bytes);
    }
}
