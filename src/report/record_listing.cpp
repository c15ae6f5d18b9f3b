#include "report/record_listing.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/text_format.h"
#include "input/date_value.h"

namespace {

// Room for one line: the three texts, the two dates, the two amounts and
// what the integers and spaces take.
std::size_t lineRoom(std::string_view appName, std::string_view auxText, std::string_view currency,
                     std::string_view begin, std::string_view end) {
    return appName.size() + auxText.size() + currency.size() + begin.size() + end.size() +
           2 * kMaxFormattedNumber + 64;
}

// The line "%-12s %d %3d %9.2f %9.2f %s %s %s %s\n", formatted without
// printf (text_format.h gives the same bytes). Returns its end.
char* formatRecordLine(char* out, std::string_view appName, std::int32_t typeCode,
                       std::int32_t units, double unitAmount, double auxAmount,
                       std::string_view auxText, std::string_view currency, std::string_view begin,
                       std::string_view end) {
    out = appendText(out, appName, 12, true);
    *out++ = ' ';
    out = appendInteger(out, typeCode);
    *out++ = ' ';
    out = appendInteger(out, units, 3);
    *out++ = ' ';
    out = appendFixed2(out, unitAmount, 9);
    *out++ = ' ';
    out = appendFixed2(out, auxAmount, 9);
    for (std::string_view text : {auxText, currency, begin, end}) {
        *out++ = ' ';
        out = appendText(out, text);
    }
    *out++ = '\n';
    return out;
}

// A period's two dates as the listing shows them.
struct ShownPeriod {
    bool formatted = false;
    std::string begin;
    std::string end;
};

// Lines gathered for standard output, written a large block at a time.
struct ListingOutput {
    std::vector<char> bytes = std::vector<char>(1 << 16);
    std::size_t used = 0;
};

void flushListing(ListingOutput& output) {
    std::fwrite(output.bytes.data(), 1, output.used, stdout);
    output.used = 0;
}

void addListedRecord(ListingOutput& output, const RecordList& list, const PackedRecord& record,
                     ShownPeriod& shown) {
    if (!shown.formatted) {
        const RecordPeriod& period = list.periods[record.period];
        shown = {true, formatShortDate(period.beginDate), formatShortDate(period.endDate)};
    }
    const RecordLabel& label = list.labels[record.label];
    std::size_t room =
        lineRoom(label.appName, label.auxText, label.currency, shown.begin, shown.end);
    if (output.bytes.size() - output.used < room) {
        flushListing(output);
        if (output.bytes.size() < room) {
            output.bytes.resize(room);
        }
    }
    char* end = formatRecordLine(output.bytes.data() + output.used, label.appName, record.typeCode,
                                 record.units, record.unitAmount, record.auxAmount, label.auxText,
                                 label.currency, shown.begin, shown.end);
    output.used = static_cast<std::size_t>(end - output.bytes.data());
}

}  // namespace

void printRecord(const SalesRecord& record) {
    std::string begin = formatShortDate(record.beginDate);
    std::string end = formatShortDate(record.endDate);
    std::vector<char> line(lineRoom(record.appName, record.auxText, record.currency, begin, end));
    char* lineEnd = formatRecordLine(line.data(), record.appName, record.typeCode, record.units,
                                     record.unitAmount, record.auxAmount, record.auxText,
                                     record.currency, begin, end);
    std::fwrite(line.data(), 1, static_cast<std::size_t>(lineEnd - line.data()), stdout);
}

void printPackedRecord(const RecordList& list, const PackedRecord& record) {
    ListingOutput output{std::vector<char>(1024)};  // grown by addListedRecord when short
    ShownPeriod shown;
    addListedRecord(output, list, record, shown);
    flushListing(output);
}

void printSalesAndUpdates(const RecordList& records) {
    // Each period's dates are formatted once, not once per record.
    std::vector<ShownPeriod> shownPeriods(records.periods.size());
    ListingOutput output;
    for (std::int32_t type : {kSaleType, kUpdateType}) {
        for (const PackedRecord& record : records.records) {
            if (record.typeCode == type) {
                addListedRecord(output, records, record, shownPeriods[record.period]);
            }
        }
    }
    flushListing(output);
}
