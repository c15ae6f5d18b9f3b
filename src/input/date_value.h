// Date texts of the command line and of report lines, turned into time
// values.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "common/types.h"
#include "input/reading/text_words.h"

// Reads 'YYYYMMDD' or, when the text holds a '/', 'MM/DD/YYYY' by fixed
// character positions and returns 00:00 local standard time of that day.
// A text without a '/' whose first ten characters are 'YYYY-MM-DD', digits
// where it has digits, is read in that form. Characters past the positions
// are ignored; positions past the end of the text are absent. Out-of-range fields are normalised by
// the calendar (month 13 is January of the next year). A day before 1970 in UTC, or a failed
// conversion, gives -1: so does a day on which 00:00 standard time never
// happens (the zone moved its standard offset forward at midnight). Where it
// happens twice, the earlier instant is the value. The value depends only on
// the text and the zone, never on what was converted before.
DateValue parseDate(std::string_view text);

// True when the text holds a digit at every position parseDate reads: 0-7
// without a '/', 0-1, 3-4 and 6-9 with one, and 0-3, 5-6 and 8-9 in the form
// 'YYYY-MM-DD'. What follows those positions
// is not looked at. Dates on the command line must pass this; dates inside
// reports are taken as they come.
bool isWellFormedDate(std::string_view text);

// Reports repeat the same few date texts, and the calendar conversion is
// slow, so the reading of a run remembers converted texts in a small
// direct-mapped table. A value depends only on its text and the zone, so
// the table never changes an answer; a memo serves one zone.
struct DateMemo {
    static constexpr std::size_t kSlotCount = 1024;
    static constexpr std::size_t kLongestText = 16;  // longer texts are not remembered
    struct Slot {
        TextWords words;         // with the length, they tell the text from any other
        std::size_t length = 0;  // 0: the slot is empty
        DateValue value = 0;
    };
    std::array<Slot, kSlotCount> slots;
};

// parseDate, remembering the texts converted in the memo.
DateValue parseDate(std::string_view text, DateMemo& memo);
