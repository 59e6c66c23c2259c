#include "sheet/cell_layout.h"

#include "base/text_metrics.h"
#include "sheet/sheet.h"

#include <algorithm>

namespace qx {

namespace {

std::uint32_t blend(std::uint32_t a, std::uint32_t b, int weightA, int weightB, int round,
                    int divisor) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFFU);
        const int cb = static_cast<int>((b >> shift) & 0xFFU);
        const int c = (ca * weightA + cb * weightB + round) / divisor;
        out |= static_cast<std::uint32_t>(c) << shift;
    }
    return out;
}

constexpr std::uint32_t kPrintGrey = 0x606060;
constexpr std::uint32_t kRuleOnWhite = 0xC0C0C0;
constexpr std::uint32_t kRuleOnColour = 0xFFFFFF;

// A white cell for the purpose of rules and printing.
bool whiteCell(std::uint32_t colour) {
    return colour == kColorWindow || colour == kColorWhite;
}

int truncated(double v) {
    return static_cast<int>(v);
}

} // namespace

SheetColours SheetColours::compute(std::uint32_t windowText, std::uint32_t window,
                                   std::uint32_t buttonFace, bool modern) {
    if (!modern) {
        return {blend(buttonFace, window, 1, 1, 1, 2), kColorBtnFace};
    }
    return {blend(windowText, window, 1, 7, 4, 8), blend(windowText, window, 1, 3, 2, 4)};
}

// ---- geometry -------------------------------------------------------------------------------

int cmcCellLayout::fixedWidth() const {
    int w = 0;
    for (int c = 0; c < m_sheet.fixedColumns(); ++c) {
        w += m_sheet.columnWidth(c);
    }
    return w;
}

int cmcCellLayout::fixedHeight() const {
    int h = 0;
    for (int r = 0; r < m_sheet.fixedRows(); ++r) {
        h += m_sheet.rowHeight(r);
    }
    return h;
}

int cmcCellLayout::columnX(int column) const {
    const int fixed = m_sheet.fixedColumns();
    int x = 0;
    if (column < fixed) {
        for (int c = 0; c < column; ++c) {
            x += m_sheet.columnWidth(c);
        }
        return x;
    }
    x = fixedWidth();
    const int left = m_sheet.leftColumn();
    for (int c = left; c < column; ++c) {
        x += m_sheet.columnWidth(c);
    }
    for (int c = column; c < left; ++c) {
        x -= m_sheet.columnWidth(c);
    }
    return x;
}

int cmcCellLayout::rowY(int row) const {
    const int fixed = m_sheet.fixedRows();
    int y = 0;
    if (row < fixed) {
        for (int r = 0; r < row; ++r) {
            y += m_sheet.rowHeight(r);
        }
        return y;
    }
    y = fixedHeight();
    const int top = m_sheet.topRow();
    for (int r = top; r < row; ++r) {
        y += m_sheet.rowHeight(r);
    }
    for (int r = row; r < top; ++r) {
        y -= m_sheet.rowHeight(r);
    }
    return y;
}

std::optional<int> cmcCellLayout::columnLeft(int column) const {
    if (column < 0 || column >= m_sheet.columnCount()) {
        return std::nullopt;
    }
    if (column >= m_sheet.fixedColumns() && column < m_sheet.leftColumn()) {
        return std::nullopt;
    }
    return columnX(column);
}

std::optional<int> cmcCellLayout::rowTop(int row) const {
    if (row < 0 || row >= m_sheet.rowCount()) {
        return std::nullopt;
    }
    if (row >= m_sheet.fixedRows() && row < m_sheet.topRow()) {
        return std::nullopt;
    }
    return rowY(row);
}

std::optional<CellRect> cmcCellLayout::cellRect(int column, int row) const {
    const auto x = columnLeft(column);
    const auto y = rowTop(row);
    if (!x || !y) {
        return std::nullopt;
    }
    return CellRect{*x, *y, *x + m_sheet.columnWidth(column), *y + m_sheet.rowHeight(row)};
}

std::optional<std::pair<int, int>> cmcCellLayout::cellAt(int x, int y) const {
    if (x < 0 || y < 0 || m_sheet.columnCount() == 0) {
        return std::nullopt;
    }
    const auto find = [](int pos, int count, int fixed, int first,
                         auto size) -> std::optional<int> {
        int edge = 0;
        for (int i = 0; i < count; ++i) {
            if (i >= fixed && i < first) {
                continue;
            }
            edge += size(i);
            if (pos < edge) {
                return i;
            }
        }
        return std::nullopt;
    };
    const auto c = find(x, m_sheet.columnCount(), m_sheet.fixedColumns(), m_sheet.leftColumn(),
                        [this](int i) { return m_sheet.columnWidth(i); });
    const auto r = find(y, m_sheet.rowCount(), m_sheet.fixedRows(), m_sheet.topRow(),
                        [this](int i) { return m_sheet.rowHeight(i); });
    if (!c || !r) {
        return std::nullopt;
    }
    return std::pair{*c, *r};
}

