// The option scanner driven directly with argument vectors.
#include "cli/option_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

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
        int result = nextOption(static_cast<int>(storage.size()), argv.data(), "hvc:s:e:");
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
            {"-c"}, {{'?', kNone}, {-1, kNone}}, 2, "[E] prog: option requires an argument -c\n"},
        ScanCase{{"-x", "file"}, {{'?', kNone}, {-1, kNone}}, 2, "[E] prog: illegal option -x\n"},
        ScanCase{{"-xv", "file"},
                 {{'?', kNone}, {'v', kNone}, {-1, kNone}},
                 2,
                 "[E] prog: illegal option -x\n"},
        ScanCase{{"--", "-v"}, {{-1, kNone}}, 2, ""}, ScanCase{{"-"}, {{-1, kNone}}, 1, ""},
        ScanCase{{"--x", "f"},
                 {{'?', kNone}, {'?', kNone}, {-1, kNone}},
                 2,
                 "[E] prog: illegal option --\n[E] prog: illegal option -x\n"},
        ScanCase{{"-v-", "f"}, {{'v', kNone}, {-1, kNone}}, 2, ""},
        ScanCase{{"file", "-v"}, {{-1, kNone}}, 1, ""},
        ScanCase{{"-:", "-?"},
                 {{'?', kNone}, {'?', kNone}, {-1, kNone}},
                 3,
                 "[E] prog: illegal option -:\n[E] prog: illegal option -?\n"},
        ScanCase{{"-c", "-v"}, {{'c', "-v"}, {-1, kNone}}, 3, ""},
        ScanCase{{"-vs20081101", "f"}, {{'v', kNone}, {'s', "20081101"}, {-1, kNone}}, 2, ""},
        ScanCase{{}, {{-1, kNone}}, 1, ""}));

}  // namespace
