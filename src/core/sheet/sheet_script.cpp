#include "sheet/sheet_script.h"

#include "base/cell_capsule.h"
#include "base/selection_lists.h"
#include "radio/cell_link_dispatch.h"
#include "radio/cell_link_names.h"
#include "sheet/sheet.h"

#include <algorithm>

namespace qx {

void cmcSheetScript::prepare(cmcCellCapsule& request, cmcCellObj& cell) const {
    request.cell = &cell;
    request.callString = m_sheet.callString();
    request.arguments = m_sheet.arguments();
    request.sheet = &m_sheet;
}

std::string cmcSheetScript::cellText(int column, int row) {
    cmcCellObj& cell = m_sheet.cell(column, row);
    if (cell.link == kNoLink) {
        return std::string(cell.displayText());
    }
    cmcCellCapsule request;
    prepare(request, cell);
    request.drawing = true;
    m_dispatch.dispatch(request);
    return request.displayText;
}

std::string cmcSheetScript::rowLine(int row) {
    std::string line;
    bool first = true;
    for (int c = 0; c < m_sheet.columnCount(); ++c) {
        if (m_sheet.columnWidth(c) < 2) {
            continue;
        }
        if (!first) {
            line += '\t';
        }
        first = false;
        std::string text = cellText(c, row);
        std::replace(text.begin(), text.end(), '\n', ' ');
        line += text;
    }
    return line;
}

std::vector<std::string> cmcSheetScript::lines() {
    std::vector<std::string> out;
    for (int r = 0; r < m_sheet.rowCount(); ++r) {
        if (m_sheet.rowHeight(r) >= 2) {
            out.push_back(rowLine(r));
        }
    }
    return out;
}

std::string cmcSheetScript::selectedRowsText() {
    std::string out;
    for (int r = 0; r < m_sheet.rowCount(); ++r) {
        bool selected = r == m_sheet.currentRow() && !m_sheet.rangeActive();
        for (int c = 0; c < m_sheet.columnCount() && !selected; ++c) {
            selected = m_sheet.rangeActive() && m_sheet.isSelected(c, r);
        }
        if (selected && m_sheet.rowHeight(r) >= 2) {
            out += rowLine(r);
            out += '\n';
        }
    }
    return out;
}

cmcSheetScript::Outcome cmcSheetScript::enter(std::string_view linkName, std::int32_t index,
                                              std::string_view text) {
    const std::int32_t link = findCellLinkId(linkName);
    if (link < 0 || link == kNoLink) {
        return Outcome::UnknownLink;
    }
    cmcCellObj* target = nullptr;
    for (int r = 0; r < m_sheet.rowCount() && target == nullptr; ++r) {
        for (int c = 0; c < m_sheet.columnCount(); ++c) {
            cmcCellObj& cell = m_sheet.cell(c, r);
            if (cell.selectable && cell.link == link && cell.index == index) {
                target = &cell;
                break;
            }
        }
    }
    if (target == nullptr) {
        return Outcome::NoCell;
    }
    if (const auto list = m_dispatch.cellList(*target, m_sheet.arguments())) {
        const auto& items = m_lists.items(list->key, list->itemLink);
        auto found = std::find_if(items.begin(), items.end(),
                                  [text](const SelectionItem& item) { return item.text == text; });
        if (found == items.end()) {
            const std::string eased = easedLabel(text);
            m_labels.clear();
            for (auto it = items.begin(); it != items.end(); ++it) {
                if (easedLabel(it->text) == eased) {
                    found = it;
                    m_labels.push_back(it->text);
                }
            }
            if (m_labels.size() != 1) {
                const bool none = m_labels.empty();
                if (none) {
                    for (const SelectionItem& item : items) {
                        m_labels.push_back(item.text);
                    }
                }
                return none ? Outcome::UnknownLabel : Outcome::AmbiguousLabel;
            }
        }
        cmcCellObj item;
        item.link = list->itemLink;
        item.index = found->value;
        item.linkParameter = found->text;
        cmcCellCapsule request;
        prepare(request, *target);
        request.operation = kOpPick;
        request.picked = &item;
        const std::int32_t result = m_dispatch.dispatch(request);
        if (request.refused) {
            return Outcome::Refused;
        }
        return result == kResultChanged ? Outcome::Changed : Outcome::Unchanged;
    }

    // The first character typed on the grid opens the editor (Enter for an empty text); the
    // rest is typed into it and Enter commits.
    cmcCellCapsule key;
    prepare(key, *target);
    key.command =
        text.empty() ? 13 : static_cast<std::int32_t>(static_cast<signed char>(text.front()));
    if (m_dispatch.dispatch(key) != kResultEdit) {
        return Outcome::NotEditable;
    }
    cmcCellCapsule commit;
    prepare(commit, *target);
    commit.operation = kOpCommit;
    commit.text = std::string(text);
    const std::int32_t result = m_dispatch.dispatch(commit);
    if (commit.refused) {
        return Outcome::Refused;
    }
    return result == kResultChanged ? Outcome::Changed : Outcome::Unchanged;
}

std::string cmcSheetScript::easedLabel(std::string_view label) {
    while (!label.empty() && (label.front() == ' ' || label.front() == '\t')) {
        label.remove_prefix(1);
    }
    while (!label.empty() && (label.back() == ' ' || label.back() == '\t')) {
        label.remove_suffix(1);
    }
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::string out;
    std::size_t i = 0;
    while (i < label.size()) {
        if (!digit(label[i])) {
            const char c = label[i++];
            out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
            continue;
        }
        // A number: no leading zeros, no trailing zeros after its point, no bare point.
        std::size_t end = i;
        while (end < label.size() && digit(label[end])) {
            ++end;
        }
        std::string_view whole = label.substr(i, end - i);
        while (whole.size() > 1 && whole.front() == '0') {
            whole.remove_prefix(1);
        }
        out += whole;
        i = end;
        if (i + 1 < label.size() && label[i] == '.' && digit(label[i + 1])) {
            end = i + 1;
            while (end < label.size() && digit(label[end])) {
                ++end;
            }
            std::string_view fraction = label.substr(i + 1, end - i - 1);
            while (!fraction.empty() && fraction.back() == '0') {
                fraction.remove_suffix(1);
            }
            if (!fraction.empty()) {
                out += '.';
                out += fraction;
            }
            i = end;
        }
    }
    return out;
}

} // namespace qx
