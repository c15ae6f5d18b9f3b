// The command line end to end where a case needs what golden data cannot
// hold (a FIFO, symlinks, /dev/full, a closed standard output); the usage
// text, options and diagnostics are golden cases (tests/golden/command_line).
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "e2e/run_program.h"

namespace {

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
