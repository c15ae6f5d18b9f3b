#include "cli/option_scanner.h"

#include <cstring>

#include "common/diagnostics.h"

OptionScanner optionScanner;

namespace {

const char* findLetter(const char* specification, char letter) {
    if (letter == ':' || letter == '?') {
        return nullptr;
    }
    return std::strchr(specification, letter);
}

}  // namespace

int nextOption(int argumentCount, char* const arguments[], const char* specification) {
    OptionScanner& s = optionScanner;
    s.optionArgument = nullptr;
    if (s.scanPosition == nullptr) {
        if (s.optionIndex >= argumentCount || arguments[s.optionIndex] == nullptr ||
            arguments[s.optionIndex][0] != '-') {
            return -1;
        }
        s.scanPosition = arguments[s.optionIndex] + 1;
    }
    char letter = *s.scanPosition++;
    s.optionLetter = letter;
    if (letter == '\0') {
        // A lone "-" is an operand.
        s.scanPosition = nullptr;
        return -1;
    }
    ++s.optionIndex;
    bool lastOfArgument = *s.scanPosition == '\0';
    if (letter == '-' && lastOfArgument) {
        // "--" ends the options and is consumed.
        s.scanPosition = nullptr;
        return -1;
    }
    const char* known = findLetter(specification, letter);
    if (known == nullptr) {
        printDiagnostic("E", arguments[0], "illegal option -%c\n", letter);
        if (lastOfArgument) {
            s.scanPosition = nullptr;
        } else {
            --s.optionIndex;
        }
        return '?';
    }
    if (lastOfArgument) {
        s.scanPosition = nullptr;
    }
    if (known[1] != ':') {
        if (s.scanPosition != nullptr) {
            --s.optionIndex;
        }
        return letter;
    }
    if (s.scanPosition != nullptr) {
        s.optionArgument = s.scanPosition;
        s.scanPosition = nullptr;
        return letter;
    }
    if (s.optionIndex >= argumentCount) {
        printDiagnostic("E", arguments[0], "option requires an argument -%c\n", letter);
        return '?';
    }
    s.optionArgument = arguments[s.optionIndex++];
    return letter;
}
