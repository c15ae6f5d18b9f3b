// What the reader is asked for, the same for every report of a run: the
// date window, whether the records are kept or only summed, what their
// rows are keyed by, and who is told of each record. The driver makes it from the command line's
// settings; the reader reads nothing else of them.
#pragma once

#include <functional>

#include "common/grouping.h"
#include "common/types.h"

// Records that begin before startDate or end after endLimit are dropped; a
// bound of 0 leaves its side open.
struct DateWindow {
    DateValue startDate = 0;
    DateValue endLimit = 0;
};

// True when either side of the window is bounded.
inline bool isBounded(const DateWindow& window) {
    return window.startDate != 0 || window.endLimit != 0;
}

// True when a record with these dates lies inside the window.
inline bool insideDateWindow(const DateWindow& window, DateValue beginDate, DateValue endDate) {
    if (window.startDate != 0 && beginDate < window.startDate) {
        return false;
    }
    if (window.endLimit != 0 && endDate > window.endLimit) {
        return false;
    }
    return true;
}

// Told of each record a list stores, as it is read: the listing of -v -v.
using RecordSeen = std::function<void(const RecordList& list, const PackedRecord& record)>;

struct ReadOptions {
    DateWindow window;
    // Nothing will list the records: the application lists keep only their
    // sums (see record_list.h), and the fields only a listing shows are not
    // read.
    bool summaryOnly = false;
    Grouping grouping = appGrouping();  // what each record's row is keyed by
    RecordSeen onRecord;                // none: nothing is told of each record
};
