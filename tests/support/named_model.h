// A plain model of reading a report by its column names, written from the
// rules for the report fuzzer and the unit tests to check the reader against:
// the whole lines of a file, the fields of a line, the columns a header
// names, and the record a line stands for.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "common/types.h"
#include "input/date_value.h"
#include "input/lenient_number.h"
#include "support/piece_model.h"

// The texts of a file's lines: a line ends at LF, CR-LF or a lone CR, its
// text at its first NUL, and nothing is read from a Ctrl-Z on. When cutLines
// is given, it gets for each line whether a NUL cut its text.
inline std::vector<std::string> modelWholeLines(const std::string& bytes,
                                                std::vector<bool>* cutLines = nullptr) {
    std::vector<std::string> lines;
    auto endLine = [&](bool wasCut) {
        if (cutLines != nullptr) {
            cutLines->push_back(wasCut);
        }
    };
    std::string text;
    bool open = false;  // a byte of the current line was read
    bool cut = false;
    for (std::size_t i = 0; i < bytes.size() && bytes[i] != '\x1a'; ++i) {
        char c = bytes[i];
        open = true;
        if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
            lines.push_back(text);
            endLine(cut);
            text.clear();
            open = cut = false;
            continue;
        }
        cut = cut || c == '\0';
        if (!cut) {
            text += c;
        }
    }
    if (open) {
        lines.push_back(text);
        endLine(cut);
    }
    return lines;
}

// The fields of a line: split at every TAB, spaces trimmed at both ends,
// then the quotes taken off.
inline std::vector<std::string> modelFields(const std::string& text) {
    std::vector<std::string> fields(1);
    for (char c : text) {
        if (c == '\t') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    for (std::string& field : fields) {
        field.erase(0, field.find_first_not_of(' '));
        field.erase(field.find_last_not_of(' ') + 1);
        field = modelUnquoted(field);
    }
    return fields;
}

// The first field of each name a header holds, by its lower-case name.
inline std::map<std::string, std::size_t> modelColumns(const std::string& header) {
    std::map<std::string, std::size_t> columns;
    std::vector<std::string> names = modelFields(header);
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string name = names[i];
        std::transform(name.begin(), name.end(), name.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; });
        columns.emplace(name, i);
    }
    return columns;
}

// True when a header with these columns is read by name.
inline bool modelReadsByName(const std::map<std::string, std::size_t>& columns) {
    for (const char* name : {"title", "product type identifier", "units", "developer proceeds",
                             "begin date", "end date", "currency of proceeds"}) {
        if (columns.count(name) == 0) {
            return false;
        }
    }
    return true;
}

// True when a header is that of no tab-separated report: it begins with the
// zip signature, or it holds a comma or a semicolon and no TAB.
inline bool modelNotTabSeparated(const std::string& header) {
    return header.rfind("PK\x03\x04", 0) == 0 || (header.find('\t') == std::string::npos &&
                                                  header.find_first_of(",;") != std::string::npos);
}

// True when a header that is not read by name names a column that tells of
// today's layout: a layout that changed, whose report is not read.
inline bool modelChangedLayout(const std::map<std::string, std::size_t>& columns) {
    return !modelReadsByName(columns) &&
           (columns.count("title") != 0 || columns.count("developer proceeds") != 0 ||
            columns.count("currency of proceeds") != 0);
}

// The record a line after the header stands for. Returns false when every
// field of the line is empty.
inline bool modelNamedRecord(const std::map<std::string, std::size_t>& columns,
                             const std::string& line, SalesRecord& record) {
    std::vector<std::string> fields = modelFields(line);
    if (std::all_of(fields.begin(), fields.end(), [](const std::string& f) { return f.empty(); })) {
        return false;
    }
    auto field = [&](const char* name) {
        auto found = columns.find(name);
        return found != columns.end() && found->second < fields.size() ? fields[found->second]
                                                                       : std::string();
    };
    auto date = [](const std::string& text) { return text.empty() ? 0 : parseDate(text); };
    record = {field("title"),
              date(field("begin date")),
              date(field("end date")),
              modelTypeCode(field("product type identifier")),
              lenientInteger(field("units")),
              lenientReal(field("developer proceeds")),
              lenientReal(field("customer price")),
              field("country code"),
              field("currency of proceeds")};
    return true;
}
