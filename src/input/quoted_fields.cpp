#include "input/quoted_fields.h"

std::string_view unquoteField(std::string_view text, std::string& scratch) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return text;
    }
    std::string_view trimmed = text.substr(first, text.find_last_not_of(' ') + 1 - first);
    if (trimmed.size() < 2 || trimmed.front() != '"' || trimmed.back() != '"') {
        return text;
    }
    std::string_view inner = trimmed.substr(1, trimmed.size() - 2);
    if (inner.find("\"\"") == std::string_view::npos) {
        return inner;
    }
    std::size_t start = scratch.size();
    for (std::size_t at = 0; at < inner.size(); ++at) {
        scratch.push_back(inner[at]);
        if (inner[at] == '"' && at + 1 < inner.size() && inner[at + 1] == '"') {
            ++at;
        }
    }
    return std::string_view(scratch).substr(start);
}

void quoted_fields_detail::unquoteEach(RecordFields& fields, std::string& scratch,
                                       std::size_t lineLength, bool withCountry) {
    // The texts unquoted into the scratch are shorter than the line, so
    // with this room no append moves the texts appended before it.
    scratch.clear();
    scratch.reserve(lineLength);
    for (std::string_view* text :
         {&fields.appName, &fields.typeText, &fields.unitsText, &fields.amountText,
          &fields.beginText, &fields.endText, &fields.currency, &fields.auxAmountText}) {
        *text = unquoteField(*text, scratch);
    }
    if (withCountry) {
        fields.auxText = unquoteField(fields.auxText, scratch);
    }
}
