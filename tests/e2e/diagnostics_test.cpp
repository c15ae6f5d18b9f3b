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
        {"BadDatesComeBeforeMissingPattern",
         {},
         {"salesum", "-s", "2008110", "-e", "11/30/08"},
         "",
         bad + "2008110' for -s" + use + bad + "11/30/08' for -e" + use,
         1},
        {"VersionAfterBadDate",
         {},
         {"salesum", "-s", "x", "--version", "S_W*"},
         "salesum v 1.0.1\n",
         bad + "x' for -s" + use,
         0},
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
        {"NothingTaken",
         {{"S_W_1", kAlphaReport}},
         {"salesum", "S_D*"},
         "Apps count: 0\n\n",
         "[W] salesum: no file matches 'S_D*'\n",
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
        {"VersionOption", {}, {"salesum", "-v", "--version", "S_W*"}, "salesum v 1.0.1\n", "", 0},
    };
}

TEST(Diagnostics, NameWhatWasNotReadAndSetTheStatus) {
    for (const DiagnosticCase& c : diagnosticCases()) {
        SCOPED_TRACE(c.name);
        if (!c.lockedFile.empty() && windowsProgram()) {
            continue;  // needs POSIX permissions
        }
        ScratchDirectory dir;
        for (const auto& [name, bytes] : c.files) {
            std::size_t slash = name.rfind('/');
            if (slash != std::string::npos) {
                dir.makeDirectory(name.substr(0, slash));
            }
            dir.write(name, bytes);
        }
        ProgramOptions options;
        if (!c.lockedFile.empty()) {
            ASSERT_EQ(chmod((dir.path() + "/" + c.lockedFile).c_str(), 0), 0);
            options.unprivileged = true;
        }
        ProgramRun run = runProgram(dir.path(), c.arguments, options);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.status, c.status);
    }
}

}  // namespace
