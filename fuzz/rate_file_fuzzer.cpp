// Bytes of a rate file through the rate reader.
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "input/rate_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RateTable rateTable;
    Diagnostics diagnostics;
    readRateFile(holdInFile(data, size), rateTable, diagnostics);
    for (const auto& [currency, rate] : rateTable) {
        FUZZ_CHECK(!currency.empty());
        FUZZ_CHECK(currency.back() != ' ');
        FUZZ_CHECK(currency.find_first_of(std::string("=\t\n\0", 4)) == std::string::npos);
        FUZZ_CHECK(std::isfinite(rate) && rate > 0.0);  // only usable rates are stored
    }
    return 0;
}
