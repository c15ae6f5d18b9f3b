// The loops that look at every byte a report holds, as one table per scan
// width: the same loops (scan_loops.h) over the AVX2, the SSE2 or the
// plain-word masks (byte_scan.h). A run picks its table once, the widest
// the processor has, and every reader calls through it; a test can ask for
// any width the processor runs, and must get the same answers from each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "input/reading/byte_scan.h"

struct ContentDigest;

// Where a line ends and what it holds: the index of the first LF in
// start[0, window) (window when there is none), the index of the first
// CR, Ctrl-Z or NUL before it (window when there is none), and whether a
// '"' may lie before it: false only when none does (the scan of the 64 bytes
// that hold the LF also sees the bytes after it).
// A window is at most a piece long, so the index of the odd byte and the
// flag share one word: the scan comes back in two registers.
struct LineScan {
    std::size_t lineFeed = 0;
    std::uint32_t firstOdd = 0;
    std::uint32_t quoted = 0;
};

// Where a line's text stops: the index of the first LF, CR, NUL or Ctrl-Z
// (available when there is none), and whether a '"' may lie before it, as
// LineScan tells it.
struct LineStop {
    std::size_t stop = 0;
    bool quoted = false;
};

// Every entry reads 64 bytes at a time, also past the end of the bytes it
// is given (up to kScanPadding bytes), and ignores what it finds there.
struct ScanKernels {
    ScanWidth width = ScanWidth::kPortable;
    // The masks of bytes[0, 64).
    ByteMasks (*masks)(const char* bytes) = nullptr;
    // The piece reader's scan of a line: where it ends and what it holds,
    // and its TABs, a word of separatorBits per 64 bytes.
    LineScan (*scanLine)(const char* start, std::size_t window,
                         std::uint64_t* separatorBits) = nullptr;
    // The line reader's scan: where the first LF, CR, NUL or Ctrl-Z lies in
    // start[0, available) (available when there is none), whether a '"' may
    // lie before it, and the TABs before it, a word of tabBits per 64 bytes.
    LineStop (*findStop)(const char* start, std::size_t available,
                         std::uint64_t* tabBits) = nullptr;
    // The field splitter's split of text[cursor, length) at TABs and LFs
    // into at most maxTokens tokens: returns their count and leaves cursor
    // after the last separator looked at.
    int (*splitText)(const char* text, std::size_t length, std::size_t& cursor,
                     std::string_view* tokens, int maxTokens) = nullptr;
    // The content digest's sums over whole chunks of kDigestChunk bytes.
    void (*addChunks)(ContentDigest& digest, const unsigned char* bytes,
                      std::size_t chunks) = nullptr;
};

// The widest scan the running processor supports.
ScanWidth widestScan();

// The kernels of the widest scan, chosen on first use and kept for the run.
const ScanKernels& scanKernels();

// The kernels of a width, which must be supported (no wider than
// widestScan()); a width the build has no kernels for gets the plain ones.
const ScanKernels& scanKernelsFor(ScanWidth width);
