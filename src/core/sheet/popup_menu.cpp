#include "sheet/popup_menu.h"

#include "base/text_lines.h"
#include "sheet/cell_parser.h"

#include <string_view>

namespace qx {

namespace {

struct BodyLine {
    std::size_t depth = 0;
    std::string_view item;
};

BodyLine splitLine(std::string_view line) {
    const std::size_t plus = line.find('+');
    if (plus == std::string_view::npos) {
        return {line.size(), line};
    }
    return {plus, line.substr(plus + 1)};
}

} // namespace

cmcPopupMenu::cmcPopupMenu(const cmcCellParser& parser, const std::string& name) : m_name(name) {
    std::string basic = parser.text().line(name + "_BasicCell", 0);
    if (!basic.empty() && basic.front() == '#') {
        basic.clear();
    }
    std::string_view rest = basic;
    parser.parseCell(*m_basic, rest, nullptr, nullptr);

    std::vector<std::string> lines;
    for (int i = 0;; ++i) {
        std::string line = parser.text().line(name + "_Body", i);
        if (!line.empty() && line.front() == '#') {
            break;
        }
        lines.push_back(std::move(line));
    }
    // Depth nesting: the first line of a level fixes its depth, deeper lines belong to the
    // item made last, shallower ones end the level.
    std::vector<std::pair<std::size_t, std::vector<Item>*>> levels;
    for (const std::string& text : lines) {
        const BodyLine line = splitLine(text);
        while (!levels.empty() && line.depth < levels.back().first) {
            levels.pop_back();
        }
        if (levels.empty()) {
            levels.emplace_back(line.depth, &m_items);
        } else if (line.depth > levels.back().first) {
            std::vector<Item>* siblings = levels.back().second;
            if (!siblings->empty()) {
                levels.emplace_back(line.depth, &siblings->back().children);
            }
        }
        Item item;
        std::string_view cellText = line.item;
        parser.parseCell(item.cell, cellText, nullptr, m_basic.get());
        item.separator = item.cell.displayText() == "-";
        levels.back().second->push_back(std::move(item));
    }
}

} // namespace qx
