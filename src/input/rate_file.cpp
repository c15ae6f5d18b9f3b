#include "input/rate_file.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>

#include "input/lenient_number.h"
#include "input/reading/file_handle.h"
#include "input/reading/piece_reader.h"

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

// True when the value token is a number and at most blanks follow it, so
// that the rate stored is the rate written.
bool readsWhole(std::string_view value) {
    std::size_t used = lenientRealLength(value);
    return used > 0 && value.find_first_not_of(" \t\r", used) == std::string_view::npos;
}

int lengthOf(std::string_view text) {
    return static_cast<int>(text.size());
}

void reportUnreadable(Diagnostics& diagnostics, const char* filePath, const char* reason) {
    reportError(diagnostics, "cannot read rate file '%s': %s\n", filePath, reason);
}

}  // namespace

void readRateFile(const char* filePath, RateTable& rateTable, Diagnostics& diagnostics) {
    FileHandle file = openForReading(filePath);
    if (!file) {
        reportUnreadable(diagnostics, filePath, std::strerror(errno));
        return;
    }
    auto reader = std::make_unique<PieceReader>();
    startPieces(*reader, file.get(), kTextDecoding);
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
        double rate = lenientReal(value);
        if (!readsWhole(value)) {
            // A decimal comma or a typo would otherwise pass as a rate.
            reportWarning(diagnostics, "rate file '%s': rate for '%.*s' read as %g from '%.*s'\n",
                          filePath, lengthOf(key), key.data(), rate, lengthOf(value), value.data());
        }
        rateTable[std::string(key)] = rate;
    }
    if (sourceFailed(reader->source)) {
        reportUnreadable(diagnostics, filePath, describeFailure(reader->source));
    }
}
