// The option scanner on an argument vector cut from the input at NUL bytes,
// scanned to the end the way the run driver does.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/option_scanner.h"
#include "fuzz_support.h"
#include "input/date_value.h"

namespace {

bool pointsInto(const char* p, const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (p >= argument.c_str() && p <= argument.c_str() + argument.size()) {
            return true;
        }
    }
    return false;
}

// The options of a run, with one long name that takes an argument.
constexpr OptionForm kForms[] = {
    {'h', "help", false}, {'v', "verbose", false}, {'c', "rates", true},
    {'s', nullptr, true}, {'e', nullptr, true},    {kLongNameOnly, "strict", false},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments = {"salesum"};
    std::string input(reinterpret_cast<const char*>(data), size);
    for (std::size_t begin = 0; begin <= input.size() && arguments.size() < 64;) {
        std::size_t end = std::min(input.find('\0', begin), input.size());
        arguments.push_back(input.substr(begin, end - begin));
        begin = end + 1;
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    int argc = static_cast<int>(arguments.size());

    // Diagnostics are expected; keep them off the fuzzer's own output.
    static std::FILE* discard = std::fopen("/dev/null", "w");
    std::FILE* savedStderr = stderr;
    stderr = discard;
    optionScanner = OptionScanner{};
    // Every call consumes at least one character or ends the scan.
    std::size_t callsLeft = input.size() + 2;
    int letter = 0;
    while ((letter = nextOption(argc, argv.data(), kForms)) != kOptionsEnd) {
        FUZZ_CHECK(callsLeft-- > 0);
        FUZZ_CHECK(letter == kLongNameOnly || std::strchr("hvcse?:", letter) != nullptr);
        FUZZ_CHECK(optionScanner.optionIndex <= argc);
        const char* argument = optionScanner.optionArgument;
        FUZZ_CHECK((argument != nullptr) == (letter == 'c' || letter == 's' || letter == 'e'));
        if (argument != nullptr) {
            FUZZ_CHECK(pointsInto(argument, arguments));
            if (letter != 'c') {
                parseDate(argument);
            }
        }
    }
    stderr = savedStderr;
    FUZZ_CHECK(optionScanner.optionIndex >= 1 && optionScanner.optionIndex <= argc);
    return 0;
}
