#include "input/product_type.h"

#include "input/lenient_number.h"

namespace {

struct ProductType {
    std::string_view text;
    std::int32_t typeCode;
};

// Every code that is a sale or an update, spelt out, whether or not
// lenientInteger would read it so (`1` and `7` are caught before the table).
constexpr ProductType kProductTypes[] = {
    // apps: phone, universal, tablet, custom, bundle, desktop
    {"1", 1},
    {"1F", 1},
    {"1T", 1},
    {"1E", 1},
    {"1EP", 1},
    {"1EU", 1},
    {"1-B", 1},
    {"F1", 1},
    {"F1-B", 1},
    // in-app purchases and subscriptions
    {"IA1", 1},
    {"IA1-M", 1},
    {"IA9", 1},
    {"IA9-M", 1},
    {"IAY", 1},
    {"IAY-M", 1},
    {"IAC", 1},
    {"FI1", 1},
    // updates
    {"7", 7},
    {"7F", 7},
    {"7T", 7},
    {"F7", 7},
};

// Re-downloads and restores: neither a sale nor an update, and known to be so.
constexpr std::string_view kRecordOnlyTypes[] = {"3", "3F", "3T", "IA3"};

}  // namespace

std::int32_t lookUpProductType(std::string_view text, bool& inTable) {
    for (const ProductType& type : kProductTypes) {
        if (type.text == text) {
            inTable = true;
            return type.typeCode;
        }
    }
    inTable = false;
    return lenientInteger(text);
}

bool isRecordOnlyType(std::string_view text) {
    for (std::string_view type : kRecordOnlyTypes) {
        if (type == text) {
            return true;
        }
    }
    return false;
}
