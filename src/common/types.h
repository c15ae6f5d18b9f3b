// Shared value types of a run: the records read from reports and the
// ordered containers the tables are built from.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/record_list.h"
#include "common/sales_record.h"

// All maps and sets order their keys as byte strings (std::string compares
// bytes as unsigned characters), so 'Zeta' sorts before 'alpha'.
//
// A row's key: its texts, one per key of the run's grouping (see
// grouping.h), in its order; without -g, the application's name alone.
// Rows sort key by key, each text by bytes.
using RowKey = std::vector<std::string>;
// The records of each row, kept in reading order, stored compactly (see
// record_list.h).
using AppRecords = std::map<RowKey, RecordList>;
using RateTable = std::map<std::string, double>;

// Per currency, in byte order: the currencies sold in, and their totals.
using CurrencySet = std::set<std::string>;
using CurrencyTotals = std::map<std::string, double>;
