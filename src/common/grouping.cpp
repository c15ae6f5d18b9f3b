#include "common/grouping.h"

#include <cstdio>
#include <utility>

#include "common/civil_calendar.h"

namespace {

struct KeyNames {
    GroupKey key;
    const char* name;
    const char* heading;
};

constexpr KeyNames kKeyNames[] = {
    {GroupKey::kApp, "app", "AppName"}, {GroupKey::kCountry, "country", "Country"},
    {GroupKey::kType, "type", "Type"},  {GroupKey::kDay, "day", "Day"},
    {GroupKey::kWeek, "week", "Week"},  {GroupKey::kMonth, "month", "Month"},
    {GroupKey::kYear, "year", "Year"},
};

const KeyNames& namesOf(GroupKey key) {
    return kKeyNames[static_cast<int>(key)];
}

}  // namespace

const char* groupKeyName(GroupKey key) {
    return namesOf(key).name;
}

const char* groupKeyHeading(GroupKey key) {
    return namesOf(key).heading;
}

bool parseGrouping(std::string_view text, Grouping& grouping) {
    Grouping parsed;
    std::size_t begin = 0;
    while (true) {
        std::size_t comma = text.find(',', begin);
        std::string_view name = text.substr(begin, comma - begin);
        const KeyNames* found = nullptr;
        for (const KeyNames& names : kKeyNames) {
            if (name == names.name) {
                found = &names;
            }
        }
        if (found == nullptr || groupsBy(parsed, found->key)) {
            return false;  // an unknown, empty or repeated key
        }
        parsed.push_back(found->key);
        if (comma == std::string_view::npos) {
            break;
        }
        begin = comma + 1;
    }
    grouping = std::move(parsed);
    return true;
}

std::string dateKeyText(GroupKey key, DateValue value) {
    if (value == 0 || value == kFailedDate) {
        return "none";
    }
    char text[48];
    if (key == GroupKey::kDay) {
        std::string day;
        formatIsoDate(value, day);
        return day;
    }
    if (key == GroupKey::kWeek) {
        IsoWeek week = isoWeekOf(localDayNumber(value));
        std::snprintf(text, sizeof text, "%04lld-W%02u", static_cast<long long>(week.year),
                      week.week);
        return text;
    }
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    localCivilDate(value, year, month, day);
    if (key == GroupKey::kMonth) {
        std::snprintf(text, sizeof text, "%04lld-%02u", static_cast<long long>(year), month);
    } else {
        std::snprintf(text, sizeof text, "%04lld", static_cast<long long>(year));
    }
    return text;
}
