#include "cli/run_driver.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "cli/option_scanner.h"
#include "cli/version.h"
#include "common/output.h"
#include "common/run_settings.h"
#include "input/date_value.h"
#include "input/rate_file.h"
#include "input/sales_report.h"
#include "platform/directory_search.h"
#include "report/record_listing.h"
#include "report/revenue_table.h"
#include "report/summary_table.h"

namespace {

constexpr int kMinimumNameWidth = 11;

void scanOptions(int argumentCount, char* arguments[], const char* programName) {
    int letter = 0;
    while ((letter = nextOption(argumentCount, arguments, "hvc:s:e:")) != -1) {
        switch (letter) {
            case 'c':
                runSettings.ratePath = optionScanner.optionArgument;
                break;
            case 'e':
                runSettings.endLimit = parseDate(optionScanner.optionArgument);
                break;
            case 'h':
                printUsage(programName);
            case 's':
                runSettings.startDate = parseDate(optionScanner.optionArgument);
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
}

// Entries are taken when they are read-only, directories or archives, and
// neither hidden nor system.
bool isTakenEntry(const DirectoryEntry& entry) {
    constexpr std::uint32_t kUsable = kReadOnlyAttribute | kDirectoryAttribute | kArchiveAttribute;
    constexpr std::uint32_t kNeverRead = kHiddenAttribute | kSystemAttribute;
    return (entry.attributes & kUsable) != 0 && (entry.attributes & kNeverRead) == 0 &&
           entry.name != "." && entry.name != "..";
}

// Reads every taken entry matching the pattern. Reports are opened by their
// bare name, relative to the current directory.
void readMatchingReports(const std::string& filePattern, AppRecords& appRecords) {
    DirectorySearch search;
    DirectoryEntry entry;
    auto memo = std::make_unique<ReadingMemo>();  // shared by all reports of the run
    // Without -v no record is listed, so the tables' sums are all that is kept.
    memo->summaryOnly = runSettings.verbosity == 0;
    for (bool found = findFirstEntry(filePattern, search, entry); found;
         found = findNextEntry(search, entry)) {
        if (!isTakenEntry(entry)) {
            continue;
        }
        if (runSettings.verbosity != 0) {
            std::printf("%s\n", entry.name.c_str());
        }
        readSalesReport(entry.name.c_str(), appRecords, *memo);
    }
    closeSearch(search);
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

int runSalesum(int argumentCount, char* arguments[]) {
    const char* programName = programNameOf(argumentCount, arguments);
    if (argumentCount <= 1) {
        printUsage(programName);
    }
    scanOptions(argumentCount, arguments, programName);
    if (!runSettings.filePattern) {
        std::printf("missing file(s)\n");
        return -1;
    }
    RateTable rateTable;
    if (runSettings.ratePath) {
        readRateFile(runSettings.ratePath->c_str(), rateTable);
    }
    AppRecords appRecords;
    readMatchingReports(*runSettings.filePattern, appRecords);
    std::printf("Apps count: %d\n\n", static_cast<int>(appRecords.size()));
    int nameWidth = measureNameColumn(appRecords);

    CurrencyTotals currencyTotals;
    RevenueGrid revenueGrid;
    CurrencySet currencySet;
    UnitWidths unitWidths;
    AmountWidths amountWidths;
    if (!appRecords.empty()) {
        printSummaryTable(nameWidth, appRecords, revenueGrid, currencySet);
        printRevenueTable(nameWidth, revenueGrid, currencySet, currencyTotals, unitWidths,
                          amountWidths, rateTable);
    }
    return 0;
}
