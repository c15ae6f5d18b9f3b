// What the program says on standard error when an input is not what the
// user meant, and the status it ends with: unreadable reports and rate
// files, odd rates, bad dates, extra arguments, patterns that take nothing,
// and compressed reports, whole or damaged.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "e2e/hostile_support.h"
#include "e2e/run_program.h"

namespace {

// One sale of 2 units at 1.50 EUR, from 11/02/2008 to 11/08/2008.
const std::string kAlphaReport = kHeader + reportLine("Alpha", "1", "2", "1.50", "EUR");

// Its tables, laid out by hand: an 11-wide name column, a 1-wide units
// column and a 4-wide amount column.
const std::string kAlphaTables =
    "Apps count: 1\n"
    "\n"
    "AppName       Records   Sales Updates\n"
    "-------------------------------------\n"
    "Alpha               1       2       0\n"
    "\n"
    "AppName     U  EUR\n"
    "------------------\n"
    "Alpha       2 3.00\n"
    "------------------\n"
    "Totals        3.00\n";

const std::string kAlphaListing = "Alpha        1   2      1.50      0.99 US EUR 081102 081108\n";

// The USD rows when the EUR total is converted with a rate of 1, and when it
// has no rate.
const std::string kUsdAtOne = "Totals(USD)   3.00\n\nGrandTotal(USD): 3.00\n";
const std::string kUsdWithoutRate = "Totals(USD)   0.00\n\nGrandTotal(USD): 0.00\n";

// The gzip form of bytes, made by the gzip program.
std::string gzipped(const std::string& bytes) {
    ScratchDirectory scratch;
    scratch.write("plain", bytes);
    std::string command =
        "gzip -n -c '" + scratch.path() + "/plain' > '" + scratch.path() + "/packed'";
    if (std::system(command.c_str()) != 0) {
        ADD_FAILURE() << "gzip failed";
    }
    return readWholeFile(scratch.path() + "/packed");
}

// Without its 8-byte trailer (checksum and length): the content is whole,
// but the member is cut short.
std::string withoutTrailer(std::string packed) {
    packed.resize(packed.size() - 8);
    return packed;
}

struct DiagnosticCase {
    std::string name;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> arguments;
    std::string out;
    std::string err;
    int status = 0;
    std::string lockedFile = {};  // made unreadable, for a run as an ordinary user
};

std::vector<DiagnosticCase> diagnosticCases() {
    const std::string bad = "[E] salesum: bad date '";
    const std::string use = ": use YYYYMMDD or MM/DD/YYYY\n";
    return {
        {"MissingRateFile",
         {{"S_W_1", kAlphaReport}},
         {"salesum", "-c", "nosuch.cfg", "S_W*"},
         kAlphaTables,
         "[E] salesum: cannot read rate file 'nosuch.cfg': No such file or directory\n",
         1},
        {"RateKeyInLowerCase",
         {{"S_W_1", kAlphaReport}, {"rates.cfg", "eur = 0.9\n"}},
         {"salesum", "-c", "rates.cfg", "S_W*"},
         kAlphaTables + kUsdWithoutRate,
         "[W] salesum: no rate for 'EUR' in 'rates.cfg': its total is left out of "
         "GrandTotal(USD)\n",
         0},
        {"RateWithDecimalComma",
         {{"S_W_1", kAlphaReport}, {"rates.cfg", "EUR=1,2697\r\nUSD = 1 \r\n"}},
         {"salesum", "-c", "rates.cfg", "S_W*"},
         kAlphaTables + kUsdAtOne,
         "[W] salesum: rate file 'rates.cfg': rate for 'EUR' read as 1 from '1,2697'\n",
         0},
        {"RateWithoutNumber",
         {{"S_W_1", kAlphaReport}, {"rates.cfg", "EUR = one\nGBP=  \n"}},
         {"salesum", "-c", "rates.cfg", "S_W*"},
         kAlphaTables + kUsdWithoutRate,
         "[W] salesum: rate file 'rates.cfg': rate for 'EUR' read as 0 from ' one'\n"
         "[W] salesum: rate file 'rates.cfg': rate for 'GBP' read as 0 from '  '\n",
         0},
        {"DateWithDashes",
         {{"S_W_1", kAlphaReport}},
         {"salesum", "-s", "2008-11-01", "S_W*"},
         "",
         bad + "2008-11-01' for -s" + use,
         1},
        {"DateWithShortMonth",
         {{"S_W_1", kAlphaReport}},
         {"salesum", "-e", "1/22/2010", "S_W*"},
         "",
         bad + "1/22/2010' for -e" + use,
         1},
        {"DatesWithTrailingText",
         {{"S_W_1", kAlphaReport}},
         {"salesum", "-s", "20081101junk", "-e", "11/30/2008 10:00", "S_W*"},
         kAlphaTables,
         "",
         0},
        {"UnreadableReport",
         {{"S_W_1", kAlphaReport}, {"S_W_2", kAlphaReport}},
         {"salesum", "S_W*"},
         kAlphaTables,
         "[E] salesum: cannot read 'S_W_2': Permission denied\n",
         1,
         "S_W_2"},
        {"PatternWithDirectoryPart",
         {{"reports/S_W_1", kAlphaReport},
          {"S_W_1", kHeader + reportLine("Omega", "1", "5", "9.00", "EUR")}},
         {"salesum", "-v", "reports/S_W*"},
         "S_W_1\nApps count: 1\n\n" + kAlphaListing + "\n" +
             kAlphaTables.substr(std::string("Apps count: 1\n\n").size()),
         "",
         0},
        {"UnquotedPattern",
         {{"S_W_1", kAlphaReport}, {"S_W_2", kAlphaReport}},
         {"salesum", "S_W_1", "S_W_2"},
         kAlphaTables,
         "[W] salesum: 1 further argument(s) ignored after the pattern 'S_W_1'; quote the "
         "pattern so that the shell does not expand it\n",
         0},
        {"CompressedReport",
         {{"S_W_1.txt.gz", gzipped(kAlphaReport)}},
         {"salesum", "S_W*"},
         kAlphaTables,
         "",
         0},
        {"CompressedMembersAndTrailingBytes",
         {{"S_W_1.txt.gz", gzipped(kHeader) + gzipped(kAlphaReport.substr(kHeader.size())) +
                               std::string(300, '\0')}},
         {"salesum", "S_W*"},
         kAlphaTables,
         "",
         0},
        {"DamagedCompressedReport",
         {{"S_W_1.txt.gz", withoutTrailer(gzipped(kAlphaReport))}},
         {"salesum", "S_W*"},
         kAlphaTables,
         "[E] salesum: cannot read 'S_W_1.txt.gz': damaged compressed data\n",
         1},
        {"DamageAfterCtrlZ",
         {{"S_W_1.txt.gz", withoutTrailer(gzipped(kAlphaReport + "\x1A" + "rest"))}},
         {"salesum", "S_W*"},
         kAlphaTables,
         "",
         0},
    };
}

// Runs the program in a fresh directory holding the files.
ProgramRun runOver(const std::vector<std::pair<std::string, std::string>>& files,
                   const std::vector<std::string>& arguments, const std::string& lockedFile = {}) {
    ScratchDirectory dir;
    for (const auto& [name, bytes] : files) {
        std::size_t slash = name.rfind('/');
        if (slash != std::string::npos) {
            dir.makeDirectory(name.substr(0, slash));
        }
        dir.write(name, bytes);
    }
    ProgramOptions options;
    if (!lockedFile.empty()) {
        EXPECT_EQ(chmod((dir.path() + "/" + lockedFile).c_str(), 0), 0);
        options.unprivileged = true;
    }
    return runProgram(dir.path(), arguments, options);
}

TEST(Diagnostics, NameWhatWasNotReadAndSetTheStatus) {
    for (const DiagnosticCase& c : diagnosticCases()) {
        SCOPED_TRACE(c.name);
        if (!c.lockedFile.empty() && windowsProgram()) {
            continue;  // needs POSIX permissions
        }
        ProgramRun run = runOver(c.files, c.arguments, c.lockedFile);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.status, c.status);
    }
}

