#include "report/record_listing.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/civil_calendar.h"
#include "report/text_format.h"

namespace {

// The parts of a line "%-12s %d %3d %9.2f %9.2f %s %s %s %s\n" that a
// label or a period fixes, formatted once for all the records that share
// them: "%-12s " of the name, " %s %s" of the country text and currency,
// " %s %s\n" of the dates.
struct ShownLabel {
    bool formatted = false;
    std::string head;
    std::string middle;
};

struct ShownPeriod {
    bool formatted = false;
    std::string tail;
};

std::string joinTexts(std::string_view first, std::string_view second, std::string_view last) {
    std::string joined(first.size() + second.size() + 2 * kMaxFormattedNumber, '\0');
    char* at = joined.data();
    at = appendText(at, " ");
    at = appendText(at, first);
    at = appendText(at, " ");
    at = appendText(at, second);
    at = appendText(at, last);
    joined.resize(static_cast<std::size_t>(at - joined.data()));
    return joined;
}

ShownLabel showLabel(std::string_view appName, std::string_view auxText,
                     std::string_view currency) {
    ShownLabel shown{true, std::string(appName.size() + 16, '\0'),
                     joinTexts(auxText, currency, "")};
    char* at = appendText(shown.head.data(), appName, 12, true);
    *at++ = ' ';
    shown.head.resize(static_cast<std::size_t>(at - shown.head.data()));
    return shown;
}

ShownPeriod showPeriod(DateValue beginDate, DateValue endDate) {
    return {true, joinTexts(formatShortDate(beginDate), formatShortDate(endDate), "\n")};
}

// The numbers of a line, "%d %3d %9.2f %9.2f", the same for every way a
// line is put together.
[[gnu::always_inline]] inline char* appendNumbers(char* out, std::int32_t typeCode,
                                                  std::int32_t units, double unitAmount,
                                                  double auxAmount) {
    out = appendInteger(out, typeCode);
    *out++ = ' ';
    out = appendInteger(out, units, 3);
    *out++ = ' ';
    out = appendFixed2(out, unitAmount, 9);
    *out++ = ' ';
    return appendFixed2(out, auxAmount, 9);
}

// Room for one line with these parts.
std::size_t lineRoom(const ShownLabel& label, const ShownPeriod& period) {
    return label.head.size() + label.middle.size() + period.tail.size() + 2 * kMaxFormattedNumber +
           64;
}

// Formats the line into out, which has lineRoom bytes, and returns its end.
char* formatRecordLine(char* out, const ShownLabel& label, std::int32_t typeCode,
                       std::int32_t units, double unitAmount, double auxAmount,
                       const ShownPeriod& period) {
    out = appendText(out, label.head);
    out = appendNumbers(out, typeCode, units, unitAmount, auxAmount);
    out = appendText(out, label.middle);
    return appendText(out, period.tail);
}

// Formats the line into the sink's room for it.
void addLine(OutputSink& out, const ShownLabel& label, std::int32_t typeCode, std::int32_t units,
             double unitAmount, double auxAmount, const ShownPeriod& period) {
    char* at = reserveText(out, lineRoom(label, period));
    commitText(out, formatRecordLine(at, label, typeCode, units, unitAmount, auxAmount, period));
}

}  // namespace

// A record printed while it is read: its label and period are formatted for
// it alone, since nothing is kept for the next.
void printRecord(OutputSink& out, const RecordList& list, const PackedRecord& record) {
    const RecordLabel& texts = list.labels[record.label];
    const RecordPeriod& dates = list.periods[record.period];
    addLine(out, showLabel(texts.appName, texts.auxText, texts.currency), record.typeCode,
            record.units, record.unitAmount, record.auxAmount,
            showPeriod(dates.beginDate, dates.endDate));
}

void printSalesAndUpdates(OutputSink& out, const RecordList& records) {
    // Each label's and period's texts are formatted once, not once per record.
    std::vector<ShownLabel> shownLabels(records.labels.size());
    std::vector<ShownPeriod> shownPeriods(records.periods.size());
    for (std::int32_t type : {kSaleType, kUpdateType}) {
        for (const PackedRecord& record : records.records) {
            if (record.typeCode != type) {
                continue;
            }
            ShownLabel& label = shownLabels[record.label];
            if (!label.formatted) {
                const RecordLabel& texts = records.labels[record.label];
                label = showLabel(texts.appName, texts.auxText, texts.currency);
            }
            ShownPeriod& period = shownPeriods[record.period];
            if (!period.formatted) {
                const RecordPeriod& dates = records.periods[record.period];
                period = showPeriod(dates.beginDate, dates.endDate);
            }
            addLine(out, label, record.typeCode, record.units, record.unitAmount, record.auxAmount,
                    period);
        }
    }
}
