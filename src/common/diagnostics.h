// Messages about what went wrong, on standard error. A failure reads
// "[E] <prog>: ..." and makes the run end with status 1; a warning reads
// "[W] <prog>: ..." and leaves the status alone. This unit is the one place
// that formats them.
#pragma once

#include <cstdio>

// Lets the compiler check the format texts against the printf this build
// calls: on Windows the MinGW runtime's (which knows %zu), else the C
// library's.
#if defined(__MINGW_PRINTF_FORMAT)
#define SALESUM_PRINTF_LIKE(formatIndex, firstIndex) \
    __attribute__((format(__MINGW_PRINTF_FORMAT, formatIndex, firstIndex)))
#else
#define SALESUM_PRINTF_LIKE(formatIndex, firstIndex) \
    __attribute__((format(printf, formatIndex, firstIndex)))
#endif

struct Diagnostics {
    const char* programName = "salesum";
    bool failed = false;  // set by the first failure
    // Set by the first warning. A warning is a fact about what was printed,
    // so it is noted also where the Diagnostics is lent read-only.
    mutable bool warned = false;
};

// Prints "[E] <prog>: " and the formatted text, and marks the run failed.
void reportError(Diagnostics& diagnostics, const char* format, ...) SALESUM_PRINTF_LIKE(2, 3);

// Prints "[W] <prog>: " and the formatted text, and notes that the run
// warned.
void reportWarning(const Diagnostics& diagnostics, const char* format, ...)
    SALESUM_PRINTF_LIKE(2, 3);

// Prints "[<kind>] <prog>: " and the formatted text, and nothing else: for
// the messages of the option scanner and of a lost write, which are said
// where the run's Diagnostics is not at hand.
void printDiagnostic(const char* kind, const char* programName, const char* format, ...)
    SALESUM_PRINTF_LIKE(3, 4);
