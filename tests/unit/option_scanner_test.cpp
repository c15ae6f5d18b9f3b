// The option scanner driven directly with argument vectors.
#include "cli/option_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The run's letters, long names with and without a letter, and one long
// name that takes an argument.
constexpr int kStrict = kLongNameOnly;
constexpr OptionForm kForms[] = {
    {'h', "help", false}, {'v', "verbose", false}, {'j', "json", false},       {'c', "rates", true},
    {'s', nullptr, true}, {'e', nullptr, true},    {kStrict, "strict", false},
};

struct ScanStep {
    int result;
    std::string argument;  // "(none)" when the scanner set no argument
};

struct ScanCase {
    std::vector<std::string> arguments;  // without the program name
    std::vector<ScanStep> steps;         // every call up to and including -1
    int finalIndex;                      // optionIndex after the -1
    std::string diagnostics;             // all of standard error
};

class ScanOptions : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanOptions, YieldsLettersArgumentsAndIndex) {
    const ScanCase& c = GetParam();
    std::vector<std::string> storage = {"prog"};
    storage.insert(storage.end(), c.arguments.begin(), c.arguments.end());
    std::vector<char*> argv;
    for (std::string& s : storage) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);
    optionScanner = OptionScanner{};

    testing::internal::CaptureStderr();
    std::vector<ScanStep> seen;
    for (int guard = 0; guard < 20; ++guard) {
        int result = nextOption(static_cast<int>(storage.size()), argv.data(), kForms);
        const char* argument = optionScanner.optionArgument;
        seen.push_back({result, argument ? argument : "(none)"});
        if (result == -1) {
            break;
        }
    }
    std::string err = testing::internal::GetCapturedStderr();

    ASSERT_EQ(seen.size(), c.steps.size());
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].result, c.steps[i].result) << "call " << i;
        EXPECT_EQ(seen[i].argument, c.steps[i].argument) << "call " << i;
    }
    EXPECT_EQ(optionScanner.optionIndex, c.finalIndex);
    EXPECT_EQ(err, c.diagnostics);
}

const std::string kNone = "(none)";

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, ScanOptions,
    ::testing::Values(
        ScanCase{{"-v", "-v", "f"}, {{'v', kNone}, {'v', kNone}, {-1, kNone}}, 3, ""},
        ScanCase{{"-vv", "f"}, {{'v', kNone}, {'v', kNone}, {-1, kNone}}, 2, ""},
        ScanCase{{"-cfile"}, {{'c', "file"}, {-1, kNone}}, 2, ""},
        ScanCase{{"-c", "file", "op"}, {{'c', "file"}, {-1, kNone}}, 3, ""},
        ScanCase{
            {"-c"}, {{':', kNone}, {-1, kNone}}, 2, "[E] prog: option requires an argument -c\n"},
        ScanCase{{"-x", "file"}, {{'?', kNone}, {-1, kNone}}, 2, "[E] prog: illegal option -x\n"},
        ScanCase{{"-xv", "file"},
                 {{'?', kNone}, {'v', kNone}, {-1, kNone}},
                 2,
                 "[E] prog: illegal option -x\n"},
        ScanCase{{"--", "-v"}, {{-1, kNone}}, 2, ""}, ScanCase{{"-"}, {{-1, kNone}}, 1, ""},
        ScanCase{{"--x", "f"}, {{'?', kNone}, {-1, kNone}}, 2, "[E] prog: unknown option '--x'\n"},
        ScanCase{{"-v-", "f"}, {{'v', kNone}, {-1, kNone}}, 2, ""},
        ScanCase{{"file", "-v"}, {{-1, kNone}}, 1, ""},
        ScanCase{{"-:", "-?"},
                 {{'?', kNone}, {'?', kNone}, {-1, kNone}},
                 3,
                 "[E] prog: illegal option -:\n[E] prog: illegal option -?\n"},
        ScanCase{{"-c", "-v"}, {{'c', "-v"}, {-1, kNone}}, 3, ""},
        ScanCase{{"-vs20081101", "f"}, {{'v', kNone}, {'s', "20081101"}, {-1, kNone}}, 2, ""},
        ScanCase{{}, {{-1, kNone}}, 1, ""},
        // A typo for -s: the date becomes the first operand.
        ScanCase{{"-S", "20240301", "S_W*"},
                 {{'?', kNone}, {-1, kNone}},
                 2,
                 "[E] prog: illegal option -S\n"}));

// Long names: whole arguments, never clusters of letters.
INSTANTIATE_TEST_SUITE_P(
    LongNames, ScanOptions,
    ::testing::Values(
        ScanCase{{"--json", "f"}, {{'j', kNone}, {-1, kNone}}, 2, ""},
        ScanCase{{"--verbose", "-v", "f"}, {{'v', kNone}, {'v', kNone}, {-1, kNone}}, 3, ""},
        ScanCase{{"--strict", "--help"}, {{kStrict, kNone}, {'h', kNone}, {-1, kNone}}, 3, ""},
        ScanCase{{"--rates", "file", "f"}, {{'c', "file"}, {-1, kNone}}, 3, ""},
        ScanCase{{"-v", "--rates"},
                 {{'v', kNone}, {':', kNone}, {-1, kNone}},
                 3,
                 "[E] prog: option requires an argument --rates\n"},
        ScanCase{{"--frobnicate", "f"},
                 {{'?', kNone}, {-1, kNone}},
                 2,
                 "[E] prog: unknown option '--frobnicate'\n"},
        ScanCase{{"--verb", "--json=x", "f"},
                 {{'?', kNone}, {'?', kNone}, {-1, kNone}},
                 3,
                 "[E] prog: unknown option '--verb'\n[E] prog: unknown option '--json=x'\n"},
        ScanCase{{"--", "--json"}, {{-1, kNone}}, 2, ""},
        ScanCase{{"-c", "--json"}, {{'c', "--json"}, {-1, kNone}}, 3, ""},
        ScanCase{{"f", "--json"}, {{-1, kNone}}, 1, ""}));

}  // namespace
