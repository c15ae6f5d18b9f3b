#include "input/reading/line_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "input/reading/byte_scan.h"

namespace {

bool endsHeaderText(char c) {
    return c == '\n' || c == '\r' || c == '\0' || c == kCtrlZ;
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
    LineStop found = reader.kernels->findStop(start, available, tabBitsFor(line, available));
    std::size_t stop = found.stop;
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
    line.mayHoldQuote = found.quoted;
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
    line.mayHoldQuote = line.text.find('"') != std::string_view::npos;
    std::uint64_t* tabBits = tabBitsFor(line, line.text.size());
    std::fill(tabBits, tabBits + line.text.size() / 64 + 1, 0);
    for (std::size_t at = 0; at < line.text.size(); ++at) {
        if (line.text[at] == '\t') {
            tabBits[at / 64] |= std::uint64_t{1} << (at % 64);
        }
    }
    return any;
}
