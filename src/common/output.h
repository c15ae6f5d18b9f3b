// Where the report's text goes. Printers write to an OutputSink: in a run
// that is standard output, gathered into large writes; in a test, a sink
// without a file keeps everything written for the test to read back.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>
#include <vector>

#include "common/diagnostics.h"

struct OutputSink {
    std::FILE* file = nullptr;  // none: the text is kept in bytes, never written out
    std::vector<char> bytes;    // the first `used` hold text not yet written out
    std::size_t used = 0;
    int writeError = 0;  // the error number of the first write that failed
};

// A sink that writes to standard output once it holds a large block.
OutputSink standardOutput();

// The text a sink without a file has kept.
std::string_view keptText(const OutputSink& sink);

void writeText(OutputSink& sink, std::string_view text);

// printf's formatting, byte for byte.
void writeFormatted(OutputSink& sink, const char* format, ...) SALESUM_PRINTF_LIKE(2, 3);

// Writes the character count times; a count of 0 or less writes nothing.
void writeRepeated(OutputSink& sink, int count, char character);

// Room for room bytes after the text written so far, for a caller that
// formats in place; commitText then says where what it wrote ends.
char* reserveText(OutputSink& sink, std::size_t room);
void commitText(OutputSink& sink, const char* end);

// Hands what the sink holds to its file.
void flushSink(OutputSink& sink);

// Flushes the sink and standard output and checks that everything written
// reached it. Returns status when it did; otherwise reports the write error
// on standard error and returns 1, so that lost output never ends with
// success.
int finishOutput(OutputSink& out, const char* programName, int status);