std::optional<int> cmcCellLayout::columnEdgeAt(int x, int y, int grip) const {
    if (y < 0 || y >= fixedHeight()) {
        return std::nullopt; // edges are taken in the header rows only
    }
    for (int c = 0; c < m_sheet.columnCount(); ++c) {
        const auto left = columnLeft(c);
        if (!left || m_sheet.columnWidth(c) < 1) {
            continue;
        }
        const int right = *left + m_sheet.columnWidth(c);
        if (x >= right - grip && x <= right + grip) {
            // The last column at this edge, so that 1-pixel separators do not take it.
            int best = c;
            for (int n = c + 1; n < m_sheet.columnCount(); ++n) {
                if (m_sheet.columnWidth(n) >= 1) {
                    break;
                }
                best = n;
            }
            return m_sheet.columnWidth(best) >= 1 ? best : c;
        }
    }
    return std::nullopt;
}

int cmcCellLayout::maxTopRow(int viewHeight) const {
    const int fixed = m_sheet.fixedRows();
    const int rows = m_sheet.rowCount();
    const int room = viewHeight - fixedHeight();
    int top = rows - 1;
    int used = rows > 0 ? m_sheet.rowHeight(rows - 1) : 0;
    while (top - 1 >= fixed && used + m_sheet.rowHeight(top - 1) <= room) {
        --top;
        used += m_sheet.rowHeight(top);
    }
    return std::max(fixed, top);
}

int cmcCellLayout::maxLeftColumn(int viewWidth) const {
    const int fixed = m_sheet.fixedColumns();
    const int columns = m_sheet.columnCount();
    const int room = viewWidth - fixedWidth();
    int left = columns - 1;
    int used = columns > 0 ? m_sheet.columnWidth(columns - 1) : 0;
    while (left - 1 >= fixed && used + m_sheet.columnWidth(left - 1) <= room) {
        --left;
        used += m_sheet.columnWidth(left);
    }
    return std::max(fixed, left);
}

int cmcCellLayout::visibleRows(int viewHeight) const {
    int y = fixedHeight();
    int n = 0;
    for (int r = m_sheet.topRow(); r < m_sheet.rowCount(); ++r) {
        y += m_sheet.rowHeight(r);
        if (y > viewHeight) {
            break;
        }
        if (m_sheet.rowHeight(r) > 0) {
            ++n;
        }
    }
    return std::max(1, n);
}

int cmcCellLayout::visibleColumns(int viewWidth) const {
    int x = fixedWidth();
    int n = 0;
    for (int c = m_sheet.leftColumn(); c < m_sheet.columnCount(); ++c) {
        x += m_sheet.columnWidth(c);
        if (x > viewWidth) {
            break;
        }
        ++n;
    }
    return std::max(1, n);
}

void cmcCellLayout::scrollToCurrent(int viewWidth, int viewHeight) {
    const int row = m_sheet.currentRow();
    if (row >= m_sheet.fixedRows()) {
        if (row < m_sheet.topRow()) {
            m_sheet.setTopRow(row);
        }
        while (m_sheet.topRow() < row && rowY(row) + m_sheet.rowHeight(row) > viewHeight) {
            m_sheet.setTopRow(m_sheet.topRow() + 1);
        }
    }
    const int column = m_sheet.currentColumn();
    if (column >= m_sheet.fixedColumns()) {
        if (column < m_sheet.leftColumn()) {
            m_sheet.setLeftColumn(column);
        }
        while (m_sheet.leftColumn() < column &&
               columnX(column) + m_sheet.columnWidth(column) > viewWidth) {
            m_sheet.setLeftColumn(m_sheet.leftColumn() + 1);
        }
    }
}

int cmcCellLayout::spanStart(int column, int row) const {
    int c = column;
    while (c > 0 && m_sheet.cell(c, row).span) {
        --c;
    }
    return c;
}

// ---- drawing --------------------------------------------------------------------------------

