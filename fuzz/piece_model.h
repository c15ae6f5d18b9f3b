// A plain model of the piece and token rules, written from their
// description, for the harnesses to check the reader against.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/piece_reader.h"

// The pieces of a file's bytes: up to and including each LF, at most 499
// characters, a CR right before an LF dropped, nothing from a Ctrl-Z on.
inline std::vector<std::string> modelPieces(const std::string& bytes) {
    std::vector<std::string> pieces;
    std::string piece;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\x1a') {
            break;
        }
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            continue;
        }
        piece += c;
        if (c == '\n' || piece.size() == kPieceCapacity - 1) {
            pieces.push_back(piece);
            piece.clear();
        }
    }
    if (!piece.empty()) {
        pieces.push_back(piece);
    }
    return pieces;
}

// The tokens of a text: the non-empty runs between separators.
inline std::vector<std::string_view> modelTokens(std::string_view text,
                                                 std::string_view separators) {
    std::vector<std::string_view> tokens;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || separators.find(text[i]) != std::string_view::npos) {
            if (i > begin) {
                tokens.push_back(text.substr(begin, i - begin));
            }
            begin = i + 1;
        }
    }
    return tokens;
}
