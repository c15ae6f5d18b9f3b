// The one pass of the program: command line, rate file, reports, tables.
#pragma once

// Runs the tool and returns its exit status: 0 after a normal run (warnings
// included), 1 when a date was bad or an input could not be read, -1 when
// no file pattern is given.
int runSalesum(int argumentCount, char* argv[]);

// The program name for messages: the name as invoked, or "salesum" when the
// process was started without one.
const char* programNameOf(int argumentCount, char* const arguments[]);

// Prints the usage text and ends the process with status 0 (or 1 when the
// text could not be written).
[[noreturn]] void printUsage(const char* programName);

// Prints the usage text's first line ("<prog> v <version>") and ends the
// process with status 0 (or 1 when it could not be written).
[[noreturn]] void printVersion(const char* programName);
