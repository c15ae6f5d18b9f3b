// The command line end to end: usage text, missing pattern, diagnostics,
// directory search and write errors.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "e2e/run_program.h"

namespace {

const std::string kUsage =
    "salesum v 1.0.1\n"
    "Made by the sales report tools team.\n"
    "\n"
    "salesum [-v] [-c configfile] [-s startdate] [-e enddate] file(s)\n"
    "\n"
    "salesum [options] S_W* \n"
    "salesum [options] S_D* \n"
    "\n"
    "salesum -c config.cfg -s 20081101 -e 20081130 S_W* \n"
    "salesum -v S_D* \n"
    "\n"
    "Note: file(s) must reside in the current directory.\n"
    "\n";

TEST(CommandLine, UsageTextEndsWithSuccess) {
    ScratchDirectory dir;
    const std::vector<std::vector<std::string>> commandLines = {
        {"salesum"},        {"salesum", "-h", "S_W*"},           {"salesum", "-v", "-h"},
        {"salesum", "-vh"}, {"salesum", "-v", "--help", "S_W*"}, {"salesum", "--help"},
        {"salesum", "-jh"}, {"salesum", "-j", "--help"}};
    for (const auto& arguments : commandLines) {
        ProgramRun run = runProgram(dir.path(), arguments);
        EXPECT_EQ(run.out, kUsage) << arguments.size();
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.status, 0);
    }
}

TEST(CommandLine, MissingPatternEndsWithStatus255) {
    ScratchDirectory dir;
    for (const auto& arguments : std::vector<std::vector<std::string>>{{"salesum", "-v"},
                                                                       {"salesum", "-c", "rates"},
                                                                       {"salesum", "--"},
                                                                       {"salesum", "-vj"}}) {
        ProgramRun run = runProgram(dir.path(), arguments);
        EXPECT_EQ(run.out, "missing file(s)\n");
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.status, 255);
    }
}

TEST(CommandLine, DiagnosticsGoToStandardErrorAndTheRunGoesOn) {
    ScratchDirectory dir;
    dir.write("S_W_a", "header\n");
    ProgramRun run = runProgram(dir.path(), {"salesum", "-x", "S_W*"});
    EXPECT_EQ(run.err, "[E] salesum: illegal option -x\n");
    EXPECT_EQ(run.out, "Apps count: 0\n\n");
    EXPECT_EQ(run.status, 0);

    run = runProgram(dir.path(), {"salesum", "-v", "-c"});
    EXPECT_EQ(run.err, "[E] salesum: option requires an argument -c\n");
    EXPECT_EQ(run.out, "missing file(s)\n");
    EXPECT_EQ(run.status, 255);
}

TEST(CommandLine, VerboseNamesOnlyTakenEntriesInByteOrder) {
    if (windowsProgram()) {
        GTEST_SKIP() << "needs a FIFO and symlinks, and lists in the system's order";
    }
    ScratchDirectory dir;
    dir.write("S_W_b", "header\n");
    dir.write("S_W_a", "header\n");
    dir.write("s_w_lower", "header\n");  // letter case is ignored
    dir.write("S_W_Z", "header\n");
    dir.write("other", "header\n");
    dir.write("xS_W_a", "header\n");
    dir.makeDirectory("S_W_dir");
    ASSERT_EQ(mkfifo((dir.path() + "/S_W_fifo").c_str(), 0644), 0);
    ASSERT_EQ(symlink("nowhere", (dir.path() + "/S_W_dangling").c_str()), 0);
    ASSERT_EQ(symlink("S_W_a", (dir.path() + "/S_W_link").c_str()), 0);

    ProgramRun run = runProgram(dir.path(), {"salesum", "-v", "S_W*"});
    EXPECT_EQ(run.out, "S_W_Z\nS_W_a\nS_W_b\nS_W_dir\nS_W_link\ns_w_lower\nApps count: 0\n\n\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 0);
}

TEST(CommandLine, HiddenEntriesAreNeverTaken) {
    ScratchDirectory dir;
    dir.write(".S_W_hidden", "header\n");
    dir.write("S_W_seen", "header\n");
    ProgramRun run = runProgram(dir.path(), {"salesum", "-v", "*S_W*"});
    EXPECT_EQ(run.out, "S_W_seen\nApps count: 0\n\n\n");
}

TEST(CommandLine, PatternMatchingNothingIsNotAnError) {
    ScratchDirectory dir;
    dir.write("S_W_a", "header\n");
    for (const char* pattern : {"S_D*", "", "S_W_a?"}) {
        ProgramRun run = runProgram(dir.path(), {"salesum", pattern});
        EXPECT_EQ(run.out, "Apps count: 0\n\n") << pattern;
        EXPECT_EQ(run.status, 0);
    }
}

TEST(CommandLine, LostOutputIsReportedAsFailure) {
    if (windowsProgram()) {
        GTEST_SKIP() << "needs /dev/full and a closed stdout";
    }
    ScratchDirectory dir;
    ProgramOptions toFull;
    toFull.stdoutPath = "/dev/full";
    ProgramRun run = runProgram(dir.path(), {"salesum", "-h"}, toFull);
    EXPECT_EQ(run.err, "[E] salesum: write error: No space left on device\n");
    EXPECT_EQ(run.status, 1);

    run = runProgram(dir.path(), {"salesum", "S_W*"}, toFull);
    EXPECT_EQ(run.status, 1);
    run = runProgram(dir.path(), {"salesum", "-j", "S_W*"}, toFull);
    EXPECT_EQ(run.status, 1);

    ProgramOptions closed;
    closed.closeStdout = true;
    run = runProgram(dir.path(), {"salesum", "-h"}, closed);
    EXPECT_EQ(run.err, "[E] salesum: write error: Bad file descriptor\n");
    EXPECT_EQ(run.status, 1);
}

}  // namespace
