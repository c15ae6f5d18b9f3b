#include "input/reading/piece_reader.h"

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
    LineScan scan = reader.kernels->scanLine(start, window, piece.separatorBits);
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
    piece.mayHoldQuote = scan.quoted != 0;
    reader.position += lineEnd + 1;
    return true;
}

}  // namespace

void startPieces(PieceReader& reader, std::FILE* file, SourceDecoding decoding) {
    startSource(reader.source, file, decoding);
    reader.position = 0;
    reader.filled = 0;
    reader.ended = false;
    reader.endedAtCtrlZ = false;
    reader.kernels = &scanKernels();
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
    piece.mayHoldQuote = std::memchr(piece.text, '"', piece.length) != nullptr;
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
