// Reading sales report files into records grouped by application.
#pragma once

#include <cstdint>
#include <memory>

#include "common/diagnostics.h"
#include "common/types.h"
#include "input/read_options.h"

// What reading keeps from report to report during one run: its lists, its
// read buffer, and memos that spare most lines their map look-ups. Private
// to the reader.
struct ReadingMemo;

struct ReadingMemoDeleter {
    void operator()(ReadingMemo* memo) const;
};

using ReadingMemoHandle = std::unique_ptr<ReadingMemo, ReadingMemoDeleter>;

// Starts the reading of one run's reports with these options. A memo serves
// one AppRecords (it points into it) while the time zone stays the same: it
// remembers the date texts it converted.
ReadingMemoHandle startReading(ReadOptions options);

// Reads the report at path and appends each record inside the options' date
// window to appRecords under its application name. The first piece of the
// file is the header and is skipped. A gzip-compressed report is read as
// its decompressed content. A report that cannot be read in full is
// reported as a failure; the records read before it stay.
void readSalesReport(const char* path, AppRecords& appRecords, ReadingMemo& memo,
                     Diagnostics& diagnostics);

// The record lines of every report read with the memo so far, those outside
// the date window included: the lines that yielded fields, each piece of a
// line cut by the piece limit counted as the record line it was read as.
std::int64_t recordLinesRead(const ReadingMemo& memo);
