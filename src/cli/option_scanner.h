// Scanner of command-line options, driven by a table of the options it
// knows. Called repeatedly, it returns one option per call and -1 when the
// options are over. An option has a letter ("-v", which may be grouped as in
// "-vv"), a long name ("--verbose", always a whole argument), or both.
#pragma once

#include <cstdint>
#include <span>

// One option the scanner knows. Its code is what nextOption returns for it:
// a letter, which is then also its short form ("-c"), or a value from
// kLongNameOnly up for an option that has only a long name.
struct OptionForm {
    int code;
    const char* longName;  // the long form without its "--" ("json"), or null
    bool takesArgument;    // a letter's from the rest of its argument or from the next one
};

constexpr int kLongNameOnly = 256;

// What nextOption returns besides an option's code. Both errors are
// diagnosed on standard error before they are returned.
constexpr int kOptionsEnd = -1;
constexpr int kUnknownOption = '?';    // a letter or long name not in the table
constexpr int kMissingArgument = ':';  // an option that takes an argument was the last argument

struct OptionScanner {
    std::int32_t optionIndex = 1;          // next argument to examine; then the first operand
    const char* scanPosition = nullptr;    // inside a grouped argument such as "-vv"
    const char* optionArgument = nullptr;  // argument of the option just returned
    std::int32_t optionLetter = 0;  // letter just read, recognised or not; '-' for a long name
};

// The scanner's state lives for the whole process: the command line is
// scanned once.
extern OptionScanner optionScanner;

// Returns the code of the next option, kUnknownOption or kMissingArgument
// after a diagnostic, or kOptionsEnd when the options are over: at the first
// argument that does not begin with '-', at a lone "-" (the first operand),
// or after "--" (which is consumed). An argument "--name" is looked up as a
// long name whole; its argument, if it takes one, is the next argument.
int nextOption(int argumentCount, char* const arguments[], std::span<const OptionForm> forms);
