// The command line: its options into the run settings, the usage text, and
// what is said of the pattern and of the arguments after it.
#pragma once

#include <optional>
#include <string>

#include "common/diagnostics.h"
#include "common/output.h"

// Fills runSettings from the options and takes the first argument after
// them as the pattern. Returns the status the run ends with when -h, --help
// or --version asked for the usage text or the version, which are printed
// then; none when the run goes on. An unknown option, a bad date and a date
// window with -s after -e are failures: the run then ends before reading.
std::optional<int> scanCommandLine(int argumentCount, char* arguments[], OutputSink& out,
                                   Diagnostics& diagnostics);

// The arguments after the pattern are not read. One that begins with '-' is
// most often an option put after the pattern, and is named; the others are
// most often what a shell made of an unquoted pattern, and are counted in a
// hint to quote it.
void warnAboutFurtherArguments(int argumentCount, char* const arguments[],
                               const Diagnostics& diagnostics);

// A pattern without wildcards that names a directory takes the directory
// itself, which holds no records: the warning suggests a pattern inside it.
// Returns true when it warned.
bool warnIfPatternIsDirectory(const std::string& pattern, const Diagnostics& diagnostics);

// The usage text, and its first line alone ("<prog> v <version>").
void printUsage(OutputSink& out, const char* programName);
void printVersion(OutputSink& out, const char* programName);
