// Reading a report line by line where lines have no length limit: the
// header of any report, and every line of a report read by its column
// names. Both read from the piece reader's block, so one report can be
// begun one way and read on the other.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "input/reading/piece_reader.h"

// One whole line, however long. A line ends at LF, at CR-LF or at a CR not
// followed by LF. A NUL ends its text: the bytes after it, up to the line's
// end, are passed over. A Ctrl-Z ends the file, as it does for pieces.
struct WholeLine {
    std::string_view text;     // in the reader's block, or in copy; valid until the next read
    std::string copy;          // holds the text of a line that could not be left in the block
    bool cutAtNul = false;     // a NUL ended the text before the line's end
    bool mayHoldQuote = true;  // the text may hold a '"': false only when it holds none
    // Found by the scan that found the line's end: bit i % 64 of word i / 64
    // is set where character i of text is a TAB. Bits at and past the
    // text's length mean nothing.
    std::vector<std::uint64_t> tabBits;
};

// The text of the file's first line, up to its first LF, CR, NUL or Ctrl-Z,
// without taking anything from the reader: the next read, of pieces or of
// lines, still starts at the file's first byte. Call it before anything
// else is read.
std::string peekFirstLine(PieceReader& reader);

// Reads the next whole line. Returns false once the file has ended and no
// byte of a line is left.
bool readWholeLine(PieceReader& reader, WholeLine& line);
