// Golden end-to-end cases kept as data under tests/golden. Each directory
// there is one scenario: input/ holds the files copied into a fresh working
// directory (or input.path names, in its first line, a directory relative to
// the case whose files are copied instead; a link would not survive every
// checkout), and every NAME.args beside it is one run over them:
//   NAME.args    the arguments after the program name, one per line
//   NAME.out     the expected standard output, byte for byte
//   NAME.err     the expected standard error (absent: empty)
//   NAME.status  the expected exit status (absent: 0)
//   NAME.tz      the TZ value of the run (absent: UTC)
//   NAME.posix   present: the run needs a POSIX build and is skipped against
//                a Windows one; the file says why
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "e2e/run_program.h"

namespace fs = std::filesystem;

namespace {

struct GoldenRun {
    fs::path caseDirectory;
    std::string name;
};

void PrintTo(const GoldenRun& run, std::ostream* out) {
    *out << run.caseDirectory.filename().string() << '/' << run.name;
}

fs::path goldenRoot() {
    return fs::path(SALESUM_SOURCE_DIR) / "tests" / "golden";
}

std::vector<GoldenRun> findGoldenRuns() {
    std::vector<GoldenRun> runs;
    for (const auto& caseEntry : fs::directory_iterator(goldenRoot())) {
        if (!caseEntry.is_directory()) {
            continue;
        }
        for (const auto& file : fs::directory_iterator(caseEntry.path())) {
            if (file.path().extension() == ".args") {
                runs.push_back({caseEntry.path(), file.path().stem().string()});
            }
        }
    }
    std::sort(runs.begin(), runs.end(), [](const GoldenRun& a, const GoldenRun& b) {
        return std::tie(a.caseDirectory, a.name) < std::tie(b.caseDirectory, b.name);
    });
    return runs;
}

std::string runFile(const GoldenRun& run, const char* extension) {
    return (run.caseDirectory / (run.name + extension)).string();
}

// An absent optional file reads as the given default.
std::string readOptional(const std::string& path, const std::string& absent) {
    return fs::exists(path) ? readWholeFile(path) : absent;
}

// One argument per line; an empty line is an empty argument.
std::vector<std::string> readArguments(const std::string& path) {
    std::vector<std::string> arguments = {"salesum"};
    std::string text = readWholeFile(path);
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        arguments.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return arguments;
}

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

fs::path inputDirectory(const GoldenRun& run) {
    fs::path named = run.caseDirectory / "input.path";
    if (fs::exists(named)) {
        return run.caseDirectory / firstLine(readWholeFile(named.string()));
    }
    return run.caseDirectory / "input";
}

class Case : public testing::TestWithParam<GoldenRun> {};

TEST_P(Case, Matches) {
    const GoldenRun& golden = GetParam();
    if (windowsProgram() && fs::exists(runFile(golden, ".posix"))) {
        GTEST_SKIP() << readWholeFile(runFile(golden, ".posix"));
    }
    ScratchDirectory dir;
    // The input files are copied, not linked, so the program sees plain
    // regular files.
    for (const auto& entry : fs::directory_iterator(inputDirectory(golden))) {
        fs::copy(entry.path(), fs::path(dir.path) / entry.path().filename(),
                 fs::copy_options::recursive);
    }
    ProgramOptions options;
    options.timeZone = firstLine(readOptional(runFile(golden, ".tz"), "UTC"));
    std::vector<std::string> arguments = readArguments(runFile(golden, ".args"));

    ASSERT_TRUE(fs::exists(runFile(golden, ".out"))) << runFile(golden, ".out");
    ProgramRun run = runProgram(dir.path, arguments, options);
    EXPECT_EQ(run.out, readWholeFile(runFile(golden, ".out")));
    EXPECT_EQ(run.err, readOptional(runFile(golden, ".err"), ""));
    EXPECT_EQ(run.status, std::stoi(readOptional(runFile(golden, ".status"), "0")));
}

INSTANTIATE_TEST_SUITE_P(Golden, Case, testing::ValuesIn(findGoldenRuns()),
                         [](const testing::TestParamInfo<GoldenRun>& info) {
                             return info.param.caseDirectory.filename().string() + "_" +
                                    info.param.name;
                         });

}  // namespace
