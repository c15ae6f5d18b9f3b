// Reading the rate file: lines such as "EUR = 1.25" giving, per currency
// code, the factor that converts an amount in that currency into USD.
#pragma once

#include "common/diagnostics.h"
#include "common/types.h"

// Adds or overwrites one entry per line that yields a key and a value. There
// is no header and no comment syntax. A file that cannot be read in full is
// reported as a failure (the entries read before it stay); a value with text
// left over after its number is stored as read and warned about.
void readRateFile(const char* filePath, RateTable& rateTable, Diagnostics& diagnostics);
