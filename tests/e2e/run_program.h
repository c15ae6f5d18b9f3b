// Running the built program from end-to-end tests: a fresh temporary
// directory per test, a fixed time zone, and stdout, stderr and exit status
// captured whole.
#pragma once

#include <string>
#include <vector>

#include "support/scratch_directory.h"

struct ProgramRun {
    std::string out;
    std::string err;
    int status = -1;  // exit status, or 128 + signal number
    // Why the run could not be made as asked, when it could not (nothing ran
    // then): the test skips itself with this text as its reason.
    std::string notRun;
};

struct ProgramOptions {
    std::string timeZone = "UTC";
    std::string stdoutPath;  // when set, stdout goes to this file instead
    bool closeStdout = false;
    int timeoutSeconds = 60;  // the run is killed after this long
    // File modes must stop the program: when the tests run as root, whom they
    // do not stop, it runs as the user nobody. It then runs from a copy in a
    // temporary directory, as the build may lie where nobody cannot reach
    // (under root's home, mode 0700); the directory it runs in must be open
    // to nobody (ScratchDirectory::openToEveryone). When the user cannot be
    // switched to, or cannot reach the directory or the program, notRun says
    // why. Against a Windows build, whose runs under Wine know no second
    // user, notRun always says so.
    bool unprivileged = false;
};

// The program under test: $SALESUM_BINARY if set, else the one just built.
std::string programPath();

// True when the program under test is a Windows build: $SALESUM_TARGET is
// "windows" or the program's name ends in ".exe". It then runs under
// $SALESUM_WRAPPER (wine), and runProgram adapts the run:
// - CR-LF line ends of stdout and stderr are turned into LF;
// - the full DOS path Wine hands the program as argv[0] is turned back into
//   arguments[0], as a Windows shell passes the name as typed;
// - the time zone is passed in the runtime's own TZ form (see
//   timeZoneAvailable); WINEDEBUG defaults to -all.
// Cases that need what Windows lacks (FIFO, socket, dangling symlink,
// /dev/full, a closed stdout, byte-ordered listings) skip themselves with
//     if (windowsProgram()) GTEST_SKIP() << "needs a FIFO";
bool windowsProgram();

// Whether runProgram can run the program in this time zone. Always true for a
// POSIX build; a Windows build knows only UTC, Asia/Tokyo, Europe/Berlin and
// America/New_York (their standard offsets are all the tool uses). A
// table-driven test over zones skips the others with `continue`.
bool timeZoneAvailable(const std::string& timeZone);

// Runs the program with arguments (argument 0 is given too) in directory.
// $SALESUM_WRAPPER, when set, is put in front (for example an emulator).
ProgramRun runProgram(const std::string& directory, const std::vector<std::string>& arguments,
                      const ProgramOptions& options = {});

// Runs command[0] (looked up in PATH) with command as its argument vector in
// directory, capturing it like runProgram but without any adaptation.
ProgramRun runCommand(const std::string& directory, const std::vector<std::string>& command,
                      const ProgramOptions& options = {});

std::string readWholeFile(const std::string& path);
