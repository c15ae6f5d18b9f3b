// The one pass of the program: command line, rate file, reports, tables.
#pragma once

// Runs the tool and returns its exit status: 0 after a normal run, -1 when
// no file pattern is given.
int runSalesum(int argumentCount, char* argv[]);

// The program name for messages: the name as invoked, or "salesum" when the
// process was started without one.
const char* programNameOf(int argumentCount, char* const arguments[]);

// Prints the usage text and ends the process with status 0 (or 1 when the
// text could not be written).
[[noreturn]] void printUsage(const char* programName);
