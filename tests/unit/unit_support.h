// Helpers shared by the unit tests: a scratch directory of input files and a
// time zone that holds for one test.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

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

    // Parsed days are remembered per zone, so they are forgotten on a change.
    static void use(const char* zone) {
        if (zone != nullptr) {
            setenv("TZ", zone, 1);
        }
        tzset();
        forgetConvertedDays();
    }
};
