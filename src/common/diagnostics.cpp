#include "common/diagnostics.h"

#include <cstdarg>
#include <cstdio>

namespace {

void printMessage(const char* kind, const char* programName, const char* format,
                  std::va_list arguments) {
    std::fprintf(stderr, "[%s] %s: ", kind, programName);
    std::vfprintf(stderr, format, arguments);
}

}  // namespace

void reportError(Diagnostics& diagnostics, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    printMessage("E", diagnostics.programName, format, arguments);
    va_end(arguments);
    diagnostics.failed = true;
}

void printDiagnostic(const char* kind, const char* programName, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    printMessage(kind, programName, format, arguments);
    va_end(arguments);
}

void reportWarning(const Diagnostics& diagnostics, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    printMessage("W", diagnostics.programName, format, arguments);
    va_end(arguments);
    diagnostics.warned = true;
}
