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
#include <string>
#include <vector>

#include "common/types.h"

struct DayRange {
    std::int64_t first = 0;
    std::int64_t last = 0;  // inclusive
};

// What the reports read in full hold of one application: its days, as
// disjoint runs in the order of their days, each with the first report (in
// reading order) that held them, the one a later report is told of.
// Reports come mostly in the order of their days, so a new run mostly goes
// at the end.
struct AppDays {
    const std::string* name = nullptr;
    struct Run {
        std::int64_t first = 0;
        std::int64_t last = 0;
        std::size_t report = 0;
    };
    std::vector<Run> earlier;
};

struct HeldDays {
    // The paths of the reports read in full before this one, end to end,
    // and where each ends: one buffer, not a string per report.
    std::string pathTexts;
    std::vector<std::size_t> pathEnds;
    // The report being read: the ranges of its records, by application,
    // noted once per application and pair of date texts.
    struct Noted {
        AppDays* app = nullptr;
        DayRange range;
    };
    std::vector<Noted> current;
    std::size_t compactAt = 256;     // repeats are dropped when current grows to this
    std::vector<AppDays::Run> gaps;  // reused while a report is kept
};

// The days a record with these dates holds; false when it holds none.
bool dayRangeOf(DateValue beginDate, DateValue endDate, DayRange& range);

namespace held_days_detail {
void compactNoted(HeldDays& held);
}

// Notes that the report being read holds the range for the application.
inline void noteHeldRange(HeldDays& held, AppDays& app, DayRange range) {
    held.current.push_back({&app, range});
    if (held.current.size() >= held.compactAt) {
        held_days_detail::compactNoted(held);
    }
}

// A day that the report being read holds for an application, and that an
// earlier report holds too.
struct SharedDay {
    bool found = false;
    std::size_t report = 0;  // the earlier report, first in reading order
    std::string appName;     // the first such application in byte order
    std::int64_t day = 0;    // the first day it shares with that report
};

// Adds the report being read to the earlier ones, under its path, and
// starts the next. Returns the day it shares with an earlier report, if
// any: it is found in the same walk, as only the ranges that do not come
// after all of an application's earlier days can share one.
SharedDay keepHeldDays(HeldDays& held, const char* path);

// The path of an earlier report, by its index.
std::string heldPath(const HeldDays& held, std::size_t report);

// Forgets the report being read (it could not be read in full).
void dropHeldDays(HeldDays& held);

// The day as MM/DD/YYYY.
std::string formatHeldDay(std::int64_t day);
