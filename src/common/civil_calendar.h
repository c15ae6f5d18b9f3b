// Counting days in the proleptic Gregorian calendar, without the C
// library's time functions: they are local-time aware and, on Windows, stop
// after the year 3000. Past that point a local date is counted here and
// shifted by the zone's standard offset.
#pragma once

#include <cstdint>

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
