// Counting days in the proleptic Gregorian calendar, without the C
// library's time functions: they are local-time aware and, on Windows, stop
// after the year 3000. Past that point a local date is counted here and
// shifted by the zone's standard offset.
#pragma once

#include <cstdint>
#include <string>

#include "common/types.h"

// Days since 1970-01-01 of a civil date (month 1 to 12).
std::int64_t daysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day);

// The civil date of a count of days since 1970-01-01.
void civilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day);

// Seconds that local standard time lies behind UTC (west of UTC positive),
// as the runtime converts 3000-01-01, the last new year it converts on every
// platform. False when it does not convert that day.
bool standardTimeOffset(std::int64_t& seconds);

// The local calendar date of a time value (seconds since 1970 UTC): the
// runtime's local time where it converts the value, else (the Windows
// runtime stops after the year 3000 and before 1970, where the POSIX one
// goes on) the date counted here after shifting by the zone's standard
// offset, which gives the same day for a local midnight in standard time.
// The listings of -v and -j show this day.
void localCivilDate(std::int64_t value, std::int64_t& year, unsigned& month, unsigned& day);

// The local calendar day of a time value, as days since 1970-01-01.
std::int64_t localDayNumber(std::int64_t value);

// An ISO 8601 week: weeks run Monday to Sunday, week 1 holds its year's
// first Thursday, and the week's year is that of its Thursday.
struct IsoWeek {
    std::int64_t year = 0;
    unsigned week = 0;  // 1 to 53
};

// The ISO week of a day counted from 1970-01-01.
IsoWeek isoWeekOf(std::int64_t days);

// A date value's local day as YYMMDD, as the -v listing shows it; empty
// for a date that did not convert.
std::string formatShortDate(DateValue value);

// A date value's local day as YYYY-MM-DD (at least four digits of year),
// as the JSON listing shows it; false for a date that did not convert.
bool formatIsoDate(DateValue value, std::string& text);
