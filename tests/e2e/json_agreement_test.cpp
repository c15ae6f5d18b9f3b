// The JSON report against the text report of the same arguments, over random
// report sets with hostile values (invalid UTF-8 and control characters in
// texts, infinite amounts whose sums are not numbers, 32-bit units that only
// 64 bits can sum, runs without any sale). The document is read with a JSON
// library; every name, count, unit figure and amount in it must be what the
// text report prints, amounts rounded to two decimals as the tables do.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/hostile_support.h"
#include "e2e/run_program.h"

namespace {

using nlohmann::json;

// A text as written into a report, and as a JSON reader gets it back: the
// same for UTF-8, U+00XX in place of each byte that is not part of UTF-8.
struct Text {
    std::string raw;
    std::string decoded;
};

const std::vector<Text> kNames = {
    {"Alpha", "Alpha"},
    {"Zeta Pro", "Zeta Pro"},
    {"A name wider than eleven bytes", "A name wider than eleven bytes"},
    {"Caf\xC3\xA9", "Caf\xC3\xA9"},
    {"\xE6\x97\xA5\xF0\x9F\x98\x80", "\xE6\x97\xA5\xF0\x9F\x98\x80"},
    {"Say \"hi\" \\o/", "Say \"hi\" \\o/"},
    {"Bell\x07|\x1B|\x7F", "Bell\x07|\x1B|\x7F"},
    {"Latin\xE9", "Latin\xC3\xA9"},
    {"Cut\xE2\x82.", "Cut\xC3\xA2\xC2\x82."},
    {"Long\xC0\xAF", "Long\xC3\x80\xC2\xAF"},
    {"Four\xF0\x8F\xBF\xBF", "Four\xC3\xB0\xC2\x8F\xC2\xBF\xC2\xBF"},  // overlong 4-byte form
};
const std::vector<Text> kCurrencies = {{"USD", "USD"},
                                       {"EUR", "EUR"},
                                       {"G\"B", "G\"B"},
                                       {"\xE2\x82\xAC", "\xE2\x82\xAC"},
                                       {"X\xFF", "X\xC3\xBF"}};
const std::vector<Text> kCountries = {{"US", "US"}, {" ", " "}, {"D\x01", "D\x01"}};
const std::vector<std::string> kSaleTypes = {"1", "1", "1", "7", "3"};
const std::vector<std::string> kOtherTypes = {"7", "3"};
const std::vector<std::string> kUnits = {"1", "3", "12", "0", "-2", "2147483647", "99999999999"};
const std::vector<std::string> kAmounts = {"0.49", "0.70", "1.99",   "-0.99", "12",     "0.005",
                                           "2.10", "0.99", "199.99", "1e400", "-1e400", "junk"};
const std::vector<std::string> kDates = {"11/01/2008", "20081130", "00000000", "99991231"};
const std::string kRates = "EUR = 1.25\nG\"B\t2\nX\xFF=0.5\nUSD=3\n";

template <typename Pool>
const typename Pool::value_type& pick(std::mt19937& random, const Pool& pool) {
    return pool[random() % pool.size()];
}

std::string randomLine(std::mt19937& random, bool withSales) {
    return reportLine({{field::kName, pick(random, kNames).raw},
                       {field::kType, pick(random, withSales ? kSaleTypes : kOtherTypes)},
                       {field::kUnits, pick(random, kUnits)},
                       {field::kPrice, pick(random, kAmounts)},
                       {field::kBegin, pick(random, kDates)},
                       {field::kEnd, pick(random, kDates)},
                       {field::kCountry, pick(random, kCountries).raw},
                       {field::kCurrency, pick(random, kCurrencies).raw},
                       {field::kCustomerPrice, pick(random, kAmounts)}});
}

std::string rawOf(const std::string& decoded) {
    for (const auto* pool : {&kNames, &kCurrencies, &kCountries}) {
        for (const Text& text : *pool) {
            if (text.decoded == decoded) {
                return text.raw;
            }
        }
    }
    ADD_FAILURE() << "no such text in the reports: " << decoded;
    return decoded;
}

std::vector<std::string> fieldsOf(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> fields;
    for (std::string field; stream >> field;) {
        fields.push_back(field);
    }
    return fields;
}

// A JSON integer printed by the tables as it is.
void expectInteger(const json& value, const std::string& printed) {
    ASSERT_TRUE(value.is_number_integer()) << value.dump() << " for " << printed;
    EXPECT_EQ(std::to_string(value.get<long long>()), printed);
}

// An amount printed by the tables: null stands for a value that is not finite.
void expectAmount(const json& value, const std::string& printed) {
    if (value.is_null()) {
        char* end = nullptr;
        double read = std::strtod(printed.c_str(), &end);
        EXPECT_TRUE(*end == '\0' && !std::isfinite(read)) << "null for " << printed;
    } else {
        char text[400];
        std::snprintf(text, sizeof text, "%.2f", value.get<double>());
        EXPECT_EQ(text, printed);
    }
}

// The date the listing shows (YYMMDD of the same local day, empty for none)
// for a JSON date of the same run.
std::string listedDate(const json& date) {
    if (date.is_null()) {
        return "";
    }
    std::string text = date.get<std::string>();
    return text.substr(2, 2) + text.substr(5, 2) + text.substr(8, 2);
}

// The listing line of one record; a null amount was printed as inf or -inf.
void expectListed(const std::string& line, const std::string& name, const json& record) {
    auto candidates = [](const json& amount) {
        return amount.is_null() ? std::vector<double>{INFINITY, -INFINITY}
                                : std::vector<double>{amount.get<double>()};
    };
    std::string expected;
    for (double unitAmount : candidates(record.at("unitAmount"))) {
        for (double auxAmount : candidates(record.at("auxAmount"))) {
            char text[600];
            std::snprintf(
                text, sizeof text, "%-12s %d %3d %9.2f %9.2f %s %s %s %s", name.c_str(),
                record.at("type").get<int>(), record.at("units").get<int>(), unitAmount, auxAmount,
                rawOf(record.at("country")).c_str(), rawOf(record.at("currency")).c_str(),
                listedDate(record.at("begin")).c_str(), listedDate(record.at("end")).c_str());
            if (line == text) {
                return;
            }
            expected = text;
        }
    }
    EXPECT_EQ(line, expected);
}

// The text report read line by line; rows are split after the name column.
struct TextReport {
    std::vector<std::string> lines;
    std::size_t at = 0;
    std::size_t nameWidth = 11;
};

std::string nextLine(TextReport& report) {
    if (report.at >= report.lines.size()) {
        ADD_FAILURE() << "the text report ends early";
        return "";
    }
    return report.lines[report.at++];
}

// The fields of the next row, whose name column must hold the name.
std::vector<std::string> nextRow(TextReport& report, const std::string& name) {
    std::string line = nextLine(report);
    std::size_t width = report.nameWidth;
    EXPECT_EQ(line.substr(0, width), name + std::string(width - std::min(width, name.size()), ' '));
    return fieldsOf(line.substr(std::min(width, line.size())));
}

void expectTotalsRow(TextReport& report, const char* label, const json& currencies,
                     const json& totals) {
    std::vector<std::string> fields = nextRow(report, label);
    ASSERT_EQ(fields.size(), currencies.size()) << label;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        expectAmount(totals.at(currencies[k].get<std::string>()), fields[k]);
    }
}

