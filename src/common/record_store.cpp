#include "common/record_store.h"

#include <bit>
#include <cstring>

#include "common/hash_mixing.h"

namespace {

std::uint64_t bitsOf(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

bool sameValues(const RecordValues& a, const PackedRecord& b) {
    return a.typeCode == b.typeCode && bitsOf(a.unitAmount) == bitsOf(b.unitAmount) &&
           bitsOf(a.auxAmount) == bitsOf(b.auxAmount);
}

std::size_t slotOf(const PackedRecord& record, std::size_t slotCount) {
    std::uint64_t hash =
        (bitsOf(record.unitAmount) ^ static_cast<std::uint32_t>(record.typeCode)) * kHashMultiplier;
    hash = (std::rotl(hash, 29) ^ bitsOf(record.auxAmount)) * kHashMultiplier;
    return static_cast<std::size_t>(hash >> 32) & (slotCount - 1);
}

// Doubles the slots once values fill half of them, and files every value
// anew.
void growSlots(RecordStore& store) {
    std::size_t slotCount = store.valueSlots.empty() ? 64 : 2 * store.valueSlots.size();
    store.valueSlots.assign(slotCount, 0);
    for (std::size_t index = 0; index < store.values.size(); ++index) {
        const RecordValues& values = store.values[index];
        std::size_t slot =
            slotOf({values.unitAmount, values.auxAmount, values.typeCode, 0, 0, 0}, slotCount);
        while (store.valueSlots[slot] != 0) {
            slot = (slot + 1) & (slotCount - 1);
        }
        store.valueSlots[slot] = static_cast<std::uint32_t>(index + 1);
    }
}

// The index of the record's values, adding them when they are new.
std::uint32_t internValues(RecordStore& store, const PackedRecord& record) {
    if (store.lastValues < store.values.size() &&
        sameValues(store.values[store.lastValues], record)) {
        return store.lastValues;
    }
    if (2 * (store.values.size() + 1) > store.valueSlots.size()) {
        growSlots(store);
    }
    const std::size_t mask = store.valueSlots.size() - 1;
    std::size_t slot = slotOf(record, store.valueSlots.size());
    for (; store.valueSlots[slot] != 0; slot = (slot + 1) & mask) {
        std::uint32_t index = store.valueSlots[slot] - 1;
        if (sameValues(store.values[index], record)) {
            store.lastValues = index;
            return index;
        }
    }
    auto index = static_cast<std::uint32_t>(store.values.size());
    store.values.push_back({record.unitAmount, record.auxAmount, record.typeCode});
    store.valueSlots[slot] = index + 1;
    store.lastValues = index;
    return index;
}

PackedRecord unpack(const StoredRecord& record, const RecordValues* values) {
    const RecordValues& shared = values[record.values];
    return {shared.unitAmount, shared.auxAmount, shared.typeCode,
            record.units,      record.label,     record.period};
}

}  // namespace

PackedRecord RecordStoreIterator::operator*() const {
    return unpack(*at, values);
}

void RecordStore::push_back(const PackedRecord& record) {
    std::uint32_t shared = internValues(*this, record);
    stored.push_back({record.units, record.label, record.period, shared});
}

PackedRecord RecordStore::operator[](std::size_t index) const {
    return unpack(stored[index], values.data());
}
