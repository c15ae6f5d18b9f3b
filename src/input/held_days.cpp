#include "input/held_days.h"

#include <algorithm>
#include <cstdio>

#include "common/civil_calendar.h"
#include "common/sales_record.h"

namespace {

// No date (an empty field, a missing token) or one that did not convert.
bool isDated(DateValue value) {
    return value != 0 && value != kFailedDate;
}

std::int64_t localDayOf(DateValue value) {
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    localCivilDate(value, year, month, day);
    return daysFromCivil(year, month, day);
}

using Runs = std::map<std::int64_t, HeldDays::Run>;

// The first of the disjoint runs that may share a day with the days from
// first on.
Runs::const_iterator firstRunFrom(const Runs& runs, std::int64_t first) {
    auto at = runs.upper_bound(first);
    if (at != runs.begin() && std::prev(at)->second.last >= first) {
        return std::prev(at);
    }
    return at;
}

}  // namespace

bool dayRangeOf(DateValue beginDate, DateValue endDate, DayRange& range) {
    if (!isDated(beginDate) || !isDated(endDate)) {
        return false;
    }
    range = {localDayOf(beginDate), localDayOf(endDate)};
    return range.first <= range.last;
}

void noteHeldRange(HeldDays& held, std::string_view appName, DayRange range) {
    auto app = held.current.find(appName);
    if (app == held.current.end()) {
        app = held.current.emplace(std::string(appName), HeldDays::Ranges()).first;
    }
    app->second.emplace(range.first, range.last);
}

SharedDay findSharedDay(const HeldDays& held) {
    SharedDay shared;
    for (const auto& [appName, ranges] : held.current) {
        auto runs = held.earlier.find(appName);
        if (runs == held.earlier.end()) {
            continue;
        }
        bool found = false;
        std::size_t report = 0;
        std::int64_t day = 0;
        for (const auto& [rangeFirst, rangeLast] : ranges) {
            for (auto run = firstRunFrom(runs->second, rangeFirst);
                 run != runs->second.end() && run->first <= rangeLast; ++run) {
                std::int64_t first = std::max(rangeFirst, run->first);
                if (!found || run->second.report < report ||
                    (run->second.report == report && first < day)) {
                    found = true;
                    report = run->second.report;
                    day = first;
                }
            }
        }
        // Applications come in byte order: a later one wins only with an
        // earlier report.
        if (found && (!shared.found || report < shared.report)) {
            shared = {true, report, appName, day};
        }
    }
    return shared;
}

void keepHeldDays(HeldDays& held, const char* path) {
    if (held.current.empty()) {
        return;  // no report is told of one that holds no days
    }
    const std::size_t report = held.paths.size();
    held.paths.emplace_back(path);
    for (auto& [appName, ranges] : held.current) {
        Runs& runs = held.earlier[appName];
        for (const auto& [first, last] : ranges) {
            // The days no earlier report holds become this report's.
            std::vector<DayRange> gaps;
            std::int64_t from = first;
            for (auto run = firstRunFrom(runs, first);
                 run != runs.end() && run->first <= last && from <= last; ++run) {
                if (run->first > from) {
                    gaps.push_back({from, run->first - 1});
                }
                from = std::max(from, run->second.last + 1);
            }
            if (from <= last) {
                gaps.push_back({from, last});
            }
            for (const DayRange& gap : gaps) {
                runs.emplace(gap.first, HeldDays::Run{gap.last, report});
            }
        }
    }
    held.current.clear();
}

void dropHeldDays(HeldDays& held) {
    held.current.clear();
}

std::string formatHeldDay(std::int64_t day) {
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned dayOfMonth = 0;
    civilFromDays(day, year, month, dayOfMonth);
    char text[32];
    std::snprintf(text, sizeof text, "%02u/%02u/%04lld", month, dayOfMonth,
                  static_cast<long long>(year));
    return text;
}
