#include "cli/run_driver.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "cli/option_scanner.h"
#include "cli/version.h"
#include "common/diagnostics.h"
#include "common/output.h"
#include "common/run_settings.h"
#include "input/date_value.h"
#include "input/rate_file.h"
#include "input/sales_report.h"
#include "platform/directory_search.h"
#include "report/json_report.h"
#include "report/record_listing.h"
#include "report/tally.h"
#include "report/text_report.h"

namespace {

// A date of -s or -e. One the parser would read as some other day is
// refused: the run then ends before reading anything.
DateValue readDateOption(const char* text, char letter, Diagnostics& diagnostics) {
    if (!isWellFormedDate(text)) {
        reportError(diagnostics, "bad date '%s' for -%c: use YYYYMMDD or MM/DD/YYYY\n", text,
                    letter);
    }
    return parseDate(text);
}

// "--help" or "--version" where an option would be read: the scanner would
// otherwise take them for clusters of letters ("-v -e rsion").
bool isLongOption(int argumentCount, char* arguments[], const char* name) {
    if (optionScanner.scanPosition != nullptr || optionScanner.optionIndex >= argumentCount) {
        return false;
    }
    const char* argument = arguments[optionScanner.optionIndex];
    return argument != nullptr && std::strcmp(argument, name) == 0;
}

// Fills the run settings from the options. Returns the status the run ends
// with when an option asked for the usage text or the version, which are
// printed then; none when the run goes on.
std::optional<int> scanOptions(int argumentCount, char* arguments[], OutputSink& out,
                               Diagnostics& diagnostics) {
    const char* programName = diagnostics.programName;
    for (;;) {
        if (isLongOption(argumentCount, arguments, "--help")) {
            printUsage(out, programName);
            return 0;
        }
        if (isLongOption(argumentCount, arguments, "--version")) {
            printVersion(out, programName);
            return 0;
        }
        int letter = nextOption(argumentCount, arguments, "hvjc:s:e:");
        if (letter == -1) {
            break;
        }
        switch (letter) {
            case 'c':
                runSettings.ratePath = optionScanner.optionArgument;
                break;
            case 'e':
                runSettings.endLimit =
                    readDateOption(optionScanner.optionArgument, 'e', diagnostics);
                break;
            case 'h':
                printUsage(out, programName);
                return 0;
            case 'j':
                runSettings.jsonOutput = true;
                break;
            case 's':
                runSettings.startDate =
                    readDateOption(optionScanner.optionArgument, 's', diagnostics);
                break;
            case 'v':
                ++runSettings.verbosity;
                break;
            default:
                break;  // already diagnosed by the scanner
        }
    }
    if (optionScanner.optionIndex < argumentCount) {
        runSettings.filePattern = arguments[optionScanner.optionIndex];
    }
    // Standard output holds one JSON document and nothing else, so records
    // are not listed while they are read: -v -v then means -v.
    if (runSettings.jsonOutput && runSettings.verbosity > 1) {
        runSettings.verbosity = 1;
    }
    return std::nullopt;
}

// Arguments after the pattern are ignored; most often they are what a shell
// made of an unquoted pattern, so the user learns why only one file was read.
void warnAboutFurtherArguments(int argumentCount, const Diagnostics& diagnostics) {
    int further = argumentCount - optionScanner.optionIndex - 1;
    if (further > 0) {
        reportWarning(diagnostics,
                      "%d further argument(s) ignored after the pattern '%s'; quote the pattern "
                      "so that the shell does not expand it\n",
                      further, runSettings.filePattern->c_str());
    }
}

// Entries are taken when they are read-only, directories or archives, and
// neither hidden nor system.
bool isTakenEntry(const DirectoryEntry& entry) {
    constexpr std::uint32_t kUsable = kReadOnlyAttribute | kDirectoryAttribute | kArchiveAttribute;
    constexpr std::uint32_t kNeverRead = kHiddenAttribute | kSystemAttribute;
    return (entry.attributes & kUsable) != 0 && (entry.attributes & kNeverRead) == 0 &&
           entry.name != "." && entry.name != "..";
}

// Reads every taken entry matching the pattern. Each is opened in the
// directory searched: the pattern's directory part followed by the name. For
// the JSON report, the paths of the taken entries are kept in takenPaths; the
// text report names them with -v.
void readMatchingReports(const std::string& filePattern, AppRecords& appRecords,
                         std::vector<std::string>& takenPaths, OutputSink& out,
                         Diagnostics& diagnostics) {
    DirectorySearch search;
    DirectoryEntry entry;
    // Without -v no record is listed, so the tables' sums are all that is
    // kept. With -v -v each record is listed as it is read.
    RecordSeen onRecord;
    if (runSettings.verbosity > 1) {
        onRecord = [&out](const RecordList& list, const PackedRecord& record) {
            printRecord(out, list, record);
        };
    }
    ReadingMemoHandle memo = startReading(runSettings.verbosity == 0, std::move(onRecord));
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
    } else if (!anyTaken) {
        reportWarning(diagnostics, "no file matches '%s'\n", filePattern.c_str());
    }
}

