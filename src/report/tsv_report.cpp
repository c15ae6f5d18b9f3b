#include "report/tsv_report.h"

#include <string>

#include "report/text_format.h"

namespace {

void appendDecimal(std::string& line, double value) {
    char text[kMaxFormattedNumber];
    line.append(text, appendPlainDecimal(text, value));
}

void appendCount(std::string& line, long long value) {
    line += '\t';
    line += std::to_string(value);
}

void printHeader(OutputSink& out, const ReportTally& tally) {
    std::string line;
    for (GroupKey key : tally.grouping) {
        line.append(groupKeyHeading(key)).append("\t");
    }
    line.append("Records\tSales\tUpdates");
    for (const std::string& currency : tally.currencies) {
        line.append("\t").append(currency).append(" Units\t");
        line.append(currency).append(" Amount");
    }
    if (tally.withHome) {
        line.append("\tTotal(").append(tally.homeCurrency).append(")");
    }
    line += '\n';
    writeText(out, line);
}

}  // namespace

void printTsvReport(OutputSink& out, const ReportTally& tally) {
    printHeader(out, tally);
    std::string line;
    for (const auto& [key, figures] : tally.rows) {
        line.clear();
        for (const std::string& text : key) {
            line.append(text).append("\t");
        }
        line.pop_back();  // the counts bring their own TABs
        appendCount(line, static_cast<long long>(figures.records));
        appendCount(line, figures.sales);
        appendCount(line, figures.updates);
        // A currency the row has no cell in gives 0 units and 0.
        for (const std::string& currency : tally.currencies) {
            auto cell = figures.revenue.find(currency);
            const CurrencyCell empty;
            const CurrencyCell& shown = cell == figures.revenue.end() ? empty : cell->second;
            appendCount(line, shown.units);
            line += '\t';
            appendDecimal(line, shown.amount);
        }
        if (tally.withHome) {
            line += '\t';
            appendDecimal(line, figures.totalHome);
        }
        line += '\n';
        writeText(out, line);
    }
}
