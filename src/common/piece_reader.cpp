#include "common/piece_reader.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr unsigned char kCtrlZ = 0x1A;

// Moves the unread tail of the block to its start and reads more after it.
// Returns false when nothing could be added.
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

#if defined(__SSE2__)
bool isOddByte(char c) {
    return c == '\r' || static_cast<unsigned char>(c) == kCtrlZ || c == '\0';
}
#endif

// Scans start[0, window) once, sixteen bytes at a time while they lie inside
// the first room bytes (bytes past the window are read but ignored), the rest
// one by one. One pass instead of a search per kind of byte: lines are short,
// so the cost of starting each search would dominate. Without SSE2 the
// searches are made one after the other.
LineScan scanLine(const char* start, std::size_t window, [[maybe_unused]] std::size_t room) {
    LineScan scan{window, window};
#if defined(__SSE2__)
    std::size_t at = 0;
    for (; at < window && at + 16 <= room; at += 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(start + at));
        auto lineFeeds = static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))));
        __m128i odd = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')),
                         _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(kCtrlZ)))),
            _mm_cmpeq_epi8(bytes, _mm_setzero_si128()));
        auto odds = static_cast<std::uint32_t>(_mm_movemask_epi8(odd));
        if (lineFeeds != 0) {
            odds &= (1u << std::countr_zero(lineFeeds)) - 1;  // only bytes before the LF
        }
        if (odds != 0 && scan.firstOdd == window) {
            scan.firstOdd = std::min(window, at + static_cast<std::size_t>(std::countr_zero(odds)));
        }
        if (lineFeeds != 0) {
            std::size_t lineFeed = at + static_cast<std::size_t>(std::countr_zero(lineFeeds));
            scan.lineFeed = std::min(window, lineFeed);
            return scan;
        }
    }
    for (; at < window; ++at) {
        if (start[at] == '\n') {
            scan.lineFeed = at;
            return scan;
        }
        if (isOddByte(start[at]) && scan.firstOdd == window) {
            scan.firstOdd = at;
        }
    }
#else
    if (const void* lineFeed = std::memchr(start, '\n', window)) {
        scan.lineFeed = static_cast<std::size_t>(static_cast<const char*>(lineFeed) - start);
    }
    for (char odd : {'\r', static_cast<char>(kCtrlZ), '\0'}) {
        if (const void* found = std::memchr(start, odd, scan.lineFeed)) {
            scan.firstOdd = std::min(
                scan.firstOdd, static_cast<std::size_t>(static_cast<const char*>(found) - start));
        }
    }
#endif
    return scan;
}

// The common case in one go: the whole line, LF included, lies in the
// block, holds no Ctrl-Z, no NUL and no CR other than one right before the
// LF, and fits the piece. Returns false, having changed nothing, in any
// other case (the byte-by-byte path forms the same piece).
bool readWholeLine(PieceReader& reader, Piece& piece) {
    const char* start = reader.block + reader.position;
    std::size_t available = reader.filled - reader.position;
    // The piece's 499 characters plus a CR that would be dropped.
    std::size_t window = available < kPieceCapacity ? available : kPieceCapacity;
    LineScan scan = scanLine(start, window, kReadBlockSize - reader.position);
    if (scan.lineFeed == window) {
        return false;
    }
    std::size_t lineEnd = scan.lineFeed;  // index of the LF
    bool crLf = lineEnd > 0 && start[lineEnd - 1] == '\r';
    std::size_t kept = crLf ? lineEnd - 1 : lineEnd;  // characters before the LF
    if (kept + 1 > kPieceCapacity - 1 || scan.firstOdd < kept) {
        return false;
    }
    std::memcpy(piece.text, start, kept);
    piece.text[kept] = '\n';
    piece.text[kept + 1] = '\0';
    piece.length = kept + 1;
    piece.cursor = 0;
    reader.position += lineEnd + 1;
    return true;
}

}  // namespace

void startPieces(PieceReader& reader, std::FILE* file, bool detectCompressed) {
    startSource(reader.source, file, detectCompressed);
    reader.position = 0;
    reader.filled = 0;
    reader.ended = false;
}

bool readPiece(PieceReader& reader, Piece& piece) {
    if (readWholeLine(reader, piece)) {
        return true;
    }
    std::size_t length = 0;
    while (length < kPieceCapacity - 1) {
        if (reader.position == reader.filled && !refillBlock(reader)) {
            break;
        }
        char c = reader.block[reader.position];
        if (static_cast<unsigned char>(c) == kCtrlZ) {
            // Ctrl-Z ends the file for good: nothing after it is read.
            reader.ended = true;
            reader.position = reader.filled;
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
    piece.length = std::strlen(piece.text);
    piece.cursor = 0;
    return true;
}

bool nextToken(Piece& piece, std::string_view separators, std::string_view& token) {
    std::string_view text(piece.text, piece.length);
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
