#include "report/record_listing.h"

#include <cstdio>
#include <string>

#include "input/date_value.h"

void printRecord(const SalesRecord& record) {
    std::string begin = formatShortDate(record.beginDate);
    std::string end = formatShortDate(record.endDate);
    std::printf("%-12s %d %3d %9.2f %9.2f %s %s %s %s\n", record.appName.c_str(), record.typeCode,
                record.units, record.unitAmount, record.auxAmount, record.auxText.c_str(),
                record.currency.c_str(), begin.c_str(), end.c_str());
}

void printSalesAndUpdates(const std::vector<SalesRecord>& records) {
    for (std::int32_t type : {kSaleType, kUpdateType}) {
        for (const SalesRecord& record : records) {
            if (record.typeCode == type) {
                printRecord(record);
            }
        }
    }
}
