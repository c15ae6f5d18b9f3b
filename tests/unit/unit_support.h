// Helpers shared by the unit tests: a time zone that holds for one test, and
// a record described in one text.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "common/sales_record.h"
#include "input/date_value.h"
#include "support/scratch_directory.h"

// Sets the local time zone until the end of the scope. Zones are given as
// POSIX rules, so no zone database needs to be installed.
struct ScopedTimeZone {
    std::string saved;
    bool wasSet;

    explicit ScopedTimeZone(const char* zone) : wasSet(std::getenv("TZ") != nullptr) {
        saved = wasSet ? std::getenv("TZ") : "";
        use(zone);
    }
    ~ScopedTimeZone() {
        if (!wasSet) {
            unsetenv("TZ");
        }
        use(wasSet ? saved.c_str() : nullptr);
    }

    // Parsed days are remembered per zone, so they are forgotten on a change.
    static void use(const char* zone) {
        if (zone != nullptr) {
            setenv("TZ", zone, 1);
        }
        tzset();
        forgetConvertedDays();
    }
};

// Every field of a record, so that one comparison shows all differences.
inline std::string describe(const SalesRecord& r) {
    char numbers[160];
    std::snprintf(numbers, sizeof numbers,
                  "type %d units %d amount %.17g begin %lld end %lld aux %.17g", r.typeCode,
                  r.units, r.unitAmount, static_cast<long long>(r.beginDate),
                  static_cast<long long>(r.endDate), r.auxAmount);
    return "'" + r.appName + "' " + numbers + " '" + r.auxText + "' '" + r.currency + "'";
}
