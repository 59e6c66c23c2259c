#include "sheet/value_tables.h"

#include "base/text_lines.h"

#include <algorithm>

namespace qx {

cmcValueTables::Table& cmcValueTables::table(std::string_view listKey, std::int32_t itemLink) {
    const std::string key = std::string(listKey) + "#" + std::to_string(itemLink);
    if (auto* found = m_tables.find(key)) {
        return **found;
    }
    auto built = std::make_unique<Table>();
    const std::string cellsKey = std::string(listKey) + "_Cells";
    std::vector<std::string> lines;
    for (int i = 0;; ++i) {
        std::string line = m_parser.text().line(cellsKey, i);
        if (!line.empty() && line.front() == '#') {
            break;
        }
        lines.push_back(std::move(line));
    }
    const auto lineCount = static_cast<std::int32_t>(lines.size());
    std::vector<std::pair<std::int64_t, SelectionItem>> ordered;
    for (std::int32_t i = 0; i < lineCount; ++i) {
        SheetVariables variables{};
        std::string_view rest = lines[static_cast<std::size_t>(i)];
        cmcCellObj cell;
        for (std::int32_t position = 0; m_parser.parseCell(cell, rest, &variables, nullptr);
             ++position) {
            if (cell.link != itemLink) {
                continue;
            }
            SelectionItem item{cell.index,
                               cell.linkParameter ? *cell.linkParameter
                                                  : std::string(cell.displayText()),
                               i, position};
            ordered.emplace_back(static_cast<std::int64_t>(i) + position * lineCount,
                                 std::move(item));
        }
    }
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& entry : ordered) {
        built->byPosition.push_back(std::move(entry.second));
    }
    built->byValue = built->byPosition;
    std::stable_sort(
        built->byValue.begin(), built->byValue.end(),
        [](const SelectionItem& a, const SelectionItem& b) { return a.value < b.value; });
    Table& result = *built;
    m_tables.insert(key, std::move(built));
    return result;
}

const std::vector<SelectionItem>& cmcValueTables::items(std::string_view listKey,
                                                        std::int32_t itemLink) {
    return table(listKey, itemLink).byPosition;
}

std::optional<std::string> cmcValueTables::valueText(std::string_view listKey,
                                                     std::int32_t itemLink, std::int32_t value) {
    const auto& byValue = table(listKey, itemLink).byValue;
    const auto found =
        std::lower_bound(byValue.begin(), byValue.end(), value,
                         [](const SelectionItem& item, std::int32_t v) { return item.value < v; });
    if (found == byValue.end() || found->value != value) {
        return std::nullopt;
    }
    return found->text;
}

std::int32_t cmcValueTables::stepValue(std::string_view listKey, std::int32_t itemLink,
                                       std::int32_t value, std::int32_t delta) {
    const auto& byPosition = table(listKey, itemLink).byPosition;
    if (byPosition.empty()) {
        return value;
    }
    const auto found =
        std::find_if(byPosition.begin(), byPosition.end(),
                     [value](const SelectionItem& item) { return item.value == value; });
    if (found == byPosition.end()) {
        return byPosition.front().value;
    }
    const auto count = static_cast<std::int64_t>(byPosition.size());
    std::int64_t position = (found - byPosition.begin()) + static_cast<std::int64_t>(delta);
    if (position >= count) {
        position = 0;
    } else if (position < 0) {
        position = count - 1;
    }
    return byPosition[static_cast<std::size_t>(position)].value;
}

} // namespace qx
