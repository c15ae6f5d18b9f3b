#include "common/record_list.h"

#include <algorithm>
#include <cstring>

namespace {

// The bytes that identify a label. Each text is preceded by its length, so
// no two different labels share a key whatever bytes the texts hold. The key
// is built in place in a reused buffer: this runs for every record.
std::string_view labelKey(std::string& key, std::string_view appName, std::string_view auxText,
                          std::string_view currency) {
    constexpr std::size_t kLengthSize = sizeof(std::uint32_t);
    key.resize(3 * kLengthSize + appName.size() + auxText.size() + currency.size());
    char* at = key.data();
    for (std::string_view text : {appName, auxText, currency}) {
        auto length = static_cast<std::uint32_t>(text.size());
        std::memcpy(at, &length, kLengthSize);
        // An empty text may have no storage at all: memcpy must not see it.
        if (!text.empty()) {
            std::memcpy(at + kLengthSize, text.data(), text.size());
        }
        at += kLengthSize + text.size();
    }
    return key;
}

}  // namespace

std::uint32_t internLabel(RecordList& list, std::string_view appName, std::string_view auxText,
                          std::string_view currency) {
    std::string_view key = labelKey(list.keyScratch, appName, auxText, currency);
    auto found = list.labelIndex.find(key);
    if (found != list.labelIndex.end()) {
        return found->second;
    }
    auto index = static_cast<std::uint32_t>(list.labels.size());
    list.labels.push_back({std::string(appName), std::string(auxText), std::string(currency)});
    list.labelIndex.emplace(std::string(key), index);
    return index;
}

std::uint32_t internPeriod(RecordList& list, DateValue beginDate, DateValue endDate) {
    auto [found, added] = list.periodIndex.try_emplace(
        {beginDate, endDate}, static_cast<std::uint32_t>(list.periods.size()));
    if (added) {
        list.periods.push_back({beginDate, endDate});
    }
    return found->second;
}

std::uint32_t cellOfLabel(RowSummary& summary, const RecordList& list, std::uint32_t label) {
    if (label >= summary.cellOfLabel.size()) {
        summary.cellOfLabel.resize(list.labels.size(), 0);
    }
    // A label fixes the currency, so its cell is looked up once, on the
    // label's first sale. Only currencies sold in get a cell.
    std::uint32_t& cellIndex = summary.cellOfLabel[label];
    if (cellIndex == 0) {
        const std::string& currency = list.labels[label].currency;
        auto found = std::find(summary.currencies.begin(), summary.currencies.end(), currency);
        if (found == summary.currencies.end()) {
            summary.currencies.push_back(currency);
            summary.cells.emplace_back();
            found = summary.currencies.end() - 1;
        }
        cellIndex = static_cast<std::uint32_t>(found - summary.currencies.begin()) + 1;
    }
    return cellIndex;
}

void addToSummary(RowSummary& summary, const RecordList& list, const PackedRecord& record) {
    ++summary.recordCount;
    if (record.typeCode == kSaleType) {
        addSale(summary, cellOfLabel(summary, list, record.label), record.units, record.unitAmount);
    } else if (record.typeCode == kUpdateType) {
        summary.updates += record.units;
    }
}

SalesRecord unpackRecord(const RecordList& list, const PackedRecord& record) {
    const RecordLabel& label = list.labels[record.label];
    const RecordPeriod& period = list.periods[record.period];
    SalesRecord whole;
    whole.appName = label.appName;
    whole.beginDate = period.beginDate;
    whole.endDate = period.endDate;
    whole.typeCode = record.typeCode;
    whole.units = record.units;
    whole.unitAmount = record.unitAmount;
    whole.auxAmount = record.auxAmount;
    whole.auxText = label.auxText;
    whole.currency = label.currency;
    return whole;
}