std::vector<DrawnCell> cmcCellLayout::visibleCells(const LayoutState& state) const {
    std::vector<DrawnCell> out;
    const int columns = m_sheet.columnCount();
    const int rows = m_sheet.rowCount();
    if (columns == 0 || rows == 0) {
        return out;
    }
    const int fixedW = fixedWidth();
    const int fixedH = fixedHeight();
    std::vector<int> shownColumns;
    for (int c = 0; c < columns; ++c) {
        if (c >= m_sheet.fixedColumns() && c < m_sheet.leftColumn()) {
            continue;
        }
        if (columnX(c) >= state.viewWidth) {
            break;
        }
        if (m_sheet.columnWidth(c) > 0) {
            shownColumns.push_back(c);
        }
    }
    for (int r = 0; r < rows; ++r) {
        if (r >= m_sheet.fixedRows() && r < m_sheet.topRow()) {
            continue;
        }
        const int y = rowY(r);
        if (y >= state.viewHeight) {
            break;
        }
        const int h = m_sheet.rowHeight(r);
        if (h <= 0) {
            continue;
        }
        const bool fixedRow = r < m_sheet.fixedRows();
        for (std::size_t i = 0; i < shownColumns.size(); ++i) {
            const int c = shownColumns[i];
            const bool fixedColumn = c < m_sheet.fixedColumns();
            const int start = spanStart(c, r);
            // A run of `+` cells is drawn once, by its first member in view.
            if (start != c && i > 0 && shownColumns[i - 1] >= start &&
                (shownColumns[i - 1] < m_sheet.fixedColumns()) == fixedColumn) {
                continue;
            }
            int end = c;
            while (end + 1 < columns && m_sheet.cell(end + 1, r).span) {
                ++end;
            }
            const int left = columnX(start);
            const int right = columnX(end) + m_sheet.columnWidth(end);
            const CellRect rect{left, y, right, y + h};
            DrawnCell drawn = drawCell(start, r, rect, state);
            // The rules and the right end belong to the last cell of the run.
            drawn.clip = CellRect{fixedColumn ? 0 : fixedW, fixedRow ? 0 : fixedH,
                                  fixedColumn ? fixedW : state.viewWidth,
                                  fixedRow ? fixedH : state.viewHeight};
            drawn.clip.left = std::max(drawn.clip.left, left);
            drawn.clip.right = std::min(drawn.clip.right, right);
            drawn.clip.top = std::max(drawn.clip.top, y);
            drawn.clip.bottom = std::min(drawn.clip.bottom, y + h);
            out.push_back(std::move(drawn));
        }
    }
    return out;
}

std::vector<std::string> cmcCellLayout::wrapText(const TextMetrics& metrics, const cmcFont& font,
                                                 std::string_view text, int width, bool shiftJis) {
    std::vector<std::string> lines;
    const auto charLength = [shiftJis](std::string_view s, std::size_t i) -> std::size_t {
        const auto u = static_cast<unsigned char>(s[i]);
        const bool lead = shiftJis && ((u >= 0x81 && u <= 0x9F) || (u >= 0xE0 && u <= 0xFC));
        return lead && i + 1 < s.size() ? 2 : 1;
    };
    while (true) {
        const std::size_t lf = text.find('\n');
        std::string_view paragraph = text.substr(0, lf);
        if (paragraph.empty()) {
            lines.emplace_back();
        }
        while (!paragraph.empty()) {
            if (metrics.textWidth(font, paragraph) <= width) {
                lines.emplace_back(paragraph);
                break;
            }
            // The longest head that fits, at least one character.
            std::size_t fit = charLength(paragraph, 0);
            std::size_t lastBlank = 0;
            for (std::size_t i = fit; i < paragraph.size();) {
                const std::size_t next = i + charLength(paragraph, i);
                if (metrics.textWidth(font, paragraph.substr(0, next)) > width) {
                    break;
                }
                if (paragraph[i] == ' ') {
                    lastBlank = i;
                }
                fit = next;
                i = next;
            }
            if (fit < paragraph.size() && paragraph[fit] == ' ') {
                lastBlank = fit;
            }
            const std::size_t cut = lastBlank > 0 ? lastBlank : fit;
            lines.emplace_back(paragraph.substr(0, cut));
            paragraph.remove_prefix(cut);
            while (!paragraph.empty() && paragraph.front() == ' ') {
                paragraph.remove_prefix(1);
            }
        }
        if (lf == std::string_view::npos) {
            break;
        }
        text.remove_prefix(lf + 1);
    }
    return lines;
}

