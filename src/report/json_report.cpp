#include "report/json_report.h"

#include <cstdio>
#include <map>
#include <string_view>

#include "report/json_text.h"

namespace {

// Separates the members of an array or object: nothing before the first.
struct Separator {
    const char* first;
    const char* next;
    bool used = false;

    const char* take() {
        bool wasUsed = used;
        used = true;
        return wasUsed ? next : first;
    }
};

void appendFiles(std::string& out, const std::vector<std::string>& files) {
    out += "  \"files\": [";
    Separator separator{"", ", "};
    for (const std::string& file : files) {
        out += separator.take();
        appendJsonString(out, file);
    }
    out += "],\n";
}

// The row's cells of the revenue table; a currency it sold nothing in has
// none.
void appendRevenue(std::string& out, const RowFigures& figures) {
    out += "\"revenue\": {";
    Separator separator{"", ", "};
    for (const auto& [currency, cell] : figures.revenue) {
        out += separator.take();
        appendJsonString(out, currency);
        out += ": {\"units\": ";
        appendJsonInteger(out, cell.units);
        out += ", \"amount\": ";
        appendJsonReal(out, cell.amount);
        out += '}';
    }
    out += '}';
}

// A period's two dates as JSON values, formatted once per period of a list.
struct ShownPeriod {
    bool formatted = false;
    std::string begin;
    std::string end;
};

void appendListedRecord(std::string& out, const RecordList& list, const PackedRecord& record,
                        ShownPeriod& shown) {
    if (!shown.formatted) {
        const RecordPeriod& period = list.periods[record.period];
        appendJsonDate(shown.begin, period.beginDate);
        appendJsonDate(shown.end, period.endDate);
        shown.formatted = true;
    }
    const RecordLabel& label = list.labels[record.label];
    out += "      {\"type\": ";
    appendJsonInteger(out, record.typeCode);
    out += ", \"units\": ";
    appendJsonInteger(out, record.units);
    out += ", \"unitAmount\": ";
    appendJsonReal(out, record.unitAmount);
    out += ", \"auxAmount\": ";
    appendJsonReal(out, record.auxAmount);
    out += ", \"country\": ";
    appendJsonString(out, label.auxText);
    out += ", \"currency\": ";
    appendJsonString(out, label.currency);
    out += ", \"begin\": ";
    out += shown.begin;
    out += ", \"end\": ";
    out += shown.end;
    out += '}';
}

// The sales, then the updates, each in list order, as the text listing has
// them; records of other types are left out there too. A long listing goes
// out to the sink as it grows.
void appendListing(OutputSink& sink, std::string& out, const RecordList& records) {
    out += ", \"listing\": [";
    std::vector<ShownPeriod> shownPeriods(records.periods.size());
    Separator separator{"\n", ",\n"};
    for (std::int32_t type : {kSaleType, kUpdateType}) {
        for (const PackedRecord& record : records.records) {
            if (record.typeCode == type) {
                out += separator.take();
                appendListedRecord(out, records, record, shownPeriods[record.period]);
                writeText(sink, out);
                out.clear();
            }
        }
    }
    out += separator.used ? "\n    ]" : "]";
}

// Without -g: "name", the application's. With it: "key", each key's name
// and the row's text for it.
void appendRowKey(std::string& out, const Grouping& grouping, const RowKey& key) {
    if (groupsByAppOnly(grouping)) {
        out += "{\"name\": ";
        appendJsonString(out, key.front());
        return;
    }
    out += "{\"key\": {";
    Separator separator{"", ", "};
    for (std::size_t at = 0; at < grouping.size(); ++at) {
        out += separator.take();
        appendJsonString(out, groupKeyName(grouping[at]));
        out += ": ";
        appendJsonString(out, key[at]);
    }
    out += '}';
}

// Without -g the rows are "apps"; with it "groups", after "groupBy", the
// keys' names.
void appendRows(OutputSink& sink, std::string& out, const ReportTally& tally, bool withListing) {
    const Grouping& grouping = tally.grouping;
    if (groupsByAppOnly(grouping)) {
        out += "  \"apps\": [";
    } else {
        out += "  \"groupBy\": [";
        Separator keySeparator{"", ", "};
        for (GroupKey key : grouping) {
            out += keySeparator.take();
            appendJsonString(out, groupKeyName(key));
        }
        out += "],\n  \"groups\": [";
    }
    Separator separator{"\n", ",\n"};
    for (const auto& [key, figures] : tally.rows) {
        out += separator.take();
        out += "    ";
        appendRowKey(out, grouping, key);
        out += ", \"records\": ";
        appendJsonInteger(out, static_cast<std::int64_t>(figures.records));
        out += ", \"sales\": ";
        appendJsonInteger(out, figures.sales);
        out += ", \"updates\": ";
        appendJsonInteger(out, figures.updates);
        out += ", ";
        appendRevenue(out, figures);
        if (withListing) {
            appendListing(sink, out, *figures.list);
        }
        out += '}';
        writeText(sink, out);
        out.clear();
    }
    out += separator.used ? "\n  ],\n" : "],\n";
}

void appendCurrencies(std::string& out, const CurrencySet& currencySet) {
    out += "  \"currencies\": [";
    Separator separator{"", ", "};
    for (const std::string& currency : currencySet) {
        out += separator.take();
        appendJsonString(out, currency);
    }
    out += "],\n";
}

void appendTotals(std::string& out, std::string_view key,
                  const std::map<std::string, double>& totals) {
    out += "  ";
    appendJsonString(out, key);
    out += ": {";
    Separator separator{"", ", "};
    for (const auto& [currency, total] : totals) {
        out += separator.take();
        appendJsonString(out, currency);
        out += ": ";
        appendJsonReal(out, total);
    }
    out += '}';
}

}  // namespace

void printJsonReport(OutputSink& sink, const std::vector<std::string>& files,
                     const ReportTally& tally, bool withListing) {
    std::string out = "{\n";
    appendFiles(out, files);
    appendRows(sink, out, tally, withListing);
    appendCurrencies(out, tally.currencies);
    appendTotals(out, "totals", tally.totals);
    if (tally.withHome && tally.homeCurrency == "USD") {
        out += ",\n";
        appendTotals(out, "totalsUsd", tally.totalsHome);
        out += ",\n  \"grandTotalUsd\": ";
        appendJsonReal(out, tally.grandTotalHome);
    } else if (tally.withHome) {
        out += ",\n  \"homeCurrency\": ";
        appendJsonString(out, tally.homeCurrency);
        out += ",\n";
        appendTotals(out, "totalsHome", tally.totalsHome);
        out += ",\n  \"grandTotalHome\": ";
        appendJsonReal(out, tally.grandTotalHome);
    }
    out += "\n}\n";
    writeText(sink, out);
}
