// Scanner of single-letter command-line options. Called repeatedly, it
// returns one option letter per call and -1 when the options are over.
#pragma once

#include <cstdint>

struct OptionScanner {
    std::int32_t optionIndex = 1;          // next argument to examine; then the first operand
    const char* scanPosition = nullptr;    // inside a grouped argument such as "-vv"
    const char* optionArgument = nullptr;  // argument of the letter just returned
    std::int32_t optionLetter = 0;         // letter just read, recognised or not
};

// The scanner's state lives for the whole process: the command line is
// scanned once.
extern OptionScanner optionScanner;

// Returns the next option letter, '?' after a diagnostic on standard error,
// or -1 when the options are over. A letter followed by ':' in specification
// takes an argument, from the rest of its argument or from the next one.
int nextOption(int argumentCount, char* const arguments[], const char* specification);
