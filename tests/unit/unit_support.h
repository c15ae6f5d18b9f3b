// Helpers shared by the unit tests: a scratch directory of input files, a
// time zone that holds for one test, and a record described in one text.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "common/sales_record.h"
#include "input/date_value.h"

// A fresh directory that is removed with everything in it at the end.
struct ScratchFiles {
    std::filesystem::path directory;

    ScratchFiles() {
        std::string name = std::filesystem::temp_directory_path() / "salesum-unit-XXXXXX";
        EXPECT_NE(mkdtemp(name.data()), nullptr);
        directory = name;
    }
    ~ScratchFiles() { std::filesystem::remove_all(directory); }

    // Writes the bytes to a file of that name and returns its full path.
    std::string write(const std::string& name, const std::string& bytes) const {
        const std::string path = directory / name;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        EXPECT_NE(file, nullptr);
        EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        std::fclose(file);
        return path;
    }
};

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

    static void use(const char* zone) {
        if (zone != nullptr) {
            setenv("TZ", zone, 1);
        }
        tzset();
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
