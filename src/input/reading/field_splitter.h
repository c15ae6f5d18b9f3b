// Splitting a report line into its TAB-separated fields in one pass.
#pragma once

#include <string_view>

#include "input/reading/byte_scan.h"
#include "input/reading/piece_reader.h"

// Splits the piece's text as repeated nextToken calls with the separators
// TAB and LF would, keeping the first maxTokens tokens in tokens, and returns
// their count. Leaves the piece's cursor where nextToken would. The scan
// width is the widest there is unless a test asks for another.
int splitTokens(Piece& piece, std::string_view* tokens, int maxTokens,
                ScanWidth width = widestScan());
