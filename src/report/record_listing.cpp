#include "report/record_listing.h"

#include <cstdio>
#include <string>

#include "input/date_value.h"

namespace {

void printRecordLine(const std::string& appName, std::int32_t typeCode, std::int32_t units,
                     double unitAmount, double auxAmount, const std::string& auxText,
                     const std::string& currency, DateValue beginDate, DateValue endDate) {
    std::string begin = formatShortDate(beginDate);
    std::string end = formatShortDate(endDate);
    std::printf("%-12s %d %3d %9.2f %9.2f %s %s %s %s\n", appName.c_str(), typeCode, units,
                unitAmount, auxAmount, auxText.c_str(), currency.c_str(), begin.c_str(),
                end.c_str());
}

}  // namespace

void printRecord(const SalesRecord& record) {
    printRecordLine(record.appName, record.typeCode, record.units, record.unitAmount,
                    record.auxAmount, record.auxText, record.currency, record.beginDate,
                    record.endDate);
}

void printPackedRecord(const RecordList& list, const PackedRecord& record) {
    const RecordLabel& label = list.labels[record.label];
    const RecordPeriod& period = list.periods[record.period];
    printRecordLine(label.appName, record.typeCode, record.units, record.unitAmount,
                    record.auxAmount, label.auxText, label.currency, period.beginDate,
                    period.endDate);
}

void printSalesAndUpdates(const RecordList& records) {
    for (std::int32_t type : {kSaleType, kUpdateType}) {
        for (const PackedRecord& record : records.records) {
            if (record.typeCode == type) {
                printPackedRecord(records, record);
            }
        }
    }
}
