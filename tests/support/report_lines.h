// Report files of the first layout, read by token position, for the unit and
// end-to-end tests: a header and record lines built field by field.
#pragma once

#include <map>
#include <string>
#include <vector>

// The fields the reader takes, by their token position in a line whose
// fields are all filled.
namespace field {
constexpr int kName = 6;
constexpr int kType = 8;
constexpr int kUnits = 9;
constexpr int kPrice = 10;
constexpr int kBegin = 11;
constexpr int kEnd = 12;
constexpr int kCountry = 14;
constexpr int kCurrency = 15;
constexpr int kCustomerPrice = 20;
}  // namespace field

// A header read by position, without a warning.
inline const std::string kReportHeader =
    "Provider\tProvider Country\tVendor Identifier\tTitle / Episode / Season\n";

// A record line of the 23 fields of the first layout, ending in LF: App sold
// 12 units at 0.70 USD (customer price 0.99) in the US from 11/02/2008 to
// 11/08/2008. Blank fields hold a space, so that none is empty. changes
// replace fields by position.
inline std::string reportLine(const std::map<int, std::string>& changes = {}) {
    std::vector<std::string> fields = {
        "STORE", "US", "1001", " ",          " ",          "Dev", "App", " ",
        "1",     "12", "0.70", "11/02/2008", "11/08/2008", "GBP", "US",  "USD",
        " ",     " ",  " ",    "301234567",  "0.99",       " ",   " "};
    for (const auto& [position, text] : changes) {
        fields.at(static_cast<std::size_t>(position)) = text;
    }
    std::string line = fields[0];
    for (std::size_t i = 1; i < fields.size(); ++i) {
        line += "\t" + fields[i];
    }
    return line + "\n";
}