// With rates loaded, a currency that has none (other than USD) adds nothing
// to the grand total; each one that would have added something is named.
void warnAboutUnconvertedCurrencies(const ReportTally& tally, const Diagnostics& diagnostics) {
    for (const std::string& currency : tally.unconverted) {
        reportWarning(diagnostics,
                      "no rate for '%s' in '%s': its total is left out of GrandTotal(USD)\n",
                      currency.c_str(), runSettings.ratePath->c_str());
    }
}

}  // namespace

const char* programNameOf(int argumentCount, char* const arguments[]) {
    return argumentCount > 0 && arguments[0] != nullptr ? arguments[0] : "salesum";
}

void printUsage(OutputSink& out, const char* programName) {
    const char* p = programName;
    writeFormatted(out, "%s v %s\n", p, kSalesumVersion);
    writeText(out, "Made by the sales report tools team.\n\n");
    writeFormatted(out, "%s [-v] [-c configfile] [-s startdate] [-e enddate] file(s)\n\n", p);
    writeFormatted(out, "%s [options] S_W* \n", p);
    writeFormatted(out, "%s [options] S_D* \n\n", p);
    writeFormatted(out, "%s -c config.cfg -s 20081101 -e 20081130 S_W* \n", p);
    writeFormatted(out, "%s -v S_D* \n", p);
    writeText(out, "\nNote: file(s) must reside in the current directory.\n\n");
}

void printVersion(OutputSink& out, const char* programName) {
    writeFormatted(out, "%s v %s\n", programName, kSalesumVersion);
}

int runSalesum(int argumentCount, char* arguments[], OutputSink& out) {
    const char* programName = programNameOf(argumentCount, arguments);
    if (argumentCount <= 1) {
        printUsage(out, programName);
        return 0;
    }
    Diagnostics diagnostics{programName};
    if (std::optional<int> status = scanOptions(argumentCount, arguments, out, diagnostics)) {
        return *status;
    }
    if (diagnostics.failed) {
        return 1;  // a bad date: the window would select other days
    }
    if (!runSettings.filePattern) {
        writeText(out, "missing file(s)\n");
        return -1;
    }
    warnAboutFurtherArguments(argumentCount, diagnostics);
    RateTable rateTable;
    if (runSettings.ratePath) {
        readRateFile(runSettings.ratePath->c_str(), rateTable, diagnostics);
    }
    AppRecords appRecords;
    std::vector<std::string> takenPaths;
    readMatchingReports(*runSettings.filePattern, appRecords, takenPaths, out, diagnostics);

    const ReportTally tally = tallyReport(appRecords, rateTable);
    if (runSettings.jsonOutput) {
        printJsonReport(out, takenPaths, appRecords, tally, runSettings.verbosity != 0);
    } else {
        printTextReport(out, appRecords, tally, runSettings.verbosity != 0);
    }
    warnAboutUnconvertedCurrencies(tally, diagnostics);
    return diagnostics.failed ? 1 : 0;
}
