// Plain models of the reading rules, written from their description, for
// the fuzz harnesses and the unit tests to check the reader against: the
// pieces of a file, the tokens of a piece, the record a piece stands for,
// and the figures the tables show, summed straight from stored records.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/types.h"
#include "input/date_value.h"
#include "input/lenient_number.h"
#include "input/reading/piece_reader.h"
#include "support/text_model.h"

// The pieces of a file's bytes: up to and including each LF, at most 499
// characters, a CR right before an LF dropped, nothing from a Ctrl-Z on.
// A piece is given whole; its text for tokenising ends at its first NUL.
inline std::vector<std::string> modelPieces(const std::string& bytes) {
    std::vector<std::string> pieces;
    std::string piece;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\x1a') {
            break;
        }
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            continue;
        }
        piece += c;
        if (c == '\n' || piece.size() == kPieceCapacity - 1) {
            pieces.push_back(piece);
            piece.clear();
        }
    }
    if (!piece.empty()) {
        pieces.push_back(piece);
    }
    return pieces;
}

// The tokens of a text: the non-empty runs between separators.
inline std::vector<std::string_view> modelTokens(std::string_view text,
                                                 std::string_view separators) {
    std::vector<std::string_view> tokens;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || separators.find(text[i]) != std::string_view::npos) {
            if (i > begin) {
                tokens.push_back(text.substr(begin, i - begin));
            }
            begin = i + 1;
        }
    }
    return tokens;
}

// The product type table: the type code of a type text, taken exactly.
inline std::int32_t modelTypeCode(const std::string& text) {
    static const std::vector<std::string> kSales = {"1",     "1F",  "1T",    "1E",  "1EP",   "1EU",
                                                    "1-B",   "F1",  "F1-B",  "IA1", "IA1-M", "IA9",
                                                    "IA9-M", "IAY", "IAY-M", "IAC", "FI1"};
    static const std::vector<std::string> kUpdates = {"7", "7F", "7T", "F7"};
    if (std::find(kSales.begin(), kSales.end(), text) != kSales.end()) {
        return 1;
    }
    if (std::find(kUpdates.begin(), kUpdates.end(), text) != kUpdates.end()) {
        return 7;
    }
    return lenientInteger(text);
}

// The record a piece after the header stands for: its tokens at their
// positions, unquoted and converted. Returns false when the piece holds no
// token.
inline bool modelRecord(const std::string& piece, SalesRecord& record) {
    std::vector<std::string> tokens;
    for (std::string_view token : modelTokens(piece.c_str(), "\t\n")) {  // ends at a NUL
        tokens.push_back(modelUnquoted(std::string(token)));
    }
    if (tokens.empty()) {
        return false;
    }
    tokens.resize(21);
    auto date = [](std::string_view text) { return text.empty() ? 0 : parseDate(text); };
    record = {tokens[6],
              date(tokens[11]),
              date(tokens[12]),
              modelTypeCode(tokens[8]),
              lenientInteger(tokens[9]),
              lenientReal(tokens[10]),
              lenientReal(tokens[20]),
              tokens[14],
              tokens[15]};
    return true;
}

// The records a list stores, whole, in their order.
inline std::vector<SalesRecord> storedRecords(const RecordList& list) {
    std::vector<SalesRecord> records;
    for (const PackedRecord& packed : list.records) {
        records.push_back(unpackRecord(list, packed));
    }
    return records;
}

// What the tables show of an application's records: how many there are, the
// units of its sales and of its updates, and per currency the units sold and
// the revenue, added up in the records' order.
struct ModelSummary {
    std::size_t recordCount = 0;
    std::int64_t sales = 0;
    std::int64_t updates = 0;
    std::map<std::string, CurrencyCell> revenue;
};

inline ModelSummary modelSummary(const RecordList& records) {
    ModelSummary summary;
    for (const SalesRecord& record : storedRecords(records)) {
        ++summary.recordCount;
        if (record.typeCode == 1) {
            summary.revenue[record.currency].amount += record.units * record.unitAmount;
            summary.revenue[record.currency].units += record.units;
            summary.sales += record.units;
        }
        summary.updates += record.typeCode == 7 ? record.units : 0;
    }
    return summary;
}

// The same figures as the reader keeps them when it stores no records.
inline ModelSummary keptSummary(const RowSummary& kept) {
    ModelSummary summary{kept.recordCount, kept.sales, kept.updates, {}};
    for (std::size_t i = 0; i < kept.currencies.size() && i < kept.cells.size(); ++i) {
        summary.revenue[kept.currencies[i]] = kept.cells[i];
    }
    return summary;
}

// Whether two summaries hold the same figures, the sums bit for bit (a sum
// may be NaN: zero units at an infinite price).
inline bool sameFigures(const ModelSummary& a, const ModelSummary& b) {
    if (a.recordCount != b.recordCount || a.sales != b.sales || a.updates != b.updates ||
        a.revenue.size() != b.revenue.size()) {
        return false;
    }
    for (const auto& [currency, cell] : a.revenue) {
        auto found = b.revenue.find(currency);
        if (found == b.revenue.end() ||
            std::bit_cast<std::uint64_t>(found->second.amount) !=
                std::bit_cast<std::uint64_t>(cell.amount) ||
            found->second.units != cell.units) {
            return false;
        }
    }
    return true;
}
