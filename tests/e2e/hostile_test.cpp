// Hostile input end to end: whatever lies in the directory, the program ends
// in bounded time with the right status, and what it prints follows from the
// piece and token rules (expected figures are computed here from those rules,
// not taken from a run). The cases here need what golden data cannot hold:
// generated inputs too big to store, FIFOs, sockets, symlinks, file modes,
// odd file names, /dev/full or a closed standard output. Small hostile inputs
// are golden cases (empty_reports, value_warnings, compressed, ...).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "e2e/hostile_support.h"
#include "e2e/run_program.h"

namespace {

constexpr std::size_t kPieceCharacters = 499;

void expectStart(const std::string& out, const std::string& start) {
    EXPECT_EQ(out.substr(0, start.size()), start);
}

void expectCleanRun(const ProgramRun& run) {
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
}

// A run that warns about the values of one report and ends well.
void expectWarnings(const ProgramRun& run, const std::string& path,
                    const std::vector<std::string>& warnings) {
    std::string expected;
    for (const std::string& warning : warnings) {
        expected += "[W] salesum: '" + path + "' line " + warning + " in this report)\n";
    }
    EXPECT_EQ(run.err, expected);
    EXPECT_EQ(run.status, 0);
}

// The directory part of the pattern names no directory that can be listed:
// nothing is read, and the run fails saying why.
std::function<void(const ProgramRun&)> expectUnlistable(const std::string& directory,
                                                        const std::string& reason) {
    return [=](const ProgramRun& run) {
        EXPECT_EQ(run.out, "Apps count: 0\n\n");
        EXPECT_EQ(run.err,
                  "[E] salesum: cannot read directory '" + directory + "': " + reason + "\n");
        EXPECT_EQ(run.status, 1);
    };
}

struct HostileCase {
    std::string name;
    std::function<void(const ScratchDirectory&)> prepare;
    std::vector<std::string> arguments;
    std::function<void(const ProgramRun&)> check;
    int timeoutSeconds = 20;
    std::string stdoutPath = {};
    bool closeStdout = false;
    std::string runIn = {};          // the subdirectory the run is made in, if not the top
    bool needsUnprivileged = false;  // file modes must stop the program (see ProgramOptions)
    bool posixOnly = false;          // FIFOs, sockets, POSIX names and devices
};

// Cases print as their names in test listings.
void PrintTo(const HostileCase& c, std::ostream* os) {
    *os << c.name;
}

class Hostile : public ::testing::TestWithParam<HostileCase> {};

// Every case ends in time, with the status and output its check expects.
TEST_P(Hostile, EndsWell) {
    const HostileCase& c = GetParam();
    if (c.posixOnly && windowsProgram()) {
        GTEST_SKIP() << "needs POSIX-only entries or devices";
    }
    ScratchDirectory dir;
    // What the case writes must be open to the user the run may be made as,
    // whatever the umask of the tests, unless the case locks it.
    mode_t umaskOfTests = umask(022);
    if (c.needsUnprivileged) {
        dir.openToEveryone();
    }
    c.prepare(dir);
    umask(umaskOfTests);
    if (HasFatalFailure()) {
        return;
    }
    ProgramOptions options;
    options.timeoutSeconds = c.timeoutSeconds;
    options.stdoutPath = c.stdoutPath;
    options.closeStdout = c.closeStdout;
    options.unprivileged = c.needsUnprivileged;
    ProgramRun run =
        runProgram(c.runIn.empty() ? dir.path : dir.path + "/" + c.runIn, c.arguments, options);
    // Give back what a case locked, so that the directory can be removed.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
        std::error_code ignored;
        if (std::filesystem::is_directory(entry.symlink_status())) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        }
    }
    if (!run.notRun.empty()) {
        GTEST_SKIP() << run.notRun;
    }
    ASSERT_NE(run.status, 128 + 9) << "killed after " << c.timeoutSeconds << " s";
    c.check(run);
}

// 50 MiB without a line feed: 499-character pieces, the first being the
// header; each later one is a record of one token, so its name is empty.
constexpr std::size_t kEndlessLine = 50u << 20;
const long long kEndlessLineRecords = (kEndlessLine + kPieceCharacters - 1) / kPieceCharacters - 1;

