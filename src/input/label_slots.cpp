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

// The line key's text for the grouping's key at this place.
std::string_view rowText(const LabelSlots& labels, const LineKey& key, std::size_t at) {
    switch (labels.grouping[at]) {
        case GroupKey::kApp:
            return key.appName;
        case GroupKey::kCountry:
            return key.auxText;
        case GroupKey::kType:
            return key.typeText;
        default:
            return labels.dayTexts[key.dayKey - 1][at];
    }
}

// The texts of the line key's row, one after the other, each after its
// length: what its list is found by.
void joinRowTexts(const LabelSlots& labels, const LineKey& key, std::string& joined) {
    joined.clear();
    for (std::size_t at = 0; at < labels.grouping.size(); ++at) {
        const std::string_view text = rowText(labels, key, at);
        const std::uint32_t length = static_cast<std::uint32_t>(text.size());
        joined.append(reinterpret_cast<const char*>(&length), sizeof length).append(text);
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
        row[at].assign(rowText(labels, key, at));
    }
    RecordList& list = listOf(labels, appRecords, row);
    labels.rowLists.emplace(labels.joinedScratch, &list);
    return list;
}

// The words of a line key's texts (see text_words.h), taken once to hash
// the key and to compare it with a slot's.
struct KeyWords {
    TextWords appName;
    TextWords auxText;
    TextWords currency;
    TextWords typeText;
};

// Mixes the three texts' words and lengths. Texts that share them share a
// slot: that only costs a look-up, as any collision does. Three products
// side by side rather than one chain of six: the slot's load waits for
// the hash, and the chain was the longest wait of a line. Each product's
// top bits, where the index is taken, depend on every bit multiplied.
[[gnu::always_inline]] inline std::uint64_t hashTriple(std::string_view appName,
                                                       std::string_view auxText,
                                                       std::string_view currency, KeyWords& words) {
    constexpr std::uint64_t kSecondMultiplier = 0xC2B2AE3D27D4EB4Fu;
    constexpr std::uint64_t kThirdMultiplier = 0x165667B19E3779F9u;
    words.appName = textWords(appName);
    words.auxText = textWords(auxText);
    words.currency = textWords(currency);
    const std::uint64_t sizes = appName.size() | auxText.size() << 16 | currency.size() << 32;
    const std::uint64_t first = words.appName.head ^ std::rotl(words.currency.head, 32);
    const std::uint64_t second = words.appName.tail ^ sizes;
    const std::uint64_t third =
        words.auxText.head ^ std::rotl(words.auxText.tail, 32) ^ std::rotl(words.currency.tail, 16);
    return first * kHashMultiplier ^ second * kSecondMultiplier ^ third * kThirdMultiplier;
}

std::size_t slotIndexOf(std::uint64_t hash) {
    return static_cast<std::size_t>(hash >> 52) % LabelSlots::kSlotCount;
}

// Rows keyed by more than the application have many more keys (a country
// code multiplies them by the dozen), so each may take either of two slots:
// a key found in neither takes the first, and the first's key moves to the
// second. Two keys that share their slots then stay side by side.
[[gnu::noinline]] LabelSlot& rowSlotMissed(LabelSlot& first) {
    std::swap(first, (&first)[1]);
    return first;
}

// Fills the slot with the key's list and label.
LabelSlot& refillSlot(LabelSlots& labels, AppRecords& appRecords, LabelSlot& slot,
                      const LineKey& key, const KeyWords& words) {
    slot.app = &appOf(labels, appRecords, key.appName);
    slot.list = labels.byAppOnly ? slot.app->list : &rowOf(labels, appRecords, key);
    // A list that keeps only its sums needs of a label no more than its
    // currency (see addToSummary): so rows keyed by a period or a type hold
    // a label per currency, not one per application and country.
    slot.label = slot.list->summaryOnly
                     ? internLabel(*slot.list, {}, {}, key.currency)
                     : internLabel(*slot.list, key.appName, key.auxText, key.currency);
    slot.assign(kSlotName, key.appName, words.appName);
    slot.assign(kSlotCountry, key.auxText, words.auxText);
    slot.assign(kSlotCurrency, key.currency, words.currency);
    slot.assign(kSlotType, key.typeText, words.typeText);
    slot.dayKey = key.dayKey;
    slot.cell = 0;
    slot.hasPeriod = false;
    return slot;
}

// A key its slot does not hold may be in the slot's neighbour: of two
// keys that share a slot and are met by turns, the first met keeps the
// slot and the other takes the neighbour, unless that holds a key of its
// own slot. Without it, one line in thirty refilled a slot on the big set.
[[gnu::noinline]] LabelSlot& slotMissed(LabelSlots& labels, AppRecords& appRecords,
                                        std::size_t index, const LineKey& key,
                                        const KeyWords& words) {
    LabelSlot& slot = labels.slots[index];
    LabelSlot& neighbour = labels.slots[index ^ 1];
    if (neighbour.list != nullptr && neighbour.holds(kSlotName, key.appName, words.appName) &&
        neighbour.holds(kSlotCurrency, key.currency, words.currency) &&
        neighbour.holds(kSlotCountry, key.auxText, words.auxText)) {
        return neighbour;
    }
    LabelSlot& taken = slot.list == nullptr || neighbour.list != nullptr ? slot : neighbour;
    return refillSlot(labels, appRecords, taken, key, words);
}

}  // namespace

LabelSlot& slotOf(LabelSlots& labels, AppRecords& appRecords, std::string_view appName,
                  std::string_view auxText, std::string_view currency) {
    KeyWords words;
    const std::size_t index = slotIndexOf(hashTriple(appName, auxText, currency, words));
    LabelSlot& slot = labels.slots[index];
    if (slot.list != nullptr && slot.holds(kSlotName, appName, words.appName) &&
        slot.holds(kSlotCurrency, currency, words.currency) &&
        slot.holds(kSlotCountry, auxText, words.auxText)) {
        return slot;
    }
    return slotMissed(labels, appRecords, index, {appName, auxText, currency, {}, 0}, words);
}

LabelSlot& rowSlotOf(LabelSlots& labels, AppRecords& appRecords, const LineKey& key) {
    KeyWords words;
    std::uint64_t hash = hashTriple(key.appName, key.auxText, key.currency, words);
    if (!key.typeText.empty()) {
        words.typeText = textWords(key.typeText);
        hash = (std::rotl(hash, 23) ^ words.typeText.head ^ key.typeText.size()) * kHashMultiplier;
    }
    hash = (std::rotl(hash, 23) ^ words.typeText.tail ^ std::uint64_t{key.dayKey} << 32) *
           kHashMultiplier;
    LabelSlot* slot = &labels.slots[slotIndexOf(hash) & ~std::size_t{1}];
    auto holds = [&](const LabelSlot& held) {
        return held.list != nullptr && held.dayKey == key.dayKey &&
               held.holds(kSlotName, key.appName, words.appName) &&
               held.holds(kSlotCurrency, key.currency, words.currency) &&
               held.holds(kSlotCountry, key.auxText, words.auxText) &&
               held.holds(kSlotType, key.typeText, words.typeText);
    };
    if (holds(slot[0])) {
        return slot[0];
    }
    if (holds(slot[1])) {
        return slot[1];
    }
    return refillSlot(labels, appRecords, rowSlotMissed(*slot), key, words);
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
