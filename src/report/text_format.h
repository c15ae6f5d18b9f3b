// printf's field formats without printf: a few fields appended to a buffer,
// byte for byte what printf prints for the same format. Formatting millions
// of listing lines through printf costs more than reading the reports; these
// cost a fraction of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The most characters one of the functions below appends for a field
// narrower than this: the fixed notation of the largest double has 309
// integer digits, a sign, a point and the fraction.
constexpr std::size_t kMaxFormattedNumber = 330;

// "%-*s" (left: true) or "%*s" of a text (up to its first NUL, as printf
// stops there). Returns the end of what was appended.
char* appendText(char* out, std::string_view text, int width = 0, bool left = false);

// "%*d".
char* appendInteger(char* out, std::int32_t value, int width = 0);

// "%*.2f" with the C locale's decimal point: correctly rounded to two
// decimals, "inf", "nan" with their signs.
char* appendFixed2(char* out, double value, int width = 0);

// A plain decimal, never with an exponent, so that every spreadsheet reads
// it: the shortest such text that reads back as the same double (7, 0.7,
// 100000, 0.0001); "inf", "-inf", "nan" and "-nan" as "%.2f" prints them.
char* appendPlainDecimal(char* out, double value);
