#include "input/rate_file.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "input/lenient_number.h"
#include "input/reading/file_handle.h"
#include "input/reading/piece_reader.h"

namespace {

// The white space that the number conversions skip.
constexpr std::string_view kBlanks = " \t\n\v\f\r";

// What one line of the rate file says.
enum class LineMeaning {
    kNothing,       // blank, or a comment
    kRate,          // a code and a usable rate
    kNotAboveZero,  // a code and a number of 0 or below
    kNotANumber,    // a code and a value that is not a finite number as it looks
    kNotAnEntry,    // no code, or no rate
};

struct RateLine {
    LineMeaning meaning = LineMeaning::kNothing;
    std::string_view code;
    std::string_view valueText;  // as written, without the blanks around it or a comment
    double rate = 0.0;
};

std::string_view trimTrailingSpaces(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view trimBlanks(std::string_view text) {
    std::size_t begin = text.find_first_not_of(kBlanks);
    if (begin == std::string_view::npos) {
        return {};
    }
    std::size_t end = text.find_last_not_of(kBlanks);
    return text.substr(begin, end + 1 - begin);
}

// True when the digits before any exponent are not all zeros: a number that
// then reads as 0 was too small for a double, and is not the number shown.
bool holdsNonZeroDigit(std::string_view number) {
    std::string_view digits = number.substr(0, number.find_first_of("eE"));
    return digits.find_first_of("123456789") != std::string_view::npos;
}

// Judges a value text that is not blank, and sets rate when it is a number.
LineMeaning judgeValue(std::string_view valueText, double& rate) {
    if (lenientRealLength(valueText) != valueText.size()) {
        return LineMeaning::kNotANumber;  // a decimal comma, a word, an exponent without digits
    }
    rate = lenientReal(valueText);
    if (!std::isfinite(rate) || (rate == 0.0 && holdsNonZeroDigit(valueText))) {
        return LineMeaning::kNotANumber;  // beyond the range of a double
    }
    return rate > 0.0 ? LineMeaning::kRate : LineMeaning::kNotAboveZero;
}

// The code ends at the first '=' or TAB, after the TABs that begin the line;
// the value is the rest of the line, so a second '=' belongs to the value.
RateLine readRateLine(std::string_view line) {
    RateLine rateLine;
    std::size_t firstNonBlank = line.find_first_not_of(kBlanks);
    if (firstNonBlank == std::string_view::npos || line[firstNonBlank] == '#') {
        return rateLine;
    }
    rateLine.meaning = LineMeaning::kNotAnEntry;
    std::size_t codeBegin = line.find_first_not_of('\t');
    std::size_t codeEnd = line.find_first_of("=\t", codeBegin);
    if (codeEnd == std::string_view::npos) {
        return rateLine;
    }
    std::string_view code = trimTrailingSpaces(line.substr(codeBegin, codeEnd - codeBegin));
    std::string_view rest = line.substr(codeEnd + 1);
    std::string_view valueText = trimBlanks(rest.substr(0, rest.find('#')));
    if (isBlankText(code) || valueText.empty()) {
        return rateLine;  // blanks name no currency; a code alone gives no rate
    }
    rateLine.code = code;
    rateLine.valueText = valueText;
    rateLine.meaning = judgeValue(valueText, rateLine.rate);
    return rateLine;
}

// Reads the next line without its LF. A line longer than a piece arrives in
// several pieces, which are gathered in spill, so that it is judged once. A
// NUL ends a line's text: the rest of that line is passed over. Returns false
// once the file has ended.
bool readLine(PieceReader& reader, Piece& piece, std::string& spill, std::string_view& line) {
    spill.clear();
    bool gathering = false;
    bool cutAtNul = false;
    while (readPiece(reader, piece)) {
        std::string_view text(pieceText(piece), piece.length);
        if (piece.endsLine && !piece.heldNul) {
            text.remove_suffix(1);
        }
        if (!gathering && piece.endsLine) {
            line = text;  // the usual line, in one piece
            return true;
        }
        if (!cutAtNul) {
            spill.append(text);
        }
        cutAtNul = cutAtNul || piece.heldNul;
        gathering = true;
        if (piece.endsLine) {
            break;
        }
    }
    line = spill;
    return gathering;
}

int lengthOf(std::string_view text) {
    return text.size() < INT_MAX ? static_cast<int>(text.size()) : INT_MAX;
}

void warnAboutLine(const Diagnostics& diagnostics, const char* filePath, std::int64_t lineNumber,
                   std::string_view line, const RateLine& rateLine) {
    const std::string number = std::to_string(lineNumber);
    const std::string_view code = rateLine.code;
    const std::string_view value = rateLine.valueText;
    switch (rateLine.meaning) {
        case LineMeaning::kNotAboveZero:
            reportWarning(diagnostics,
                          "rate file '%s' line %s: the rate for '%.*s' is %.*s, not above 0, so "
                          "it is not used\n",
                          filePath, number.c_str(), lengthOf(code), code.data(), lengthOf(value),
                          value.data());
            break;
        case LineMeaning::kNotANumber:
            reportWarning(diagnostics,
                          "rate file '%s' line %s: the rate for '%.*s' is '%.*s', which is not a "
                          "number, so it is not used\n",
                          filePath, number.c_str(), lengthOf(code), code.data(), lengthOf(value),
                          value.data());
            break;
        case LineMeaning::kNotAnEntry:
            reportWarning(diagnostics,
                          "rate file '%s' line %s: '%.*s' is not CODE = rate, so it is skipped\n",
                          filePath, number.c_str(), lengthOf(line), line.data());
            break;
        case LineMeaning::kNothing:
        case LineMeaning::kRate:
            break;
    }
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
    std::string spill;
    std::string_view line;
    std::int64_t lineNumber = 0;
    std::int64_t ratesRead = 0;
    while (readLine(*reader, piece, spill, line)) {
        ++lineNumber;
        RateLine rateLine = readRateLine(line);
        if (rateLine.meaning == LineMeaning::kRate) {
            rateTable[std::string(rateLine.code)] = rateLine.rate;
            ++ratesRead;
        } else {
            // A refused rate leaves an earlier line's rate for its code in place.
            warnAboutLine(diagnostics, filePath, lineNumber, line, rateLine);
        }
    }
    if (sourceFailed(reader->source)) {
        reportUnreadable(diagnostics, filePath, describeFailure(reader->source));
    } else if (ratesRead == 0) {
        reportWarning(diagnostics, "no rate was read from '%s', so no USD totals are printed\n",
                      filePath);
    }
}
