#include "cli/option_scanner.h"

#include <cstring>

#include "common/diagnostics.h"

OptionScanner optionScanner;

namespace {

const OptionForm* findLetter(std::span<const OptionForm> forms, char letter) {
    if (letter == ':' || letter == '?') {
        return nullptr;
    }
    for (const OptionForm& form : forms) {
        if (form.code == static_cast<unsigned char>(letter)) {
            return &form;
        }
    }
    return nullptr;
}

const OptionForm* findLongName(std::span<const OptionForm> forms, const char* name) {
    for (const OptionForm& form : forms) {
        if (form.longName != nullptr && std::strcmp(form.longName, name) == 0) {
            return &form;
        }
    }
    return nullptr;
}

// "--name", a whole argument, at optionIndex.
int readLongOption(int argumentCount, char* const arguments[], std::span<const OptionForm> forms) {
    OptionScanner& s = optionScanner;
    const char* argument = arguments[s.optionIndex++];
    s.optionLetter = '-';
    const OptionForm* known = findLongName(forms, argument + 2);
    if (known == nullptr) {
        printDiagnostic("E", arguments[0], "unknown option '%s'\n", argument);
        return kUnknownOption;
    }
    if (known->takesArgument) {
        if (s.optionIndex >= argumentCount) {
            printDiagnostic("E", arguments[0], "option requires an argument %s\n", argument);
            return kMissingArgument;
        }
        s.optionArgument = arguments[s.optionIndex++];
    }
    return known->code;
}

}  // namespace

int nextOption(int argumentCount, char* const arguments[], std::span<const OptionForm> forms) {
    OptionScanner& s = optionScanner;
    s.optionArgument = nullptr;
    if (s.scanPosition == nullptr) {
        const char* argument = s.optionIndex < argumentCount ? arguments[s.optionIndex] : nullptr;
        if (argument == nullptr || argument[0] != '-') {
            return kOptionsEnd;
        }
        if (argument[1] == '-' && argument[2] != '\0') {
            return readLongOption(argumentCount, arguments, forms);
        }
        s.scanPosition = argument + 1;
    }
    char letter = *s.scanPosition++;
    s.optionLetter = letter;
    if (letter == '\0') {
        // A lone "-" is an operand.
        s.scanPosition = nullptr;
        return kOptionsEnd;
    }
    ++s.optionIndex;
    bool lastOfArgument = *s.scanPosition == '\0';
    if (letter == '-' && lastOfArgument) {
        // "--" ends the options and is consumed.
        s.scanPosition = nullptr;
        return kOptionsEnd;
    }
    const OptionForm* known = findLetter(forms, letter);
    if (known == nullptr) {
        printDiagnostic("E", arguments[0], "illegal option -%c\n", letter);
        if (lastOfArgument) {
            s.scanPosition = nullptr;
        } else {
            --s.optionIndex;
        }
        return kUnknownOption;
    }
    if (lastOfArgument) {
        s.scanPosition = nullptr;
    }
    if (!known->takesArgument) {
        if (s.scanPosition != nullptr) {
            --s.optionIndex;
        }
        return known->code;
    }
    if (s.scanPosition != nullptr) {
        s.optionArgument = s.scanPosition;
        s.scanPosition = nullptr;
        return known->code;
    }
    if (s.optionIndex >= argumentCount) {
        printDiagnostic("E", arguments[0], "option requires an argument -%c\n", letter);
        return kMissingArgument;
    }
    s.optionArgument = arguments[s.optionIndex++];
    return known->code;
}
