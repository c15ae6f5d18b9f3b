#include "common/output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

void printRepeated(int count, char character) {
    for (int i = 0; i < count; ++i) {
        std::putchar(character);
    }
}

int finishOutput(const char* programName, int status) {
    errno = 0;
    bool failed = std::fflush(stdout) != 0;
    int reason = errno;
    failed = std::ferror(stdout) != 0 || failed;
    if (!failed) {
        return status;
    }
    // An earlier failed write may have left no error number behind.
    if (reason == 0) {
        reason = EIO;
    }
    std::fprintf(stderr, "[E] %s: write error: %s\n", programName, std::strerror(reason));
    return 1;
}
