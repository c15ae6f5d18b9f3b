#include "cli/run_driver.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/run_settings.h"
#include "common/diagnostics.h"
#include "common/output.h"
#include "input/rate_file.h"
#include "input/sales_report.h"
#include "platform/directory_search.h"
#include "report/json_report.h"
#include "report/record_listing.h"
#include "report/tally.h"
#include "report/text_report.h"
#include "report/tsv_report.h"

namespace {

// Entries are taken when they are read-only, directories or archives, and
// neither hidden nor system.
bool isTakenEntry(const DirectoryEntry& entry) {
    constexpr std::uint32_t kUsable = kReadOnlyAttribute | kDirectoryAttribute | kArchiveAttribute;
    constexpr std::uint32_t kNeverRead = kHiddenAttribute | kSystemAttribute;
    return (entry.attributes & kUsable) != 0 && (entry.attributes & kNeverRead) == 0 &&
           entry.name != "." && entry.name != "..";
}

// What reading the matching reports found, for the warnings after it.
struct ReadingOutcome {
    bool nothingTaken = false;     // the search went through and took no entry
    std::int64_t recordLines = 0;  // read, inside the date window or not
};

// Reads every taken entry matching the pattern. Each is opened in the
// directory searched: the pattern's directory part followed by the name. For
// the JSON report, the paths of the taken entries are kept in takenPaths; the
// text report names them with -v.
ReadingOutcome readMatchingReports(const std::string& filePattern, AppRecords& appRecords,
                                   std::vector<std::string>& takenPaths, OutputSink& out,
                                   Diagnostics& diagnostics) {
    DirectorySearch search;
    DirectoryEntry entry;
    // Without -v no record is listed, so the tables' sums are all that is
    // kept. With -v -v each record is listed as it is read.
    ReadOptions options;
    options.window = {runSettings.startDate, runSettings.endLimit};
    options.summaryOnly = runSettings.verbosity == 0;
    options.grouping = runSettings.grouping;
    if (runSettings.verbosity > 1) {
        options.onRecord = [&out](const RecordList& list, const PackedRecord& record) {
            printRecord(out, list, record);
        };
    }
    ReadingMemoHandle memo = startReading(std::move(options));
    const std::string_view prefix = directoryPrefix(filePattern);
    std::string path;
    bool anyTaken = false;
    for (bool found = findFirstEntry(filePattern, search, entry); found;
         found = findNextEntry(search, entry)) {
        if (!isTakenEntry(entry)) {
            continue;
        }
        anyTaken = true;
        path.assign(prefix).append(entry.name);
        if (runSettings.jsonOutput) {
            takenPaths.push_back(path);
        } else if (runSettings.verbosity != 0) {
            writeFormatted(out, "%s\n", entry.name.c_str());
        }
        if ((entry.attributes & kDirectoryAttribute) != 0) {
            continue;  // a directory holds no records
        }
        readSalesReport(path.c_str(), appRecords, *memo, diagnostics);
    }
    int listingError = search.errorNumber;
    closeSearch(search);
    if (listingError != 0) {
        std::string directory = prefix.empty() ? std::string(".") : std::string(prefix);
        reportError(diagnostics, "cannot read directory '%s': %s\n", directory.c_str(),
                    std::strerror(listingError));
    }
    return {listingError == 0 && !anyTaken, recordLinesRead(*memo)};
}

// A search that took nothing is named, unless the pattern was already named
// as a directory.
void warnAboutEmptySearch(const ReadingOutcome& reading, bool patternIsDirectory,
                          const Diagnostics& diagnostics) {
    if (reading.nothingTaken && !patternIsDirectory) {
        reportWarning(diagnostics, "no file matches '%s'\n", runSettings.filePattern->c_str());
    }
}

// Reports that held records of which the date window kept none: the tables
// are empty because of the window, not of the reports.
void warnAboutEmptyWindow(const ReadingOutcome& reading, const AppRecords& appRecords,
                          const Diagnostics& diagnostics) {
    const bool windowSet = isBounded({runSettings.startDate, runSettings.endLimit});
    if (windowSet && reading.recordLines > 0 && appRecords.empty()) {
        reportWarning(diagnostics, "none of the %lld records read falls inside the date window\n",
                      static_cast<long long>(reading.recordLines));
    }
}

// A home currency other than USD needs the whole rate file and a rate of its
// own; USD always has one.
bool canConvertInto(const std::string& homeCurrency, const RateTable& rateTable,
                    Diagnostics& diagnostics) {
    if (homeCurrency == "USD") {
        return true;
    }
    if (diagnostics.failed) {
        return false;  // the rate file could not be read in full, and has said so
    }
    double factor = 0.0;
    if (homeCurrency.empty() || !factorIntoUsd(rateTable, homeCurrency, factor)) {
        reportError(diagnostics, "no rate for '%s' in '%s': nothing can be converted to it\n",
                    homeCurrency.c_str(), runSettings.ratePath->c_str());
        return false;
    }
    return true;
}

// With rates loaded, a currency that has none (other than USD) adds nothing
// to the grand total; each one that would have added something is named.
void warnAboutUnconvertedCurrencies(const ReportTally& tally, const Diagnostics& diagnostics) {
    for (const std::string& currency : tally.unconverted) {
        reportWarning(diagnostics,
                      "no rate for '%s' in '%s': its total is left out of GrandTotal(%s)\n",
                      currency.c_str(), runSettings.ratePath->c_str(), tally.homeCurrency.c_str());
    }
}

// 1 after any failure, and with --strict after any warning too.
int exitStatusOf(const Diagnostics& diagnostics) {
    return diagnostics.failed || (runSettings.strict && diagnostics.warned) ? 1 : 0;
}

}  // namespace

