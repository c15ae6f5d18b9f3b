#include "input/rate_file.h"

#include <memory>
#include <string_view>

#include "common/file_handle.h"
#include "common/lenient_number.h"
#include "common/piece_reader.h"

namespace {

// The key ends at '=', TAB or LF; the value runs on to TAB or LF, so a
// second '=' belongs to the value.
constexpr std::string_view kKeySeparators = "=\t\n";
constexpr std::string_view kValueSeparators = "\t\n";

std::string_view trimTrailingSpaces(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

void readRateFile(const char* filePath, RateTable& rateTable) {
    FileHandle file = openForReading(filePath);
    if (!file) {
        return;
    }
    auto reader = std::make_unique<PieceReader>();
    startPieces(*reader, file.get());
    Piece piece;
    while (readPiece(*reader, piece)) {
        std::string_view key;
        std::string_view value;
        if (!nextToken(piece, kKeySeparators, key) || !nextToken(piece, kValueSeparators, value)) {
            continue;
        }
        key = trimTrailingSpaces(key);
        if (key.empty()) {
            continue;  // a key of blanks only names no currency
        }
        rateTable[std::string(key)] = lenientReal(value);
    }
}
