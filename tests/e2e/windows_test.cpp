// What differs on Windows: the system's entry attributes, both path
// separators and text-mode output. These cases skip themselves against a
// POSIX build; the runtime's calendar limits are the golden case far_future.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "e2e/run_program.h"
#include "support/report_lines.h"

namespace {

// A report of one sale of one unit.
std::string report(const std::string& appName) {
    return kReportHeader + reportLine({{field::kName, appName}, {field::kUnits, "1"}});
}

// Runs a command line through the Windows shell, under the program's wrapper.
ProgramRun runWindowsShell(const ScratchDirectory& dir, const std::string& commandLine) {
    const char* wrapper = std::getenv("SALESUM_WRAPPER");
    return runCommand(dir.path, {wrapper != nullptr ? wrapper : "wine", "cmd", "/c", commandLine});
}

// The directory as a Windows program sees it through Wine's drive Z:.
std::string dosPath(const std::string& path) {
    std::string converted = "Z:" + std::filesystem::path(path).lexically_normal().string();
    for (char& character : converted) {
        character = character == '/' ? '\\' : character;
    }
    return converted;
}

TEST(Windows, HiddenAndSystemFilesAreSkippedReadOnlyOnesTaken) {
    if (!windowsProgram()) {
        GTEST_SKIP() << "Windows-only: entry attributes";
    }
    ScratchDirectory dir;
    dir.write("S_W_archive", report("Archived"));
    dir.write("S_W_hidden", report("Hidden"));
    dir.write("S_W_readonly", report("ReadOnly"));
    dir.write("S_W_system", report("System"));
    ProgramRun attrib = runWindowsShell(
        dir, "attrib +h S_W_hidden & attrib +s S_W_system & attrib +r S_W_readonly");
    ASSERT_EQ(attrib.status, 0) << attrib.out << attrib.err;

    // "*" also lists "." and "..", which carry the directory attribute.
    ProgramRun run = runProgram(dir.path, {"salesum", "-v", "*"});
    EXPECT_EQ(run.out.substr(0, run.out.find("Apps count")), "S_W_archive\nS_W_readonly\n");
    EXPECT_NE(run.out.find("Apps count: 2\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Hidden"), std::string::npos);
    EXPECT_EQ(run.out.find("System"), std::string::npos);
    EXPECT_EQ(run.status, 0);
}

TEST(Windows, FileMarkedOnlyNormalIsNotTaken) {
    if (!windowsProgram()) {
        GTEST_SKIP() << "Windows-only: entry attributes";
    }
    ScratchDirectory dir;
    dir.write("S_W_normal", report("Normal"));
    ProgramRun attrib = runWindowsShell(dir, "attrib -a S_W_normal & attrib S_W_normal");
    ASSERT_EQ(attrib.status, 0) << attrib.out << attrib.err;
    // Wine reports every regular file as archive, whatever was stored.
    if (attrib.out.starts_with("A")) {
        GTEST_SKIP() << "this system keeps the archive attribute: " << attrib.out;
    }
    ProgramRun run = runProgram(dir.path, {"salesum", "-v", "S_W_*"});
    EXPECT_EQ(run.out, "Apps count: 0\n\n\n");
}

TEST(Windows, PatternsTakeBothSeparators) {
    if (!windowsProgram()) {
        GTEST_SKIP() << "Windows-only: backslash separators";
    }
    ScratchDirectory dir;
    dir.makeDirectory("sub/deeper");
    dir.write("sub/deeper/S_W_inner", report("Inner"));
    // The entry is read in the directory that was searched.
    for (const std::string& pattern :
         {std::string("sub\\deeper\\S_W*"), std::string("sub/deeper/S_W*"),
          std::string("sub\\deeper/s_w_*"), std::string(".\\sub/deeper\\S_W_inner"),
          std::string("Z:sub\\deeper\\S_W*"), dosPath(dir.path) + "\\sub\\deeper\\S_W*"}) {
        ProgramRun run = runProgram(dir.path, {"salesum", "-v", pattern});
        EXPECT_EQ(run.out.rfind("S_W_inner\nApps count: 1\n\nInner ", 0), 0u) << pattern;
        EXPECT_NE(run.out.find("\nInner               1       1       0\n"), std::string::npos)
            << pattern;
        EXPECT_EQ(run.err, "") << pattern;
    }
    // A root keeps its separator: "\tmp" names tmp in the root, not in the
    // current directory of the drive.
    std::string top = dir.path.substr(1, dir.path.find('/', 1) - 1);
    for (const std::string& pattern : {"\\" + top, "Z:\\" + top, "/" + top}) {
        ProgramRun run = runProgram(dir.path, {"salesum", "-v", pattern});
        EXPECT_EQ(run.out, top + "\nApps count: 0\n\n\n") << pattern;
    }
}

TEST(Windows, PatternReachesTheProgramUnexpanded) {
    if (!windowsProgram()) {
        GTEST_SKIP() << "Windows-only: the runtime could expand wildcards itself";
    }
    ScratchDirectory dir;
    dir.write("S_W_a", report("Alpha"));
    dir.write("S_W_b", report("Beta"));
    ProgramRun run = runProgram(dir.path, {"salesum", "S_W*"});
    EXPECT_TRUE(run.out.starts_with("Apps count: 2\n")) << run.out;
}

TEST(Windows, OutputLinesEndInCarriageReturnLineFeed) {
    if (!windowsProgram()) {
        GTEST_SKIP() << "Windows-only: text-mode standard output";
    }
    ScratchDirectory dir;
    ScratchDirectory capture;
    ProgramOptions toFile;
    toFile.stdoutPath = capture.path + "/out";
    ProgramRun run = runProgram(dir.path, {"salesum", "-v", "S_W*"}, toFile);
    EXPECT_EQ(readWholeFile(toFile.stdoutPath), "Apps count: 0\r\n\r\n\r\n");
    EXPECT_EQ(run.status, 0);
}

}  // namespace