const char* programNameOf(int argumentCount, char* const arguments[]) {
    return argumentCount > 0 && arguments[0] != nullptr ? arguments[0] : "salesum";
}

int runSalesum(int argumentCount, char* arguments[], OutputSink& out) {
    const char* programName = programNameOf(argumentCount, arguments);
    if (argumentCount <= 1) {
        printUsage(out, programName);
        return 0;
    }
    Diagnostics diagnostics{programName};
    if (std::optional<int> status = scanCommandLine(argumentCount, arguments, out, diagnostics)) {
        return *status;
    }
    if (diagnostics.failed) {
        return 1;  // a bad option or date, or an empty window: nothing is read
    }
    if (!runSettings.filePattern) {
        writeText(out, "missing file(s)\n");
        return -1;
    }
    const std::string& filePattern = *runSettings.filePattern;
    warnAboutFurtherArguments(argumentCount, arguments, diagnostics);
    const bool patternIsDirectory = warnIfPatternIsDirectory(filePattern, diagnostics);
    RateTable rateTable;
    if (runSettings.ratePath) {
        readRateFile(runSettings.ratePath->c_str(), rateTable, diagnostics);
    }
    const std::string homeCurrency = runSettings.homeCurrency.value_or("USD");
    if (!canConvertInto(homeCurrency, rateTable, diagnostics)) {
        return 1;  // nothing is read: no total could be shown as asked
    }
    AppRecords appRecords;
    std::vector<std::string> takenPaths;
    const ReadingOutcome reading =
        readMatchingReports(filePattern, appRecords, takenPaths, out, diagnostics);
    warnAboutEmptySearch(reading, patternIsDirectory, diagnostics);
    warnAboutEmptyWindow(reading, appRecords, diagnostics);

    const ReportTally tally =
        tallyReport(appRecords, rateTable, homeCurrency, runSettings.grouping);
    if (runSettings.jsonOutput) {
        printJsonReport(out, takenPaths, tally, runSettings.verbosity != 0);
    } else if (runSettings.tableOutput) {
        printTsvReport(out, tally);
    } else {
        printTextReport(out, tally, runSettings.verbosity != 0);
    }
    warnAboutUnconvertedCurrencies(tally, diagnostics);
    return exitStatusOf(diagnostics);
}
