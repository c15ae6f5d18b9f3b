// Finding the list and the label of a record line without looking up two
// maps. Lines repeat the same few (name, country code, currency) triples and
// periods, so most lines find their list, label and period in a slot. The
// slots are direct-mapped by a hash of the triple; a collision only costs a
// look-up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/types.h"
#include "input/held_days.h"

// What the reader keeps of one application beside its list.
struct AppSlot {
    RecordList* list = nullptr;
    // The reader's stamp of the days last noted for the application; 0:
    // none.
    std::uint64_t dayStamp = 0;
    AppDays days;  // what the reports read in full hold of it
};

// A recently seen triple with the list it belongs to, its label there and
// the period of its last record.
struct LabelSlot {
    std::string appName;
    std::string auxText;  // the country code
    std::string currency;
    RecordList* list = nullptr;  // none: the slot is empty
    AppSlot* app = nullptr;      // the list's application
    std::uint32_t label = 0;
    bool hasPeriod = false;
    std::uint32_t period = 0;
    DateValue beginDate = 0;
    DateValue endDate = 0;
};

// The slots of one run's reading, and its lists by application name. They
// point into the AppRecords the lists were made in.
struct LabelSlots {
    static constexpr std::size_t kSlotCount = 2048;
    std::vector<LabelSlot> slots = std::vector<LabelSlot>(kSlotCount);
    std::unordered_map<std::string, AppSlot, TextHash, std::equal_to<>> lists;
    bool summaryOnly = false;  // the lists made keep only their sums
};

// The slot holding the triple's list and label, refilled (the list made in
// appRecords and the label interned when new) when it held another triple.
LabelSlot& slotOf(LabelSlots& labels, AppRecords& appRecords, std::string_view appName,
                  std::string_view auxText, std::string_view currency);

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
