// Reading text files piece by piece, and splitting a piece into tokens.
//
// A piece is what one line-oriented read of at most 499 characters yields:
// the characters up to and including the next LF, so a longer line arrives
// as several pieces. A CR right before an LF is dropped first (the 499 count
// applies after that); a CR elsewhere stays. End of file, a read error or a
// Ctrl-Z byte ends the file; characters read before that end form a last
// piece even without an LF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "input/reading/byte_scan.h"
#include "input/reading/byte_source.h"
#include "input/reading/scan_kernels.h"

constexpr std::size_t kPieceCapacity = 500;  // 499 characters and a NUL
constexpr std::size_t kReadBlockSize = 1 << 16;

// Reads a file in large blocks and hands out pieces from the buffer. After
// the last piece, sourceFailed(reader.source) tells whether the file was cut
// short by a read error or damaged compressed data.
struct alignas(4096) PieceReader {
    ByteSource source;
    // Zeroed once: the line scan reads 64 bytes at a time, also past the
    // bytes that hold file data, and must never see undefined memory. The
    // padding after the block's data is never filled. The reader is aligned
    // to a page and the block to a cache line after the source, so the
    // block starts a cache line or more into a page: the system copies the
    // file's pages from page boundaries, and into a block at (or just short
    // of) a page boundary that copying took twice as long.
    alignas(64) char block[kReadBlockSize + kScanPadding] = {};
    std::size_t position = 0;   // next unread byte of block
    std::size_t filled = 0;     // bytes of block that hold file data
    bool ended = false;         // end of file, read error or Ctrl-Z seen
    bool endedAtCtrlZ = false;  // a Ctrl-Z ended the file before its end
    // The run's scan kernels, set by startPieces (a test may set others).
    const ScanKernels* kernels = nullptr;
};

// A piece's characters are either copied into text (and end with a NUL
// there), or, for the usual short line, left where they are in the reader's
// block: then view points at them, and they stay valid until the next
// readPiece. pieceText gives them either way.
struct Piece {
    // Zeroed once, for the same reason: the field splitter reads 64 bytes at
    // a time past the text's end (and ignores what it finds there).
    char text[kPieceCapacity + kScanPadding] = {};
    const char* view = nullptr;  // the characters in the block, or null: they are in text
    std::size_t length = 0;      // characters that can be tokenised
    std::size_t cursor = 0;      // where the next token search starts
    bool endsLine = false;       // it ended at an LF: the next piece starts a line
    bool heldNul = false;        // a NUL byte ended its text before the piece's end
    bool mayHoldQuote = true;    // its text may hold a '"': false only when it holds none
    // For a piece left in the block (view set) only, found by the scan that
    // found the line's end: bit i % 64 of word i / 64 is set where
    // character i is a TAB or an LF. Bits at and past length mean nothing.
    std::uint64_t separatorBits[(kPieceCapacity + 63) / 64] = {};
};

// The piece's characters; kScanPadding bytes after them can be read.
inline const char* pieceText(const Piece& piece) {
    return piece.view != nullptr ? piece.view : piece.text;
}

// Starts reading an open file from its current position. The decoding says
// whether a gzip file is read as its decompressed content, and whether UTF-16
// text is read as UTF-8 (see byte_source.h).
void startPieces(PieceReader& reader, std::FILE* file, SourceDecoding decoding = kReadAsItIs);

// Ends the file at a Ctrl-Z met in the block: nothing after it is read.
void endAtCtrlZ(PieceReader& reader);

// Moves the unread tail of the block to its start and reads more after it.
// Returns false when nothing could be added (and marks the reader ended).
bool refillBlock(PieceReader& reader);

// Forms the next piece. Returns false once the file has ended and no
// characters are left. A NUL byte ends the piece's text for tokenising, but
// the piece itself is formed before that cut.
bool readPiece(PieceReader& reader, Piece& piece);

// Splits the piece in place: skips separators, then yields the run of other
// characters up to the next separator or the end of the piece. The separator
// that ended the token is consumed, and the next call resumes after it.
// Returns false when only separators are left. A run of separators never
// yields an empty token.
bool nextToken(Piece& piece, std::string_view separators, std::string_view& token);
