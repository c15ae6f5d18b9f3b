// Reading the rate file: lines such as "EUR = 1.25" giving, per currency
// code, the factor that converts an amount in that currency into USD.
#pragma once

#include "common/diagnostics.h"
#include "common/types.h"

// Adds or overwrites one entry per line that gives a code and a usable rate.
//
// Lines end at LF (a CR right before it is dropped) and are numbered from 1,
// whatever their length. A line that is blank, or whose first non-blank is
// '#', says nothing. Every other line should be a code, '=' or a TAB, and a
// rate: the code is the text before the first '=' or TAB, after any TABs
// that begin the line, without its trailing spaces (leading spaces stay
// part of it); the rate is what follows, up to a '#' that begins a comment,
// without the blanks around it. A rate is usable when it is a finite number
// above 0 written whole (a full stop as its decimal point, nothing else left
// over). A usable rate replaces what an earlier line gave for its code; one
// that is not usable is warned about and leaves the table as it was. A line
// with no code (none, or blanks only) or no rate is warned about and
// skipped. A NUL ends a line's text.
//
// A file that cannot be read in full is reported as a failure (the entries
// read before it stay). A file read in full that gives no usable rate at all
// is warned about, since no USD totals will be printed.
void readRateFile(const char* filePath, RateTable& rateTable, Diagnostics& diagnostics);
