#include "e2e/run_program.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string_view>

namespace fs = std::filesystem;

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

bool windowsProgram() {
    const char* target = std::getenv("SALESUM_TARGET");
    if (target != nullptr && *target != '\0') {
        return std::string_view(target) == "windows";
    }
    return std::string_view(programPath()).ends_with(".exe");
}

namespace {

// The Windows runtime reads TZ as "name, hours west of UTC, daylight name";
// the tool converts dates in standard time only, so the offset is what counts.
const std::map<std::string, std::string> kWindowsTimeZones = {
    {"UTC", "UTC"},
    {"Asia/Tokyo", "JST-9"},
    {"Europe/Berlin", "CET-1CEST"},
    {"America/New_York", "EST5EDT"},
    {"America/Los_Angeles", "PST8PDT"},
};

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// Undoes what a Windows program under Wine does differently from a POSIX
// one: text-mode line ends, and argv[0] as the program's full DOS path.
std::string asPosixWouldPrint(std::string text, const std::string& programName) {
    std::string dosPath = "Z:" + fs::absolute(programPath()).lexically_normal().string();
    std::replace(dosPath.begin(), dosPath.end(), '/', '\\');
    replaceAll(text, dosPath, programName);
    replaceAll(text, "\r\n", "\n");
    return text;
}

// The exit status of a child that could not make the run as asked; the
// reason is on its standard error.
constexpr int kNotRunStatus = 125;

// The user a run that file modes must stop is made as, when the tests run as
// root: nobody, whom no file of a test belongs to.
constexpr const char* kSecondUser = "nobody";

// Ends a child that could not go on, saying why on its standard error.
[[noreturn]] void endChild(const std::string& what, int errorNumber, int status) {
    std::string message = what + ": " + std::strerror(errorNumber) + "\n";
    ssize_t written = write(STDERR_FILENO, message.data(), message.size());
    static_cast<void>(written);
    _exit(status);
}

// Who runs the program: the user who runs the tests, or the second user.
struct RunAs {
    bool secondUser = false;
    uid_t uid = 0;
    gid_t gid = 0;
};

ProgramRun runExecutable(const std::string& directory, const std::string& executable,
                         const std::vector<std::string>& arguments, const ProgramOptions& options,
                         const RunAs& runAs = {}) {
    ScratchDirectory capture;
    std::string outPath = options.stdoutPath.empty() ? capture.path + "/out" : options.stdoutPath;
    std::string errPath = capture.path + "/err";

    std::vector<std::string> argumentCopies = arguments;
    std::vector<char*> argv;
    for (std::string& argument : argumentCopies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    const std::string user = kSecondUser;
    const std::string asUser = runAs.secondUser ? " as " + user : "";
    pid_t child = fork();
    if (child == 0) {
        setenv("TZ", options.timeZone.c_str(), 1);
        setenv("WINEDEBUG", "-all", 0);  // Wine stays quiet unless asked otherwise
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
        if (runAs.secondUser &&
            (setgroups(0, nullptr) != 0 || setgid(runAs.gid) != 0 || setuid(runAs.uid) != 0)) {
            endChild("cannot switch to the user " + user, errno, kNotRunStatus);
        }
        if (chdir(directory.c_str()) != 0) {
            endChild("cannot enter " + directory + asUser, errno,
                     runAs.secondUser ? kNotRunStatus : 120);
        }
        execvp(executable.c_str(), argv.data());
        endChild("cannot run " + executable + asUser, errno,
                 runAs.secondUser ? kNotRunStatus : 127);
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
    if (runAs.secondUser && run.status == kNotRunStatus) {
        run.notRun = run.err.substr(0, run.err.find('\n'));
    }
    return run;
}

// A copy of the program in a directory of its own that every user can
// reach, under the program's own name (which it prints in messages).
struct ProgramCopy {
    ScratchDirectory directory;
    std::string path;
};

void copyProgram(ProgramCopy& copy) {
    const fs::path program = programPath();
    copy.path = (fs::path(copy.directory.path) / program.filename()).string();
    copy.directory.openToEveryone();
    fs::copy_file(program, copy.path);
    ScratchDirectory::openToEveryone(copy.path);
}

}  // namespace

bool timeZoneAvailable(const std::string& timeZone) {
    return !windowsProgram() || kWindowsTimeZones.contains(timeZone);
}

ProgramRun runProgram(const std::string& directory, const std::vector<std::string>& arguments,
                      const ProgramOptions& options) {
    ProgramRun notRun;
    RunAs runAs;
    std::optional<ProgramCopy> copy;  // made only for a run as the second user
    std::string program = programPath();
    if (options.unprivileged && windowsProgram()) {
        notRun.notRun =
            "needs a POSIX build: the messages expected are the POSIX runtime's, "
            "and a run under Wine cannot switch users";
        return notRun;
    }
    if (options.unprivileged && geteuid() == 0) {
        const passwd* user = getpwnam(kSecondUser);
        if (user == nullptr) {
            notRun.notRun = std::string("the tests run as root and there is no user ") +
                            kSecondUser + " to run the program as";
            return notRun;
        }
        runAs = {true, user->pw_uid, user->pw_gid};
        copyProgram(copy.emplace());
        program = copy->path;
    }
    // Without a wrapper the program sees arguments[0] as its name. With one,
    // the wrapper runs the program by its path.
    std::vector<std::string> command = arguments;
    std::string executable = program;
    const char* wrapper = std::getenv("SALESUM_WRAPPER");
    if (wrapper != nullptr && *wrapper != '\0') {
        command.erase(command.begin(), command.begin() + (command.empty() ? 0 : 1));
        command.insert(command.begin(), {wrapper, program});
        executable = wrapper;
    }
    if (!windowsProgram()) {
        return runExecutable(directory, executable, command, options, runAs);
    }
    if (!timeZoneAvailable(options.timeZone)) {
        throw std::invalid_argument("no Windows form for time zone " + options.timeZone);
    }
    ProgramOptions windowsOptions = options;
    windowsOptions.timeZone = kWindowsTimeZones.at(options.timeZone);
    ProgramRun run = runExecutable(directory, executable, command, windowsOptions);
    std::string programName = arguments.empty() ? std::string() : arguments[0];
    run.out = asPosixWouldPrint(run.out, programName);
    run.err = asPosixWouldPrint(run.err, programName);
    return run;
}

ProgramRun runCommand(const std::string& directory, const std::vector<std::string>& command,
                      const ProgramOptions& options) {
    return runExecutable(directory, command.empty() ? std::string() : command[0], command, options);
}
