#include "input/label_slots.h"

#include <bit>
#include <utility>

#include "common/hash_mixing.h"
#include "input/reading/text_words.h"

namespace {

// A list made in appRecords is read the same way throughout.
RecordList& listOf(LabelSlots& labels, AppRecords& appRecords, const RowKey& row) {
    auto [entry, added] = appRecords.try_emplace(row);
    if (added) {
        entry->second.summaryOnly = labels.summaryOnly;
    }
    return entry->second;
}

AppSlot& appOf(LabelSlots& labels, AppRecords& appRecords, std::string_view appName) {
    auto found = labels.lists.find(appName);
    if (found != labels.lists.end()) {
        return found->second;
    }
    auto made = labels.lists.try_emplace(std::string(appName)).first;
    if (labels.byAppOnly) {
        made->second.list = &listOf(labels, appRecords, RowKey{std::string(appName)});
    }
    made->second.days.name = &made->first;  // the key stays where it is
    return made->second;
}

// The list of the line key's row, when the rows are keyed by more than the
// application.
RecordList& rowOf(LabelSlots& labels, AppRecords& appRecords, const LineKey& key) {
    RowKey& row = labels.scratchKey;
    row.resize(labels.grouping.size());
    for (std::size_t at = 0; at < row.size(); ++at) {
        switch (labels.grouping[at]) {
            case GroupKey::kApp:
                row[at].assign(key.appName);
                break;
            case GroupKey::kCountry:
                row[at].assign(key.auxText);
                break;
            case GroupKey::kType:
                row[at].assign(key.typeText);
                break;
            default:
                row[at] = labels.dayTexts[key.dayKey - 1][at];
                break;
        }
    }
    auto found = appRecords.find(row);
    return found != appRecords.end() ? found->second : listOf(labels, appRecords, row);
}

// Mixes the texts' first and last bytes and lengths, and the day key.
// Keys that share them share a slot: that only costs a look-up, as any
// collision does.
std::size_t slotIndexOf(const LineKey& key) {
    std::uint64_t hash = key.appName.size() | key.auxText.size() << 16 | key.currency.size() << 32 |
                         std::uint64_t{key.dayKey} << 40;
    for (std::string_view text : {key.appName, key.auxText, key.currency}) {
        TextWords words = textWords(text);
        hash = (std::rotl(hash, 23) ^ words.head) * kHashMultiplier;
        hash = (std::rotl(hash, 23) ^ words.tail) * kHashMultiplier;
    }
    if (!key.typeText.empty()) {
        TextWords words = textWords(key.typeText);
        hash = (std::rotl(hash, 23) ^ words.head ^ key.typeText.size()) * kHashMultiplier;
        hash = (std::rotl(hash, 23) ^ words.tail) * kHashMultiplier;
    }
    return static_cast<std::size_t>(hash >> 40) % LabelSlots::kSlotCount;
}

}  // namespace

LabelSlot& slotOf(LabelSlots& labels, AppRecords& appRecords, const LineKey& key) {
    LabelSlot& slot = labels.slots[slotIndexOf(key)];
    if (slot.list != nullptr && slot.appName == key.appName && slot.auxText == key.auxText &&
        slot.currency == key.currency && slot.typeText == key.typeText &&
        slot.dayKey == key.dayKey) {
        return slot;
    }
    slot.app = &appOf(labels, appRecords, key.appName);
    slot.list = labels.byAppOnly ? slot.app->list : &rowOf(labels, appRecords, key);
    slot.label = internLabel(*slot.list, key.appName, key.auxText, key.currency);
    slot.appName.assign(key.appName);
    slot.auxText.assign(key.auxText);
    slot.currency.assign(key.currency);
    slot.typeText.assign(key.typeText);
    slot.dayKey = key.dayKey;
    slot.hasPeriod = false;
    return slot;
}

std::uint32_t dayKeyOf(LabelSlots& labels, DateValue beginDate) {
    auto [entry, added] = labels.dayKeys.try_emplace(beginDate, 0);
    if (added) {
        RowKey texts(labels.grouping.size());
        for (std::size_t at = 0; at < texts.size(); ++at) {
            if (isDateKey(labels.grouping[at])) {
                texts[at] = dateKeyText(labels.grouping[at], beginDate);
            }
        }
        labels.dayTexts.push_back(std::move(texts));
        entry->second = static_cast<std::uint32_t>(labels.dayTexts.size());
    }
    return entry->second;
}
