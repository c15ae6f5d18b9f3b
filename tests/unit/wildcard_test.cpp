// Matching entry names against a file pattern, and splitting the pattern into
// the directory searched and the name pattern.
#include "platform/wildcard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <tuple>

#include "platform/directory_search.h"

namespace {

TEST(MatchesWildcard, MatchesTheWholeName) {
    const std::tuple<std::string, std::string, bool> cases[] = {
        // clang-format off
        {"S_W*", "S_W_20081102.txt", true}, {"S_W*", "S_W", true}, {"S_W*", "xS_W", false},
        {"S_W", "S_W.txt", false}, {"*.txt", "a.txt", true}, {"*.txt", "a.txt.bak", false},
        {"*", "", true}, {"*", "anything", true}, {"", "", true}, {"", "a", false},
        {"a", "", false}, {"?", "", false}, {"?", "x", true}, {"?", "xy", false},
        {"a?c", "abc", true}, {"a?c", "ac", false}, {"*?", "", false}, {"**b", "aab", true},
        {"S_W**", "S_W", true},
        {"*a*b*", "xxaxxbxx", true}, {"*a*b*", "xxbxxaxx", false},
        {"a*b*c", "abbbc", true}, {"a*b*c", "acb", false},
        // A mismatch resumes from the latest star, one character on from where it began.
        {"S_W_*_*", "S_W_20081102.txt", false}, {"??*a*", "aab", false}, {"??*a*", "aba", true},
        // ASCII letters fold; other bytes compare exactly; brackets are plain characters.
        {"s_w*", "S_W_1", true}, {"S_W*", "s_w_1", true},
        {"S_Z*", "s_z_1", true}, {"a_z*", "A_Z", true}, {"@", "`", false}, {"[", "{", false},
        {"\xC3\xA9*", "\xC3\xA9t\xC3\xA9", true}, {"\xC3\xA9*", "\xC3\x89T", false},
        {"\xE4", "\xC4", false}, {"[ab]", "a", false}, {"[ab]", "[AB]", true}
        // clang-format on
    };
    for (const auto& [pattern, name, expected] : cases) {
        EXPECT_EQ(matchesWildcard(pattern, name), expected)
            << "'" << pattern << "' vs '" << name << "'";
    }
}

TEST(MatchesWildcard, ManyStarsAgainstALongNameFinishQuickly) {
    const std::string name(4000, 'a');
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(matchesWildcard("a*a*a*a*a*a*a*a*a*a*b", name));
    EXPECT_TRUE(matchesWildcard("a*a*a*a*a*a*a*a*a*a*", name));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
}

TEST(SplitPattern, DirectoryIsTheTextUpToTheLastSlash) {
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"S_W*", ".", "S_W*"},   {"dir/S_W*", "dir", "S_W*"}, {"/x*", "/", "x*"},
        {"a/b/c*", "a/b", "c*"}, {"dir/", "dir", ""},         {"", ".", ""}};
    for (const auto& [pattern, expectedDirectory, expectedName] : cases) {
        std::string directory;
        std::string_view namePattern;
        splitPattern(pattern, directory, namePattern);
        EXPECT_EQ(directory, expectedDirectory) << pattern;
        EXPECT_EQ(namePattern, expectedName) << pattern;
    }
}

}  // namespace