void expectRevenueRows(TextReport& report, const json& apps, const json& currencies,
                       const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < apps.size(); ++i) {
        const json& cells = apps[i].at("revenue");
        if (cells.empty()) {
            continue;  // no sale, no row
        }
        std::vector<std::string> fields = nextRow(report, names[i]);
        ASSERT_EQ(fields.size(), 2 * currencies.size());
        for (std::size_t k = 0; k < currencies.size(); ++k) {
            auto cell = cells.find(currencies[k].get<std::string>());
            if (cell == cells.end()) {
                EXPECT_EQ(fields[2 * k] + " " + fields[2 * k + 1], "0 0.00");
                continue;
            }
            expectInteger(cell->at("units"), fields[2 * k]);
            expectAmount(cell->at("amount"), fields[2 * k + 1]);
        }
    }
}

void expectAgreement(const std::string& textOut, const json& document, bool listed,
                     const std::vector<std::string>& written) {
    TextReport report{linesOf(textOut)};
    auto files = document.at("files").get<std::vector<std::string>>();
    if (listed) {
        for (const std::string& file : files) {
            EXPECT_EQ(nextLine(report), file);
        }
    }
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, written);
    const json& apps = document.at("apps");
    EXPECT_EQ(nextLine(report), "Apps count: " + std::to_string(apps.size()));
    EXPECT_EQ(nextLine(report), "");
    std::vector<std::string> names;
    for (const json& app : apps) {
        names.push_back(rawOf(app.at("name")));
        report.nameWidth = std::max(report.nameWidth, names.back().size());
    }
    if (listed) {
        for (std::size_t i = 0; i < apps.size(); ++i) {
            for (const json& record : apps[i].at("listing")) {
                expectListed(nextLine(report), names[i], record);
            }
        }
        EXPECT_EQ(nextLine(report), "");
    }
    const json& currencies = document.at("currencies");
    if (!apps.empty()) {
        report.at += 2;  // the summary table's header and dashes
        for (std::size_t i = 0; i < apps.size(); ++i) {
            std::vector<std::string> fields = nextRow(report, names[i]);
            ASSERT_EQ(fields.size(), 3u);
            expectInteger(apps[i].at("records"), fields[0]);
            expectInteger(apps[i].at("sales"), fields[1]);
            expectInteger(apps[i].at("updates"), fields[2]);
        }
        EXPECT_EQ(nextLine(report), "");
        std::vector<std::string> header = nextRow(report, "AppName");
        ASSERT_EQ(header.size(), 2 * currencies.size());
        for (std::size_t k = 0; k < currencies.size(); ++k) {
            EXPECT_EQ(header[2 * k] + " " + header[2 * k + 1], "U " + rawOf(currencies[k]));
        }
        ++report.at;  // dashes
        expectRevenueRows(report, apps, currencies, names);
        ++report.at;  // dashes
        expectTotalsRow(report, "Totals", currencies, document.at("totals"));
    }
    if (document.contains("totalsUsd")) {
        expectTotalsRow(report, "Totals(USD)", currencies, document.at("totalsUsd"));
        EXPECT_EQ(nextLine(report), "");
        std::string grandTotal = nextLine(report);
        ASSERT_EQ(grandTotal.rfind("GrandTotal(USD): ", 0), 0u) << grandTotal;
        expectAmount(document.at("grandTotalUsd"), grandTotal.substr(17));
    }
    EXPECT_EQ(report.at, report.lines.size()) << "the text report goes on";
}

