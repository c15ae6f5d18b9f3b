#include "input/reading/line_reader.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "input/reading/byte_scan.h"

namespace {

bool endsHeaderText(char c) {
    return c == '\n' || c == '\r' || c == '\0' || c == kCtrlZ;
}

// Where the first LF, CR, NUL or Ctrl-Z lies in start[0, available)
// (available when there is none), 64 bytes at a time (bytes past available
// are read but ignored), written once for every scan width. The same pass
// keeps the TABs before it, a word of tabBits per 64 bytes.
template <ByteMasks (*kMasks)(const char*)>
[[gnu::always_inline]] inline std::size_t findStopWith(const char* start, std::size_t available,
                                                       std::uint64_t* tabBits) {
    for (std::size_t at = 0; at < available; at += 64) {
        ByteMasks masks = kMasks(start + at);
        tabBits[at / 64] = masks.tabs;
        std::uint64_t stops = masks.lineFeeds | masks.odd;
        if (stops != 0) {
            return std::min(available, at + static_cast<std::size_t>(std::countr_zero(stops)));
        }
    }
    return available;
}

std::size_t findStopPortable(const char* start, std::size_t available, std::uint64_t* tabBits) {
    return findStopWith<masksPortable>(start, available, tabBits);
}

#if defined(__SSE2__)
std::size_t findStopSse2(const char* start, std::size_t available, std::uint64_t* tabBits) {
    return findStopWith<masksSse2>(start, available, tabBits);
}
#endif

#if defined(SALESUM_HAS_AVX2_SCAN)
__attribute__((target("avx2"))) std::size_t findStopAvx2(const char* start, std::size_t available,
                                                         std::uint64_t* tabBits) {
    return findStopWith<masksAvx2>(start, available, tabBits);
}
#endif

std::size_t findStop(const char* start, std::size_t available, ScanWidth width,
                     std::uint64_t* tabBits) {
    switch (width) {
#if defined(SALESUM_HAS_AVX2_SCAN)
        case ScanWidth::kAvx2:
            return findStopAvx2(start, available, tabBits);
#endif
#if defined(__SSE2__)
        case ScanWidth::kSse2:
            return findStopSse2(start, available, tabBits);
#endif
        default:
            return findStopPortable(start, available, tabBits);
    }
}

// Room for the TABs of a line of length characters.
std::uint64_t* tabBitsFor(WholeLine& line, std::size_t length) {
    std::size_t words = length / 64 + 1;
    if (line.tabBits.size() < words) {
        line.tabBits.resize(std::max(words, kReadBlockSize / 64 + 1));
    }
    return line.tabBits.data();
}

// The usual line: it lies whole in the block, ends at LF or CR-LF and holds
// no NUL or Ctrl-Z. Its text is left where it is. Returns false, having
// changed nothing, in any other case (the byte-by-byte path reads the same
// line).
bool readLineInPlace(PieceReader& reader, WholeLine& line) {
    const char* start = reader.block + reader.position;
    std::size_t available = reader.filled - reader.position;
    std::size_t stop = findStop(start, available, reader.width, tabBitsFor(line, available));
    if (stop == available) {
        return false;
    }
    std::size_t next = stop + 1;
    if (start[stop] == '\r') {
        if (next == available) {
            return false;  // an LF may follow in the next block
        }
        next += start[next] == '\n' ? 1 : 0;
    } else if (start[stop] != '\n') {
        return false;
    }
    line.text = std::string_view(start, stop);
    line.cutAtNul = false;
    reader.position += next;
    return true;
}

}  // namespace

std::string peekFirstLine(PieceReader& reader) {
    // Usually the block holds the whole first line once it is filled.
    for (;;) {
        char* found = std::find_if(reader.block, reader.block + reader.filled, endsHeaderText);
        if (found != reader.block + reader.filled) {
            return std::string(reader.block, found);
        }
        if (reader.filled == kReadBlockSize || !refillBlock(reader)) {
            break;
        }
    }
    std::string text(reader.block, reader.filled);
    if (reader.ended) {
        return text;
    }
    // A first line longer than the block: read on until its text ends, and
    // give everything read back to the source, to be read again.
    std::string taken(reader.block, reader.filled);
    char chunk[4096];
    bool ended = false;
    while (!ended) {
        std::size_t got = readBytes(reader.source, chunk, sizeof chunk);
        char* end = std::find_if(chunk, chunk + got, endsHeaderText);
        text.append(chunk, end);
        taken.append(chunk, got);
        ended = got == 0 || end != chunk + got;
    }
    giveBack(reader.source, std::move(taken));
    reader.position = 0;
    reader.filled = 0;
    return text;
}

bool readWholeLine(PieceReader& reader, WholeLine& line) {
    if (readLineInPlace(reader, line)) {
        return true;
    }
    line.copy.clear();
    line.cutAtNul = false;
    bool any = false;  // a byte of the line was read
    for (;;) {
        if (reader.position == reader.filled && !refillBlock(reader)) {
            break;
        }
        char c = reader.block[reader.position];
        if (c == kCtrlZ) {
            endAtCtrlZ(reader);
            break;
        }
        any = true;
        ++reader.position;
        if (c == '\n') {
            break;
        }
        if (c == '\r') {
            if (reader.position == reader.filled) {
                refillBlock(reader);
            }
            if (reader.position < reader.filled && reader.block[reader.position] == '\n') {
                ++reader.position;
            }
            break;
        }
        if (c == '\0') {
            line.cutAtNul = true;
        }
        if (!line.cutAtNul) {
            line.copy.push_back(c);
        }
    }
    line.text = line.copy;
    std::uint64_t* tabBits = tabBitsFor(line, line.text.size());
    std::fill(tabBits, tabBits + line.text.size() / 64 + 1, 0);
    for (std::size_t at = 0; at < line.text.size(); ++at) {
        if (line.text[at] == '\t') {
            tabBits[at / 64] |= std::uint64_t{1} << (at % 64);
        }
    }
    return any;
}
