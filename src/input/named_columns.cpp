#include "input/named_columns.h"

#include <algorithm>
#include <cstring>

#include "common/lenient_number.h"
#include "input/product_type.h"

namespace {

// The header names of the columns, in the order of NamedColumn.
constexpr const char* kColumnNames[kNamedColumnCount] = {
    "Title",    "Product Type Identifier", "Units",        "Developer Proceeds", "Begin Date",
    "End Date", "Currency of Proceeds",    "Country Code", "Customer Price",
};

// A header that names one of these, but not all seven required columns,
// belongs to a layout that changed again.
constexpr NamedColumn kTellingColumns[] = {kTitleColumn, kProceedsColumn, kCurrencyColumn};

std::string_view trimSpaces(std::string_view text) {
    std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(' ') + 1 - begin);
}

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

ReportLayout chooseLayout(std::string_view header) {
    ReportLayout layout;
    std::fill(std::begin(layout.fieldOf), std::end(layout.fieldOf), -1);
    int index = 0;
    for (std::size_t begin = 0;; ++index) {
        std::size_t tab = header.find('\t', begin);
        std::string_view name =
            trimSpaces(header.substr(begin, tab == std::string_view::npos ? tab : tab - begin));
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
        int needed = layout.fieldOf[column] + 1;
        if (column < kCountryColumn) {
            layout.summedFields = std::max(layout.summedFields, needed);
        }
        layout.listedFields = std::max(layout.listedFields, needed);
    }
    layout.columnAt.assign(static_cast<std::size_t>(layout.listedFields), -1);
    for (int column = 0; column < kNamedColumnCount; ++column) {
        if (layout.fieldOf[column] >= 0) {
            layout.columnAt[static_cast<std::size_t>(layout.fieldOf[column])] =
                static_cast<signed char>(column);
        }
    }
    return layout;
}

bool takeNamedFields(std::string_view line, const ReportLayout& layout, bool listed,
                     RecordFields& fields) {
    std::string_view texts[kNamedColumnCount] = {};
    const int wanted = listed ? layout.listedFields : layout.summedFields;
    const char* const end = line.data() + line.size();
    const char* begin = line.data();
    for (int index = 0; index < wanted; ++index) {
        const void* tab = std::memchr(begin, '\t', static_cast<std::size_t>(end - begin));
        const char* fieldEnd = tab != nullptr ? static_cast<const char*>(tab) : end;
        int column = layout.columnAt[static_cast<std::size_t>(index)];
        if (column >= 0 && (listed || column < kCountryColumn)) {
            texts[column] =
                trimSpaces(std::string_view(begin, static_cast<std::size_t>(fieldEnd - begin)));
        }
        if (tab == nullptr) {
            break;
        }
        begin = fieldEnd + 1;
    }
    bool anyText = std::any_of(std::begin(texts), std::end(texts),
                               [](std::string_view text) { return !text.empty(); });
    if (!anyText && line.find_first_not_of(" \t") == std::string_view::npos) {
        return false;
    }
    fields.appName = texts[kTitleColumn];
    fields.typeCode = productTypeCode(texts[kTypeColumn]);
    fields.units = lenientInteger(texts[kUnitsColumn]);
    fields.unitAmount = lenientReal(texts[kProceedsColumn]);
    fields.beginText = texts[kBeginDateColumn];
    fields.endText = texts[kEndDateColumn];
    fields.currency = texts[kCurrencyColumn];
    fields.auxText = texts[kCountryColumn];
    fields.auxAmount = lenientReal(texts[kCustomerPriceColumn]);
    return true;
}
