#include "app/menu_builder.h"

#include "app/description_reader.h"
#include "base/text_lines.h"
#include "sheet/cell_parser.h"

#include <string>

namespace qx {

namespace {

cuiItem* findIn(cuiItem& item, std::int32_t link, std::int32_t index) {
    for (auto& child : item.children) {
        if (child->cell.link == link && child->cell.index == index) {
            return child.get();
        }
        if (cuiItem* found = findIn(*child, link, index)) {
            return found;
        }
    }
    return nullptr;
}

} // namespace

cuiMenu::cuiMenu(TextLines& text, CellEvaluator evaluate, bool shiftJis, bool japaneseSystem)
    : m_text(text), m_evaluate(std::move(evaluate)), m_shiftJis(shiftJis),
      m_japaneseSystem(japaneseSystem) {}

void cuiMenu::build(std::string_view key) {
    m_key = std::string(key);
    clear(m_root);
    const cmcCellParser parser(m_text, m_shiftJis, m_japaneseSystem);
    std::string_view basic;
    const std::string basicLine = m_text.line(m_key + "_BasicCell", 0);
    basic = basicLine;
    if (!parser.parseCell(m_basic, basic, nullptr, nullptr)) {
        cmcCellParser::resetCell(m_basic, nullptr);
    }
    fill(m_root, key);
}

void cuiMenu::fill(cuiItem& item, std::string_view key) {
    const cmcCellParser parser(m_text, m_shiftJis, m_japaneseSystem);
    const std::vector<std::string> body = descriptionBody(m_text, std::string(key) + "_Body");
    // The first line fixes the top level; a shallower line after it ends the reading.
    readDescriptionLevel(parser, body, 0, &m_basic, item);
}

void cuiMenu::clear(cuiItem& item) {
    item.children.clear();
}

std::int32_t cuiMenu::evaluate(cuiItem& item, std::int32_t command) {
    if (!m_evaluate) {
        return kResultNone;
    }
    cmcCellCapsule request;
    request.cell = m_context != nullptr ? m_context : &item.cell;
    request.operation = command == kItemStateQuery ? kOpStateQuery : kOpCommand;
    request.command = command;
    request.menuItem = &item.cell;
    return m_evaluate(request);
}

void cuiMenu::refresh(cuiItem& item) {
    for (auto& child : item.children) {
        cuiItem& c = *child;
        for (int flag = 0; flag < 4; ++flag) {
            c.cell.setUserFlag(flag, false);
        }
        evaluate(c, kItemStateQuery);
        c.checked = c.cell.userFlag(0);
        c.visible = !c.cell.userFlag(1);
        c.enabled = !c.cell.userFlag(2);
        if (c.cell.userFlag(3) && c.cell.displayText() != c.caption) {
            c.caption = std::string(c.cell.displayText());
        }
        if (c.cell.imageIndex != c.imageIndex) {
            c.imageIndex = c.cell.imageIndex;
        }
        refresh(c);
    }
}

void cuiMenu::refreshStates() {
    refresh(m_root);
}

std::int32_t cuiMenu::click(cuiItem& item) {
    const std::int32_t result = evaluate(item, kItemExecute);
    refreshStates();
    return result;
}

cuiItem* cuiMenu::find(std::int32_t link, std::int32_t index) {
    return findIn(m_root, link, index);
}

} // namespace qx
