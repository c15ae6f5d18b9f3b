// Writes the table of character widths that the program's tables pad names
// by, taken from utf8proc on the machine that builds: every code point from
// U+00A0 on whose width is not one column, as runs of one width. The code
// points below U+00A0 (ASCII and the C1 controls) are one column each by the
// program's own rule, and surrogates never decode, so neither is listed.
//
//   generate_width_table OUTPUT
//
// It is built and run for the build machine, also when the program is
// cross-built, so that every build compiles in the same table.
#include <utf8proc.h>

#include <cstdio>

namespace {

constexpr utf8proc_int32_t kFirstListed = 0xA0;
constexpr utf8proc_int32_t kLastCodePoint = 0x10FFFF;

bool isSurrogate(utf8proc_int32_t codePoint) {
    return codePoint >= 0xD800 && codePoint <= 0xDFFF;
}

bool writeRun(std::FILE* out, utf8proc_int32_t first, utf8proc_int32_t last, int width) {
    return std::fprintf(out, "{0x%05X, 0x%05X, %d},\n", static_cast<unsigned>(first),
                        static_cast<unsigned>(last), width) > 0;
}

// Writes the runs; false when a width is not 0, 1 or 2 (a library that
// gives other widths needs a look before its table is used) or a write fails.
bool writeTable(std::FILE* out) {
    bool written =
        std::fprintf(out,
                     "// Written by tools/generate_width_table.cpp from utf8proc %s (Unicode %s);\n"
                     "// do not edit. Code points from U+00A0 on whose width is not one\n"
                     "// column: first, last, width.\n",
                     utf8proc_version(), utf8proc_unicode_version()) > 0;
    utf8proc_int32_t runFirst = 0;
    int runWidth = 1;
    for (utf8proc_int32_t codePoint = kFirstListed; codePoint <= kLastCodePoint + 1; ++codePoint) {
        int width = 1;
        if (codePoint <= kLastCodePoint && !isSurrogate(codePoint)) {
            width = utf8proc_charwidth(codePoint);
            if (width < 0 || width > 2) {
                std::fprintf(stderr, "generate_width_table: U+%04X has width %d\n",
                             static_cast<unsigned>(codePoint), width);
                return false;
            }
        }
        if (width != runWidth) {
            if (runWidth != 1) {
                written = written && writeRun(out, runFirst, codePoint - 1, runWidth);
            }
            runFirst = codePoint;
            runWidth = width;
        }
    }
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: generate_width_table OUTPUT\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    bool written = writeTable(out);
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "generate_width_table: could not write %s\n", argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
