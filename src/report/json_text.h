// JSON texts of single values (strings, numbers, dates), appended to a
// buffer that the JSON report writes out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/sales_record.h"

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