// The line with one token replaced (tokens counted from 0, as the reader
// counts them in a line whose fields are all filled).
std::string withToken(std::string line, int index, const std::string& text) {
    std::size_t begin = 0;
    for (int at = 0; at < index; ++at) {
        begin = line.find('\t', begin) + 1;
    }
    std::size_t end = line.find_first_of("\t\n", begin);
    return line.replace(begin, end - begin, text);
}

// Alpha's line with its customer price (token 20) or its dates (11, 12).
std::string alphaLine(const std::string& units = "2", const std::string& price = "1.50") {
    return reportLine("Alpha", "1", units, price, "EUR");
}

// A report by column names: header, then lines of Title, type, units,
// proceeds, begin, end, currency, customer price.
const std::string kNamedHeader =
    "Title\tProduct Type Identifier\tUnits\tDeveloper Proceeds\tBegin Date\tEnd Date\t"
    "Currency of Proceeds\tCustomer Price\n";

struct ValueWarningCase {
    std::string name;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> arguments;
    std::string err;  // each "[W] salesum: " line, without that start
};

// Expected warnings derived by hand from the reading rules: which line
// first holds each kind of value, and how many times the kind occurs.
std::vector<ValueWarningCase> valueWarningCases() {
    using namespace std::string_literals;
    const std::string longName(480, 'x');  // the first piece ends 3 bytes before its end
    const std::string cut = "[W] salesum: 'S_W_1' line ";
    return {
        {"ProductTypes",
         {{"S_W_1", kHeader + reportLine("A", "IA3", "1", "1") + reportLine("A", "ZZ", "1", "1") +
                        reportLine("A", "3F", "1", "1") + reportLine("A", " ", "1", "1") +
                        reportLine("A", "9", "1", "1") + reportLine("A", "F1", "1", "1")}},
         {"salesum", "S_W*"},
         cut + "3: product type 'ZZ' is neither a sale nor an update, so it counts as a record "
               "only (2 in this report)\n"},
        {"Units",
         {{"S_W_1", kHeader + alphaLine("3.") + alphaLine("1.00") + alphaLine("1,084") +
                        alphaLine("+") + alphaLine("99999999999") + alphaLine("-2") +
                        alphaLine("2.50")}},
         {"salesum", "S_W*"},
         cut + "4: units '1,084' read as 1 (4 in this report)\n"},
        {"PricesAndCustomerPrices",
         {{"S_W_1", kHeader + alphaLine("2", ".5") + alphaLine("2", "0,70") + alphaLine("2", "1e") +
                        withToken(alphaLine(), 20, "1,99") + withToken(alphaLine(), 20, " ") +
                        withToken(alphaLine(), 20, "free")}},
         {"salesum", "-v", "S_W*"},
         cut + "3: price '0,70' read as 0 (2 in this report)\n" + cut +
             "5: customer price '1,99' read as 1 (2 in this report)\n"},
        {"CustomerPriceWithoutListing",
         {{"S_W_1", kHeader + withToken(alphaLine(), 20, "0.99 EUR")}},
         {"salesum", "S_W*"},
         cut + "2: customer price '0.99 EUR' read as 0.99 (1 in this report)\n"},
        // The first bad date lies before the window: every line is checked.
        {"DatesOutsideTheWindow",
         {{"S_W_1", kHeader + withToken(withToken(alphaLine(), 11, "2008-10-01"), 12, "10/08/08") +
                        withToken(alphaLine(), 12, "1/21/10") + alphaLine()}},
         {"salesum", "-s", "20081101", "S_W*"},
         cut + "2: date '2008-10-01' is not YYYYMMDD or MM/DD/YYYY (3 in this report)\n"},
        {"ShortLinesAndNul",
         {{"S_W_1", kHeader + "a\tb\tc\n" + alphaLine() + "A\0B\tc\n"s}},
         {"salesum", "S_W*"},
         cut + "2: only 3 of the 16 fields that a record needs (2 in this report)\n" + cut +
             "4: a NUL byte ends the line's text (1 in this report)\n"},
        // The first piece holds 7 tokens; the second starts "xxx\t \t1\t2",
        // so its type is 'US' (token 8) and its units 'EUR' (token 9), and
        // its 17 tokens stop short of a customer price.
        {"LineLongerThanAPiece",
         {{"S_W_1", kHeader + reportLine(longName, "1", "2", "1.50", "EUR")}},
         {"salesum", "S_W*"},
         cut +
             "2: product type 'US' is neither a sale nor an update, so it counts as a record "
             "only (1 in this report)\n" +
             cut + "2: units 'EUR' read as 0 (1 in this report)\n" + cut +
             "2: only 7 of the 16 fields that a record needs (1 in this report)\n" + cut +
             "2: longer than 499 bytes, so it was read as 2 record lines (1 in this report)\n"},
        {"CompressedReport",
         {{"S_W_1.gz", gzipped(kHeader + alphaLine() + alphaLine("1,5"))}},
         {"salesum", "S_W*"},
         "[W] salesum: 'S_W_1.gz' line 3: units '1,5' read as 1 (1 in this report)\n"},
        // By name a lone CR ends a line; the required columns end at field 7.
        {"ByName",
         {{"S_W_1", kNamedHeader + "Chess\t1F\t1\t1.40\t11/02/2008\t11/08/2008\tUSD\t1.99\r" +
                        "Chess\tIA1\t2\t0,70\n" + " \t \t\n" + "Chess\t7\t1\t0\t2008-11-02\r\n" +
                        "Chess\t1\t1\t1.40\t11/02/2008\t11/08/2008\tUSD\0x\n"s}},
         {"salesum", "S_W*"},
         cut + "3: price '0,70' read as 0 (1 in this report)\n" + cut +
             "5: date '2008-11-02' is not YYYYMMDD or MM/DD/YYYY (1 in this report)\n" + cut +
             "3: only 4 of the 7 fields that a record needs (2 in this report)\n" + cut +
             "6: a NUL byte ends the line's text (1 in this report)\n"},
        {"AfterTheHeaderWarning",
         {{"S_W_1", "Provider\tTitle\n" + alphaLine("x")}},
         {"salesum", "S_W*"},
         "[W] salesum: 'S_W_1': its header has no 'Product Type Identifier' column, so its "
         "fields are read by position\n" +
             cut + "2: units 'x' read as 0 (1 in this report)\n"},
        // A copy beside its gzip original, a browser's second download, and
        // a copy whose Ctrl-Z hides different bytes after it.
        {"ReportsTakenTwice",
         {{"S_W_1.txt", kAlphaReport},
          {"S_W_1.txt.gz", gzipped(kAlphaReport)},
          {"S_W_1 (1).txt", kAlphaReport},
          {"S_W_2.txt", kAlphaReport + "\x1A" + "junk"}},
         {"salesum", "S_W*"},
         "[W] salesum: 'S_W_1.txt' has the same content as 'S_W_1 (1).txt', and both are "
         "counted\n"
         "[W] salesum: 'S_W_1.txt.gz' has the same content as 'S_W_1 (1).txt', and both are "
         "counted\n"
         "[W] salesum: 'S_W_2.txt' has the same content as 'S_W_1 (1).txt', and both are "
         "counted\n"},
        // A shared header alone, or no record line at all, is no copy.
        {"ReportsThatDiffer",
         {{"S_W_1", kAlphaReport},
          {"S_W_2", kHeader + alphaLine("3")},
          {"S_W_3", kHeader},
          {"S_W_4", kHeader},
          {"S_W_5", kAlphaReport + "\n"}},
         {"salesum", "S_W*"},
         ""},
    };
}

TEST(Diagnostics, NameValuesNotReadAsTheyLook) {
    for (const ValueWarningCase& c : valueWarningCases()) {
        SCOPED_TRACE(c.name);
        ProgramRun run = runOver(c.files, c.arguments);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.status, 0);
    }
}

}  // namespace
