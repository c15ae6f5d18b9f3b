#include "input/label_slots.h"

#include <bit>

#include "common/hash_mixing.h"
#include "input/reading/text_words.h"

namespace {

AppSlot& appOf(LabelSlots& labels, AppRecords& appRecords, std::string_view appName) {
    auto found = labels.lists.find(appName);
    if (found != labels.lists.end()) {
        return found->second;
    }
    auto [entry, added] = appRecords.try_emplace(std::string(appName));
    RecordList& list = entry->second;
    if (added) {
        list.summaryOnly = labels.summaryOnly;  // the list is read this way throughout
    }
    auto made = labels.lists.try_emplace(std::string(appName)).first;
    made->second.list = &list;
    made->second.days.name = &made->first;  // the key stays where it is
    return made->second;
}

// Mixes the three texts' first and last bytes and lengths. Texts that share
// them share a slot: that only costs a look-up, as any collision does.
std::size_t slotIndexOf(std::string_view appName, std::string_view auxText,
                        std::string_view currency) {
    std::uint64_t hash = appName.size() | auxText.size() << 16 | currency.size() << 32;
    for (std::string_view text : {appName, auxText, currency}) {
        TextWords words = textWords(text);
        hash = (std::rotl(hash, 23) ^ words.head) * kHashMultiplier;
        hash = (std::rotl(hash, 23) ^ words.tail) * kHashMultiplier;
    }
    return static_cast<std::size_t>(hash >> 40) % LabelSlots::kSlotCount;
}

}  // namespace

LabelSlot& slotOf(LabelSlots& labels, AppRecords& appRecords, std::string_view appName,
                  std::string_view auxText, std::string_view currency) {
    LabelSlot& slot = labels.slots[slotIndexOf(appName, auxText, currency)];
    if (slot.list != nullptr && slot.appName == appName && slot.auxText == auxText &&
        slot.currency == currency) {
        return slot;
    }
    slot.app = &appOf(labels, appRecords, appName);
    slot.list = slot.app->list;
    slot.label = internLabel(*slot.list, appName, auxText, currency);
    slot.appName.assign(appName);
    slot.auxText.assign(auxText);
    slot.currency.assign(currency);
    slot.hasPeriod = false;
    return slot;
}
