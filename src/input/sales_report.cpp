#include "input/sales_report.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "input/date_value.h"
#include "input/held_days.h"
#include "input/label_slots.h"
#include "input/named_columns.h"
#include "input/quoted_fields.h"
#include "input/reading/byte_scan.h"
#include "input/reading/content_digest.h"
#include "input/reading/field_splitter.h"
#include "input/reading/file_handle.h"
#include "input/reading/line_reader.h"
#include "input/reading/piece_reader.h"
#include "input/reading/separator_positions.h"
#include "input/reading/text_words.h"
#include "input/record_fields.h"
#include "input/value_checks.h"

// The date texts of the last record line read, what they convert to,
// whether they are of a usual form and the days they hold. Most lines of a
// report repeat them, so a line's dates are converted, checked and turned
// into days only when its texts differ; each application then notes the
// days once. Before any line, its lengths of 0 match no texts.
struct DayMemo {
    TextWords beginWords;
    TextWords endWords;
    std::size_t beginLength = 0;
    std::size_t endLength = 0;
    DateValue beginDate = 0;
    DateValue endDate = 0;
    bool usual = false;  // both texts are dates of a usual form
    bool dated = false;  // the texts hold days: range is set
    DayRange range;
    std::uint32_t dayKey = 0;  // the begin date's when the rows are keyed by a date, else 0
    // Changes with every report and every new pair of texts: an application
    // whose stamp differs has not noted these days yet.
    std::uint64_t stamp = 0;
};

struct ReadingMemo {
    LabelSlots labels;                    // the lists and labels of recent lines
    std::unique_ptr<PieceReader> reader;  // its block is reused from report to report
    RecordSeen onRecord;                  // none: nothing is told of each record
    DateWindow window;
    DateMemo dates;
    // The texts of the line being read that unquoting shortened.
    std::string unquoted;
    // The positions of the TABs of the line being read by name.
    std::vector<std::uint32_t> tabPositions;
    // The reports read in full so far that held a record line, by the key
    // of their content; equal keys are confirmed byte for byte.
    std::map<ContentKey, std::vector<std::string>> contents;
    DayMemo days;
    bool keysDays = false;         // the rows are keyed by a date: each begin date's key is found
    HeldDays held;                 // the days each report read holds, per application
    std::int64_t recordLines = 0;  // of every report read so far, in or out of the window
};

void ReadingMemoDeleter::operator()(ReadingMemo* memo) const {
    delete memo;
}

