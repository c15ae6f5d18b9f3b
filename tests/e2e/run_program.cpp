#include "e2e/run_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (fs::temp_directory_path() / "salesum-e2e-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void ScratchDirectory::write(const std::string& name, const std::string& bytes) const {
    std::ofstream file(path_ + "/" + name, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + name);
    }
}

void ScratchDirectory::makeDirectory(const std::string& name) const {
    fs::create_directories(path_ + "/" + name);
}

std::string programPath() {
    const char* fromEnvironment = std::getenv("SALESUM_BINARY");
    return fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment
                                                                   : SALESUM_BINARY;
}

std::string readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

ProgramRun runProgram(const std::string& directory, const std::vector<std::string>& arguments,
                      const ProgramOptions& options) {
    ScratchDirectory capture;
    std::string outPath = options.stdoutPath.empty() ? capture.path() + "/out" : options.stdoutPath;
    std::string errPath = capture.path() + "/err";

    // Without a wrapper the program sees arguments[0] as its name. With one,
    // the wrapper runs the program by its path.
    std::vector<std::string> command = arguments;
    const char* wrapper = std::getenv("SALESUM_WRAPPER");
    bool wrapped = wrapper != nullptr && *wrapper != '\0';
    if (wrapped) {
        command.erase(command.begin(), command.begin() + (command.empty() ? 0 : 1));
        command.insert(command.begin(), {wrapper, programPath()});
    }
    std::vector<char*> argv;
    for (std::string& argument : command) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::string executable = wrapped ? std::string(wrapper) : programPath();

    pid_t child = fork();
    if (child == 0) {
        if (chdir(directory.c_str()) != 0) {
            _exit(120);
        }
        setenv("TZ", options.timeZone.c_str(), 1);
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0) {
            _exit(121);
        }
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        close(out);
        close(err);
        if (options.closeStdout) {
            close(STDOUT_FILENO);
        }
        int in = open("/dev/null", O_RDONLY);
        dup2(in, STDIN_FILENO);
        execvp(executable.c_str(), argv.data());
        _exit(127);
    }
    ProgramRun run;
    int waitStatus = 0;
    for (int waited = 0;; ++waited) {
        pid_t done = waitpid(child, &waitStatus, WNOHANG);
        if (done == child) {
            break;
        }
        if (waited >= options.timeoutSeconds * 100) {
            kill(child, SIGKILL);
            waitpid(child, &waitStatus, 0);
            break;
        }
        usleep(10000);
    }
    run.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
    run.out = options.stdoutPath.empty() ? readWholeFile(outPath) : std::string();
    run.err = readWholeFile(errPath);
    return run;
}
