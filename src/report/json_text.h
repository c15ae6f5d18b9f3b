// JSON texts of single values (strings, numbers, dates), appended to a
// buffer that the JSON report writes out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/sales_record.h"

// The length of the well-formed UTF-8 sequence of two to four bytes that
// text starts with, or 0 when its first byte starts none: an ASCII byte
// (callers take those first), a stray continuation byte, an overlong form, a
// surrogate, a code point past U+10FFFF or a cut-off sequence. Text must not
// be empty. The one rule of valid UTF-8 for the outputs: JSON strings pass
// such sequences through, and the tables measure names by them.
std::size_t utf8SequenceLength(std::string_view text);

// Appends the bytes as a JSON string. Valid UTF-8 passes through as it is;
// quotation mark, backslash and control characters are escaped; a byte that
// is not part of valid UTF-8 is written as \u00XX with its value, so that
// names in any encoding still give a valid document.
void appendJsonString(std::string& out, std::string_view text);

void appendJsonInteger(std::string& out, std::int64_t value);

// Appends the shortest number text that reads back as the same double, so
// that a reader can round it exactly as the tables do; a value that is not
// finite has no JSON number and is written as null.
void appendJsonReal(std::string& out, double value);

// Appends the local calendar date of the value as "YYYY-MM-DD", or null for a
// date that did not convert (-1).
void appendJsonDate(std::string& out, DateValue value);