namespace {

// Positions of the tokens a record is built from. Empty fields yield no
// token, so every later field moves down by one position.
enum TokenPosition {
    kAppNameToken = 6,
    kTypeCodeToken = 8,
    kUnitsToken = 9,
    kUnitAmountToken = 10,
    kBeginDateToken = 11,
    kEndDateToken = 12,
    kAuxTextToken = 14,
    kCurrencyToken = 15,
    kAuxAmountToken = 20,
};

// The tokens a record needs: a piece with fewer has no currency.
constexpr int kTokensNeeded = kCurrencyToken + 1;

constexpr int kWantedTokens = kAuxAmountToken + 1;

// Sets the fields from tokens[0, kWantedTokens).
[[gnu::always_inline]] inline void takeTokens(const std::string_view* tokens, RecordFields& fields,
                                              bool country) {
    fields.appName = tokens[kAppNameToken];
    fields.typeText = tokens[kTypeCodeToken];
    fields.unitsText = tokens[kUnitsToken];
    fields.amountText = tokens[kUnitAmountToken];
    fields.beginText = tokens[kBeginDateToken];
    fields.endText = tokens[kEndDateToken];
    fields.currency = tokens[kCurrencyToken];
    fields.auxAmountText = tokens[kAuxAmountToken];
    if (country) {
        fields.auxText = tokens[kAuxTextToken];
    }
}

// The usual line: left in the block, so its scan found the separators, and
// without an empty field up to the customer price's, so each token is the
// field at its position and is taken from the separators' positions with
// no split. Returns false, having set nothing, for any other piece.
[[gnu::always_inline]] inline bool takeFieldsInPlace(const Piece& piece, RecordFields& fields,
                                                     bool country) {
    if (piece.view == nullptr) {
        return false;
    }
    std::uint32_t at[kWantedTokens + 1 + kSeparatorOverrun];
    if (separatorPositions(piece.separatorBits, piece.length, at, kWantedTokens) < kWantedTokens ||
        emptyFieldBefore(piece.separatorBits, at[kWantedTokens])) {
        return false;
    }
    auto field = [&](int token) {
        return std::string_view(piece.view + at[token] + 1, at[token + 1] - at[token] - 1);
    };
    fields.appName = field(kAppNameToken);
    fields.typeText = field(kTypeCodeToken);
    fields.unitsText = field(kUnitsToken);
    fields.amountText = field(kUnitAmountToken);
    fields.beginText = field(kBeginDateToken);
    fields.endText = field(kEndDateToken);
    fields.currency = field(kCurrencyToken);
    fields.auxAmountText = field(kAuxAmountToken);
    if (country) {
        fields.auxText = field(kAuxTextToken);
    }
    return true;
}

// Any piece, by its tokens. Returns their count, as splitRecordFields does.
[[gnu::noinline]] int takeFieldsByToken(Piece& piece, RecordFields& fields, bool country) {
    // Left unset by its constructor, so that the tokens are not cleared
    // before they are written: only those the line lacks are made empty.
    union Tokens {
        Tokens() {}  // NOLINT: leaves the views unset on purpose
        std::string_view views[kWantedTokens];
    } unset;
    std::string_view* tokens = unset.views;
    int count = splitTokens(piece, tokens, kWantedTokens);
    for (int missing = count; missing < kWantedTokens; ++missing) {
        tokens[missing] = std::string_view();
    }
    takeTokens(tokens, fields, country);
    return count;
}

// Returns the number of tokens found, up to the customer price's: 0 when
// the line holds no token at all. Missing tokens leave the fields empty or
// zero. Unless the record will be listed, the customer price is only
// checked, and unless the country code is needed it is left empty.
[[gnu::always_inline]] inline int splitRecordFields(Piece& piece, RecordFields& fields,
                                                    std::string& unquoted, FieldsNeeded needed) {
    int count = takeFieldsInPlace(piece, fields, needed.country)
                    ? kWantedTokens
                    : takeFieldsByToken(piece, fields, needed.country);
    if (piece.mayHoldQuote) {
        unquoteFields(fields, unquoted, piece.length, needed.country);
    }
    convertFieldTexts(fields, needed.listed);
    return count;
}

// A missing date token (tokens are never empty) stays 0 rather than being
// converted.
DateValue convertDateToken(std::string_view text, DateMemo& dates) {
    return text.empty() ? 0 : parseDate(text, dates);
}

// What every record line of a report is read with.
struct LineContext {
    AppRecords& appRecords;
    ReadingMemo& memo;
    FieldsNeeded needed;
    bool windowed;   // a date window is set: records outside it are dropped
    bool byAppOnly;  // the rows are the applications
    bool byType;     // the rows are keyed by the type text
};

LineContext contextOf(AppRecords& appRecords, ReadingMemo& memo) {
    const Grouping& grouping = memo.labels.grouping;
    const bool listed = !memo.labels.summaryOnly;
    return {appRecords,
            memo,
            {listed, listed || groupsBy(grouping, GroupKey::kCountry)},
            isBounded(memo.window),
            memo.labels.byAppOnly,
            groupsBy(grouping, GroupKey::kType)};
}

// Texts of 8 to 16 bytes (every usual date) are told apart by their length
// and their first and last eight bytes; any other text is never taken for
// the one before, and is worked out anew.
inline bool sameDateTexts(const DayMemo& days, std::string_view beginText,
                          std::string_view endText) {
    using byte_scan_detail::loadWord;
    if (beginText.size() - 8 > 8 || endText.size() - 8 > 8 ||
        beginText.size() != days.beginLength || endText.size() != days.endLength) {
        return false;
    }
    const char* begin = beginText.data();
    const char* end = endText.data();
    return ((loadWord(begin) ^ days.beginWords.head) |
            (loadWord(begin + beginText.size() - 8) ^ days.beginWords.tail) |
            (loadWord(end) ^ days.endWords.head) |
            (loadWord(end + endText.size() - 8) ^ days.endWords.tail)) == 0;
}

// Remembers the line's date texts, what they convert to, whether they are
// usual and the days they hold.
[[gnu::noinline]] void rememberDateTexts(ReadingMemo& memo, const RecordFields& fields) {
    DayMemo& days = memo.days;
    // Only texts of 8 to 16 bytes are compared, by these words.
    auto wordsOf = [](std::string_view text) {
        return text.size() < 8
                   ? TextWords{}
                   : TextWords{byte_scan_detail::loadWord(text.data()),
                               byte_scan_detail::loadWord(text.data() + text.size() - 8)};
    };
    days.beginWords = wordsOf(fields.beginText);
    days.endWords = wordsOf(fields.endText);
    days.beginLength = fields.beginText.size();
    days.endLength = fields.endText.size();
    days.beginDate = convertDateToken(fields.beginText, memo.dates);
    days.endDate = convertDateToken(fields.endText, memo.dates);
    days.usual = usualDates(fields.beginText, fields.endText);
    days.dated = dayRangeOf(days.beginDate, days.endDate, days.range);
    if (memo.keysDays) {
        days.dayKey = dayKeyOf(memo.labels, days.beginDate);
    }
    ++days.stamp;
}

// The line's dates: worked out only when its texts are not the last line's.
[[gnu::always_inline]] inline const DayMemo& lineDates(ReadingMemo& memo,
                                                       const RecordFields& fields) {
    if (!sameDateTexts(memo.days, fields.beginText, fields.endText)) {
        rememberDateTexts(memo, fields);
    }
    return memo.days;
}

// Adds the record of one line to its application, unless it lies outside
// the date window, and notes the days it holds.
[[gnu::always_inline]] inline void keepRecord(const LineContext& context,
                                              const RecordFields& fields, const DayMemo& days) {
    if (context.windowed && !insideDateWindow(context.memo.window, days.beginDate, days.endDate)) {
        return;
    }
    LabelSlot& slot =
        context.byAppOnly
            ? slotOf(context.memo.labels, context.appRecords, fields.appName, fields.auxText,
                     fields.currency)
            : rowSlotOf(context.memo.labels, context.appRecords,
                        {fields.appName, fields.auxText, fields.currency,
                         context.byType ? fields.typeText : std::string_view(), days.dayKey});
    // Noted once per application and pair of texts: its labels share the days.
    AppSlot& app = *slot.app;
    if (app.dayStamp != days.stamp) {
        app.dayStamp = days.stamp;
        if (days.dated) {
            noteHeldRange(context.memo.held, app.days, days.range);
        }
    }
    RecordList& list = *slot.list;
    if (!context.needed.listed) {
        // As addToSummary adds it, with the label's cell kept in the slot.
        RowSummary& summary = list.summary;
        ++summary.recordCount;
        if (fields.typeCode == kSaleType) {
            if (slot.cell == 0) {
                slot.cell = cellOfLabel(summary, list, slot.label);
            }
            addSale(summary, slot.cell, fields.units, fields.unitAmount);
        } else if (fields.typeCode == kUpdateType) {
            summary.updates += fields.units;
        }
        return;
    }
    std::uint32_t period = periodOf(slot, days.beginDate, days.endDate);
    list.records.push_back(
        {fields.unitAmount, fields.auxAmount, fields.typeCode, fields.units, slot.label, period});
    if (context.memo.onRecord) {
        context.memo.onRecord(list, list.records.back());
    }
}

// Where the reading of one report stands: the line being read, counted
// from 1 (the header), and what its values held so far.
struct ReportProgress {
    std::int64_t line = 1;
    std::int64_t recordLines = 0;
    ValueChecks checks;
};

// A line cut into pieces by the piece limit: how many of its pieces were
// read as record lines, and whether one after the first was.
struct CutLine {
    int pieces = 0;
    int recordPieces = 0;
    bool laterRecordPiece = false;
};

// Moves on to the next line, having named the one that ends if the piece
// limit cut it into several record lines.
inline void endLine(ReportProgress& progress, CutLine& cut) {
    if (cut.laterRecordPiece) {
        noteLongLine(progress.checks, progress.line, cut.recordPieces);
    }
    cut = CutLine{};
    ++progress.line;
}

// Reads the pieces after the header, each a record line whose fields are
// taken by token position. Lines are numbered by their LFs; the pieces of a
// long line share its number.
void readRecordsByPosition(PieceReader& reader, const LineContext& context,
                           ReportProgress& progress) {
    Piece piece;
    if (!readPiece(reader, piece)) {
        return;  // the header is skipped, whatever it holds
    }
    CutLine cut;
    cut.pieces = 1;  // the header's first piece, which is no record line
    if (piece.endsLine) {
        endLine(progress, cut);
    }
    RecordFields fields;
    while (readPiece(reader, piece)) {
        if (piece.heldNul) {
            noteNulByte(progress.checks, progress.line);
        }
        int tokenCount = splitRecordFields(piece, fields, context.memo.unquoted, context.needed);
        if (tokenCount > 0) {
            ++progress.recordLines;
            if (tokenCount < kTokensNeeded) {
                noteShortLine(progress.checks, progress.line, tokenCount, kTokensNeeded);
            }
            const DayMemo& days = lineDates(context.memo, fields);
            checkRecordValues(progress.checks, fields, progress.line, days.usual);
            keepRecord(context, fields, days);
            ++cut.recordPieces;
            cut.laterRecordPiece |= cut.pieces > 0;
        }
        ++cut.pieces;
        if (piece.endsLine) {
            endLine(progress, cut);
        }
    }
    if (cut.pieces > 0) {
        endLine(progress, cut);  // the last line had no LF
    }
}

// Reads the lines after the header, whatever their length, each a record
// line whose fields are taken by the header's column names.
void readRecordsByName(PieceReader& reader, const ReportLayout& layout, const LineContext& context,
                       ReportProgress& progress) {
    WholeLine line;
    if (!readWholeLine(reader, line)) {
        return;  // the header
    }
    RecordFields fields;
    while (readWholeLine(reader, line)) {
        ++progress.line;
        if (line.cutAtNul) {
            noteNulByte(progress.checks, progress.line);
        }
        NamedLine kind = takeNamedFields(line, layout, context.needed, fields,
                                         context.memo.unquoted, context.memo.tabPositions);
        if (kind == NamedLine::kNoRecord) {
            continue;
        }
        ++progress.recordLines;
        if (kind == NamedLine::kShortRecord) {
            noteShortLine(progress.checks, progress.line, countFields(line), layout.fieldsNeeded);
        }
        const DayMemo& days = lineDates(context.memo, fields);
        checkRecordValues(progress.checks, fields, progress.line, days.usual);
        keepRecord(context, fields, days);
    }
}

// Names a report whose content is that of the first report read before it
// with that content. Both are counted: the tables do not change.
// Returns whether the report was named.
bool checkTakenTwice(ReadingMemo& memo, const char* path, const PieceReader& reader,
                     const Diagnostics& diagnostics) {
    // The digest took every byte read; a Ctrl-Z ended the content before.
    ContentKey key;
    if (!reader.endedAtCtrlZ) {
        key = contentKey(reader.source.digest);
    } else if (!contentKeyOfFile(path, key)) {
        return false;
    }
    std::vector<std::string>& earlier = memo.contents[key];
    for (const std::string& earlierPath : earlier) {
        if (sameContent(earlierPath.c_str(), path)) {
            reportWarning(diagnostics, "'%s' has the same content as '%s', and both are counted\n",
                          path, earlierPath.c_str());
            return true;
        }
    }
    earlier.emplace_back(path);
    return false;
}

// Keeps the days the report holds and names it when it holds days an
// earlier report holds too, for the same application: a daily report
// beside its week, or a copy saved anew. Both are counted: the tables do
// not change. A copy already named as such is not named again.
void keepDaysHeld(HeldDays& held, const char* path, bool namedAsCopy,
                  const Diagnostics& diagnostics) {
    SharedDay shared = keepHeldDays(held, path);
    if (shared.found && !namedAsCopy) {
        reportWarning(diagnostics,
                      "'%s' holds days that '%s' holds too (%s for '%s'), so both are counted\n",
                      path, heldPath(held, shared.report).c_str(),
                      formatHeldDay(shared.day).c_str(), shared.appName.c_str());
    }
}

void reportUnreadable(Diagnostics& diagnostics, const char* path, const char* reason) {
    reportError(diagnostics, "cannot read '%s': %s\n", path, reason);
}

}  // namespace

