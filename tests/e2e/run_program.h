// Running the built program from end-to-end tests: a fresh temporary
// directory per test, a fixed time zone, and stdout, stderr and exit status
// captured whole.
#pragma once

#include <string>
#include <vector>

struct ProgramRun {
    std::string out;
    std::string err;
    int status = -1;  // exit status, or 128 + signal number
};

struct ProgramOptions {
    std::string timeZone = "UTC";
    std::string stdoutPath;  // when set, stdout goes to this file instead
    bool closeStdout = false;
    int timeoutSeconds = 60;  // the run is killed after this long
};

// A directory created for one test and removed with everything in it.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return path_; }
    // Writes a file (relative to the directory) with exactly these bytes.
    void write(const std::string& name, const std::string& bytes) const;
    void makeDirectory(const std::string& name) const;

private:
    std::string path_;
};

// The program under test: $SALESUM_BINARY if set, else the one just built.
std::string programPath();

// Runs the program with arguments (argument 0 is given too) in directory.
// $SALESUM_WRAPPER, when set, is put in front (for example an emulator).
ProgramRun runProgram(const std::string& directory, const std::vector<std::string>& arguments,
                      const ProgramOptions& options = {});

std::string readWholeFile(const std::string& path);
