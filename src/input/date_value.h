// Date texts of the command line and of report lines, turned into time values
// and back.
#pragma once

#include <string>
#include <string_view>

#include "common/types.h"

// Reads 'YYYYMMDD' or, when the text holds a '/', 'MM/DD/YYYY' by fixed
// character positions and returns 00:00 local standard time of that day.
// Characters past the positions are ignored; positions past the end of the
// text are absent. Out-of-range fields are normalised by the calendar (month
// 13 is January of the next year). A day before 1970 in UTC, or a failed
// conversion, gives -1: so does a day on which 00:00 standard time never
// happens (the zone moved its standard offset forward at midnight). Where it
// happens twice, the earlier instant is the value. The value depends only on
// the text and the zone, never on what was converted before.
DateValue parseDate(std::string_view text);

// True when the text holds a digit at every position parseDate reads: 0-7
// without a '/', and 0-1, 3-4 and 6-9 with one. What follows those positions
// is not looked at. Dates on the command line must pass this; dates inside
// reports are taken as they come.
bool isWellFormedDate(std::string_view text);

// The value's UTC calendar date as "YYMMDD". A negative value, or one past
// the end of the year 3000, gives the empty text.
std::string formatShortDate(DateValue value);

// parseDate remembers the days it has converted, since the local time zone
// does not change during a run. Code that changes the zone (tests) calls this
// afterwards.
void forgetConvertedDays();
