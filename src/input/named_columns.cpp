#include "input/named_columns.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <type_traits>

#include "input/quoted_fields.h"
#include "input/reading/separator_positions.h"

namespace {

// The header names of the columns, in the order of NamedColumn.
constexpr const char* kColumnNames[kNamedColumnCount] = {
    "Title",    "Product Type Identifier", "Units",        "Developer Proceeds", "Begin Date",
    "End Date", "Currency of Proceeds",    "Country Code", "Customer Price",
};

// A header that names one of these, but not all seven required columns,
// belongs to a layout that changed again.
constexpr NamedColumn kTellingColumns[] = {kTitleColumn, kProceedsColumn, kCurrencyColumn};

// text[begin, end) without the spaces at either end. Most fields have
// none: two tests pass them.
inline std::string_view trimSpaces(const char* text, std::size_t begin, std::size_t end) {
    if (begin == end || (text[begin] != ' ' && text[end - 1] != ' ')) {
        return std::string_view(text + begin, end - begin);
    }
    while (begin < end && text[begin] == ' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == ' ') {
        --end;
    }
    return std::string_view(text + begin, end - begin);
}

// True when every field of the line, trimmed, reads as empty.
bool allFieldsReadAsEmpty(std::string_view line) {
    for (std::size_t begin = 0;;) {
        std::size_t tab = line.find('\t', begin);
        std::size_t end = tab == std::string_view::npos ? line.size() : tab;
        if (!readsAsEmpty(trimSpaces(line.data(), begin, end))) {
            return false;
        }
        if (tab == std::string_view::npos) {
            return true;
        }
        begin = tab + 1;
    }
}

// Takes the quotes off the fields of a line that holds a '"', and returns
// whether the line, so read, is one of empty fields (no record): a field
// '""' is empty too. Kept out of the usual line's way.
[[gnu::noinline]] bool unquoteLine(const WholeLine& line, bool anyText, bool withCountry,
                                   RecordFields& fields, std::string& scratch) {
    bool quoted = unquoteFields(fields, scratch, line.text.size(), withCountry);
    return (!anyText || quoted) && allFieldsReadAsEmpty(line.text);
}

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

const char* notTabSeparated(std::string_view header) {
    if (header.starts_with("PK\x03\x04")) {
        return "it is a workbook or zip archive, not a text report";
    }
    if (header.find('\t') == std::string_view::npos &&
        header.find_first_of(",;") != std::string_view::npos) {
        return "it is comma-separated; export it as tab-separated text";
    }
    return nullptr;
}

ReportLayout chooseLayout(std::string_view header) {
    ReportLayout layout;
    std::fill(std::begin(layout.fieldOf), std::end(layout.fieldOf), -1);
    std::string unquoted;  // one name's text at a time
    int index = 0;
    for (std::size_t begin = 0;; ++index) {
        unquoted.clear();
        std::size_t tab = header.find('\t', begin);
        // A quoted name is read by its text.
        std::string_view name = unquoteField(
            trimSpaces(header.data(), begin, tab == std::string_view::npos ? header.size() : tab),
            unquoted);
        for (int column = 0; column < kNamedColumnCount; ++column) {
            if (layout.fieldOf[column] < 0 && sameNameIgnoringCase(name, kColumnNames[column])) {
                layout.fieldOf[column] = index;
            }
        }
        if (tab == std::string_view::npos) {
            break;
        }
        begin = tab + 1;
    }
    const char* missing = nullptr;
    for (int column = 0; column < kRequiredColumnCount && missing == nullptr; ++column) {
        if (layout.fieldOf[column] < 0) {
            missing = kColumnNames[column];
        }
    }
    layout.byName = missing == nullptr;
    if (!layout.byName) {
        bool telling = std::any_of(std::begin(kTellingColumns), std::end(kTellingColumns),
                                   [&](NamedColumn column) { return layout.fieldOf[column] >= 0; });
        layout.missingColumn = telling ? missing : nullptr;
        return layout;
    }
    for (int column = 0; column < kNamedColumnCount; ++column) {
        if (layout.fieldOf[column] < 0) {
            continue;
        }
        ReportLayout::Pick pick{layout.fieldOf[column], static_cast<NamedColumn>(column)};
        layout.allPicks[layout.allPickCount++] = pick;
        if (column != kCountryColumn) {
            layout.summedPicks[layout.summedPickCount++] = pick;
        }
        if (column < kRequiredColumnCount) {
            layout.fieldsNeeded = std::max(layout.fieldsNeeded, pick.field + 1);
        }
    }
    auto byField = [](const ReportLayout::Pick& a, const ReportLayout::Pick& b) {
        return a.field < b.field;
    };
    std::sort(layout.summedPicks, layout.summedPicks + layout.summedPickCount, byField);
    std::sort(layout.allPicks, layout.allPicks + layout.allPickCount, byField);
    return layout;
}

namespace {

// Where each column's text goes, in the order of NamedColumn.
constexpr std::string_view RecordFields::*kColumnTexts[kNamedColumnCount] = {
    &RecordFields::appName,    &RecordFields::typeText,  &RecordFields::unitsText,
    &RecordFields::amountText, &RecordFields::beginText, &RecordFields::endText,
    &RecordFields::currency,   &RecordFields::auxText,   &RecordFields::auxAmountText,
};

}  // namespace

NamedLine takeNamedFields(const WholeLine& line, const ReportLayout& layout, FieldsNeeded needed,
                          RecordFields& fields, std::string& scratch,
                          std::vector<std::uint32_t>& tabAt) {
    const ReportLayout::Pick* picks = needed.country ? layout.allPicks : layout.summedPicks;
    const int pickCount = needed.country ? layout.allPickCount : layout.summedPickCount;
    const char* const text = line.text.data();
    const std::size_t length = line.text.size();
    // The TABs up to the one after the last field taken (the picks are in
    // field order): field f runs from tabAt[f] + 1 up to tabAt[f + 1], or
    // the line's end when it has only f TABs.
    const int tabsWanted = pickCount == 0 ? 0 : picks[pickCount - 1].field + 1;
    const std::size_t room = static_cast<std::size_t>(tabsWanted) + 1 + kSeparatorOverrun;
    if (tabAt.size() < room) {
        tabAt.resize(room);
    }
    const int tabCount = separatorPositions(line.tabBits.data(), length, tabAt.data(), tabsWanted);
    // A column the header lacks is not taken: it reads as empty. Every
    // column taken is written straight into its field, on every line.
    fields.auxAmountText = std::string_view();
    if (needed.country) {
        fields.auxText = std::string_view();
    }
    std::size_t anyText = 0;  // not 0 when a column taken holds text
    // With a TAB after the last field taken, as on the usual line, every
    // field taken lies between two TABs: the loop then tests nothing else.
    auto takeColumns = [&](auto everyFieldClosed) {
        for (int at = 0; at < pickCount; ++at) {
            const ReportLayout::Pick& pick = picks[at];
            std::string_view& taken = fields.*kColumnTexts[pick.column];
            if (!everyFieldClosed && pick.field > tabCount) {
                taken = std::string_view();  // the line has no such field
                continue;
            }
            const std::size_t begin = tabAt[pick.field] + 1u;  // 0 for the first field
            const std::size_t end =
                everyFieldClosed || pick.field < tabCount ? tabAt[pick.field + 1] : length;
            taken = trimSpaces(text, begin, end);
            anyText |= taken.size();
        }
    };
    if (tabCount >= tabsWanted) {
        takeColumns(std::true_type());
    } else {
        takeColumns(std::false_type());
    }
    if (anyText == 0 && !line.mayHoldQuote &&
        line.text.find_first_not_of(" \t") == std::string_view::npos) {
        return NamedLine::kNoRecord;
    }
    if (line.mayHoldQuote && unquoteLine(line, anyText != 0, needed.country, fields, scratch)) {
        return NamedLine::kNoRecord;
    }
    convertFieldTexts(fields, needed.listed);
    // The last required column's field lies past the line's end.
    return tabCount + 1 < layout.fieldsNeeded ? NamedLine::kShortRecord : NamedLine::kRecord;
}

int countFields(const WholeLine& line) {
    return static_cast<int>(std::count(line.text.begin(), line.text.end(), '\t')) + 1;
}
