// Date texts to time values and back, in zones at, east of and west of UTC.
//
// Expected values were derived outside the program with python3:
// calendar.timegm((y, m, d, 0, 0, 0)) for UTC midnight, minus the zone's
// standard offset (Tokyo +9 h, New York -5 h, checked with zoneinfo).
#include "input/date_value.h"
#include "common/civil_calendar.h"
#include "common/grouping.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <utility>

#include "unit_support.h"

namespace {

// Zone rules spelled out, so that no zone database needs to be installed.
constexpr const char* kUtc = "UTC0";
constexpr const char* kTokyo = "JST-9";                     // Asia/Tokyo
constexpr const char* kNewYork = "EST5EDT,M3.2.0,M11.1.0";  // America/New_York

// The day as a 'YYYYMMDD' text.
std::string textOf(std::chrono::sys_days day) {
    const std::chrono::year_month_day date{day};
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02u%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

class DateValueTest : public ::testing::Test {
protected:
    static void useTimeZone(const char* zone) { ScopedTimeZone::use(zone); }
    ScopedTimeZone restoredAtEnd{kUtc};
};

TEST_F(DateValueTest, ParsesBothFormsAsLocalStandardMidnight) {
    const struct {
        const char* zone;
        std::string text;
        DateValue expected;
    } cases[] = {
        // clang-format off
        {kUtc, "20081101", 1225497600}, {kUtc, "11/01/2008", 1225497600},
        {kUtc, "20081101junk", 1225497600}, {kUtc, "11/01/2008 10:00", 1225497600},
        {kUtc, "2008-11-01", 1225497600}, {kUtc, "2008-11-01T10:00", 1225497600},
        {kUtc, "2008-13-01", 1230768000},  // month 13 carries over as in the other forms
        // Dashes elsewhere are read as before: '2008-1-01' is month '-1' and
        // day '-0' of 2008, 2007-10-31; '2008-11-0x' month '-1', day '1-'.
        {kUtc, "2008-1-01", 1193788800}, {kUtc, "2008-11-0x", 1193875200},
        {kUtc, "20081301", 1230768000},  // month 13: 2009-01-01
        {kUtc, "20080230", 1204329600},  // 30 February of a leap year: 2008-03-01
        {kUtc, "19700101", 0}, {kUtc, "22260101", 8078572800},  // the same day 256 years on
        {kUtc, "19700102", 86400}, {kUtc, "19691231", -1},
        {kUtc, "abcdefgh", -1},           // year 0 lies before 1970
        {kUtc, "30010101", 32535216000},  // past the year 3000: the true value
        // Missing positions are absent and convert to 0.
        {kUtc, "2008", 1196380800},    // month 0, day 0 of 2008: 2007-11-30
        {kUtc, "200811", 1225411200},  // day 0 of November 2008: 2008-10-31
        {kUtc, "1970010", -1},         // day 0 of January 1970: 1969-12-31
        {kUtc, "11/01", -1}, {kUtc, "", -1},
        {kTokyo, "20081101", 1225465200}, {kTokyo, "11/01/2008", 1225465200},  // 10-31 15:00 UTC
        {kTokyo, "2008-11-01", 1225465200},
        {kTokyo, "19700102", 54000}, {kTokyo, "19700101", -1},  // 1969-12-31 15:00 UTC
        {kNewYork, "20080701", 1214888400},  // 05:00 UTC: 01:00 by the summer clock
        {kNewYork, "07/01/2008", 1214888400}, {kNewYork, "2008-07-01", 1214888400},
        {kNewYork, "20081201", 1228107600}, {kNewYork, "19700101", 18000},
        {kUtc, "20080701", 1214870400}  // the zone change is seen again
        // clang-format on
    };
    const char* zone = nullptr;
    for (const auto& c : cases) {
        if (c.zone != zone) {  // remembered days carry over between cases of one zone
            zone = c.zone;
            useTimeZone(zone);
        }
        EXPECT_EQ(parseDate(c.text), c.expected) << c.zone << " '" << c.text << "'";
    }
}

// The listing shows the local day, as the JSON listing does: in UTC, Tokyo
// and New York (by hand, checked with python3's zoneinfo).
TEST_F(DateValueTest, FormatsTheLocalDate) {
    const struct {
        DateValue value;
        const char* utc;
        const char* tokyo;
        const char* newYork;
    } cases[] = {
        // clang-format off
        {0, "700101", "700101", "691231"},
        {1225497600, "081101", "081101", "081031"},  // 2008-11-01 00:00 UTC
        {1225465200, "081031", "081101", "081031"},  // Tokyo's 2008-11-01
        {1214888400, "080701", "080701", "080701"},  // New York's 2008-07-01
        {951782400, "000229", "000229", "000228"},
        {4107542399, "000228", "000301", "000228"},  // 2100 is no leap year
        {32535215999, "001231", "010101", "001231"},  // past the year 3000 too
        {32535216000, "010101", "010101", "001231"},
        {-32400, "691231", "700101", "691231"},       // Tokyo's 1970-01-01
        {-1, "", "", ""},                             // a date that did not convert
        // clang-format on
    };
    for (const auto& c : cases) {
        for (const auto& [zone, expected] :
             {std::pair{kUtc, c.utc}, std::pair{kTokyo, c.tokyo}, std::pair{kNewYork, c.newYork}}) {
            useTimeZone(zone);
            EXPECT_EQ(formatShortDate(c.value), expected) << zone << " " << c.value;
        }
    }
    // Values no date gives still format without overflow.
    for (DateValue extreme :
         {std::numeric_limits<DateValue>::max(), std::numeric_limits<DateValue>::min()}) {
        EXPECT_EQ(formatShortDate(extreme).size(), 6u) << extreme;
    }
}

// ISO weeks at the edges of years. Expected values from python3's
// datetime.date.isocalendar(); days counted from 1970-01-01.
TEST(CivilCalendar, IsoWeekOfADay) {
    const struct {
        std::int64_t days;
        std::int64_t year;
        unsigned week;
    } cases[] = {
        // clang-format off
        {14242, 2009, 1},     // 2008-12-29, a Monday: its Thursday is in 2009
        {14612, 2009, 53},    // 2010-01-03, a Sunday
        {14613, 2010, 1},     // 2010-01-04
        {12783, 2004, 53},    // 2004-12-31
        {12785, 2004, 53},    // 2005-01-02
        {18627, 2020, 53},    // 2020-12-31
        {18631, 2021, 1},     // 2021-01-04
        {0, 1970, 1},         // 1970-01-01, a Thursday
        {-3, 1970, 1},        // 1969-12-29
        {20796, 2026, 50},    // 2026-12-09
        {-135140, 1599, 52},  // 1600-01-01, before 1970
        {157419, 2400, 52},   // 2400-12-31
        // clang-format on
    };
    for (const auto& c : cases) {
        IsoWeek week = isoWeekOf(c.days);
        EXPECT_EQ(week.year, c.year) << c.days;
        EXPECT_EQ(week.week, c.week) << c.days;
    }
}

// The texts of -g's date keys: the local day of a date as the reader
// converts it, in a zone west of UTC, one east and one with daylight
// saving (whose summer midnight in standard time is 01:00 on the clock).
// Weeks from python3's datetime.date.isocalendar().
TEST_F(DateValueTest, DateKeyTextsAreTheLocalDaysPeriods) {
    const struct {
        const char* text;
        const char* day;
        const char* week;
        const char* month;
        const char* year;
    } cases[] = {
        // clang-format off
        {"12/28/2008", "2008-12-28", "2008-W52", "2008-12", "2008"},  // a Sunday
        {"12/29/2008", "2008-12-29", "2009-W01", "2008-12", "2008"},  // a Monday
        {"20100103", "2010-01-03", "2009-W53", "2010-01", "2010"},
        {"2010-01-04", "2010-01-04", "2010-W01", "2010-01", "2010"},
        {"03/29/2026", "2026-03-29", "2026-W13", "2026-03", "2026"},  // clocks go forward in Berlin
        {"07/01/2026", "2026-07-01", "2026-W27", "2026-07", "2026"},
        // clang-format on
    };
    for (const char* zone : {"PST8PDT,M3.2.0,M11.1.0", "JST-9", "CET-1CEST,M3.5.0,M10.5.0/3"}) {
        useTimeZone(zone);
        for (const auto& c : cases) {
            const DateValue value = parseDate(c.text);
            EXPECT_EQ(dateKeyText(GroupKey::kDay, value), c.day) << zone << " " << c.text;
            EXPECT_EQ(dateKeyText(GroupKey::kWeek, value), c.week) << zone << " " << c.text;
            EXPECT_EQ(dateKeyText(GroupKey::kMonth, value), c.month) << zone << " " << c.text;
            EXPECT_EQ(dateKeyText(GroupKey::kYear, value), c.year) << zone << " " << c.text;
        }
        // No date, and one that did not convert, have no period.
        for (GroupKey key : {GroupKey::kDay, GroupKey::kWeek, GroupKey::kMonth, GroupKey::kYear}) {
            EXPECT_EQ(dateKeyText(key, 0), "none") << zone;
            EXPECT_EQ(dateKeyText(key, kFailedDate), "none") << zone;
        }
    }
    // A year past 9999 keeps all its digits: 10000-01-01 00:00 UTC, a
    // Saturday, whose Thursday is 9999-12-30.
    useTimeZone(kUtc);
    const DateValue farOut = 253402300800;
    EXPECT_EQ(dateKeyText(GroupKey::kDay, farOut), "10000-01-01");
    EXPECT_EQ(dateKeyText(GroupKey::kWeek, farOut), "9999-W52");
    EXPECT_EQ(dateKeyText(GroupKey::kMonth, farOut), "10000-01");
    EXPECT_EQ(dateKeyText(GroupKey::kYear, farOut), "10000");
}

// -g's keys in their order; a bad list leaves the keys as they were, with
// none of those read before its bad name.
TEST(Grouping, ParsesKeysInOrderAndLeavesThemOnABadList) {
    const struct {
        const char* text;
        bool good;
        Grouping keys;
    } cases[] = {
        {"app", true, {GroupKey::kApp}},
        {"year,type,country", true, {GroupKey::kYear, GroupKey::kType, GroupKey::kCountry}},
        {"day,week,month,app",
         true,
         {GroupKey::kDay, GroupKey::kWeek, GroupKey::kMonth, GroupKey::kApp}},
        {"country,x", false, {GroupKey::kWeek}},
        {"type,month,type", false, {GroupKey::kWeek}},
        {"month,", false, {GroupKey::kWeek}},
    };
    for (const auto& c : cases) {
        Grouping grouping{GroupKey::kWeek};
        EXPECT_EQ(parseGrouping(c.text, grouping), c.good) << c.text;
        EXPECT_EQ(grouping, c.keys) << c.text;
    }
}

// Days on which a zone moved its standard offset at midnight, from the zone
// database. Expected values were derived with python3's zoneinfo: the
// instants at which the standard-time clock (utcoffset() - dst()) reads 00:00
// on that day. None gives -1; of two, the earlier is the value. Pacific/Apia
// skipped 2011-12-30 under daylight saving, which the calendar conversion
// reads with the offset of either side: 00:00 at +14 is 2011-12-29 10:00 UTC,
// at -10 a day later; the earlier again. Each day is converted right after
// days on both sides of it and far from it, as a report's earlier lines
// would leave the conversion.
TEST_F(DateValueTest, ShiftedMidnightsDependOnlyOnTheDay) {
    const struct {
        const char* zone;
        std::string text;
        DateValue expected;
    } cases[] = {
        // clang-format off
        {"Asia/Kathmandu", "19860101", -1},  // +05:30 to +05:45
        {"Asia/Kathmandu", "19851231", 504815400},  // 1985-12-30 18:30 UTC
        {"Australia/Lord_Howe", "19810301", -1}, {"Pacific/Kiritimati", "19941231", -1},
        {"Antarctica/Casey", "20161022", -1},
        {"Europe/Lisbon", "19760926", 212540400},  // 1976-09-25 23:00 UTC, not 09-26 00:00
        {"America/Guyana", "19920329", 701838000},  // 03:00 UTC, not 04:00
        {"Pacific/Apia", "20111230", 1325152800},
        {"Antarctica/Vostok", "20231218", 1702832400}  // 2023-12-17 17:00 UTC, not 19:00
        // clang-format on
    };
    const char* zoneDirectory =
        std::getenv("TZDIR") != nullptr ? std::getenv("TZDIR") : "/usr/share/zoneinfo";
    for (const auto& c : cases) {
        if (!std::filesystem::exists(std::filesystem::path(zoneDirectory) / c.zone)) {
            GTEST_SKIP() << "no zone data for " << c.zone << " in " << zoneDirectory;
        }
    }
    using namespace std::chrono;
    for (const auto& c : cases) {
        useTimeZone(c.zone);
        const sys_days day =
            sys_days{year{std::stoi(c.text.substr(0, 4))} / std::stoi(c.text.substr(4, 2)) /
                     std::stoi(c.text.substr(6, 2))};
        for (int shift : {-2, -1, 1, 2, -3000, 3000}) {
            const std::string previous = textOf(day + days{shift});
            parseDate(previous);
            EXPECT_EQ(parseDate(c.text), c.expected)
                << c.zone << " '" << c.text << "' after '" << previous << "'";
        }
    }
    // A report's records in this order: the summer day of 2015 takes the
    // remembered slot of 1976-09-26, which is then converted anew.
    useTimeZone("Europe/Lisbon");
    DateMemo memo;
    for (const char* text : {"19700102", "19760926", "20150720", "19700102", "19760926"}) {
        const DateValue value = parseDate(text, memo);
        if (std::string(text) == "19760926") {
            EXPECT_EQ(value, 212540400);
        }
    }
}

// Every day from 1970 to 2100, walked forwards and then backwards, so that
// remembered days are both reused and evicted.
TEST_F(DateValueTest, RememberedDaysKeepTheirValues) {
    using namespace std::chrono;
    useTimeZone(kUtc);
    const sys_days first = sys_days{year{1970} / January / 1};
    const sys_days last = sys_days{year{2100} / December / 31};
    DateMemo memo;
    auto check = [&memo](sys_days day) {
        const DateValue expected = std::int64_t{day.time_since_epoch().count()} * 86400;
        return parseDate(textOf(day), memo) == expected;
    };
    int wrong = 0;
    for (sys_days day = first; day <= last; day += days{1}) {
        wrong += check(day) ? 0 : 1;
    }
    for (sys_days day = last; day >= first; day -= days{1}) {
        wrong += check(day) ? 0 : 1;
    }
    EXPECT_EQ(wrong, 0);
}

}  // namespace
