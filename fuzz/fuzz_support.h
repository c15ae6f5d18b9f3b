// Helpers shared by the fuzz harnesses: a failed check that libFuzzer sees as
// a crash, and a file in memory for the readers that open files by name.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

// A file held in memory, reachable by a path, so that code which opens files
// by name reads exactly the fuzz input without touching the disk.
struct MemoryFile {
    int descriptor = -1;
    std::string path;
};

inline MemoryFile& memoryFile() {
    static MemoryFile file = [] {
        MemoryFile made;
        made.descriptor = memfd_create("fuzz-input", 0);
        FUZZ_CHECK(made.descriptor >= 0);
        made.path = "/proc/self/fd/" + std::to_string(made.descriptor);
        return made;
    }();
    return file;
}

// Replaces the file's contents with these bytes and returns its path.
inline const char* holdInFile(const void* bytes, std::size_t size) {
    MemoryFile& file = memoryFile();
    FUZZ_CHECK(ftruncate(file.descriptor, 0) == 0);
    FUZZ_CHECK(size == 0 || pwrite(file.descriptor, bytes, size, 0) == static_cast<ssize_t>(size));
    return file.path.c_str();
}

// The harnesses print reports; their text is not looked at, only the fact
// that producing it does not fail.
inline void discardStandardOutput() {
    FUZZ_CHECK(std::freopen("/dev/null", "w", stdout) != nullptr);
}

// What the call writes to standard error, taken from it: the descriptor is
// pointed at a file in memory while the call runs.
template <typename Call>
std::string captureStandardError(Call call) {
    static const int captured = [] {
        int made = memfd_create("fuzz-stderr", 0);
        FUZZ_CHECK(made >= 0);
        return made;
    }();
    std::fflush(stderr);
    const int saved = dup(2);
    FUZZ_CHECK(saved >= 0 && ftruncate(captured, 0) == 0 && dup2(captured, 2) == 2);
    call();
    std::fflush(stderr);
    FUZZ_CHECK(dup2(saved, 2) == 2 && close(saved) == 0);
    std::string text(static_cast<std::size_t>(lseek(captured, 0, SEEK_END)), '\0');
    FUZZ_CHECK(pread(captured, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()));
    FUZZ_CHECK(lseek(captured, 0, SEEK_SET) == 0);
    return text;
}
