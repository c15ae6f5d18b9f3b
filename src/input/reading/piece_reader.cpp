#include "input/reading/piece_reader.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

bool refillBlock(PieceReader& reader) {
    if (reader.ended) {
        return false;
    }
    std::size_t kept = reader.filled - reader.position;
    std::memmove(reader.block, reader.block + reader.position, kept);
    reader.position = 0;
    reader.filled = kept;
    std::size_t got = readBytes(reader.source, reader.block + kept, kReadBlockSize - kept);
    reader.filled += got;
    if (got == 0) {
        reader.ended = true;
    }
    return got > 0;
}

void endAtCtrlZ(PieceReader& reader) {
    reader.ended = true;
    reader.endedAtCtrlZ = true;
    reader.position = reader.filled;
}

namespace {

// True when the CR at reader.position is directly followed by an LF, reading
// on into the next block if the CR ends this one.
bool crBeforeLf(PieceReader& reader) {
    if (reader.position + 1 == reader.filled) {
        refillBlock(reader);
    }
    return reader.position + 1 < reader.filled && reader.block[reader.position + 1] == '\n';
}

// Where a line ends and what it holds: the index of the first LF in
// start[0, window) (window when there is none), and the index of the first
// CR, Ctrl-Z or NUL before it (window when there is none).
struct LineScan {
    std::size_t lineFeed = 0;
    std::size_t firstOdd = 0;
};

// Scans start[0, window) 64 bytes at a time (bytes past the window are read
// but ignored), written once for every scan width. One pass for every kind
// of byte, the TABs that separate fields included (a word of separatorBits
// per 64 bytes): lines are short, so the cost of starting a search per kind
// would dominate.
template <ByteMasks (*kMasks)(const char*)>
[[gnu::always_inline]] inline LineScan scanLineWith(const char* start, std::size_t window,
                                                    std::uint64_t* separatorBits) {
    LineScan scan{window, window};
    for (std::size_t at = 0; at < window; at += 64) {
        ByteMasks masks = kMasks(start + at);
        separatorBits[at / 64] = masks.tabs;  // the LF that ends the piece is added after
        std::uint64_t odds = masks.odd;
        if (masks.lineFeeds != 0) {
            odds &= (masks.lineFeeds & -masks.lineFeeds) - 1;  // only bytes before the LF
        }
        if (odds != 0 && scan.firstOdd == window) {
            scan.firstOdd = std::min(window, at + static_cast<std::size_t>(std::countr_zero(odds)));
        }
        if (masks.lineFeeds != 0) {
            std::size_t lineFeed = at + static_cast<std::size_t>(std::countr_zero(masks.lineFeeds));
            scan.lineFeed = std::min(window, lineFeed);
            return scan;
        }
    }
    return scan;
}

LineScan scanLinePortable(const char* start, std::size_t window, std::uint64_t* separatorBits) {
    return scanLineWith<masksPortable>(start, window, separatorBits);
}

#if defined(__SSE2__)
LineScan scanLineSse2(const char* start, std::size_t window, std::uint64_t* separatorBits) {
    return scanLineWith<masksSse2>(start, window, separatorBits);
}
#endif

#if defined(SALESUM_HAS_AVX2_SCAN)
__attribute__((target("avx2"))) LineScan scanLineAvx2(const char* start, std::size_t window,
                                                      std::uint64_t* separatorBits) {
    return scanLineWith<masksAvx2>(start, window, separatorBits);
}
#endif

LineScan scanLine(const char* start, std::size_t window, ScanWidth width,
                  std::uint64_t* separatorBits) {
    switch (width) {
#if defined(SALESUM_HAS_AVX2_SCAN)
        case ScanWidth::kAvx2:
            return scanLineAvx2(start, window, separatorBits);
#endif
#if defined(__SSE2__)
        case ScanWidth::kSse2:
            return scanLineSse2(start, window, separatorBits);
#endif
        default:
            return scanLinePortable(start, window, separatorBits);
    }
}

// The common case, without copying: the whole line, LF included, lies in
// the block, holds no Ctrl-Z, no NUL and no CR other than one right before
// the LF, and fits the piece. The piece is then the line where it lies, with
// such a CR turned into the LF that ends it (the block is the reader's own,
// and the line is not looked at again). Returns false, having changed
// nothing, in any other case (the byte-by-byte path forms the same piece).
bool readLineInPlace(PieceReader& reader, Piece& piece) {
    char* start = reader.block + reader.position;
    std::size_t available = reader.filled - reader.position;
    // The piece's 499 characters plus a CR that would be dropped.
    std::size_t window = available < kPieceCapacity ? available : kPieceCapacity;
    LineScan scan = scanLine(start, window, reader.width, piece.separatorBits);
    if (scan.lineFeed == window) {
        return false;
    }
    std::size_t lineEnd = scan.lineFeed;  // index of the LF
    bool crLf = lineEnd > 0 && start[lineEnd - 1] == '\r';
    std::size_t kept = crLf ? lineEnd - 1 : lineEnd;  // characters before the LF
    if (kept + 1 > kPieceCapacity - 1 || scan.firstOdd < kept) {
        return false;
    }
    start[kept] = '\n';
    piece.separatorBits[kept / 64] |= std::uint64_t{1} << (kept % 64);  // the LF, or CR made LF
    piece.view = start;
    piece.length = kept + 1;
    piece.cursor = 0;
    piece.endsLine = true;
    piece.heldNul = false;
    reader.position += lineEnd + 1;
    return true;
}

}  // namespace

void startPieces(PieceReader& reader, std::FILE* file, bool detectCompressed) {
    startSource(reader.source, file, detectCompressed);
    reader.position = 0;
    reader.filled = 0;
    reader.ended = false;
    reader.endedAtCtrlZ = false;
    reader.width = widestScan();
}

bool readPiece(PieceReader& reader, Piece& piece) {
    if (readLineInPlace(reader, piece)) {
        return true;
    }
    std::size_t length = 0;
    while (length < kPieceCapacity - 1) {
        if (reader.position == reader.filled && !refillBlock(reader)) {
            break;
        }
        char c = reader.block[reader.position];
        if (c == kCtrlZ) {
            endAtCtrlZ(reader);
            break;
        }
        if (c == '\r' && crBeforeLf(reader)) {
            ++reader.position;
            continue;
        }
        piece.text[length++] = c;
        ++reader.position;
        if (c == '\n') {
            break;
        }
    }
    if (length == 0) {
        return false;
    }
    piece.text[length] = '\0';
    piece.view = nullptr;
    piece.length = std::strlen(piece.text);
    piece.cursor = 0;
    piece.endsLine = piece.text[length - 1] == '\n';
    piece.heldNul = piece.length < length;
    return true;
}

bool nextToken(Piece& piece, std::string_view separators, std::string_view& token) {
    std::string_view text(pieceText(piece), piece.length);
    std::size_t begin = text.find_first_not_of(separators, piece.cursor);
    if (begin == std::string_view::npos) {
        piece.cursor = piece.length;
        return false;
    }
    std::size_t end = text.find_first_of(separators, begin);
    if (end == std::string_view::npos) {
        end = piece.length;
        piece.cursor = piece.length;
    } else {
        piece.cursor = end + 1;
    }
    token = text.substr(begin, end - begin);
    return true;
}
