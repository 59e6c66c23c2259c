#include "sheet/cell_editors.h"

#include "radio/gps_format.h"

#include <algorithm>
#include <cctype>

namespace qx {

CellRect editorRect(const cmcCellObj& cell, const CellRect& cellRect, int lineHeight) {
    CellRect r = cellRect;
    if (cell.wrap) {
        r.top += 1;
        return r;
    }
    const int height = cellRect.bottom - cellRect.top;
    if (height <= lineHeight) {
        return r;
    }
    switch (cell.vAlign) {
    case 1:
        r.top = cellRect.top + (height - lineHeight) / 2;
        break;
    case 2:
        r.top = cellRect.bottom - lineHeight - 1;
        break;
    default:
        break;
    }
    r.bottom = r.top + lineHeight;
    return r;
}

std::string joinedEditorText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c != '\n' && c != '\r') {
            out += c;
        }
    }
    return out;
}

PopupPlacement placePopup(const ScreenRect& cellOnScreen, int width, int height,
                          const ScreenRect& workArea) {
    PopupPlacement out;
    if (width > workArea.width || height > workArea.height) {
        out.scrollBars = true;
        width = std::min(width, workArea.width);
        height = std::min(height, workArea.height);
    }
    int left = cellOnScreen.left + 8;
    int top = cellOnScreen.bottom();
    bool overlapping = false;
    if (top + height > workArea.bottom()) {
        if (cellOnScreen.top - workArea.top <= height) {
            top = workArea.bottom() - height;
            overlapping = true;
        } else {
            top = cellOnScreen.top - height;
        }
    }
    if (left + width > workArea.right()) {
        if (overlapping && width < cellOnScreen.left - workArea.left) {
            left = cellOnScreen.left - width;
        } else {
            left = workArea.right() - width;
        }
    }
    out.bounds = {std::max(left, workArea.left), std::max(top, workArea.top), width, height};
    return out;
}

namespace {

// The masks in the edit-mask notation: '9' a digit, 'l' a letter, '\' makes the next
// character fixed, every other character is fixed.
std::string maskOf(MaskedEntryKind kind, bool japaneseSystem, char degree) {
    switch (kind) {
    case MaskedEntryKind::Date:
        return japaneseSystem ? "2\\099/99/99" : "99/99/2\\099";
    case MaskedEntryKind::Time:
        return "99:99:99";
    case MaskedEntryKind::Latitude:
        return std::string(" 99") + degree + "99'99\"l";
    case MaskedEntryKind::Longitude:
        return std::string("999") + degree + "99'99\"l";
    }
    return {};
}

bool blank(char c) {
    return c == ' ' || c == '_';
}

} // namespace

cmcMaskedEntry::cmcMaskedEntry(MaskedEntryKind kind, bool japaneseSystem, char degreeSign)
    : m_kind(kind), m_monthFirst(kind == MaskedEntryKind::Date && !japaneseSystem) {
    const std::string mask = maskOf(kind, japaneseSystem, degreeSign);
    for (std::size_t i = 0; i < mask.size(); ++i) {
        Position p;
        if (mask[i] == '\\' && i + 1 < mask.size()) {
            p.literal = mask[++i];
        } else if (mask[i] == '9') {
            p.slot = Slot::Digit;
        } else if (mask[i] == 'l') {
            p.slot = Slot::Letter;
        } else {
            p.literal = mask[i];
        }
        m_positions.push_back(p);
    }
    m_first = kind == MaskedEntryKind::Date && japaneseSystem ? 2
              : kind == MaskedEntryKind::Latitude             ? 1
                                                              : 0;
    m_end = static_cast<int>(m_positions.size());
}

int cmcMaskedEntry::clampCaret(int caret) const {
    return std::clamp(caret, m_first, m_end);
}

std::string cmcMaskedEntry::initialText(std::string_view requestText, std::int32_t typedKey,
                                        int& caret) const {
    std::string source(requestText);
    if (m_monthFirst && source.size() >= 10) {
        // year/month/day -> month/day/year
        source = source.substr(5, 2) + "/" + source.substr(8, 2) + "/" + source.substr(0, 4);
    }
    std::string text;
    for (std::size_t i = 0; i < m_positions.size(); ++i) {
        const Position& p = m_positions[i];
        const char c = i < source.size() ? source[i] : ' ';
        if (p.slot == Slot::Literal) {
            text += p.literal;
        } else if (p.slot == Slot::Digit) {
            text += std::isdigit(static_cast<unsigned char>(c)) != 0 ? c : ' ';
        } else {
            text += std::isalpha(static_cast<unsigned char>(c)) != 0
                        ? static_cast<char>(std::toupper(static_cast<unsigned char>(c)))
                        : ' ';
        }
    }
    caret = m_first;
    if (typedKey >= '0' && typedKey <= '9') {
        text[static_cast<std::size_t>(m_first)] = static_cast<char>(typedKey);
        caret = m_first + 1;
    }
    return text;
}

bool cmcMaskedEntry::acceptsKey(char key) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
    return std::isdigit(static_cast<unsigned char>(key)) != 0 || upper == 'N' || upper == 'S' ||
           upper == 'E' || upper == 'W';
}

std::string cmcMaskedEntry::committedText(std::string_view text) const {
    std::string out(text);
    for (std::size_t i = 0; i < out.size() && i < m_positions.size(); ++i) {
        if (m_positions[i].slot != Slot::Literal && blank(out[i])) {
            out[i] = '0';
        }
    }
    if (m_monthFirst && out.size() >= 10) {
        out = out.substr(6, 4) + "/" + out.substr(0, 2) + "/" + out.substr(3, 2);
    }
    return out;
}

bool cmcMaskedEntry::valid(std::string_view text) const {
    if (text.size() != m_positions.size()) {
        return false;
    }
    const std::string full = committedText(text);
    switch (m_kind) {
    case MaskedEntryKind::Date:
        return parseGpsDate(full, DateOrder::YearMonthDay).ok();
    case MaskedEntryKind::Time:
        return parseGpsTime(full).ok();
    case MaskedEntryKind::Latitude:
        return parseLatitude(full).ok();
    case MaskedEntryKind::Longitude:
        return parseLongitude(full).ok();
    }
    return false;
}

} // namespace qx
