// The wildcard matcher against a plain dynamic-programming matcher. The input
// is the pattern, a NUL byte and the name.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "platform/wildcard.h"

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// matches[i][j]: the first i pattern characters match the first j name ones.
bool modelMatches(std::string_view pattern, std::string_view name) {
    std::vector<std::vector<bool>> matches(pattern.size() + 1,
                                           std::vector<bool>(name.size() + 1, false));
    matches[0][0] = true;
    for (std::size_t i = 1; i <= pattern.size(); ++i) {
        char p = pattern[i - 1];
        for (std::size_t j = 0; j <= name.size(); ++j) {
            if (p == '*') {
                matches[i][j] = matches[i - 1][j] || (j > 0 && matches[i][j - 1]);
            } else if (j > 0 && (p == '?' || lower(p) == lower(name[j - 1]))) {
                matches[i][j] = matches[i - 1][j - 1];
            }
        }
    }
    return matches[pattern.size()][name.size()];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 600) {
        return 0;  // keeps the model's table small
    }
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t cut = input.find('\0');
    std::string_view pattern = input.substr(0, cut);
    std::string_view name =
        cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);
    FUZZ_CHECK(matchesWildcard(pattern, name) == modelMatches(pattern, name));
    return 0;
}
