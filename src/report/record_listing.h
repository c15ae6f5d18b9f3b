// The listing of individual records, one line per record: name, type,
// units, amounts, country code, currency and the two dates as YYMMDD.
#pragma once

#include "common/output.h"
#include "common/types.h"

// Prints one record as it is read, for -v -v.
void printRecord(OutputSink& out, const RecordList& list, const PackedRecord& record);

// Prints every sale of the list, in list order, then every update: the
// listing of -v.
void printSalesAndUpdates(OutputSink& out, const RecordList& records);
