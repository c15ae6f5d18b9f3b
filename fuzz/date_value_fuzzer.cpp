// parseDate on arbitrary texts and formatShortDate on arbitrary values, in UTC,
// in a zone east of UTC and in one with daylight saving. A well-formed date of
// 1970..3000 must come back as midnight standard time of its own day.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "common/civil_calendar.h"
#include "common/sales_record.h"
#include "fuzz_support.h"
#include "input/date_value.h"

namespace {

void useZone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
}

// Only a date that did not convert shows nothing; any other value shows its
// local day.
void checkShortDate(DateValue value) {
    std::string text = formatShortDate(value);
    if (value == kFailedDate) {
        FUZZ_CHECK(text.empty());
        return;
    }
    FUZZ_CHECK(text.size() == 6);
    FUZZ_CHECK(text.find_first_not_of("0123456789") == std::string::npos);
}

// The YYMMDD of a plain YYYYMMDD text that names a real day in 1970..3000,
// or the empty text.
std::string wellFormedDay(const std::string& text) {
    if (text.size() != 8 || text.find_first_not_of("0123456789") != std::string::npos) {
        return {};
    }
    int year = std::atoi(text.substr(0, 4).c_str());
    int month = std::atoi(text.substr(4, 2).c_str());
    int day = std::atoi(text.substr(6, 2).c_str());
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1970 || year > 3000 || month < 1 || month > 12 || day < 1 ||
        day > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) {
        return {};
    }
    return text.substr(2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string day = wellFormedDay(text);
    DateValue raw = 0;
    std::memcpy(&raw, data, std::min(size, sizeof raw));

    struct Zone {
        const char* name;
        DateValue offset;  // of standard time, in seconds east of UTC
    };
    // Dates mean midnight of standard time, also on days under daylight saving.
    for (Zone zone :
         {Zone{"UTC", 0}, Zone{"Asia/Tokyo", 9 * 3600}, Zone{"America/New_York", -5 * 3600}}) {
        useZone(zone.name);
        DateValue value = parseDate(text);
        FUZZ_CHECK(value >= -1);
        checkShortDate(value);
        checkShortDate(raw);
        if (!day.empty() && value >= 0) {
            FUZZ_CHECK((value + zone.offset) % 86400 == 0);
            FUZZ_CHECK(formatShortDate(value) == day);  // the listing shows the local day
        }
        if (!day.empty() && zone.offset == 0) {
            FUZZ_CHECK(value >= 0);
        }
    }
    return 0;
}
