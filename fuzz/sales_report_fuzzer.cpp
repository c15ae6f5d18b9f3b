// Bytes of a report file through the report reader and on into both tables,
// with the date window off and on, and with the per-record listings of -v
// and -v -v on.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "common/run_settings.h"
#include "fuzz_support.h"
#include "input/date_value.h"
#include "input/sales_report.h"
#include "piece_model.h"
#include "report/record_listing.h"
#include "report/revenue_table.h"
#include "report/summary_table.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("TZ", "UTC", 1);
    discardStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte picks the settings; the rest is the file.
    std::uint8_t flags = data[0];
    runSettings = RunSettings{};
    if ((flags & 1) != 0) {
        runSettings.startDate = parseDate("20081101");
        runSettings.endLimit = parseDate("11/30/2008");
    }
    runSettings.verbosity = (flags & 2) != 0 ? 2 : 0;

    AppRecords appRecords;
    readSalesReport(holdInFile(data + 1, size - 1), appRecords);

    if ((flags & 1) == 0) {
        // Without a window every piece after the header that holds a token
        // is a record, filed under its seventh token (or the empty name).
        std::map<std::string, std::size_t> expected;
        std::vector<std::string> pieces = modelPieces(std::string(data + 1, data + size));
        for (std::size_t i = 1; i < pieces.size(); ++i) {
            auto tokens = modelTokens(pieces[i].c_str(), "\t\n");
            if (!tokens.empty()) {
                ++expected[tokens.size() > 6 ? std::string(tokens[6]) : std::string()];
            }
        }
        FUZZ_CHECK(expected.size() == appRecords.size());
        for (const auto& [appName, records] : appRecords) {
            FUZZ_CHECK(expected[appName] == records.size());
        }
    }

    int nameWidth = 11;
    for (const auto& [appName, records] : appRecords) {
        FUZZ_CHECK(!records.empty());
        FUZZ_CHECK(appName.find_first_of(std::string("\t\n\0", 3)) == std::string::npos);
        for (const SalesRecord& record : records) {
            FUZZ_CHECK(record.appName == appName);
            FUZZ_CHECK(insideDateWindow(record.beginDate, record.endDate));
        }
        nameWidth = std::max(nameWidth, static_cast<int>(appName.size()));
        if (runSettings.verbosity != 0) {
            printSalesAndUpdates(records);  // the listing of -v
        }
    }
    RevenueGrid revenueGrid;
    CurrencySet currencySet;
    CurrencyTotals currencyTotals;
    UnitWidths unitWidths;
    AmountWidths amountWidths;
    RateTable rateTable = {{"EUR", 1.25}, {"USD", 2.0}};
    if (!appRecords.empty()) {
        printSummaryTable(nameWidth, appRecords, revenueGrid, currencySet);
        printRevenueTable(nameWidth, revenueGrid, currencySet, currencyTotals, unitWidths,
                          amountWidths, rateTable);
    }
    return 0;
}
