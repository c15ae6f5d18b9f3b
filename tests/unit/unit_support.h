// Helpers shared by the unit tests: a time zone that holds for one test, a
// record described in one text, bytes opened for the piece reader, and a
// report read as a listing run reads it.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/sales_record.h"
#include "input/date_value.h"
#include "input/reading/byte_scan.h"
#include "input/reading/file_handle.h"
#include "input/reading/piece_reader.h"
#include "input/reading/scan_kernels.h"
#include "input/sales_report.h"
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

// Every scan width the processor can run; the widest is what a run uses.
inline std::vector<ScanWidth> runnableWidths() {
    std::vector<ScanWidth> widths = {ScanWidth::kPortable};
    for (ScanWidth width : {ScanWidth::kSse2, ScanWidth::kAvx2}) {
        if (width <= widestScan()) {
            widths.push_back(width);
        }
    }
    return widths;
}

// A temporary file holding bytes, open for reading as pieces or whole lines
// at one scan width.
struct OpenReader {
    FileHandle file;
    std::unique_ptr<PieceReader> reader = std::make_unique<PieceReader>();
};

inline OpenReader openReader(const std::string& bytes, ScanWidth width,
                             SourceDecoding decoding = kReadAsItIs) {
    OpenReader open{FileHandle(std::tmpfile())};
    EXPECT_NE(open.file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), open.file.get());
    std::rewind(open.file.get());
    startPieces(*open.reader, open.file.get(), decoding);
    open.reader->kernels = &scanKernelsFor(width);
    return open;
}

// The options a run reads with: the records kept or only summed, and the
// date window.
inline ReadOptions readOptions(bool summaryOnly, DateWindow window = {}) {
    ReadOptions options;
    options.summaryOnly = summaryOnly;
    options.window = window;
    return options;
}

// The records of a report read as a listing run reads it, every one stored;
// refused when the report is expected to be refused as a whole.
inline AppRecords readListed(const std::string& bytes, bool refused = false) {
    ScratchDirectory scratch;
    AppRecords appRecords;
    Diagnostics diagnostics;
    readSalesReport(scratch.write("S_W_0", bytes).c_str(), appRecords,
                    *startReading(readOptions(false)), diagnostics);
    EXPECT_EQ(diagnostics.failed, refused);
    return appRecords;
}

// At least size bytes of fragments picked at random.
inline std::string fragmentBytes(std::mt19937& random, std::size_t size,
                                 const std::vector<std::string>& fragments) {
    std::string bytes;
    while (bytes.size() < size) {
        bytes += fragments[random() % fragments.size()];
    }
    return bytes;
}
