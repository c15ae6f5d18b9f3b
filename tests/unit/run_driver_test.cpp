// The program name used in messages, the command lines that end the run
// before anything is read (or, for the one-day window, do not), and the
// warning about a pattern that names a directory.
#include "cli/run_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/option_scanner.h"
#include "cli/run_settings.h"
#include "common/output.h"
#include "support/scratch_directory.h"

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

// Each pattern here matches nothing: a run that goes on to read says so on
// standard error.
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
        // A window of one day is not empty: the run goes on to read.
        EndedRun{{"-s", "03/01/2024", "-e", "20240301", "S_NONE*"},
                 0,
                 "Apps count: 0\n\n",
                 "[W] prog: no file matches 'S_NONE*'\n"},
        EndedRun{{"-s", "x", "-e", "20240301", "S_NONE*"},
                 1,
                 "",
                 "[E] prog: bad date 'x' for -s: use YYYYMMDD or MM/DD/YYYY\n"},
        EndedRun{{"-s", "20240310", "-s", "x", "-e", "20240301"},
                 1,
                 "",
                 "[E] prog: bad date 'x' for -s: use YYYYMMDD or MM/DD/YYYY\n"}));

#define BAD_GROUPING(keys)                                   \
    "[E] prog: bad grouping '" keys                          \
    "' for -g: use app, country, type, day, week, month or " \
    "year, separated by commas\n"

// -g: every bad list of keys is named at its turn, a later good one does
// not mend it, and the errors after the scan follow it in their order.
INSTANTIATE_TEST_SUITE_P(
    Grouping, EndsAfterTheScan,
    ::testing::Values(
        EndedRun{{"-g", "months", "S_NONE*"}, 1, "", BAD_GROUPING("months")},
        EndedRun{{"-g", "App", "S_NONE*"}, 1, "", BAD_GROUPING("App")},
        EndedRun{{"-g", "app,app", "S_NONE*"}, 1, "", BAD_GROUPING("app,app")},
        EndedRun{{"-g", "month,week,month", "S_NONE*"}, 1, "", BAD_GROUPING("month,week,month")},
        EndedRun{{"-g", "", "S_NONE*"}, 1, "", BAD_GROUPING("")},
        EndedRun{{"-g", "month,", "S_NONE*"}, 1, "", BAD_GROUPING("month,")},
        EndedRun{{"-g", ",app", "S_NONE*"}, 1, "", BAD_GROUPING(",app")},
        EndedRun{{"-g", "app,,day", "S_NONE*"}, 1, "", BAD_GROUPING("app,,day")},
        EndedRun{{"-g", "app, day", "S_NONE*"}, 1, "", BAD_GROUPING("app, day")},
        EndedRun{{"-g", "day ", "S_NONE*"}, 1, "", BAD_GROUPING("day ")},
        EndedRun{{"-g", "x", "-g", "month", "S_NONE*"}, 1, "", BAD_GROUPING("x")},
        EndedRun{{"-g", "x", "-g", "y", "S_NONE*"}, 1, "", BAD_GROUPING("x") BAD_GROUPING("y")},
        EndedRun{{"-g", "x", "-s", "y", "S_NONE*"},
                 1,
                 "",
                 BAD_GROUPING("x") "[E] prog: bad date 'y' for -s: use YYYYMMDD or MM/DD/YYYY\n"},
        EndedRun{{"-u", "EUR", "-tj", "-g", "x", "S_NONE*"},
                 1,
                 "",
                 BAD_GROUPING("x") "[E] prog: -t and -j cannot be used together\n"
                                   "[E] prog: -u 'EUR' needs a rate file (-c)\n"},
        // Before the missing-pattern check, as every option error.
        EndedRun{{"-g", "x"}, 1, "", BAD_GROUPING("x")},
        // A later good -g replaces an earlier good one; the keys cluster.
        EndedRun{{"-g", "month", "-g", "app", "S_NONE*"},
                 0,
                 "Apps count: 0\n\n",
                 "[W] prog: no file matches 'S_NONE*'\n"},
        EndedRun{{"-g", "app", "-g", "year", "S_NONE*"},
                 0,
                 "Groups count: 0\n\n",
                 "[W] prog: no file matches 'S_NONE*'\n"},
        EndedRun{{"-tg", "year,type,country,app,day,week,month", "S_NONE*"},
                 0,
                 "Year\tType\tCountry\tAppName\tDay\tWeek\tMonth\tRecords\tSales\tUpdates\n",
                 "[W] prog: no file matches 'S_NONE*'\n"}));

#undef BAD_GROUPING

// Only a pattern without wildcards that names a directory is warned about;
// the suggestion adds no second slash. The directory literally named "w*"
// is matched as a pattern, so it is not one.
TEST(WarnIfPatternIsDirectory, OnlyAPlainDirectoryName) {
    ScratchDirectory scratch;
    scratch.makeDirectory("week");
    scratch.write("S_W_1", "header\n");
    scratch.makeDirectory("w*");
    const std::string d = scratch.path + "/";
    const std::string suggestion =
        "' is a directory: give a pattern of report names inside it, "
        "such as '";
    const struct {
        std::string pattern;
        std::string err;
    } cases[] = {
        {d + "week", "[W] prog: '" + d + "week" + suggestion + d + "week/S_*'\n"},
        {d + "week/", "[W] prog: '" + d + "week/" + suggestion + d + "week/S_*'\n"},
        {d + "S_W_1", ""},
        {d + "missing", ""},
        {d + "w*", ""},
        {d + "wee?", ""},
        {"", ""},
    };
    const Diagnostics diagnostics{"prog"};
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        bool warned = warnIfPatternIsDirectory(c.pattern, diagnostics);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err) << c.pattern;
        EXPECT_EQ(warned, !c.err.empty()) << c.pattern;
    }
}

}  // namespace
