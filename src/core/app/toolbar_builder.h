#pragma once

#include "app/cell_evaluator.h"
#include "app/ui_item.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class TextLines;

// A toolbar built from a description pair: one button, gap or line break per body line, in
// line order from left to right.
class cuiToolBar {
public:
    static constexpr int kSeparatorWidth = 8;
    static constexpr int kLineBreakWidth = 1;
    static constexpr int kIndent = 4;

    cuiToolBar(TextLines& text, CellEvaluator evaluate, bool shiftJis = false,
               bool japaneseSystem = false);
    cuiToolBar(const cuiToolBar&) = delete;
    cuiToolBar& operator=(const cuiToolBar&) = delete;

    void build(std::string_view key);
    const std::vector<std::unique_ptr<cuiItem>>& buttons() const { return m_buttons; }
    // Whether the bar wraps its buttons by itself: off once the body has a line break.
    bool wraps() const { return m_wraps; }

    // Checked (drawn as a pressed check button), enabled and image of every button.
    void refreshStates();
    std::int32_t click(cuiItem& button);

    cuiItem* find(std::int32_t link, std::int32_t index = 0);

private:
    TextLines& m_text;
    CellEvaluator m_evaluate;
    bool m_shiftJis;
    bool m_japaneseSystem;
    cmcCellObj m_basic;
    std::vector<std::unique_ptr<cuiItem>> m_buttons;
    bool m_wraps = true;
};

} // namespace qx