std::int64_t recordLinesRead(const ReadingMemo& memo) {
    return memo.recordLines;
}

ReadingMemoHandle startReading(ReadOptions options) {
    ReadingMemoHandle memo(new ReadingMemo);
    memo->labels.summaryOnly = options.summaryOnly;
    memo->onRecord = std::move(options.onRecord);
    memo->window = options.window;
    memo->labels.grouping = options.grouping;
    memo->labels.byAppOnly = groupsByAppOnly(options.grouping);
    memo->keysDays = groupsByDate(options.grouping);
    return memo;
}

void readSalesReport(const char* path, AppRecords& appRecords, ReadingMemo& memo,
                     Diagnostics& diagnostics) {
    FileHandle file = openForReading(path);
    if (!file) {
        reportUnreadable(diagnostics, path, std::strerror(errno));
        return;
    }
    // The piece reader reads in blocks of its own: a stdio buffer would only
    // add a copy, an allocation and a stat per report.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    if (!memo.reader) {
        memo.reader = std::make_unique<PieceReader>();
    }
    PieceReader& reader = *memo.reader;
    startPieces(reader, file.get(), kReportDecoding);
    // Every application notes the days of this report's records anew.
    ++memo.days.stamp;
    // The layout is chosen once, from the header: every line after it is
    // read the same way. A file a spreadsheet saved in another format is
    // not read at all: read by position, its lines would be records of
    // one field each.
    const std::string header = peekFirstLine(reader);
    if (const char* reason = notTabSeparated(header)) {
        reportUnreadable(diagnostics, path, reason);
        return;
    }
    ReportLayout layout = chooseLayout(header);
    if (layout.missingColumn != nullptr) {
        // A header of today's layout that lacks a column: read by position,
        // its fields would give applications named after dates or prices.
        std::string reason = "its header has no '";
        reason.append(layout.missingColumn).append("' column");
        reportUnreadable(diagnostics, path, reason.c_str());
        return;
    }
    LineContext context = contextOf(appRecords, memo);
    ReportProgress progress;
    if (layout.byName) {
        readRecordsByName(reader, layout, context, progress);
    } else {
        readRecordsByPosition(reader, context, progress);
    }
    memo.recordLines += progress.recordLines;
    // Records read before a failure stay: the message says the rest is lost,
    // and nothing more is said of the report.
    if (sourceFailed(reader.source)) {
        reportUnreadable(diagnostics, path, describeFailure(reader.source));
        dropHeldDays(memo.held);
        return;
    }
    reportValueChecks(progress.checks, path, diagnostics);
    // A copy is named as such, and only so.
    bool namedAsCopy =
        progress.recordLines != 0 && checkTakenTwice(memo, path, reader, diagnostics);
    keepDaysHeld(memo.held, path, namedAsCopy, diagnostics);
}
