// The one pass of the program: command line, rate file, reports, tables.
#pragma once

#include "common/output.h"

// Runs the tool, writing the report to out, and returns its exit status: 0
// after a normal run (warnings included, unless --strict was given) and
// after the usage text or the version; 1 when an option, a date or the date
// window was bad, an input could not be read, or --strict was given and a
// warning printed; -1 when no file pattern is given.
int runSalesum(int argumentCount, char* arguments[], OutputSink& out);

// The program name for messages: the name as invoked, or "salesum" when the
// process was started without one.
const char* programNameOf(int argumentCount, char* const arguments[]);