// A 1 MiB application name after six fields of 22 characters in all: the
// first piece ends the name after 477 characters; the rest of the field and
// the three-token tail become records with an empty name.
constexpr std::size_t kHugeField = 1u << 20;
const std::string kFieldPrefix = "STORE\tUS\t1001\t \t \tDev\t";
const std::size_t kNameKept = kPieceCharacters - kFieldPrefix.size();
const std::string kFieldTail = "\t1\t5\n";
const long long kFieldRestPieces =
    ((kHugeField - kNameKept) + kFieldTail.size() + kPieceCharacters - 1) / kPieceCharacters;

constexpr int kManyNames = 100000;

const std::string kOneApp =
    kReportHeader +
    reportLine({{field::kName, "Solo"}, {field::kUnits, "2"}, {field::kPrice, "1.50"}});

INSTANTIATE_TEST_SUITE_P(
    Input, Hostile,
    ::testing::Values(
        HostileCase{.name = "RandomBytes",
                    .prepare = [](auto& d) { d.write("S_W_random", randomBytes(200000, 2008)); },
                    .arguments = {"salesum", "-c", "S_W_random", "S_W*"},
                    .check =
                        [](const ProgramRun& run) {
                            // Rates read from junk are warned about, nothing more.
                            EXPECT_EQ(run.status, 0);
                            EXPECT_EQ(run.err.find("[E]"), std::string::npos);
                            summaryRows(run.out);
                        }},
        HostileCase{
            .name = "FiftyMegabytesWithoutLineFeed",
            .prepare = [](auto& d) { d.write("S_W_endless", std::string(kEndlessLine, 'a')); },
            .arguments = {"salesum", "S_W*"},
            .check =
                [](const ProgramRun& run) {
                    const std::string pieces = std::to_string(kEndlessLineRecords);
                    expectWarnings(run, "S_W_endless",
                                   {"1: only 1 of the 16 fields that a record needs (" + pieces,
                                    "1: longer than 499 bytes, so it was read as " + pieces +
                                        " record lines (1"});
                    EXPECT_EQ(summaryRows(run.out), std::vector<std::string>{summaryRow(
                                                        "", 11, kEndlessLineRecords, 0, 0)});
                },
            .timeoutSeconds = 100},
        HostileCase{.name = "OneMegabyteField",
                    .prepare =
                        [](auto& d) {
                            d.write("S_W_wide", kReportHeader + kFieldPrefix +
                                                    std::string(kHugeField, 'x') + kFieldTail);
                        },
                    .arguments = {"salesum", "S_W*"},
                    .check =
                        [](const ProgramRun& run) {
                            // The first piece holds 7 tokens, every later one fewer.
                            const std::string pieces = std::to_string(kFieldRestPieces + 1);
                            expectWarnings(
                                run, "S_W_wide",
                                {"2: only 7 of the 16 fields that a record needs (" + pieces,
                                 "2: longer than 499 bytes, so it was read as " + pieces +
                                     " record lines (1"});
                            std::string kept(kNameKept, 'x');
                            EXPECT_EQ(summaryRows(run.out),
                                      (std::vector<std::string>{
                                          summaryRow("", kNameKept, kFieldRestPieces, 0, 0),
                                          summaryRow(kept, kNameKept, 1, 0, 0)}));
                        },
                    .timeoutSeconds = 60},
        HostileCase{.name = "HundredThousandNames",
                    .prepare =
                        [](auto& d) {
                            std::string lines = kReportHeader;
                            char name[16];
                            for (int i = 0; i < kManyNames; ++i) {
                                std::snprintf(name, sizeof name, "App%06d", i);
                                lines += reportLine({{field::kName, name},
                                                     {field::kUnits, "1"},
                                                     {field::kPrice, "0.50"}});
                            }
                            d.write("S_W_many", lines);
                        },
                    .arguments = {"salesum", "S_W*"},
                    .check =
                        [](const ProgramRun& run) {
                            expectCleanRun(run);
                            std::vector<std::string> rows = summaryRows(run.out);
                            ASSERT_EQ(rows.size(), static_cast<std::size_t>(kManyNames));
                            EXPECT_EQ(rows.front(), summaryRow("App000000", 11, 1, 1, 0));
                            EXPECT_EQ(rows.back(), summaryRow("App099999", 11, 1, 1, 0));
                            // Every application sold one unit at 0.50 USD.
                            std::string totals = linesOf(run.out).back();
                            EXPECT_EQ(totals.rfind("Totals ", 0), 0u);
                            EXPECT_EQ(totals.substr(totals.find_last_of(' ') + 1), "50000.00");
                        },
                    .timeoutSeconds = 100},
        HostileCase{
            .name = "SpecialEntriesMatchingThePattern",
            .prepare =
                [](auto& d) {
                    for (const char* name : {"S_W_a", "s_w_lower", "S_W_Z", "other", "xS_W_a"}) {
                        d.write(name, kReportHeader);
                    }
                    d.write("S_W_b", kOneApp);
                    d.makeDirectory("S_W_dir");
                    ASSERT_EQ(mkfifo((d.path + "/S_W_fifo").c_str(), 0644), 0);
                    makeSocket(d.path + "/S_W_sock");
                    ASSERT_EQ(symlink("gone", (d.path + "/S_W_dangling").c_str()), 0);
                    ASSERT_EQ(symlink("S_W_a", (d.path + "/S_W_link").c_str()), 0);
                },
            .arguments = {"salesum", "-v", "S_W*"},
            .check =
                [](const ProgramRun& run) {
                    expectCleanRun(run);
                    // Directories and regular files, also behind a link, are taken
                    // whatever their letter case, in byte order; the FIFO, the socket
                    // and the dangling link are not. The one record is listed.
                    expectStart(run.out,
                                "S_W_Z\nS_W_a\nS_W_b\nS_W_dir\nS_W_link\ns_w_lower\n"
                                "Apps count: 1\n\nSolo  ");
                },
            .posixOnly = true},
        HostileCase{.name = "OnlyEntriesNeverTakenMatch",
                    .prepare =
                        [](auto& d) {
                            d.write(".S_W_hidden", kOneApp);
                            ASSERT_EQ(mkfifo((d.path + "/S_W_fifo").c_str(), 0644), 0);
                        },
                    .arguments = {"salesum", "*S_W*"},
                    .check =
                        [](const ProgramRun& run) {
                            EXPECT_EQ(run.out, "Apps count: 0\n\n");
                            EXPECT_EQ(run.err, "[W] salesum: no file matches '*S_W*'\n");
                            EXPECT_EQ(run.status, 0);
                        },
                    .posixOnly = true},
        HostileCase{.name = "PatternDirectoryIsASymlinkLoop",
                    .prepare =
                        [](auto& d) {
                            d.write("S_W_outside", kOneApp);
                            ASSERT_EQ(symlink("loop", (d.path + "/loop").c_str()), 0);
                        },
                    .arguments = {"salesum", "loop/S_W*"},
                    .check = expectUnlistable("loop/", "Too many levels of symbolic links"),
                    .posixOnly = true},
        HostileCase{.name = "PatternDirectoryCannotBeRead",
                    .prepare =
                        [](auto& d) {
                            d.makeDirectory("locked");
                            d.write("locked/S_W_inside", kOneApp);
                            d.write("S_W_inside", kOneApp);
                            ASSERT_EQ(chmod((d.path + "/locked").c_str(), 0), 0);
                        },
                    .arguments = {"salesum", "locked/S_W*"},
                    .check = expectUnlistable("locked/", "Permission denied"),
                    .needsUnprivileged = true},
        // No directory part: the directory searched is the one the run is in.
        HostileCase{.name = "WorkingDirectoryCannotBeListed",
                    .prepare =
                        [](auto& d) {
                            d.write("here/S_W_inside", kOneApp);
                            ASSERT_EQ(chmod((d.path + "/here").c_str(), 0111), 0);
                        },
                    .arguments = {"salesum", "S_W*"},
                    .check = expectUnlistable(".", "Permission denied"),
                    .runIn = "here",
                    .needsUnprivileged = true},
        HostileCase{.name = "UnreadableReport",
                    .prepare =
                        [](auto& d) {
                            d.write("S_W_1", kOneApp);
                            d.write("S_W_2", kOneApp);
                            ASSERT_EQ(chmod((d.path + "/S_W_2").c_str(), 0), 0);
                        },
                    .arguments = {"salesum", "S_W*"},
                    .check =
                        [](const ProgramRun& run) {
                            EXPECT_EQ(run.err,
                                      "[E] salesum: cannot read 'S_W_2': Permission denied\n");
                            EXPECT_EQ(run.status, 1);
                            // What was read before stays counted.
                            EXPECT_EQ(summaryRows(run.out),
                                      std::vector<std::string>{summaryRow("Solo", 11, 1, 2, 0)});
                        },
                    .needsUnprivileged = true},
        HostileCase{
            .name = "NewlineAndEscapeInFileNames",
            .prepare =
                [](auto& d) {
                    d.write("S_W_new\nline", kReportHeader + reportLine({{field::kName, "One"}}));
                    d.write("S_W_\x1b[31mred", kReportHeader + reportLine({{field::kName, "Two"}}));
                },
            .arguments = {"salesum", "-v", "S_W*"},
            .check =
                [](const ProgramRun& run) {
                    expectCleanRun(run);
                    // Names are printed as they are, in byte order (ESC < 'n').
                    expectStart(run.out, "S_W_\x1b[31mred\nS_W_new\nline\nApps count: 2\n\n");
                },
            .posixOnly = true}),
    [](const ::testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

// Enough verbose listing that output is written while the report is open.
std::string longReport() {
    std::string lines = kReportHeader;
    for (int i = 0; i < 3000; ++i) {
        lines += reportLine({{field::kName, "App" + std::to_string(i % 50)}});
    }
    return lines;
}

// A write to standard output that fails ends the run with status 1, saying
// why: on /dev/full and on a closed descriptor, for the usage text, the
// tables, the JSON document and a listing written while reading. Under Wine
// the reason is the runtime's own, and a closed descriptor cannot be handed
// over. An empty reason: only the start of the message is compared.
std::function<void(const ProgramRun&)> expectWriteError(const std::string& reason) {
    return [=](const ProgramRun& run) {
        if (windowsProgram() || reason.empty()) {
            EXPECT_TRUE(run.err.starts_with("[E] salesum: write error: ")) << run.err;
        } else {
            EXPECT_EQ(run.err, "[E] salesum: write error: " + reason + "\n");
        }
        EXPECT_EQ(run.status, 1);
    };
}

HostileCase lostOutput(const std::string& name, const std::vector<std::string>& arguments,
                       const std::string& reason, bool closed = false) {
    return {.name = name,
            .prepare = [](auto& d) { d.write("S_W_long", longReport()); },
            .arguments = arguments,
            .check = expectWriteError(reason),
            .stdoutPath = closed ? "" : "/dev/full",
            .closeStdout = closed,
            .posixOnly = closed};
}

const char* const kFull = "No space left on device";

INSTANTIATE_TEST_SUITE_P(
    Output, Hostile,
    ::testing::Values(lostOutput("UsageToFullDevice", {"salesum", "-h"}, kFull),
                      lostOutput("TablesToFullDevice", {"salesum", "S_W*"}, kFull),
                      // The document outgrows the output block and is cut mid-way: the
                      // reason is that of the first write that failed.
                      lostOutput("JsonToFullDevice", {"salesum", "-j", "S_W*"}, kFull),
                      lostOutput("ListingToFullDevice", {"salesum", "-v", "-v", "S_W*"}, kFull),
                      lostOutput("UsageToClosedOutput", {"salesum", "-h"}, "Bad file descriptor",
                                 true),
                      lostOutput("ListingToClosedOutput", {"salesum", "-v", "-v", "S_W*"},
                                 "Bad file descriptor", true)),
    [](const ::testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

}  // namespace
