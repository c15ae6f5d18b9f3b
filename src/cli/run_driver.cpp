#include "cli/run_driver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
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
#include "report/revenue_table.h"
#include "report/summary_table.h"

namespace {

constexpr int kMinimumNameWidth = 11;

// A date of -s or -e. One the parser would read as some other day is
// refused: the run then ends before reading anything.
DateValue readDateOption(const char* text, char letter, Diagnostics& diagnostics) {
    if (!isWellFormedDate(text)) {
        reportError(diagnostics, "bad date '%s' for -%c: use YYYYMMDD or MM/DD/YYYY\n", text,
                    letter);
    }
    return parseDate(text);
}

// "--help" and "--version" where an option would be read: the scanner would
// otherwise take them for clusters of letters ("-v -e rsion").
void handleLongOption(int argumentCount, char* arguments[], const char* programName) {
    if (optionScanner.scanPosition != nullptr || optionScanner.optionIndex >= argumentCount) {
        return;
    }
    const char* argument = arguments[optionScanner.optionIndex];
    if (argument == nullptr) {
        return;
    }
    if (std::strcmp(argument, "--help") == 0) {
        printUsage(programName);
    }
    if (std::strcmp(argument, "--version") == 0) {
        printVersion(programName);
    }
}

void scanOptions(int argumentCount, char* arguments[], Diagnostics& diagnostics) {
    const char* programName = diagnostics.programName;
    for (;;) {
        handleLongOption(argumentCount, arguments, programName);
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
                printUsage(programName);
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
                         std::vector<std::string>& takenPaths, Diagnostics& diagnostics) {
    DirectorySearch search;
    DirectoryEntry entry;
    // Without -v no record is listed, so the tables' sums are all that is kept.
    ReadingMemoHandle memo = startReading(runSettings.verbosity == 0);
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
            std::printf("%s\n", entry.name.c_str());
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

// Width of the name column: the longest name, at least 11. In verbose mode
// the same walk lists every application's sales and updates.
int measureNameColumn(const AppRecords& appRecords) {
    int nameWidth = 0;
    for (const auto& [appName, records] : appRecords) {
        if (runSettings.verbosity != 0) {
            printSalesAndUpdates(records);
        }
        if (static_cast<int>(appName.size()) > nameWidth) {
            nameWidth = static_cast<int>(appName.size());
        }
    }
    if (runSettings.verbosity != 0) {
        std::printf("\n");
    }
    return nameWidth < kMinimumNameWidth ? kMinimumNameWidth : nameWidth;
}

// With rates loaded, a currency that has none (other than USD) adds nothing
// to the grand total; each one that would have added something is named.
void warnAboutUnconvertedCurrencies(const CurrencyTotals& currencyTotals,
                                    const RateTable& rateTable, const Diagnostics& diagnostics) {
    for (const auto& [currency, total] : currencyTotals) {
        if (currency == "USD" || rateTable.contains(currency) || total == 0.0) {
            continue;
        }
        reportWarning(diagnostics,
                      "no rate for '%s' in '%s': its total is left out of GrandTotal(USD)\n",
                      currency.c_str(), runSettings.ratePath->c_str());
    }
}

// The count line and the two tables; the tables only when there is an
// application.
void printTextReport(const AppRecords& appRecords, RevenueGrid& revenueGrid,
                     CurrencySet& currencySet, CurrencyTotals& currencyTotals,
                     const RateTable& rateTable) {
    std::printf("Apps count: %d\n\n", static_cast<int>(appRecords.size()));
    int nameWidth = measureNameColumn(appRecords);
    UnitWidths unitWidths;
    AmountWidths amountWidths;
    if (!appRecords.empty()) {
        printSummaryTable(nameWidth, appRecords, revenueGrid, currencySet);
        printRevenueTable(nameWidth, revenueGrid, currencySet, currencyTotals, unitWidths,
                          amountWidths, rateTable);
    }
}

}  // namespace

const char* programNameOf(int argumentCount, char* const arguments[]) {
    return argumentCount > 0 && arguments[0] != nullptr ? arguments[0] : "salesum";
}

void printUsage(const char* programName) {
    const char* p = programName;
    std::printf("%s v %s\n", p, kSalesumVersion);
    std::printf("Made by the sales report tools team.\n\n");
    std::printf("%s [-v] [-c configfile] [-s startdate] [-e enddate] file(s)\n\n", p);
    std::printf("%s [options] S_W* \n", p);
    std::printf("%s [options] S_D* \n\n", p);
    std::printf("%s -c config.cfg -s 20081101 -e 20081130 S_W* \n", p);
    std::printf("%s -v S_D* \n", p);
    std::printf("\nNote: file(s) must reside in the current directory.\n\n");
    std::exit(finishOutput(programName, 0));
}

void printVersion(const char* programName) {
    std::printf("%s v %s\n", programName, kSalesumVersion);
    std::exit(finishOutput(programName, 0));
}

int runSalesum(int argumentCount, char* arguments[]) {
    const char* programName = programNameOf(argumentCount, arguments);
    if (argumentCount <= 1) {
        printUsage(programName);
    }
    Diagnostics diagnostics{programName};
    scanOptions(argumentCount, arguments, diagnostics);
    if (diagnostics.failed) {
        return 1;  // a bad date: the window would select other days
    }
    if (!runSettings.filePattern) {
        std::printf("missing file(s)\n");
        return -1;
    }
    warnAboutFurtherArguments(argumentCount, diagnostics);
    RateTable rateTable;
    if (runSettings.ratePath) {
        readRateFile(runSettings.ratePath->c_str(), rateTable, diagnostics);
    }
    AppRecords appRecords;
    std::vector<std::string> takenPaths;
    readMatchingReports(*runSettings.filePattern, appRecords, takenPaths, diagnostics);

    CurrencyTotals currencyTotals;
    RevenueGrid revenueGrid;
    CurrencySet currencySet;
    if (runSettings.jsonOutput) {
        printJsonReport(takenPaths, appRecords, revenueGrid, currencySet, currencyTotals, rateTable,
                        runSettings.verbosity != 0);
    } else {
        printTextReport(appRecords, revenueGrid, currencySet, currencyTotals, rateTable);
    }
    if (!appRecords.empty() && !rateTable.empty()) {
        warnAboutUnconvertedCurrencies(currencyTotals, rateTable, diagnostics);
    }
    return diagnostics.failed ? 1 : 0;
}
