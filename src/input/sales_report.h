// Reading sales report files into records grouped by application.
#pragma once

#include <string_view>

#include "common/piece_reader.h"
#include "common/types.h"

// Converts the tokens of one record line into a record. Returns false when
// the line holds no token at all. Fields whose tokens are missing keep their
// starting values (empty texts, zero numbers and dates).
bool parseSalesRecord(Piece& piece, SalesRecord& record);

// Reads the named report (relative to the current directory) and appends each
// record inside the run's date window to appRecords under its application
// name. The first piece of the file is the header and is skipped. A file that
// cannot be opened adds nothing.
void readSalesReport(const char* fileName, AppRecords& appRecords);
