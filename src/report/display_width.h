// How many columns of a terminal a name takes, so that the tables line up
// names of any script: one column for most characters, two for East Asian
// wide and fullwidth ones, none for combining marks, from the Unicode width
// table compiled in (see tools/generate_width_table.cpp). A byte that is not
// part of valid UTF-8 takes one column, and so does a control character: a
// name never measures shorter than what it shows. For ASCII text the width
// is its length.
#pragma once

#include <cstddef>
#include <string_view>

#include "common/output.h"

// 0, 1 or 2 columns.
int characterWidth(char32_t codePoint);

std::size_t displayWidth(std::string_view text);

// printf's "%-*s" with the width in columns: the text up to its first NUL
// (as printf stops there), then spaces until it takes width columns.
void writeLeftAligned(OutputSink& out, std::string_view text, int width);
