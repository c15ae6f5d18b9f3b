// What the rows of a report are keyed by: the application alone, as
// without -g, or the keys -g names, in its order. The reader keys each
// record by them; the printers show their names, headings and texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/sales_record.h"

enum class GroupKey : std::uint8_t { kApp, kCountry, kType, kDay, kWeek, kMonth, kYear };

// The keys of the rows, in the order of their labels' columns and of the
// sort. Never empty.
using Grouping = std::vector<GroupKey>;

// The grouping without -g: one row per application.
inline Grouping appGrouping() {
    return {GroupKey::kApp};
}

// True when the rows are the applications: every output is as without -g.
inline bool groupsByAppOnly(const Grouping& grouping) {
    return grouping.size() == 1 && grouping.front() == GroupKey::kApp;
}

inline bool groupsBy(const Grouping& grouping, GroupKey key) {
    for (GroupKey used : grouping) {
        if (used == key) {
            return true;
        }
    }
    return false;
}

// True for the keys taken from the begin date.
inline bool isDateKey(GroupKey key) {
    return key >= GroupKey::kDay;
}

// True when some key of the grouping is taken from the begin date.
inline bool groupsByDate(const Grouping& grouping) {
    for (GroupKey key : grouping) {
        if (isDateKey(key)) {
            return true;
        }
    }
    return false;
}

// The key's name on the command line and in JSON: "app", "country" ...
const char* groupKeyName(GroupKey key);

// The key's heading in the tables and the TSV header: "AppName", "Country" ...
const char* groupKeyHeading(GroupKey key);

// Reads -g's text: key names separated by commas, each at most once, no
// blank or empty name. False, leaving grouping as it was, for any other.
bool parseGrouping(std::string_view text, Grouping& grouping);

// A date key's text for a begin date's value, its local calendar day:
// YYYY-MM-DD, YYYY-Www (its ISO week), YYYY-MM or YYYY, the year of at
// least four digits; "none" for no date (0) or one that did not convert.
std::string dateKeyText(GroupKey key, DateValue value);
