#include "report/record_listing.h"

#include <cstdio>
#include <string>
#include <vector>

#include "input/date_value.h"

namespace {

void printRecordLine(const std::string& appName, std::int32_t typeCode, std::int32_t units,
                     double unitAmount, double auxAmount, const std::string& auxText,
                     const std::string& currency, const char* begin, const char* end) {
    std::printf("%-12s %d %3d %9.2f %9.2f %s %s %s %s\n", appName.c_str(), typeCode, units,
                unitAmount, auxAmount, auxText.c_str(), currency.c_str(), begin, end);
}

// A period's two dates as the listing shows them.
struct ShownPeriod {
    bool formatted = false;
    std::string begin;
    std::string end;
};

void printListedRecord(const RecordList& list, const PackedRecord& record, ShownPeriod& shown) {
    if (!shown.formatted) {
        const RecordPeriod& period = list.periods[record.period];
        shown = {true, formatShortDate(period.beginDate), formatShortDate(period.endDate)};
    }
    const RecordLabel& label = list.labels[record.label];
    printRecordLine(label.appName, record.typeCode, record.units, record.unitAmount,
                    record.auxAmount, label.auxText, label.currency, shown.begin.c_str(),
                    shown.end.c_str());
}

}  // namespace

void printRecord(const SalesRecord& record) {
    std::string begin = formatShortDate(record.beginDate);
    std::string end = formatShortDate(record.endDate);
    printRecordLine(record.appName, record.typeCode, record.units, record.unitAmount,
                    record.auxAmount, record.auxText, record.currency, begin.c_str(), end.c_str());
}

void printPackedRecord(const RecordList& list, const PackedRecord& record) {
    ShownPeriod shown;
    printListedRecord(list, record, shown);
}

void printSalesAndUpdates(const RecordList& records) {
    // Each period's dates are formatted once, not once per record.
    std::vector<ShownPeriod> shownPeriods(records.periods.size());
    for (std::int32_t type : {kSaleType, kUpdateType}) {
        for (const PackedRecord& record : records.records) {
            if (record.typeCode == type) {
                printListedRecord(records, record, shownPeriods[record.period]);
            }
        }
    }
}
