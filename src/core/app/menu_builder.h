#pragma once

#include "app/cell_evaluator.h"
#include "app/ui_item.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qx {

class TextLines;

// A menu built from a description pair K_BasicCell / K_Body: the main menu, or a popup menu of
// a sheet. The root item is not shown; its children are the top-level items.
class cuiMenu {
public:
    cuiMenu(TextLines& text, CellEvaluator evaluate, bool shiftJis = false,
            bool japaneseSystem = false);
    cuiMenu(const cuiMenu&) = delete;
    cuiMenu& operator=(const cuiMenu&) = delete;

    // Drops every item and builds the items of `key` (without the _BasicCell / _Body suffix).
    void build(std::string_view key);
    // Fills `item` with the items of the block `key`_Body (a popup submenu); the basic cell of
    // this menu stays the parent.
    void fill(cuiItem& item, std::string_view key);
    // Removes every child of `item`.
    static void clear(cuiItem& item);

    cuiItem& root() { return m_root; }
    const cuiItem& root() const { return m_root; }
    const std::string& key() const { return m_key; }

    // The cell of the sheet a popup menu was opened on: the items act on it. None for the main
    // menu.
    void setContextCell(cmcCellObj* cell) { m_context = cell; }

    // Asks every item's link for its state (checked, hidden, disabled, caption), recursively.
    void refreshStates();
    // Executes the item's link, then refreshes every state.
    std::int32_t click(cuiItem& item);

    // The first item, depth first, bound to `link` with `index`.
    cuiItem* find(std::int32_t link, std::int32_t index = 0);

private:
    void refresh(cuiItem& item);
    std::int32_t evaluate(cuiItem& item, std::int32_t command);

    TextLines& m_text;
    CellEvaluator m_evaluate;
    bool m_shiftJis;
    bool m_japaneseSystem;
    std::string m_key;
    cmcCellObj m_basic;
    cuiItem m_root;
    cmcCellObj* m_context = nullptr;
};

} // namespace qx
