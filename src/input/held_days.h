// The days each report holds, per application, to tell when a later report
// holds days that an earlier one holds too: a daily report beside its week,
// a weekly report beside its month, a copy re-saved by a spreadsheet. Both
// are counted; the reader only says so.
//
// Days are local calendar days, counted from 1970-01-01. A record holds the
// days from its begin date to its end date; a record without a date, or
// with one that did not convert, or that ends before it begins, holds none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/types.h"

struct DayRange {
    std::int64_t first = 0;
    std::int64_t last = 0;  // inclusive
};

struct HeldDays {
    // The reports read in full before this one, by their index in paths.
    std::vector<std::string> paths;
    // Per application, the days earlier reports hold, as disjoint runs keyed
    // by their first day, each with the first report (in reading order) that
    // held them: that report is the one a later report is told of.
    struct Run {
        std::int64_t last = 0;
        std::size_t report = 0;
    };
    std::map<std::string, std::map<std::int64_t, Run>, std::less<>> earlier;
    // The report being read: per application, the distinct ranges (first
    // and last day) of its records.
    using Ranges = std::set<std::pair<std::int64_t, std::int64_t>>;
    std::map<std::string, Ranges, std::less<>> current;
};

// The days a record with these dates holds; false when it holds none.
bool dayRangeOf(DateValue beginDate, DateValue endDate, DayRange& range);

// Notes that the report being read holds the range for the application.
void noteHeldRange(HeldDays& held, std::string_view appName, DayRange range);

// A day that the report being read holds for an application, and that an
// earlier report holds too.
struct SharedDay {
    bool found = false;
    std::size_t report = 0;  // the earlier report, first in reading order
    std::string appName;     // the first such application in byte order
    std::int64_t day = 0;    // the first day it shares with that report
};

// Compares the report being read with the earlier ones.
SharedDay findSharedDay(const HeldDays& held);

// Adds the report being read to the earlier ones, under its path, and
// starts the next.
void keepHeldDays(HeldDays& held, const char* path);

// Forgets the report being read (it could not be read in full).
void dropHeldDays(HeldDays& held);

// The day as MM/DD/YYYY.
std::string formatHeldDay(std::int64_t day);