DrawnCell cmcCellLayout::drawCell(int column, int row, const CellRect& rect,
                                  const LayoutState& state) const {
    DrawnCell out;
    out.column = column;
    out.row = row;
    out.rect = rect;
    out.clip = rect;
    const cmcCellObj& cell = m_sheet.cell(column, row);
    const bool selected = !state.printing && m_sheet.drawnSelected(column, row);
    out.selected = selected;
    const cuiSheet::Appearance look =
        m_sheet.appearance(column, row, rect, selected, state.printing);
    const cmcFont fallback;
    out.font = cell.effectiveFont();
    const cmcFont& font = out.font != nullptr ? *out.font : fallback;

    bool selectionColour = false;
    if (state.printing) {
        out.background = whiteCell(cell.color) ? kColorWhite : kPrintGrey;
    } else if (selected && !m_sheet.editorOpen()) {
        out.background = state.focused || m_sheet.popupMode() ? kColorHighlight
                                                              : state.colours.inactiveSelection;
        selectionColour = true;
    } else if (m_sheet.colorSelectLine() && !m_sheet.popupMode() && row == m_sheet.currentRow() &&
               column >= m_sheet.fixedColumns()) {
        out.background = state.colours.selectLine;
    } else {
        out.background = cell.color;
    }
    if (selectionColour && out.background == kColorHighlight) {
        out.textColour = kColorHighlightText;
    } else if (state.printing && out.background == kPrintGrey) {
        out.textColour = kColorWhite;
    } else {
        out.textColour = look.textColor != 0 ? look.textColor : font.color;
    }

    // Lines of text: split at line feeds, wrapped to 90 % of the width for `=` cells.
    const int width = rect.right - rect.left;
    std::vector<std::string> texts;
    if (cell.wrap) {
        texts = wrapText(m_metrics, font, look.text, width - width * 10 / 100,
                         m_sheet.environment().shiftJis);
    } else {
        std::string_view rest = look.text;
        while (true) {
            const std::size_t lf = rest.find('\n');
            texts.emplace_back(rest.substr(0, lf));
            if (lf == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(lf + 1);
        }
    }
    const double s = state.scale;
    const int L = rect.left;
    const int T = rect.top;
    const int R = rect.right;
    const int B = rect.bottom;
    int total = 0;
    for (const std::string& t : texts) {
        total += m_metrics.textHeight(font, t);
    }
    int y = 0;
    switch (cell.vAlign) {
    case 1:
        y = T + (B - T + 1 - total) / 2;
        break;
    case 2:
        y = truncated(B - total - s + 0.5);
        break;
    default:
        y = truncated(T + s + 0.5);
        break;
    }
    int textEnd = L;
    for (std::string& t : texts) {
        DrawnLine line;
        line.width = m_metrics.textWidth(font, t);
        line.height = m_metrics.textHeight(font, t);
        const int w = line.width;
        switch (cell.hAlign) {
        case 1:
            line.x = L + (R - L + 1 - w) / 2;
            break;
        case 2:
            line.x = truncated(R + 1 - w - 4 * s + 0.5);
            break;
        default:
            line.x = truncated(L + 4 * s + 0.5);
            break;
        }
        line.x = std::max(line.x, L);
        line.y = y;
        y += line.height;
        if (L + w + 1 >= R) {
            out.clipText = true;
        }
        textEnd = std::max(textEnd, line.x + w);
        line.text = std::move(t);
        out.lines.push_back(std::move(line));
    }

    // Rules: the bottom one of this cell, the right one of the last cell of a span, none when
    // the next cell continues this one.
    const bool white = whiteCell(out.background) || selectionColour;
    const std::uint32_t ruleColour = state.printing
                                         ? (out.background == kPrintGrey ? kColorWhite : 0)
                                     : white ? kRuleOnWhite
                                             : kRuleOnColour;
    const int onePixel = std::max(1, truncated(s + 0.5));
    if (cell.bottomRule) {
        out.rules.push_back({{L, B - onePixel, R, B}, ruleColour});
    }
    int last = column;
    while (last + 1 < m_sheet.columnCount() && m_sheet.cell(last + 1, row).span) {
        ++last;
    }
    const std::uint8_t rightRule = m_sheet.cell(last, row).rightRule;
    if (rightRule == 1) {
        out.rules.push_back({{R - onePixel, T, R, B}, ruleColour});
    } else if (rightRule == 2) {
        out.rules.push_back({{R - onePixel, T + ((B - T) * 7) / 10, R, B}, ruleColour});
    }

    // Marks of the setting checks.
    if ((look.markFlags & (cmcCellCapsule::kFlagWarning | cmcCellCapsule::kFlagError)) != 0) {
        out.mark = (look.markFlags & cmcCellCapsule::kFlagError) != 0 ? 5 : 4;
        const int size = state.printing ? std::max(1, (B - T) / 2) : state.markSize;
        const int position = look.markPosition != 0 ? look.markPosition : cell.hAlign == 2 ? 1 : 3;
        int x = 0;
        if (position == 1) {
            x = L + size / 8;
        } else if (textEnd + size <= R - 1) {
            x = textEnd;
        } else {
            x = std::max(L, R - size - 1);
        }
        const int bottom = B - 1;
        out.markRect = {x, bottom - size, x + size, bottom};
    }
    return out;
}

} // namespace qx
