// The program name used in messages, and the command lines that end the run
// before anything is read.
#include "cli/run_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/option_scanner.h"
#include "common/output.h"
#include "common/run_settings.h"

namespace {

TEST(ProgramNameOf, FallsBackWhenStartedWithoutArguments) {
    char invoked[] = "./bin/salesum-test";
    char* withName[] = {invoked, nullptr};
    char* withoutName[] = {nullptr};
    EXPECT_EQ(std::string(programNameOf(1, withName)), "./bin/salesum-test");
    EXPECT_EQ(std::string(programNameOf(0, withoutName)), "salesum");
    EXPECT_EQ(std::string(programNameOf(1, withoutName)), "salesum");
}

struct EndedRun {
    std::vector<std::string> arguments;  // without the program name
    int status;
    std::string out;
    std::string err;
};

class EndsAfterTheScan : public ::testing::TestWithParam<EndedRun> {};

// Each pattern here would match nothing: a run that went on to read would
// say so on standard error.
TEST_P(EndsAfterTheScan, WithItsStatusAndMessages) {
    const EndedRun& c = GetParam();
    std::vector<std::string> storage = {"prog"};
    storage.insert(storage.end(), c.arguments.begin(), c.arguments.end());
    std::vector<char*> argv;
    for (std::string& s : storage) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);
    optionScanner = OptionScanner{};
    runSettings = RunSettings{};
    OutputSink out;

    testing::internal::CaptureStderr();
    int status = runSalesum(static_cast<int>(storage.size()), argv.data(), out);
    std::string err = testing::internal::GetCapturedStderr();
    runSettings = RunSettings{};

    EXPECT_EQ(status, c.status);
    EXPECT_EQ(std::string(keptText(out)), c.out);
    EXPECT_EQ(err, c.err);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, EndsAfterTheScan,
    ::testing::Values(
        EndedRun{{"-S", "20240301", "S_NONE*"}, 1, "", "[E] prog: illegal option -S\n"},
        EndedRun{{"--frobnicate", "S_NONE*"}, 1, "", "[E] prog: unknown option '--frobnicate'\n"},
        EndedRun{{"-x"}, 1, "", "[E] prog: illegal option -x\n"},
        EndedRun{
            {"-v", "-c"}, -1, "missing file(s)\n", "[E] prog: option requires an argument -c\n"},
        EndedRun{{"-s", "20240310", "-e", "03/01/2024", "S_NONE*"},
                 1,
                 "",
                 "[E] prog: the date window is empty: -s 20240310 is after -e 03/01/2024\n"},
        EndedRun{{"-e", "20240301", "-s", "20240301", "-s", "20240302", "--strict"},
                 1,
                 "",
                 "[E] prog: the date window is empty: -s 20240302 is after -e 20240301\n"},
        EndedRun{{"-s", "x", "-e", "20240301", "S_NONE*"},
                 1,
                 "",
                 "[E] prog: bad date 'x' for -s: use YYYYMMDD or MM/DD/YYYY\n"},
        EndedRun{{"-s", "20240310", "-s", "x", "-e", "20240301"},
                 1,
                 "",
                 "[E] prog: bad date 'x' for -s: use YYYYMMDD or MM/DD/YYYY\n"}));

}  // namespace
