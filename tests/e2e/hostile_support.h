// Reading the program's tables, and making inputs golden data cannot hold,
// in the hostile-input and JSON tests.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "support/report_lines.h"

std::vector<std::string> linesOf(const std::string& text);

// A summary row laid out as the table prints it: the name padded to the
// name column, then records, sales and updates right-aligned.
std::string summaryRow(const std::string& name, std::size_t nameWidth, long long records,
                       long long sales, long long updates);

// The rows of the summary table of a run without -v; fails the test when the
// output does not open with the count and that table.
std::vector<std::string> summaryRows(const std::string& out);

// Bytes of every value, the same for the same seed.
std::string randomBytes(std::size_t count, unsigned seed);

// Leaves a bound UNIX-domain socket file at path.
void makeSocket(const std::string& path);
