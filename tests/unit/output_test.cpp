// Lost output ends the run as a failure, also when the loss did not last.
#include "common/output.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

// One write to standard output fails (the device is full), and standard
// output works again afterwards: the final flush succeeds, yet the lost line
// must still fail the run. No error number is left by then.
TEST(FinishOutput, AWriteErrorThatDidNotLastStillFails) {
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(saved, 0);
    ASSERT_GE(full, 0);
    dup2(full, STDOUT_FILENO);
    std::printf("a line that is lost\n");
    const bool lost = std::fflush(stdout) != 0;
    dup2(saved, STDOUT_FILENO);
    close(full);
    close(saved);

    testing::internal::CaptureStderr();
    OutputSink out = standardOutput();
    const int status = finishOutput(out, "prog", 0);
    const std::string err = testing::internal::GetCapturedStderr();
    std::clearerr(stdout);
    EXPECT_TRUE(lost);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err, "[E] prog: write error: Input/output error\n");
}

}  // namespace
