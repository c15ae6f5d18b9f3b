#include "common/output.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>

#include "common/diagnostics.h"

namespace {

// Text goes out in writes of this size: a listing can hold millions of lines.
constexpr std::size_t kBlockSize = std::size_t{1} << 16;

}  // namespace

OutputSink standardOutput() {
    return {stdout, std::vector<char>(kBlockSize), 0};
}

std::string_view keptText(const OutputSink& sink) {
    return {sink.bytes.data(), sink.used};
}

char* reserveText(OutputSink& sink, std::size_t room) {
    if (sink.bytes.size() - sink.used < room) {
        flushSink(sink);
        if (sink.bytes.size() - sink.used < room) {
            sink.bytes.resize(std::max(2 * sink.bytes.size(), sink.used + room));
        }
    }
    return sink.bytes.data() + sink.used;
}

void commitText(OutputSink& sink, const char* end) {
    sink.used = static_cast<std::size_t>(end - sink.bytes.data());
    if (sink.used >= kBlockSize) {
        flushSink(sink);
    }
}

void writeText(OutputSink& sink, std::string_view text) {
    char* at = reserveText(sink, text.size());
    std::memcpy(at, text.data(), text.size());
    commitText(sink, at + text.size());
}

void writeFormatted(OutputSink& sink, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    std::va_list again;
    va_copy(again, arguments);
    int length = std::vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    if (length > 0) {
        char* at = reserveText(sink, static_cast<std::size_t>(length) + 1);
        std::vsnprintf(at, static_cast<std::size_t>(length) + 1, format, again);
        commitText(sink, at + length);
    }
    va_end(again);
}

void writeRepeated(OutputSink& sink, int count, char character) {
    if (count > 0) {
        char* at = reserveText(sink, static_cast<std::size_t>(count));
        std::memset(at, character, static_cast<std::size_t>(count));
        commitText(sink, at + count);
    }
}

void flushSink(OutputSink& sink) {
    if (sink.file == nullptr || sink.used == 0) {
        return;
    }
    errno = 0;
    if (std::fwrite(sink.bytes.data(), 1, sink.used, sink.file) != sink.used &&
        sink.writeError == 0) {
        sink.writeError = errno;
    }
    sink.used = 0;
}

int finishOutput(OutputSink& out, const char* programName, int status) {
    flushSink(out);
    errno = 0;
    bool failed = std::fflush(stdout) != 0;
    int reason = out.writeError != 0 ? out.writeError : errno;
    failed = std::ferror(stdout) != 0 || failed;
    if (!failed) {
        return status;
    }
    // An earlier failed write may have left no error number behind.
    if (reason == 0) {
        reason = EIO;
    }
    printDiagnostic("E", programName, "write error: %s\n", std::strerror(reason));
    return 1;
}
