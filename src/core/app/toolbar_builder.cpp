#include "app/toolbar_builder.h"

#include "app/description_reader.h"
#include "base/text_lines.h"
#include "sheet/cell_parser.h"

namespace qx {

cuiToolBar::cuiToolBar(TextLines& text, CellEvaluator evaluate, bool shiftJis, bool japaneseSystem)
    : m_text(text), m_evaluate(std::move(evaluate)), m_shiftJis(shiftJis),
      m_japaneseSystem(japaneseSystem) {}

void cuiToolBar::build(std::string_view key) {
    const std::string name(key);
    const cmcCellParser parser(m_text, m_shiftJis, m_japaneseSystem);
    const std::string basicLine = m_text.line(name + "_BasicCell", 0);
    std::string_view basic = basicLine;
    if (!parser.parseCell(m_basic, basic, nullptr, nullptr)) {
        cmcCellParser::resetCell(m_basic, nullptr);
    }
    m_buttons.clear();
    m_wraps = true;
    for (const std::string& line : descriptionBody(m_text, name + "_Body")) {
        auto button = std::make_unique<cuiItem>();
        std::string_view rest = line;
        if (!parser.parseCell(button->cell, rest, nullptr, &m_basic)) {
            cmcCellParser::resetCell(button->cell, &m_basic);
        }
        button->caption = std::string(button->cell.displayText());
        button->imageIndex = button->cell.imageIndex;
        if (button->caption == "-") {
            button->kind = cuiItem::Kind::Separator;
        } else if (button->caption == "/") {
            button->kind = cuiItem::Kind::LineBreak;
            m_wraps = false;
        }
        m_buttons.push_back(std::move(button));
    }
}

void cuiToolBar::refreshStates() {
    for (auto& b : m_buttons) {
        if (b->isSeparator() || !m_evaluate) {
            continue;
        }
        for (int flag = 0; flag < 4; ++flag) {
            b->cell.setUserFlag(flag, false);
        }
        cmcCellCapsule request;
        request.cell = &b->cell;
        request.command = kItemStateQuery;
        request.operation = kOpStateQuery;
        m_evaluate(request);
        b->checked = b->cell.userFlag(0);
        b->enabled = !b->cell.userFlag(2);
        b->imageIndex = b->cell.imageIndex;
    }
}

std::int32_t cuiToolBar::click(cuiItem& button) {
    if (button.isSeparator() || !m_evaluate) {
        return kResultNone;
    }
    cmcCellCapsule request;
    request.cell = &button.cell;
    request.command = kItemExecute;
    return m_evaluate(request);
}

cuiItem* cuiToolBar::find(std::int32_t link, std::int32_t index) {
    for (auto& b : m_buttons) {
        if (!b->isSeparator() && b->cell.link == link && b->cell.index == index) {
            return b.get();
        }
    }
    return nullptr;
}

} // namespace qx
