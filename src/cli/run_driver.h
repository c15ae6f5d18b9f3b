// The one pass of the program: command line, rate file, reports, tables.
#pragma once

#include "common/output.h"

// Runs the tool, writing the report to out, and returns its exit status: 0
// after a normal run (warnings included) and after the usage text or the
// version, 1 when a date was bad or an input could not be read, -1 when no
// file pattern is given.
int runSalesum(int argumentCount, char* arguments[], OutputSink& out);

// The program name for messages: the name as invoked, or "salesum" when the
// process was started without one.
const char* programNameOf(int argumentCount, char* const arguments[]);

// The usage text, and its first line alone ("<prog> v <version>").
void printUsage(OutputSink& out, const char* programName);
void printVersion(OutputSink& out, const char* programName);
