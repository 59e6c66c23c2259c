#pragma once

#include "base/cell_obj.h"

#include <memory>
#include <string>
#include <vector>

namespace qx {

class cmcCellParser;

// A popup menu of a sheet read from its "<name>_BasicCell" and "<name>_Body" blocks: one item
// per body line, nested by the number of characters before the line's '+', "-" a separator.
class cmcPopupMenu {
public:
    struct Item {
        cmcCellObj cell;
        bool separator = false;
        std::vector<Item> children;
        std::string caption() const { return std::string(cell.displayText()); }
    };

    cmcPopupMenu(const cmcCellParser& parser, const std::string& name);
    cmcPopupMenu(const cmcPopupMenu&) = delete;
    cmcPopupMenu& operator=(const cmcPopupMenu&) = delete;

    const std::string& name() const { return m_name; }
    const std::vector<Item>& items() const { return m_items; }

private:
    std::string m_name;
    // Item cells refer to it as their parent, so it keeps its address.
    std::unique_ptr<cmcCellObj> m_basic = std::make_unique<cmcCellObj>();
    std::vector<Item> m_items;
};

} // namespace qx
