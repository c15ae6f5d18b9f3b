#include "input/sales_report.h"

#include <memory>

#include "common/file_handle.h"
#include "common/lenient_number.h"
#include "common/run_settings.h"
#include "input/date_value.h"
#include "report/record_listing.h"

namespace {

constexpr std::string_view kFieldSeparators = "\t\n";

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

void storeToken(int position, std::string_view token, SalesRecord& record) {
    switch (position) {
        case kAppNameToken: record.appName.assign(token); break;
        case kTypeCodeToken: record.typeCode = lenientInteger(token); break;
        case kUnitsToken: record.units = lenientInteger(token); break;
        case kUnitAmountToken: record.unitAmount = lenientReal(token); break;
        case kBeginDateToken: record.beginDate = parseDate(token); break;
        case kEndDateToken: record.endDate = parseDate(token); break;
        case kAuxTextToken: record.auxText.assign(token); break;
        case kCurrencyToken: record.currency.assign(token); break;
        case kAuxAmountToken: record.auxAmount = lenientReal(token); break;
        default: break;
    }
}

}  // namespace

bool parseSalesRecord(Piece& piece, SalesRecord& record) {
    record = SalesRecord{};
    std::string_view token;
    int position = 0;
    while (position <= kAuxAmountToken && nextToken(piece, kFieldSeparators, token)) {
        storeToken(position, token, record);
        ++position;
    }
    return position > 0;
}

void readSalesReport(const char* fileName, AppRecords& appRecords) {
    FileHandle file = openForReading(fileName);
    if (!file) {
        return;
    }
    auto reader = std::make_unique<PieceReader>();
    startPieces(*reader, file.get());
    Piece piece;
    if (!readPiece(*reader, piece)) {
        return;  // the header is skipped, whatever it holds
    }
    SalesRecord record;
    while (readPiece(*reader, piece)) {
        if (!parseSalesRecord(piece, record) ||
            !insideDateWindow(record.beginDate, record.endDate)) {
            continue;
        }
        if (runSettings.verbosity > 1) {
            printRecord(record);
        }
        appRecords[record.appName].push_back(record);
    }
}
