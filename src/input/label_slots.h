// Finding the list and the label of a record line without looking up two
// maps. Lines repeat the same few (name, country code, currency) triples and
// periods, so most lines find their list, label and period in a slot. The
// slots are direct-mapped by a hash of the triple; a collision only costs a
// look-up. When -g keys the rows by a line's type or dates too, these join
// the triple: a slot is then one row's label.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/grouping.h"
#include "common/types.h"
#include "input/held_days.h"
#include "input/reading/text_words.h"

// What the reader keeps of one application beside its list.
struct AppSlot {
    RecordList* list = nullptr;  // its row; none when the rows are keyed otherwise
    // The reader's stamp of the days last noted for the application; 0:
    // none.
    std::uint64_t dayStamp = 0;
    AppDays days;  // what the reports read in full hold of it
};

// The texts a line's row and label are found by.
struct LineKey {
    std::string_view appName;
    std::string_view auxText;  // the country code
    std::string_view currency;
    std::string_view typeText;  // empty unless the rows are keyed by type
    std::uint32_t dayKey = 0;   // the begin date's (dayKeyOf); 0 unless keyed by a date
};

// The texts of a line key, in the order of a slot's checks.
enum SlotTextIndex { kSlotName, kSlotCurrency, kSlotCountry, kSlotType, kSlotTextCount };

// A recently seen line key with the list it belongs to, its label there
// (and, for a list that keeps only its sums, the label's cell) and the
// period of its last record. A text is told from the slot's by its
// length and words (see text_words.h), which tell every text of up to 16
// bytes from every other; a longer one is also compared byte by byte with
// the slot's copy. A hit when the rows are the applications, and nothing
// keys them by the country code, reads the first cache line alone: the
// default run's slots then fit the first-level cache (they did not when
// the checks spread over three lines).
struct alignas(64) LabelSlot {
    RecordList* list = nullptr;  // none: the slot is empty
    AppSlot* app = nullptr;      // the list's application
    // When the list keeps only its sums: 1 + the index of the label's cell
    // there (see cellOfLabel), or 0 before the label's first sale.
    std::uint32_t cell = 0;
    std::uint32_t nameSize = 0;
    std::uint32_t currencySize = 0;
    std::uint32_t countrySize = 0;
    TextWords nameWords;
    TextWords currencyWords;
    // The second line: what keys the slot only at times, and the label,
    // which a list that keeps only its sums needs only for its cell.
    std::uint32_t label = 0;
    std::uint32_t typeSize = 0;
    std::uint32_t dayKey = 0;
    TextWords countryWords;
    TextWords typeWords;
    bool hasPeriod = false;
    std::uint32_t period = 0;
    DateValue beginDate = 0;
    DateValue endDate = 0;
    std::string keyTexts[kSlotTextCount];  // name, currency, country code, type text

    // A slot's words and length of a text, const or not with the slot.
    template <typename Slot>
    [[gnu::always_inline]] static auto& wordsIn(Slot& slot, SlotTextIndex at) {
        switch (at) {
            case kSlotName:
                return slot.nameWords;
            case kSlotCurrency:
                return slot.currencyWords;
            case kSlotCountry:
                return slot.countryWords;
            default:
                return slot.typeWords;
        }
    }
    template <typename Slot>
    [[gnu::always_inline]] static auto& sizeIn(Slot& slot, SlotTextIndex at) {
        switch (at) {
            case kSlotName:
                return slot.nameSize;
            case kSlotCurrency:
                return slot.currencySize;
            case kSlotCountry:
                return slot.countrySize;
            default:
                return slot.typeSize;
        }
    }
    // An empty text's words are zero: its length alone tells it, and the
    // words, which may lie on the second line, are not read.
    [[gnu::always_inline]] bool holds(SlotTextIndex at, std::string_view text,
                                      TextWords words) const {
        if (sizeIn(*this, at) != text.size()) {
            return false;
        }
        const TextWords& held = wordsIn(*this, at);
        return text.empty() || (held.head == words.head && held.tail == words.tail &&
                                (text.size() <= 16 || std::string_view(keyTexts[at]) == text));
    }
    void assign(SlotTextIndex at, std::string_view text, TextWords words) {
        wordsIn(*this, at) = words;
        sizeIn(*this, at) = static_cast<std::uint32_t>(text.size());
        keyTexts[at].assign(text);
    }
};

// The slots of one run's reading, and its lists by application name. They
// point into the AppRecords the lists were made in.
struct LabelSlots {
    static constexpr std::size_t kSlotCount = 4096;
    std::vector<LabelSlot> slots = std::vector<LabelSlot>(kSlotCount);
    std::unordered_map<std::string, AppSlot, TextHash, std::equal_to<>> lists;
    bool summaryOnly = false;  // the lists made keep only their sums
    Grouping grouping = appGrouping();
    bool byAppOnly = true;  // the rows are the applications: each list is its AppSlot's
    // The texts of the date keys, by day key less one: one per key of the
    // grouping, set where the key is a date key. Found by the begin date.
    std::vector<RowKey> dayTexts;
    std::map<RowKey, std::uint32_t> dayTextKeys;           // to 1 + its index in dayTexts
    std::unordered_map<DateValue, std::uint32_t> dayKeys;  // a begin date's
    // Each row's list by its texts, joined (see joinRowTexts), and the
    // scratch they are joined in.
    std::unordered_map<std::string, RecordList*, TextHash, std::equal_to<>> rowLists;
    std::string joinedScratch;
    RowKey scratchKey;  // a new row's key
};

// The slot holding the triple's list and label, when the rows are the
// applications: refilled (the list made in appRecords and the label
// interned when new) when it held another triple.
LabelSlot& slotOf(LabelSlots& labels, AppRecords& appRecords, std::string_view appName,
                  std::string_view auxText, std::string_view currency);

// The same for rows keyed otherwise: the slot is the whole line key's.
LabelSlot& rowSlotOf(LabelSlots& labels, AppRecords& appRecords, const LineKey& key);

// The day key of a begin date: its date keys' texts, worked out once per
// date value and interned, so that the days of one month share a key when
// the rows are keyed by month.
std::uint32_t dayKeyOf(LabelSlots& labels, DateValue beginDate);

// The index of the period with these dates in the slot's list: the slot
// remembers the last one.
inline std::uint32_t periodOf(LabelSlot& slot, DateValue beginDate, DateValue endDate) {
    if (!slot.hasPeriod || slot.beginDate != beginDate || slot.endDate != endDate) {
        slot.period = internPeriod(*slot.list, beginDate, endDate);
        slot.hasPeriod = true;
        slot.beginDate = beginDate;
        slot.endDate = endDate;
    }
    return slot.period;
}
