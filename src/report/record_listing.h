// The listing of individual records in verbose mode, one line per record.
#pragma once

#include "common/types.h"

// Prints the record as one line: name, type, units, amounts, text, currency
// and the two dates as YYMMDD.
void printRecord(const SalesRecord& record);

// The same line for a record of a list.
void printPackedRecord(const RecordList& list, const PackedRecord& record);

// Prints every sale of the list, in list order, then every update.
void printSalesAndUpdates(const RecordList& records);
