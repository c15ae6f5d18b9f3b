// Fields a spreadsheet wrote in double quotes. A field whose text, trimmed
// of spaces, begins and ends with '"' is read as the text between them, each
// '""' there read as one '"': so '"Pocket Chess"' reads as Pocket Chess,
// ' "12" ' as 12 and '" "' as one space, while '"', 'a"b' and '"a' stay as
// they are. Both layouts read a line's fields so before converting them, and
// a header's names too. The quotes are only taken off: a TAB or a line end
// inside them still ends the field or the line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "input/record_fields.h"

// The text without its quotes, or the text as it is when it is not quoted.
// When a '""' inside must be made one '"', the shorter text is appended to
// scratch and the result points there; else it points into text.
std::string_view unquoteField(std::string_view text, std::string& scratch);

// True when a field's text, trimmed of spaces, reads as empty: it is, or it
// is '""'.
inline bool readsAsEmpty(std::string_view trimmed) {
    return trimmed.empty() || trimmed == "\"\"";
}

namespace quoted_fields_detail {

// The one test a field costs on the usual line: whether it may be quoted,
// its first byte a '"' or a space before one. A text that does not exist (a
// field the line lacks) is empty, and its first byte is not looked at.
inline bool startsWithQuote(std::string_view text) {
    return !text.empty() && (text.front() == '"' || text.front() == ' ');
}

void unquoteEach(RecordFields& fields, std::string& scratch, std::size_t lineLength,
                 bool withCountry);

}  // namespace quoted_fields_detail

// Takes the quotes off the fields' texts (the country code's only when
// it is taken). Fields that are not quoted are left as they are; those that are
// point into the line, or into scratch, which is cleared first and then
// holds them until the next line's. lineLength bounds the texts' lengths
// together. Returns false when no field began with '"' or a space, so that
// none can have been quoted.
inline bool unquoteFields(RecordFields& fields, std::string& scratch, std::size_t lineLength,
                          bool withCountry) {
    using quoted_fields_detail::startsWithQuote;
    // Only lines that hold a '"' come here, so the tests may stop early.
    bool quoted = startsWithQuote(fields.appName) || startsWithQuote(fields.typeText) ||
                  startsWithQuote(fields.unitsText) || startsWithQuote(fields.amountText) ||
                  startsWithQuote(fields.beginText) || startsWithQuote(fields.endText) ||
                  startsWithQuote(fields.currency) || startsWithQuote(fields.auxAmountText) ||
                  (withCountry && startsWithQuote(fields.auxText));
    if (quoted) {
        quoted_fields_detail::unquoteEach(fields, scratch, lineLength, withCountry);
    }
    return quoted;
}
