// Building report files and reading the program's tables in the
// hostile-input tests.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

inline const std::string kHeader = "Provider\tProvider Country\tVendor Identifier\tTitle / Episode / Season\n";

// One report line with the name, type, units, price and currency at their
// token positions; the other fields are single blanks, so none is empty.
std::string reportLine(const std::string& name, const std::string& type, const std::string& units,
                       const std::string& price, const std::string& currency = "USD");

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
