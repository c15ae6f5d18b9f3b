// Matching of entry names against a wildcard pattern. The tool does this
// itself so that every platform takes the same entries.
#pragma once

#include <string_view>

// '*' matches any run of characters, none included; '?' matches exactly one
// character; every other character matches itself, with ASCII letters
// compared case-insensitively. The whole name must match.
bool matchesWildcard(std::string_view pattern, std::string_view name);

// True when the pattern holds a '*' or a '?', so that it may match names
// other than its own text.
bool holdsWildcard(std::string_view pattern);
