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

// The texts of the line key's row, one after the other, each after its
// length: what its list is found by.
void joinRowTexts(const LabelSlots& labels, const LineKey& key, std::string& joined) {
    joined.clear();
    auto append = [&](std::string_view text) {
        const std::uint32_t length = static_cast<std::uint32_t>(text.size());
        joined.append(reinterpret_cast<const char*>(&length), sizeof length).append(text);
    };
    for (std::size_t at = 0; at < labels.grouping.size(); ++at) {
        switch (labels.grouping[at]) {
            case GroupKey::kApp:
                append(key.appName);
                break;
            case GroupKey::kCountry:
                append(key.auxText);
                break;
            case GroupKey::kType:
                append(key.typeText);
                break;
            default:
                append(labels.dayTexts[key.dayKey - 1][at]);
                break;
        }
    }
}

// The list of the line key's row, when the rows are keyed by more than the
// application; made in appRecords when new.
RecordList& rowOf(LabelSlots& labels, AppRecords& appRecords, const LineKey& key) {
    joinRowTexts(labels, key, labels.joinedScratch);
    auto known = labels.rowLists.find(std::string_view(labels.joinedScratch));
    if (known != labels.rowLists.end()) {
        return *known->second;
    }
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
    RecordList& list = listOf(labels, appRecords, row);
    labels.rowLists.emplace(labels.joinedScratch, &list);
    return list;
}

// Mixes the three texts' first and last bytes and lengths. Texts that
// share them share a slot: that only costs a look-up, as any collision
// does.
[[gnu::always_inline]] inline std::uint64_t hashTriple(std::string_view appName,
                                                       std::string_view auxText,
                                                       std::string_view currency) {
    std::uint64_t hash = appName.size() | auxText.size() << 16 | currency.size() << 32;
    for (std::string_view text : {appName, auxText, currency}) {
        TextWords words = textWords(text);
        hash = (std::rotl(hash, 23) ^ words.head) * kHashMultiplier;
        hash = (std::rotl(hash, 23) ^ words.tail) * kHashMultiplier;
    }
    return hash;
}

std::size_t slotIndexOf(std::uint64_t hash) {
    return static_cast<std::size_t>(hash >> 40) % LabelSlots::kSlotCount;
}

// Fills the slot with the key's list and label.
LabelSlot& refillSlot(LabelSlots& labels, AppRecords& appRecords, LabelSlot& slot,
                      const LineKey& key) {
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

}  // namespace

LabelSlot& slotOf(LabelSlots& labels, AppRecords& appRecords, std::string_view appName,
                  std::string_view auxText, std::string_view currency) {
    LabelSlot& slot = labels.slots[slotIndexOf(hashTriple(appName, auxText, currency))];
    if (slot.list != nullptr && slot.appName == appName && slot.auxText == auxText &&
        slot.currency == currency) {
        return slot;
    }
    return refillSlot(labels, appRecords, slot, {appName, auxText, currency, {}, 0});
}

LabelSlot& rowSlotOf(LabelSlots& labels, AppRecords& appRecords, const LineKey& key) {
    std::uint64_t hash = hashTriple(key.appName, key.auxText, key.currency);
    TextWords words = textWords(key.typeText);
    hash = (std::rotl(hash, 23) ^ words.head ^ key.typeText.size()) * kHashMultiplier;
    hash = (std::rotl(hash, 23) ^ words.tail ^ std::uint64_t{key.dayKey} << 32) * kHashMultiplier;
    LabelSlot& slot = labels.slots[slotIndexOf(hash)];
    if (slot.list != nullptr && slot.dayKey == key.dayKey && slot.appName == key.appName &&
        slot.auxText == key.auxText && slot.currency == key.currency &&
        slot.typeText == key.typeText) {
        return slot;
    }
    return refillSlot(labels, appRecords, slot, key);
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
        // The days of one month (or week, or year) share its key, and so
        // its rows' slots.
        auto [interned, isNew] = labels.dayTextKeys.try_emplace(texts, 0);
        if (isNew) {
            labels.dayTexts.push_back(std::move(texts));
            interned->second = static_cast<std::uint32_t>(labels.dayTexts.size());
        }
        entry->second = interned->second;
    }
    return entry->second;
}
