// The stored records of one application's list, in 16 bytes each.
//
// A record's type and its two amounts repeat from record to record: an
// application has one price per country and tier, and its updates carry no
// amounts at all. So each distinct combination of the three is kept once,
// as values, and a stored record holds its units and three indexes: half
// the 32 bytes of a PackedRecord, which is what the store takes and gives
// back. Values are matched by their exact bits, so every amount comes back
// as the very double that was put in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <iterator>
#include <vector>

// A record of a list: its numbers, and the indexes of its label and period
// in the list.
struct PackedRecord {
    double unitAmount = 0.0;
    double auxAmount = 0.0;  // the customer price, shown only in the listing
    std::int32_t typeCode = 0;
    std::int32_t units = 0;
    std::uint32_t label = 0;   // index into RecordList::labels
    std::uint32_t period = 0;  // index into RecordList::periods
};

struct RecordValues {
    double unitAmount = 0.0;
    double auxAmount = 0.0;
    std::int32_t typeCode = 0;
};

struct StoredRecord {
    std::int32_t units = 0;
    std::uint32_t label = 0;
    std::uint32_t period = 0;
    std::uint32_t values = 0;  // index into RecordStore::values
};

struct RecordStoreIterator {
    using iterator_category = std::forward_iterator_tag;
    using value_type = PackedRecord;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = PackedRecord;

    std::deque<StoredRecord>::const_iterator at;
    const RecordValues* values = nullptr;

    PackedRecord operator*() const;
    RecordStoreIterator& operator++() {
        ++at;
        return *this;
    }
    RecordStoreIterator operator++(int) {
        RecordStoreIterator before = *this;
        ++at;
        return before;
    }
    bool operator==(const RecordStoreIterator& other) const { return at == other.at; }
};

// Reads like a std::deque<PackedRecord> that only grows at its end.
struct RecordStore {
    std::deque<StoredRecord> stored;  // grows in fixed blocks, never moves a record
    std::vector<RecordValues> values;
    // Open addressing over values: 1 + an index, or 0 for a free slot. Its
    // size is a power of two, at least twice the count of values.
    std::vector<std::uint32_t> valueSlots;
    std::uint32_t lastValues = 0;  // the values of the record before, most often met again

    void push_back(const PackedRecord& record);
    std::size_t size() const { return stored.size(); }
    bool empty() const { return stored.empty(); }
    PackedRecord operator[](std::size_t index) const;
    PackedRecord back() const { return (*this)[size() - 1]; }
    RecordStoreIterator begin() const { return {stored.begin(), values.data()}; }
    RecordStoreIterator end() const { return {stored.end(), values.data()}; }
};
