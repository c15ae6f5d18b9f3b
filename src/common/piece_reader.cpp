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

}  // namespace

void startPieces(PieceReader& reader, std::FILE* file) {
    reader.file = file;
    reader.position = 0;
    reader.filled = 0;
    reader.ended = false;
}

bool readPiece(PieceReader& reader, Piece& piece) {
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