// Each round writes one to three reports and runs the program twice: with
// -v up to twice (as -v in the text run: with -j, -v -v lists nothing while
// reading) and with or without rates. Round 1 has no records, round 2 no sale.
TEST(JsonReport, AgreesWithTheTextReport) {
    // Under a wrapper (Wine, valgrind) a run costs many times more.
    const char* wrapper = std::getenv("SALESUM_WRAPPER");
    const int rounds = wrapper != nullptr && *wrapper != '\0' ? 12 : 40;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::mt19937 random(static_cast<unsigned>(round) + 1);
        ScratchDirectory dir;
        std::vector<std::string> written;
        for (int file = 0, files = 1 + static_cast<int>(random() % 3); file < files; ++file) {
            std::string report = kReportHeader;
            for (int line = round == 1 ? 0 : static_cast<int>(random() % 30); line > 0; --line) {
                report += randomLine(random, round != 2);
            }
            written.push_back("S_W_" + std::to_string(file) + ".txt");
            dir.write(written.back(), report);
        }
        int verbosity = static_cast<int>(random() % 3);
        std::vector<std::string> text = {"salesum"};
        std::vector<std::string> document = {"salesum", "-j"};
        text.insert(text.end(), std::min(verbosity, 1), "-v");
        document.insert(document.end(), verbosity, "-v");
        if (random() % 2 == 0) {
            dir.write("rates.cfg", kRates);
            for (auto* arguments : {&text, &document}) {
                arguments->insert(arguments->end(), {"-c", "rates.cfg"});
            }
        }
        text.push_back("S_W*");
        document.push_back("S_W*");
        ProgramRun textRun = runProgram(dir.path, text);
        ProgramRun documentRun = runProgram(dir.path, document);
        EXPECT_EQ(documentRun.err, textRun.err);
        EXPECT_EQ(documentRun.status, textRun.status);
        // One document (a reader accepts nothing after it) and one LF.
        ASSERT_TRUE(documentRun.out.ends_with("}\n")) << documentRun.out;
        json parsed = json::parse(documentRun.out, nullptr, false);
        ASSERT_FALSE(parsed.is_discarded()) << documentRun.out;
        expectAgreement(textRun.out, parsed, verbosity != 0, written);
    }
}

}  // namespace
