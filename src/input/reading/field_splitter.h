// Splitting a report line into its TAB-separated fields in one pass.
#pragma once

#include <string_view>

#include "input/reading/piece_reader.h"
#include "input/reading/scan_kernels.h"

// Splits the piece's text as repeated nextToken calls with the separators
// TAB and LF would, keeping the first maxTokens tokens in tokens, and returns
// their count. Leaves the piece's cursor where nextToken would. A piece left
// in the block is split at the separators its line scan found; a copied one
// is scanned with the given kernels, or else the run's, which are looked up
// only then: most lines are split without them.
int splitTokens(Piece& piece, std::string_view* tokens, int maxTokens,
                const ScanKernels* kernels = nullptr);
