// Reading the rate file: lines such as "EUR = 1.25" giving, per currency
// code, the factor that converts an amount in that currency into USD.
#pragma once

#include "common/types.h"

// Adds or overwrites one entry per line that yields a key and a value. There
// is no header and no comment syntax. A file that cannot be opened adds
// nothing.
void readRateFile(const char* filePath, RateTable& rateTable);
