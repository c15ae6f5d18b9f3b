#include "platform/wildcard.h"

#include <cstddef>

namespace {

char foldAsciiCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool matchesWildcard(std::string_view pattern, std::string_view name) {
    // Greedy scan that, on a mismatch, lets the last '*' swallow one more
    // character. Earlier stars never need revisiting, so this takes at most
    // pattern length times name length steps.
    constexpr std::size_t kNoStar = std::string_view::npos;
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starAt = kNoStar;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || foldAsciiCase(pattern[p]) == foldAsciiCase(name[n]))) {
            ++p;
            ++n;
        } else if (starAt != kNoStar) {
            p = starAt + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

bool holdsWildcard(std::string_view pattern) {
    return pattern.find_first_of("*?") != std::string_view::npos;
}
