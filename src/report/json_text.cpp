#include "report/json_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "common/civil_calendar.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendByteEscape(std::string& out, unsigned char byte) {
    const char escape[] = {'\\', 'u', '0', '0', kHexDigits[byte >> 4], kHexDigits[byte & 0xF]};
    out.append(escape, sizeof escape);
}

// Printable ASCII other than the two characters JSON escapes.
bool isPlainByte(unsigned char byte) {
    return byte >= 0x20 && byte < 0x80 && byte != '"' && byte != '\\';
}

void appendControlEscape(std::string& out, unsigned char byte) {
    switch (byte) {
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            appendByteEscape(out, byte);
    }
}

}  // namespace

std::size_t utf8SequenceLength(std::string_view text) {
    auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    unsigned char low = 0x80;  // range of the second byte
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // shorter forms exist below
        high = lead == 0xED ? 0x9F : 0xBF;  // surrogates above
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;  // past U+10FFFF above
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        auto next = static_cast<unsigned char>(text[i]);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) {
            return 0;
        }
    }
    return length;
}

void appendJsonString(std::string& out, std::string_view text) {
    out += '"';
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t plainEnd = at;
        while (plainEnd < text.size() && isPlainByte(static_cast<unsigned char>(text[plainEnd]))) {
            ++plainEnd;
        }
        out.append(text.substr(at, plainEnd - at));
        at = plainEnd;
        if (at == text.size()) {
            break;
        }
        auto byte = static_cast<unsigned char>(text[at]);
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
            ++at;
        } else if (byte < 0x20) {
            appendControlEscape(out, byte);
            ++at;
        } else if (std::size_t length = utf8SequenceLength(text.substr(at)); length != 0) {
            out.append(text.substr(at, length));
            at += length;
        } else {
            appendByteEscape(out, byte);
            ++at;
        }
    }
    out += '"';
}

void appendJsonInteger(std::string& out, std::int64_t value) {
    char text[24];
    auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

void appendJsonReal(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char text[32];
    auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

// A date stands for a local midnight in standard time, so its local day is
// the report's day in any zone.
void appendJsonDate(std::string& out, DateValue value) {
    std::string text;
    if (!formatIsoDate(value, text)) {
        out += "null";
        return;
    }
    out.append("\"").append(text).append("\"");
}
