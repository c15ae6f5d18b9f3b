// Bytes of a report file through the report reader and on into both tables,
// with the date window off and on, with the per-record listings of -v and
// -v -v on, and read for the tables only, as a run without -v reads; as
// they are, or as UTF-16 code units, plain or gzip-compressed.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "cli/run_settings.h"
#include "common/grouping.h"
#include "fuzz_support.h"
#include "input/date_value.h"
#include "input/sales_report.h"
#include "input/value_checks.h"
#include "report/tally.h"
#include "report/text_report.h"
#include "support/gzip_member.h"
#include "support/named_model.h"
#include "support/piece_model.h"
#include "support/text_model.h"

namespace {

// The kinds of warning about a report's values, by how their text starts
// after the line number.
constexpr const char* kValueKinds[] = {"product type '",   "units '",   "price '",
                                       "customer price '", "date '",    "only ",
                                       "longer than ",     "a NUL byte"};

// Each kind of value is named at most once per report (each unknown type
// text once, the first few of them), and nothing else is said; a header of
// a changed layout, of a comma-separated file or of a zip archive is the
// one failure, said alone.
void checkMessages(const std::string& err, const std::string& path, bool failed) {
    const std::string refused = "[E] salesum: cannot read '" + path + "': ";
    if (failed) {
        FUZZ_CHECK(err.rfind(refused, 0) == 0);
        const std::string reason = err.substr(refused.size());
        FUZZ_CHECK(
            (reason.rfind("its header has no '", 0) == 0 && reason.ends_with("' column\n")) ||
            reason == "it is comma-separated; export it as tab-separated text\n" ||
            reason == "it is a workbook or zip archive, not a text report\n");
        FUZZ_CHECK(std::count(err.begin(), err.end(), '\n') == 1);
        return;
    }
    const std::string start = "[W] salesum: '" + path + "'";
    int seen[std::size(kValueKinds)] = {};
    std::set<std::string> typeTexts;
    int moreTypes = 0;
    std::size_t begin = 0;
    while (begin < err.size()) {
        std::size_t end = err.find('\n', begin);
        FUZZ_CHECK(end != std::string::npos);
        std::string line = err.substr(begin, end - begin);
        begin = end + 1;
        FUZZ_CHECK(line.rfind(start, 0) == 0);
        std::string rest = line.substr(start.size());
        if (rest.rfind(": and ", 0) == 0) {
            // The unknown types past those named, after them.
            FUZZ_CHECK(seen[0] == static_cast<int>(kNamedUnknownTypes) && ++moreTypes == 1);
            continue;
        }
        FUZZ_CHECK(rest.rfind(" line ", 0) == 0);
        std::string what = rest.substr(rest.find(": ") + 2);
        int kind = 0;
        while (kind < static_cast<int>(std::size(kValueKinds)) &&
               what.rfind(kValueKinds[kind], 0) != 0) {
            ++kind;
        }
        FUZZ_CHECK(kind < static_cast<int>(std::size(kValueKinds)));
        if (kind == 0) {
            // Each unknown type text is named once.
            FUZZ_CHECK(moreTypes == 0 && typeTexts.insert(what).second);
            FUZZ_CHECK(++seen[kind] <= static_cast<int>(kNamedUnknownTypes));
        } else {
            FUZZ_CHECK(++seen[kind] == 1);
        }
    }
}

// Returns whether the report was refused.
bool readReport(const char* path, AppRecords& appRecords, const ReadOptions& options) {
    Diagnostics diagnostics;
    diagnostics.programName = "salesum";
    std::string err = captureStandardError(
        [&] { readSalesReport(path, appRecords, *startReading(options), diagnostics); });
    // Memory files and whole gzip members read in full.
    checkMessages(err, path, diagnostics.failed);
    return diagnostics.failed;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("TZ", "UTC", 1);
    discardStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte picks the settings: bit 0 the date window, bit 1 the
    // per-record listing, bit 2 reading for the tables only (no listing then,
    // as without -v), bit 3 the file gzip-compressed, bit 4 a header that is
    // read by name put before the rest. The rest is the file's bytes. With
    // bit 5 the file is UTF-16: the header saved so, and the rest taken as
    // code units (surrogates and an odd last byte included); bit 6 makes it
    // big-endian, bit 7 leaves out the byte-order mark. The models read the
    // file's text as the reader should: converted when it is UTF-16.
    std::uint8_t flags = data[0];
    const std::string header = (flags & 16) != 0
                                   ? "Title\tUnits\tProduct Type Identifier\tCountry Code\t"
                                     "Developer Proceeds\tBegin Date\tEnd Date\tCustomer Price\t"
                                     "Currency of Proceeds\n"
                                   : "";
    const std::string rest(data + 1, data + size);
    const bool bigEndian = (flags & 64) != 0;
    std::string saved = header + rest;
    if ((flags & 32) != 0) {
        const std::string mark = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        saved = ((flags & 128) != 0 ? "" : mark) + utf16Twin(header, bigEndian, false) + rest;
    }
    const std::string content = modelText(saved);
    const bool window = (flags & 1) != 0;
    const bool summaryOnly = (flags & 4) != 0;
    ReadOptions options;
    if (window) {
        options.window = {parseDate("20081101"), parseDate("11/30/2008")};
    }
    options.summaryOnly = summaryOnly;
    runSettings = RunSettings{};
    runSettings.verbosity = (flags & 2) != 0 && !summaryOnly ? 2 : 0;

    if (saved.rfind("\x1f\x8b", 0) == 0) {
        // Compressed data of the fuzzer's own making, whole or damaged: read
        // only for memory errors, as the models know nothing of it.
        AppRecords ignored;
        Diagnostics diagnostics;
        readSalesReport(holdInFile(saved.data(), saved.size()), ignored, *startReading(options),
                        diagnostics);
        return 0;
    }
    const std::string file = (flags & 8) != 0 ? gzipMember(saved) : saved;
    const char* path = holdInFile(file.data(), file.size());
    AppRecords appRecords;
    const bool refused = readReport(path, appRecords, options);

    if (!window) {
        // Without a window every record line after the header is a record.
        // By position: each piece that holds a token, filed under its
        // seventh token unquoted (or the empty name). By name: each line with a
        // field that is not empty, filed under its title.
        std::map<std::string, std::size_t> expected;
        const std::vector<std::string> lines = modelWholeLines(content);
        const std::string headerText = lines.empty() ? std::string() : lines[0];
        const auto columns = modelColumns(headerText);
        FUZZ_CHECK(refused == (modelNotTabSeparated(headerText) || modelChangedLayout(columns)));
        if (refused) {
            // Nothing of such a report is read.
        } else if (modelReadsByName(columns)) {
            for (std::size_t i = 1; i < lines.size(); ++i) {
                SalesRecord record;
                if (modelNamedRecord(columns, lines[i], record)) {
                    ++expected[record.appName];
                }
            }
        } else {
            std::vector<std::string> pieces = modelPieces(content);
            for (std::size_t i = 1; i < pieces.size(); ++i) {
                SalesRecord record;
                if (modelRecord(pieces[i], record)) {
                    ++expected[record.appName];
                }
            }
        }
        FUZZ_CHECK(expected.size() == appRecords.size());
        for (const auto& [key, records] : appRecords) {
            std::size_t count = summaryOnly ? records.summary.recordCount : records.size();
            FUZZ_CHECK(expected[key.front()] == count);
        }
    }

    if (summaryOnly) {
        // The figures kept while reading are those of the records a listing
        // run stores, summed in their order.
        AppRecords stored;
        ReadOptions storing = options;
        storing.summaryOnly = false;
        readReport(path, stored, storing);
        FUZZ_CHECK(stored.size() == appRecords.size());
        for (const auto& [key, records] : stored) {
            auto summed = appRecords.find(key);
            FUZZ_CHECK(summed != appRecords.end() && summed->second.empty());
            FUZZ_CHECK(sameFigures(keptSummary(summed->second.summary), modelSummary(records)));
        }
    }

    for (const auto& [key, records] : appRecords) {
        const std::string& appName = key.front();
        FUZZ_CHECK(summaryOnly ? records.summary.recordCount > 0 : !records.empty());
        FUZZ_CHECK(appName.find_first_of(std::string("\t\n\0", 3)) == std::string::npos);
        for (const SalesRecord& record : storedRecords(records)) {
            FUZZ_CHECK(record.appName == appName);
            FUZZ_CHECK(insideDateWindow(options.window, record.beginDate, record.endDate));
        }
    }
    // Rows keyed by every other key too hold the very same records: per
    // application, their counts add up to its own.
    if (!refused) {
        ReadOptions grouped = options;
        FUZZ_CHECK(parseGrouping("type,country,week,app", grouped.grouping));
        AppRecords rows;
        readReport(path, rows, grouped);
        auto countOf = [&](const RecordList& list) {
            return summaryOnly ? list.summary.recordCount : list.size();
        };
        std::map<std::string, std::size_t> perApp;
        for (const auto& [key, list] : rows) {
            FUZZ_CHECK(key.size() == 4);
            perApp[key.back()] += countOf(list);
        }
        FUZZ_CHECK(perApp.size() == appRecords.size());
        for (const auto& [key, list] : appRecords) {
            FUZZ_CHECK(perApp[key.front()] == countOf(list));
        }
    }
    // The report as a run prints it, into a sink that keeps it.
    const ReportTally tally = tallyReport(appRecords, {{"EUR", 1.25}, {"USD", 2.0}});
    OutputSink out;
    printTextReport(out, tally, runSettings.verbosity != 0);
    FUZZ_CHECK(keptText(out).starts_with("Apps count: "));
    return 0;
}
