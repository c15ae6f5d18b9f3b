// Plain models of what spreadsheets write, for the unit tests and the report
// fuzzer to check the readers against: the UTF-8 text a file's bytes are
// read as (UTF-16 converted), the same text saved as UTF-16, and a field's
// text without its double quotes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The code points of UTF-16 bytes, read a unit at a time: a high surrogate
// followed by a low one is one code point; any other surrogate, and an odd
// byte at the end, is U+FFFD.
inline std::vector<std::uint32_t> modelCodePoints(const std::string& bytes, bool bigEndian) {
    std::vector<std::uint32_t> units;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        auto first = static_cast<unsigned char>(bytes[at]);
        auto second = static_cast<unsigned char>(bytes[at + 1]);
        units.push_back(bigEndian ? first * 256u + second : second * 256u + first);
    }
    std::vector<std::uint32_t> points;
    for (std::size_t i = 0; i < units.size(); ++i) {
        std::uint32_t unit = units[i];
        bool high = unit >= 0xD800 && unit < 0xDC00;
        bool low = unit >= 0xDC00 && unit < 0xE000;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            points.push_back(0x10000 + (unit - 0xD800) * 0x400 + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            points.push_back(high || low ? 0xFFFD : unit);
        }
    }
    if (bytes.size() % 2 == 1) {
        points.push_back(0xFFFD);
    }
    return points;
}

inline std::string modelUtf8(const std::vector<std::uint32_t>& points) {
    std::string text;
    for (std::uint32_t point : points) {
        if (point < 0x80) {
            text += static_cast<char>(point);
        } else if (point < 0x800) {
            text += static_cast<char>(0xC0 + point / 64);
            text += static_cast<char>(0x80 + point % 64);
        } else if (point < 0x10000) {
            text += static_cast<char>(0xE0 + point / 4096);
            text += static_cast<char>(0x80 + point / 64 % 64);
            text += static_cast<char>(0x80 + point % 64);
        } else {
            text += static_cast<char>(0xF0 + point / 262144);
            text += static_cast<char>(0x80 + point / 4096 % 64);
            text += static_cast<char>(0x80 + point / 64 % 64);
            text += static_cast<char>(0x80 + point % 64);
        }
    }
    return text;
}

// The text a report's or the rate file's content is read as: UTF-16 when it
// begins with FF FE or FE FF (dropped), or with an ASCII byte other than NUL
// and a NUL, or the other way round; else the bytes as they are.
inline std::string modelText(const std::string& content) {
    auto byte = [&](std::size_t at) { return static_cast<unsigned char>(content[at]); };
    auto ascii = [](unsigned char c) { return c >= 1 && c <= 0x7F; };
    if (content.size() < 2) {
        return content;
    }
    if (byte(0) == 0xFF && byte(1) == 0xFE) {
        return modelUtf8(modelCodePoints(content.substr(2), false));
    }
    if (byte(0) == 0xFE && byte(1) == 0xFF) {
        return modelUtf8(modelCodePoints(content.substr(2), true));
    }
    if (ascii(byte(0)) && byte(1) == 0) {
        return modelUtf8(modelCodePoints(content, false));
    }
    if (byte(0) == 0 && ascii(byte(1))) {
        return modelUtf8(modelCodePoints(content, true));
    }
    return content;
}

// UTF-8 text saved as UTF-16, with or without the byte-order mark. Bytes
// that are not UTF-8 are saved as the code points of their values (so the
// text must be UTF-8 to read back the same).
inline std::string utf16Twin(const std::string& text, bool bigEndian, bool withMark) {
    std::vector<std::uint32_t> units;
    for (std::size_t at = 0; at < text.size();) {
        auto lead = static_cast<unsigned char>(text[at]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (lead >= 0x80 && lead < 0xC0) {
            length = 1;
        }
        std::uint32_t point = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t i = 1; i < length && at + i < text.size(); ++i) {
            point = point * 64 + (static_cast<unsigned char>(text[at + i]) & 0x3F);
        }
        if (point >= 0x10000) {
            units.push_back(0xD800 + (point - 0x10000) / 0x400);
            units.push_back(0xDC00 + (point - 0x10000) % 0x400);
        } else {
            units.push_back(point);
        }
        at += length;
    }
    std::string bytes = withMark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
    for (std::uint32_t unit : units) {
        char high = static_cast<char>(unit / 256);
        char low = static_cast<char>(unit % 256);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// A field's text as read: when, trimmed of spaces, it begins and ends with
// '"' (and is more than the one '"'), the text between them, with each '""'
// there read as '"'; else the text as it is.
inline std::string modelUnquoted(const std::string& text) {
    std::string trimmed = text;
    trimmed.erase(0, trimmed.find_first_not_of(' '));
    trimmed.erase(trimmed.find_last_not_of(' ') + 1);
    if (trimmed.size() < 2 || trimmed.front() != '"' || trimmed.back() != '"') {
        return text;
    }
    std::string inner = trimmed.substr(1, trimmed.size() - 2);
    std::string read;
    for (std::size_t at = 0; at < inner.size(); ++at) {
        read += inner[at];
        if (inner.compare(at, 2, "\"\"") == 0) {
            ++at;
        }
    }
    return read;
}

// The text saved as a quoted field, each '"' in it doubled.
inline std::string quotedTwin(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}
