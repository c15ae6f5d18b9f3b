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
// bytes as unsigned characters), so 'Zeta' sorts before 'alpha'. Each
// application's records are kept in reading order, stored compactly (see
// record_list.h).
using AppRecords = std::map<std::string, RecordList>;
using RateTable = std::map<std::string, double>;

// CurrencyCell, the revenue of one application in one currency, is defined
// in record_list.h.
using RevenueGrid = std::map<std::string, std::map<std::string, CurrencyCell>>;
using CurrencySet = std::set<std::string>;
using CurrencyTotals = std::map<std::string, double>;
using UnitWidths = std::map<std::string, std::int32_t>;
using AmountWidths = std::map<std::string, std::int32_t>;
