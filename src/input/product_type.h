// What a record's product type text means: a sale, an update, or another
// kind that is counted as a record only.
#pragma once

#include <cstdint>
#include <string_view>

// The type code of a product type text, taken exactly and with its case:
// 1 for an app sold or downloaded free and for an in-app purchase or
// subscription (`1`, `1F`, `F1`, `IA1`, ...), 7 for an update (`7`, `7F`,
// `7T`, `F7`), and for any other text its lenientInteger (re-downloads `3`
// and `3F` give 3, restores `IA3` give 0, and a text the table lacks such
// as `1X` gives what its number reads). One table serves every layout.
// inTable tells whether the text is one of the table's sales and updates.
inline std::int32_t productTypeCode(std::string_view text, bool& inTable);

// True for a type that is counted as a record only on purpose: re-downloads
// (`3`, `3F`, `3T`) and restores (`IA3`). Any other text that is not in the
// table of sales and updates is a type that this table does not know.
bool isRecordOnlyType(std::string_view text);

// The same for a text other than `1` and `7`.
std::int32_t lookUpProductType(std::string_view text, bool& inTable);

inline std::int32_t productTypeCode(std::string_view text, bool& inTable) {
    // Most records are plain sales and updates: spare them the table.
    if (text.size() == 1 && (text[0] == '1' || text[0] == '7')) {
        inTable = true;
        return text[0] - '0';
    }
    return lookUpProductType(text, inTable);
}
