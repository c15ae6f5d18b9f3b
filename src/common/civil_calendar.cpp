#include "common/civil_calendar.h"

#include <cstdio>
#include <ctime>

// Both count in eras of 400 years (146,097 days), which repeat exactly, from
// a year that starts on 1 March so that the leap day ends it.

std::int64_t daysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
    year -= month <= 2 ? 1 : 0;
    std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    std::int64_t yearOfEra = year - era * 400;
    std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void civilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day) {
    days += 719468;
    std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}

bool standardTimeOffset(std::int64_t& seconds) {
    std::tm broken{};
    broken.tm_year = 3000 - 1900;
    broken.tm_mday = 1;
    broken.tm_isdst = 0;  // standard time, whatever the season
    std::time_t local = std::mktime(&broken);
    if (local == -1) {
        return false;
    }
    seconds = static_cast<std::int64_t>(local) - daysFromCivil(3000, 1, 1) * 86400;
    return true;
}

namespace {

bool localCalendarDay(std::time_t value, std::tm& broken) {
#ifdef _WIN32
    return localtime_s(&broken, &value) == 0;
#else
    return localtime_r(&value, &broken) != nullptr;
#endif
}

}  // namespace

void localCivilDate(std::int64_t value, std::int64_t& year, unsigned& month, unsigned& day) {
    std::tm broken{};
    if (localCalendarDay(static_cast<std::time_t>(value), broken)) {
        year = static_cast<std::int64_t>(broken.tm_year) + 1900;
        month = static_cast<unsigned>(broken.tm_mon) + 1;
        day = static_cast<unsigned>(broken.tm_mday);
        return;
    }
    static const std::int64_t offset = [] {
        std::int64_t seconds = 0;
        return standardTimeOffset(seconds) ? seconds : 0;
    }();
    std::int64_t local = 0;
    if (__builtin_sub_overflow(value, offset, &local)) {
        local = value;  // no date lies so far out
    }
    std::int64_t days = local / 86400 - (local % 86400 < 0 ? 1 : 0);
    civilFromDays(days, year, month, day);
}

std::int64_t localDayNumber(std::int64_t value) {
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    localCivilDate(value, year, month, day);
    return daysFromCivil(year, month, day);
}

IsoWeek isoWeekOf(std::int64_t days) {
    // 1970-01-01 was a Thursday: weekday 0 is Monday.
    const std::int64_t weekday = ((days + 3) % 7 + 7) % 7;
    const std::int64_t thursday = days - weekday + 3;
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    civilFromDays(thursday, year, month, day);
    const std::int64_t ordinal = thursday - daysFromCivil(year, 1, 1);  // from 0
    return {year, static_cast<unsigned>(ordinal / 7 + 1)};
}

std::string formatShortDate(DateValue value) {
    if (value == kFailedDate) {
        return {};
    }
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    localCivilDate(value, year, month, day);
    char text[16];
    std::snprintf(text, sizeof text, "%02u%02u%02u",
                  static_cast<unsigned>((year % 100 + 100) % 100), month, day);
    return text;
}

bool formatIsoDate(DateValue value, std::string& text) {
    if (value == kFailedDate) {
        return false;
    }
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    localCivilDate(value, year, month, day);
    char buffer[48];
    int length = std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02u",
                               static_cast<long long>(year), month, day);
    text.assign(buffer, static_cast<std::size_t>(length));
    return true;
}
