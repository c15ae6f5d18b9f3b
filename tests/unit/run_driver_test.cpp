// The program name used in messages.
#include "cli/run_driver.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ProgramNameOf, FallsBackWhenStartedWithoutArguments) {
    char invoked[] = "./bin/salesum-test";
    char* withName[] = {invoked, nullptr};
    char* withoutName[] = {nullptr};
    EXPECT_EQ(std::string(programNameOf(1, withName)), "./bin/salesum-test");
    EXPECT_EQ(std::string(programNameOf(0, withoutName)), "salesum");
    EXPECT_EQ(std::string(programNameOf(1, withoutName)), "salesum");
}

}  // namespace
