#include "report/display_width.h"

#include <algorithm>
#include <cstring>

#include "report/json_text.h"

namespace {

// Code points of one width, other than one column.
struct WidthRun {
    char32_t first;
    char32_t last;
    unsigned char width;
};

constexpr WidthRun kWidthRuns[] = {
#include "report/width_runs.inc"
};

// ASCII and the C1 controls, one column each. The width table gives the
// controls none; counted as one, like a byte that is not valid UTF-8, a
// name's width stays its length in bytes while it is ASCII.
constexpr char32_t kFirstTableCodePoint = 0xA0;

// The value of a sequence of 2 to 4 bytes that utf8SequenceLength accepted:
// the lead byte keeps 7 - length bits, each further byte 6.
char32_t codePointOf(std::string_view sequence) {
    char32_t value = static_cast<unsigned char>(sequence[0]) & (0x7Fu >> sequence.size());
    for (std::size_t i = 1; i < sequence.size(); ++i) {
        value = value << 6 | (static_cast<unsigned char>(sequence[i]) & 0x3Fu);
    }
    return value;
}

}  // namespace

int characterWidth(char32_t codePoint) {
    if (codePoint < kFirstTableCodePoint) {
        return 1;
    }
    const WidthRun* after =
        std::upper_bound(std::begin(kWidthRuns), std::end(kWidthRuns), codePoint,
                         [](char32_t value, const WidthRun& run) { return value < run.first; });
    if (after == std::begin(kWidthRuns) || codePoint > std::prev(after)->last) {
        return 1;
    }
    return std::prev(after)->width;
}

std::size_t displayWidth(std::string_view text) {
    std::size_t width = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++width;
            ++at;
        } else if (std::size_t length = utf8SequenceLength(text.substr(at)); length != 0) {
            width += static_cast<std::size_t>(characterWidth(codePointOf(text.substr(at, length))));
            at += length;
        } else {
            ++width;  // a byte that is not part of valid UTF-8
            ++at;
        }
    }
    return width;
}

void writeLeftAligned(OutputSink& out, std::string_view text, int width) {
    if (const void* nul = text.empty() ? nullptr : std::memchr(text.data(), '\0', text.size())) {
        text =
            text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
    }
    if (!text.empty()) {
        writeText(out, text);  // a sink that holds nothing yet has no room to point at
    }
    std::size_t shown = displayWidth(text);
    if (width > 0 && static_cast<std::size_t>(width) > shown) {
        writeRepeated(out, width - static_cast<int>(shown), ' ');
    }
}
