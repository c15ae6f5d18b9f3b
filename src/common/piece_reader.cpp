#include "common/piece_reader.h"

#include <cstring>

namespace {

constexpr unsigned char kCtrlZ = 0x1A;

// Moves the unread tail of the block to its start and reads more after it.
// Returns false when nothing could be added.
bool refillBlock(PieceReader& reader) {
    if (reader.ended || reader.file == nullptr) {
        return false;
    }
    std::size_t kept = reader.filled - reader.position;
    std::memmove(reader.block, reader.block + reader.position, kept);
    reader.position = 0;
    reader.filled = kept;
    std::size_t got = std::fread(reader.block + kept, 1, kReadBlockSize - kept, reader.file);
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

// The common case in one go: the whole line, LF included, lies in the
// block, holds no Ctrl-Z and no CR other than one right before the LF, and
// fits the piece. Returns false, having changed nothing, in any other case.
bool readWholeLine(PieceReader& reader, Piece& piece) {
    const char* start = reader.block + reader.position;
    std::size_t available = reader.filled - reader.position;
    // The piece's 499 characters plus a CR that would be dropped.
    std::size_t window = available < kPieceCapacity ? available : kPieceCapacity;
    const void* lineFeed = std::memchr(start, '\n', window);
    if (lineFeed == nullptr) {
        return false;
    }
    std::size_t lineEnd = static_cast<const char*>(lineFeed) - start;  // index of the LF
    bool crLf = lineEnd > 0 && start[lineEnd - 1] == '\r';
    std::size_t kept = crLf ? lineEnd - 1 : lineEnd;  // characters before the LF
    if (kept + 1 > kPieceCapacity - 1 || std::memchr(start, '\r', kept) != nullptr ||
        std::memchr(start, kCtrlZ, lineEnd) != nullptr) {
        return false;
    }
    std::memcpy(piece.text, start, kept);
    piece.text[kept] = '\n';
    piece.text[kept + 1] = '\0';
    const void* nul = std::memchr(piece.text, '\0', kept);
    piece.length = nul == nullptr ? kept + 1 : static_cast<const char*>(nul) - piece.text;
    piece.cursor = 0;
    reader.position += lineEnd + 1;
    return true;
}

}  // namespace

void startPieces(PieceReader& reader, std::FILE* file) {
    reader.file = file;
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
