#include "cli/command_line.h"

#include "cli/option_scanner.h"
#include "cli/run_settings.h"
#include "cli/version.h"
#include "input/date_value.h"
#include "platform/directory_search.h"
#include "platform/wildcard.h"

namespace {

enum LongOnlyOption : int {
    kVersionOption = kLongNameOnly,
    kStrictOption,
};

// Every option of the command line: a new one is a row here and a case in
// scanCommandLine.
constexpr OptionForm kOptionForms[] = {
    {'h', "help", false},
    {'v', "verbose", false},
    {'j', "json", false},
    {'t', nullptr, false},
    {'g', nullptr, true},
    {'u', nullptr, true},
    {'c', nullptr, true},
    {'s', nullptr, true},
    {'e', nullptr, true},
    {kVersionOption, "version", false},
    {kStrictOption, "strict", false},
};

// The dates of -s and -e as typed, each kept only while the latest one given
// is well formed: the window's bounds are then what they read.
struct WindowTexts {
    const char* start = nullptr;
    const char* end = nullptr;
};

// A date of -s or -e. One the parser would read as some other day is
// refused: the run then ends before reading anything. Returns the text when
// it was well formed, else null.
const char* readDateOption(const char* text, char letter, DateValue& date,
                           Diagnostics& diagnostics) {
    bool wellFormed = isWellFormedDate(text);
    if (!wellFormed) {
        reportError(diagnostics, "bad date '%s' for -%c: use YYYYMMDD or MM/DD/YYYY\n", text,
                    letter);
    }
    date = parseDate(text);
    return wellFormed ? text : nullptr;
}

// The keys of -g. A bad one is named at its turn and ends the run after
// the scan; a later good one does not mend it.
void readGroupingOption(const char* text, Diagnostics& diagnostics) {
    if (!parseGrouping(text, runSettings.grouping)) {
        reportError(diagnostics,
                    "bad grouping '%s' for -g: use app, country, type, day, week, month or year, "
                    "separated by commas\n",
                    text);
    }
}

// A window whose first day lies after its last keeps nothing, whatever the
// reports hold.
void checkDateWindow(const WindowTexts& window, Diagnostics& diagnostics) {
    if (window.start != nullptr && window.end != nullptr &&
        runSettings.startDate > runSettings.endLimit) {
        reportError(diagnostics, "the date window is empty: -s %s is after -e %s\n", window.start,
                    window.end);
    }
}

}  // namespace

std::optional<int> scanCommandLine(int argumentCount, char* arguments[], OutputSink& out,
                                   Diagnostics& diagnostics) {
    const char* programName = diagnostics.programName;
    WindowTexts window;
    for (;;) {
        int option = nextOption(argumentCount, arguments, kOptionForms);
        if (option == kOptionsEnd) {
            break;
        }
        const char* argument = optionScanner.optionArgument;
        switch (option) {
            case 'c':
                runSettings.ratePath = argument;
                break;
            case 'e':
                window.end = readDateOption(argument, 'e', runSettings.endLimit, diagnostics);
                break;
            case 'g':
                readGroupingOption(argument, diagnostics);
                break;
            case 'h':
                printUsage(out, programName);
                return 0;
            case 'j':
                runSettings.jsonOutput = true;
                break;
            case 't':
                runSettings.tableOutput = true;
                break;
            case 'u':
                runSettings.homeCurrency = argument;
                break;
            case 's':
                window.start = readDateOption(argument, 's', runSettings.startDate, diagnostics);
                break;
            case 'v':
                ++runSettings.verbosity;
                break;
            case kStrictOption:
                runSettings.strict = true;
                break;
            case kVersionOption:
                printVersion(out, programName);
                return 0;
            case kUnknownOption:
                diagnostics.failed = true;  // the scanner has named it
                break;
            default:
                break;  // kMissingArgument, named by the scanner: no pattern can follow
        }
    }
    checkDateWindow(window, diagnostics);
    if (runSettings.tableOutput && runSettings.jsonOutput) {
        reportError(diagnostics, "-t and -j cannot be used together\n");
    }
    if (runSettings.homeCurrency && !runSettings.ratePath) {
        reportError(diagnostics, "-u '%s' needs a rate file (-c)\n",
                    runSettings.homeCurrency->c_str());
    }
    if (optionScanner.optionIndex < argumentCount) {
        runSettings.filePattern = arguments[optionScanner.optionIndex];
    }
    // Standard output holds one JSON document and nothing else, so records
    // are not listed while they are read: -v -v then means -v.
    if (runSettings.jsonOutput && runSettings.verbosity > 1) {
        runSettings.verbosity = 1;
    }
    // The table is all that standard output holds, and it lists nothing.
    if (runSettings.tableOutput) {
        runSettings.verbosity = 0;
    }
    return std::nullopt;
}

void warnAboutFurtherArguments(int argumentCount, char* const arguments[],
                               const Diagnostics& diagnostics) {
    int unquoted = 0;
    for (int index = optionScanner.optionIndex + 1; index < argumentCount; ++index) {
        const char* argument = arguments[index];
        if (argument[0] == '-') {
            reportWarning(diagnostics,
                          "'%s' after the pattern is not read as an option: options go before "
                          "the pattern\n",
                          argument);
        } else {
            ++unquoted;
        }
    }
    if (unquoted > 0) {
        reportWarning(diagnostics,
                      "%d further argument(s) ignored after the pattern '%s'; quote the pattern "
                      "so that the shell does not expand it\n",
                      unquoted, runSettings.filePattern->c_str());
    }
}

bool warnIfPatternIsDirectory(const std::string& pattern, const Diagnostics& diagnostics) {
    if (holdsWildcard(pattern) || pattern.empty() || !namesDirectory(pattern)) {
        return false;
    }
    // "reports/" suggests "reports/S_*", not "reports//S_*".
    const bool endsInSeparator = directoryPrefix(pattern).size() == pattern.size();
    reportWarning(diagnostics,
                  "'%s' is a directory: give a pattern of report names inside it, such as "
                  "'%s%sS_*'\n",
                  pattern.c_str(), pattern.c_str(), endsInSeparator ? "" : "/");
    return true;
}

void printUsage(OutputSink& out, const char* programName) {
    const char* p = programName;
    writeFormatted(out, "%s v %s\n", p, kSalesumVersion);
    writeText(out, "Made by the sales report tools team.\n\n");
    writeFormatted(out,
                   "%s [-v] [-j | -t] [-g keys] [--strict] [-c configfile [-u currency]] "
                   "[-s startdate] [-e enddate] 'pattern'\n\n",
                   p);
    writeText(out,
              "Options go before the pattern. Quote the pattern, so that the shell\n"
              "does not expand it:\n\n");
    writeFormatted(out, "%s [options] 'S_W*'\n", p);
    writeFormatted(out, "%s [options] 'S_D*'\n\n", p);
    writeFormatted(out, "%s -c config.cfg -s 20081101 -e 20081130 'S_W*'\n", p);
    writeFormatted(out, "%s -v 'S_D*'\n", p);
    writeText(out, "\nNote: file(s) must reside in the current directory.\n\n");
}

void printVersion(OutputSink& out, const char* programName) {
    writeFormatted(out, "%s v %s\n", programName, kSalesumVersion);
}
