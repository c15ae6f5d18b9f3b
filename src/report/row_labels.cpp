#include "report/row_labels.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "report/display_width.h"

namespace {

// What a table shows of a text: as printf's "%s", up to its first NUL.
std::string_view shownPart(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

// The text shown and then spaces until it takes width columns.
void appendPadded(std::string& out, std::string_view text, std::size_t width) {
    text = shownPart(text);
    out += text;
    std::size_t shown = displayWidth(text);
    out.append(width > shown ? width - shown : 0, ' ');
}

}  // namespace

RowLabels labelRows(const ReportTally& tally) {
    RowLabels shown;
    const Grouping& grouping = tally.grouping;
    if (groupsByAppOnly(grouping)) {
        // The name as it is: the tables pad it to their column.
        shown.heading = groupKeyHeading(GroupKey::kApp);
        shown.width = static_cast<int>(shown.heading.size());
        for (const auto& [key, figures] : tally.rows) {
            shown.labels.push_back(key.front());
            shown.width = std::max(shown.width, static_cast<int>(displayWidth(key.front())));
        }
        return shown;
    }
    shown.countTitle = "Groups count";
    std::vector<std::size_t> widths;
    for (GroupKey key : grouping) {
        widths.push_back(displayWidth(groupKeyHeading(key)));
    }
    for (const auto& [key, figures] : tally.rows) {
        for (std::size_t at = 0; at < widths.size(); ++at) {
            widths[at] = std::max(widths[at], displayWidth(shownPart(key[at])));
        }
    }
    auto join = [&](auto textOf) {
        std::string label;
        for (std::size_t at = 0; at < widths.size(); ++at) {
            if (at != 0) {
                label += ' ';
            }
            appendPadded(label, textOf(at), widths[at]);
        }
        return label;
    };
    shown.heading =
        join([&](std::size_t at) { return std::string_view(groupKeyHeading(grouping[at])); });
    for (const auto& row : tally.rows) {
        const RowKey& key = row.first;
        shown.labels.push_back(join([&](std::size_t at) { return std::string_view(key[at]); }));
    }
    shown.width = static_cast<int>(displayWidth(shown.heading));
    return shown;
}
