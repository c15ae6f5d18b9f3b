#include "input/held_days.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "common/civil_calendar.h"
#include "common/sales_record.h"

namespace {

// No date (an empty field, a missing token) or one that did not convert.
bool isDated(DateValue value) {
    return value != 0 && value != kFailedDate;
}

using Runs = std::vector<AppDays::Run>;

// The first of the disjoint runs that may share a day with the days from
// first on.
Runs::const_iterator firstRunFrom(const Runs& runs, std::int64_t first) {
    if (runs.empty() || runs.back().last < first) {
        return runs.end();  // the usual case: reports come in the order of their days
    }
    auto at =
        std::upper_bound(runs.begin(), runs.end(), first,
                         [](std::int64_t day, const AppDays::Run& run) { return day < run.first; });
    if (at != runs.begin() && std::prev(at)->last >= first) {
        return std::prev(at);
    }
    return at;
}

// Drops the ranges noted twice for an application.
void dropRepeats(std::vector<HeldDays::Noted>& noted) {
    auto key = [](const HeldDays::Noted& n) {
        return std::tuple(n.app, n.range.first, n.range.last);
    };
    std::sort(noted.begin(), noted.end(),
              [&](const HeldDays::Noted& a, const HeldDays::Noted& b) { return key(a) < key(b); });
    noted.erase(std::unique(noted.begin(), noted.end(),
                            [&](const HeldDays::Noted& a, const HeldDays::Noted& b) {
                                return key(a) == key(b);
                            }),
                noted.end());
}

}  // namespace

bool dayRangeOf(DateValue beginDate, DateValue endDate, DayRange& range) {
    if (!isDated(beginDate) || !isDated(endDate)) {
        return false;
    }
    // A daily report's records begin and end on one date, worked out once.
    range.first = localDayNumber(beginDate);
    range.last = endDate == beginDate ? range.first : localDayNumber(endDate);
    return range.first <= range.last;
}

void held_days_detail::compactNoted(HeldDays& held) {
    // A report whose lines alternate between periods notes them again and
    // again.
    dropRepeats(held.current);
    held.compactAt = std::max<std::size_t>(256, 2 * held.current.size());
}

namespace {

// Compares a range of the report being read with the runs of the earlier
// reports, the report's own runs left out, and keeps the first shared day:
// of the first report, then of the first application in byte order, then
// the first day.
void compareWithEarlier(const HeldDays::Noted& noted, std::size_t current, SharedDay& shared,
                        const std::string*& sharedName) {
    const Runs& runs = noted.app->earlier;
    for (auto run = firstRunFrom(runs, noted.range.first);
         run != runs.end() && run->first <= noted.range.last; ++run) {
        const std::size_t report = run->report;
        if (report == current) {
            continue;  // days another range of this report holds
        }
        const std::int64_t day = std::max(noted.range.first, run->first);
        const std::string& name = *noted.app->name;
        bool better = !shared.found || report < shared.report ||
                      (report == shared.report &&
                       (name < *sharedName || (&name == sharedName && day < shared.day)));
        if (better) {
            shared.found = true;
            shared.report = report;
            shared.day = day;
            sharedName = &name;
        }
    }
}

// Gives the report the days of the range that no report before it holds.
void keepRange(HeldDays& held, const HeldDays::Noted& noted, std::size_t report) {
    Runs& runs = noted.app->earlier;
    const auto [first, last] = noted.range;
    held.gaps.clear();
    std::int64_t from = first;
    auto run = firstRunFrom(runs, first);
    const auto place = run - runs.cbegin();
    for (; run != runs.end() && run->first <= last && from <= last; ++run) {
        if (run->first > from) {
            held.gaps.push_back({from, run->first - 1, report});
        }
        from = std::max(from, run->last + 1);
    }
    if (from <= last) {
        held.gaps.push_back({from, last, report});
    }
    // The gaps lie among the runs from place on, in order, and before
    // every run that begins after the range.
    for (const AppDays::Run& gap : held.gaps) {
        auto at =
            std::upper_bound(runs.begin() + place, runs.end(), gap.first,
                             [](std::int64_t day, const AppDays::Run& r) { return day < r.first; });
        runs.insert(at, gap);
    }
}

}  // namespace

SharedDay keepHeldDays(HeldDays& held, const char* path) {
    SharedDay shared;
    if (held.current.empty()) {
        return shared;  // no report is told of one that holds no days
    }
    const std::size_t report = held.pathEnds.size();
    held.pathTexts.append(path);
    held.pathEnds.push_back(held.pathTexts.size());
    const std::string* sharedName = nullptr;
    for (const HeldDays::Noted& noted : held.current) {
        Runs& runs = noted.app->earlier;
        if (runs.empty() || runs.back().last < noted.range.first) {
            // The usual case: days after all the earlier reports' days.
            runs.push_back({noted.range.first, noted.range.last, report});
            continue;
        }
        compareWithEarlier(noted, report, shared, sharedName);
        keepRange(held, noted, report);
    }
    if (shared.found) {
        shared.appName = *sharedName;
    }
    dropHeldDays(held);
    return shared;
}

std::string heldPath(const HeldDays& held, std::size_t report) {
    const std::size_t begin = report == 0 ? 0 : held.pathEnds[report - 1];
    return held.pathTexts.substr(begin, held.pathEnds[report] - begin);
}

void dropHeldDays(HeldDays& held) {
    held.current.clear();
    held.compactAt = 256;
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
