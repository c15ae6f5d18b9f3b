#include "input/date_value.h"

#include <cstdint>
#include <ctime>

#include "common/civil_calendar.h"
#include "common/hash_mixing.h"
#include "input/lenient_number.h"
#include "input/reading/text_words.h"

namespace {

// The characters [first, first + count) of text, clipped to its end.
std::string_view field(std::string_view text, std::size_t first, std::size_t count) {
    if (first >= text.size()) {
        return {};
    }
    return text.substr(first, count);
}

// Converts 00:00 standard time of the day as local time. The broken-down
// time comes back normalised to the instant found, as the local clock
// shows it.
std::time_t convertWithCalendar(int year, int month, int day, std::tm& broken) {
    broken = std::tm{};
    broken.tm_year = year - 1900;
    broken.tm_mon = month - 1;
    broken.tm_mday = day;
    broken.tm_isdst = 0;  // standard time, also on days under daylight saving
    return std::mktime(&broken);
}

// Days since 1970-01-01 of a date whose month and day may lie out of range:
// month 13 is January of the next year, day 0 the last day of the month
// before, as the calendar conversion normalises them.
std::int64_t daysOfDate(int year, int month, int day) {
    std::int64_t months = static_cast<std::int64_t>(year) * 12 + (month - 1);
    std::int64_t wholeYears = (months >= 0 ? months : months - 11) / 12;
    return daysFromCivil(wholeYears, months - wholeYears * 12 + 1, 1) + (day - 1);
}

// The Windows runtime's conversion gives up after the year 3000, where the
// POSIX one goes on. Past that point the day is counted here and shifted by
// the zone's standard offset, so that far-future dates compare alike on both
// platforms instead of turning into the -1 of days before 1970.
DateValue convertPastRange(int year, int month, int day) {
    std::int64_t offset = 0;
    if (!standardTimeOffset(offset)) {
        return kFailedDate;
    }
    DateValue value = daysOfDate(year, month, day) * 86400 + offset;
    return value < 0 ? kFailedDate : value;
}

// The zone's offset from UTC at an instant, with its daylight-saving flag, as
// a broken-down local time of that instant shows it.
struct ZoneOffset {
    std::int64_t seconds = 0;
    bool daylight = false;

    bool operator==(const ZoneOffset&) const = default;
};

ZoneOffset offsetShownBy(const std::tm& local, std::time_t instant) {
    std::int64_t clock =
        daysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) * 86400 +
        local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    return {clock - static_cast<std::int64_t>(instant), local.tm_isdst > 0};
}

// More days than any change of a zone's offset spans.
constexpr int kNeighbourDays = 2;

// Where a zone moved its standard offset back at midnight, 00:00 standard
// time of that day happens twice. The calendar conversion then returns the
// instant that fits the offset it found on its previous call, so the answer
// would depend on what was converted before. A second, earlier instant can
// exist only when the offset changed shortly before the one found: checking
// the offset two days earlier keeps this to one look-up on ordinary days.
bool offsetChangedBefore(std::time_t converted, const std::tm& shown) {
    std::time_t before = converted - kNeighbourDays * 86400;
    const std::tm* local = std::localtime(&before);
    return local == nullptr || offsetShownBy(*local, before) != offsetShownBy(shown, converted);
}

// Converts the day once right after each neighbouring day, so that each of
// its instants is found, and keeps the earlier.
DateValue earliestMidnight(int year, int month, int day) {
    DateValue earliest = kFailedDate;
    std::tm broken{};
    for (int side : {-kNeighbourDays, kNeighbourDays}) {
        convertWithCalendar(year, month, day + side, broken);
        std::time_t converted = convertWithCalendar(year, month, day, broken);
        if (converted >= 0 && (earliest == kFailedDate || converted < earliest)) {
            earliest = converted;
        }
    }
    return earliest;
}

DateValue convertLocalDay(int year, int month, int day) {
    std::tm shown{};
    std::time_t converted = convertWithCalendar(year, month, day, shown);
    if (converted == -1) {
        // A day past the year 3000 that the runtime no longer converts is
        // counted here; any other day that fails has no 00:00 standard time
        // (the zone moved its standard offset forward at midnight).
        bool pastYear3000 = daysOfDate(year, month, day) > daysFromCivil(3000, 12, 31);
        return pastYear3000 ? convertPastRange(year, month, day) : kFailedDate;
    }
    if (converted < 0) {
        return kFailedDate;
    }
    if (offsetChangedBefore(converted, shown)) {
        return earliestMidnight(year, month, day);
    }
    return static_cast<DateValue>(converted);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// True when a digit stands at each of the positions.
template <std::size_t kCount>
bool digitsAt(std::string_view text, const std::size_t (&positions)[kCount]) {
    for (std::size_t at : positions) {
        if (at >= text.size() || !isDigit(text[at])) {
            return false;
        }
    }
    return true;
}

// 'YYYY-MM-DD' with a digit at each of its digits' positions, and no '/'
// anywhere: a '/' chooses the slashed form, whatever else the text holds.
bool isIsoDate(std::string_view text, bool slashed) {
    constexpr std::size_t kIsoDigits[] = {0, 1, 2, 3, 5, 6, 8, 9};
    return !slashed && text.size() >= 10 && text[4] == '-' && text[7] == '-' &&
           digitsAt(text, kIsoDigits);
}

// Reads the text's fields by position and converts the day.
DateValue convertDateText(std::string_view text) {
    bool slashed = text.find('/') != std::string_view::npos;
    bool iso = isIsoDate(text, slashed);
    std::string_view year = slashed ? field(text, 6, 4) : field(text, 0, 4);
    std::string_view month = slashed ? field(text, 0, 2) : field(text, iso ? 5 : 4, 2);
    std::string_view day = slashed ? field(text, 3, 2) : field(text, iso ? 8 : 6, 2);
    return convertLocalDay(lenientInteger(year), lenientInteger(month), lenientInteger(day));
}

std::size_t slotIndexOf(const TextWords& words, std::size_t length) {
    std::uint64_t hash = (words.head ^ (words.tail * kHashMultiplier) ^ length) * kHashMultiplier;
    return static_cast<std::size_t>(hash >> 54) % DateMemo::kSlotCount;
}

}  // namespace

DateValue parseDate(std::string_view text) {
    return convertDateText(text);
}

DateValue parseDate(std::string_view text, DateMemo& memo) {
    if (text.empty() || text.size() > DateMemo::kLongestText) {
        return convertDateText(text);  // no report date looks like this
    }
    TextWords words = textWords(text);
    DateMemo::Slot& slot = memo.slots[slotIndexOf(words, text.size())];
    if (slot.length != text.size() || slot.words.head != words.head ||
        slot.words.tail != words.tail) {
        slot = {words, text.size(), convertDateText(text)};
    }
    return slot.value;
}

bool isWellFormedDate(std::string_view text) {
    bool slashed = text.find('/') != std::string_view::npos;
    // The positions each form reads its digits from.
    constexpr std::size_t kSlashedDigits[] = {0, 1, 3, 4, 6, 7, 8, 9};
    constexpr std::size_t kPlainDigits[] = {0, 1, 2, 3, 4, 5, 6, 7};
    return slashed ? digitsAt(text, kSlashedDigits)
                   : isIsoDate(text, slashed) || digitsAt(text, kPlainDigits);
}
