#include "sheet/sheet.h"

#include "base/event_manager.h"
#include "base/fatal_defect.h"
#include "base/text_lines.h"
#include "base/text_metrics.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace qx {

namespace {

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

int intAfter(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    int value = 0;
    std::from_chars(s.data(), s.data() + s.size(), value);
    return value;
}

bool endsBlock(const std::string& line) {
    return !line.empty() && line.front() == '#';
}

// Text split at line feeds: the widest line and the sum of the line heights.
std::pair<int, int> measureText(const TextMetrics& metrics, const cmcFont& font,
                                std::string_view text) {
    int width = 0;
    int height = 0;
    while (true) {
        const std::size_t lf = text.find('\n');
        const std::string_view line = text.substr(0, lf);
        width = std::max(width, metrics.textWidth(font, line));
        height += metrics.textHeight(font, line);
        if (lf == std::string_view::npos) {
            break;
        }
        text.remove_prefix(lf + 1);
    }
    return {width, height};
}

} // namespace

cuiSheet::cuiSheet(const SheetEnvironment& environment, std::string sheetKey)
    : m_env(environment),
      m_parser(*environment.text, environment.shiftJis, environment.japaneseSystem),
      m_sheetKey(std::move(sheetKey)) {}

clsSheetCellId& cuiSheet::cellEntry(int column, int row) {
    return const_cast<clsSheetCellId&>(std::as_const(*this).cellEntry(column, row));
}

const clsSheetCellId& cuiSheet::cellEntry(int column, int row) const {
    if (m_cells.empty() || column < 0 || column >= m_columns || row < 0 || row >= m_rows) {
        fatalDefect("Illegal Cell selection");
    }
    return m_cells[static_cast<std::size_t>(row * m_columns + column)];
}

void cuiSheet::setColumnWidth(int column, int width) {
    m_colWidths.at(static_cast<std::size_t>(column)) = width;
}

void cuiSheet::setRowHeight(int row, int height) {
    m_rowHeights.at(static_cast<std::size_t>(row)) = height;
}

void cuiSheet::setPrinting(double scale, std::int32_t fontHeight) {
    m_printing = true;
    m_scale = scale;
    m_explicitFontHeight = fontHeight;
}

int cuiSheet::rulingSize() const {
    return m_printing ? std::max(1, static_cast<int>(m_scale)) : 1;
}

int cuiSheet::contentWidth() const {
    int sum = 0;
    for (const int w : m_colWidths) {
        sum += w;
    }
    return sum;
}

int cuiSheet::contentHeight() const {
    int sum = 0;
    for (const int h : m_rowHeights) {
        sum += h;
    }
    return sum;
}

// ---- build ---------------------------------------------------------------------------------

void cuiSheet::resetStyle() {
    m_titleString.clear();
    m_titleColor = 0xFF000011;
    m_titleFont.reset();
    m_styleFixedCols = 0;
    m_styleFixedRows = 0;
    m_printFontRatio = 100;
    m_multiSelect = MultiSelectMode::None;
    m_noPrint = false;
    m_colSizing = false;
    m_colorSelectLine = false;
}

void cuiSheet::applyStyleLine() {
    resetStyle();
    const std::string line = m_env.text->line(m_sheetKey + "_Style", 0);
    if (endsBlock(line)) {
        return; // a style block without lines
    }
    std::size_t pos = 0;
    while (true) {
        const std::size_t open = line.find('(', pos);
        if (open == std::string::npos) {
            break;
        }
        const std::size_t close = line.find(')', open + 1);
        if (close == std::string::npos) {
            break;
        }
        applyStyleToken(std::string_view(line).substr(open + 1, close - open - 1));
        pos = close + 1;
    }
}

void cuiSheet::applyStyleToken(std::string_view token) {
    const auto value = [&token](std::size_t keyLength) { return token.substr(keyLength); };
    if (startsWith(token, "TitleString=")) {
        const std::size_t eq = token.find('=');
        if (eq + 1 < token.size()) {
            m_titleString = std::string(token.substr(eq + 1));
        }
    } else if (startsWith(token, "TitleColor=")) {
        if (const auto colour = cmcCellParser::colourByName(value(11))) {
            m_titleColor = *colour;
        }
    } else if (startsWith(token, "TitleFont=")) {
        m_titleFont = cmcFont{};
        m_titleFont->face = m_parser.defaultFace();
        m_parser.applyFontSpec(*m_titleFont, value(10));
    } else if (startsWith(token, "FixedCols=")) {
        m_styleFixedCols = intAfter(value(10));
    } else if (startsWith(token, "FixedRows=")) {
        m_styleFixedRows = intAfter(value(10));
    } else if (token == "NoPrint") {
        m_noPrint = true;
    } else if (startsWith(token, "PrintFontRatio=")) {
        m_printFontRatio = intAfter(value(15));
    } else if (startsWith(token, "MultiSelect=")) {
        const std::string_view mode = value(12);
        m_multiSelect = mode == "Cell"   ? MultiSelectMode::Cell
                        : mode == "Line" ? MultiSelectMode::Line
                                         : MultiSelectMode::None;
    } else if (startsWith(token, "ColSizing")) {
        m_colSizing = true;
    } else if (startsWith(token, "ColorSelectLine")) {
        m_colorSelectLine = true;
    }
}

void cuiSheet::loadBasicCell() {
    std::string line = m_env.text->line(m_sheetKey + "_BasicCell", 0);
    if (endsBlock(line)) {
        line.clear();
    }
    if (m_printing) {
        // The font the screen shows, against which stored widths were taken.
        cmcCellObj screen;
        const std::string screenLine =
            line + "{(Font=,,,%" + std::to_string(m_env.fontSizePercent) + ",,,)}";
        std::string_view screenRest = screenLine;
        m_parser.parseCell(screen, screenRest, nullptr, nullptr);
        const cmcFont* font = screen.effectiveFont();
        m_screenFontHeight = font != nullptr ? std::abs(font->height) : 0;
    }
    if (m_explicitFontHeight != 0) {
        line += "{(Font=,,," + std::to_string(m_explicitFontHeight) + ",,,)}";
    } else {
        line += "{(Font=,,,%" + std::to_string(m_env.fontSizePercent) + ",,,)}";
    }
    if (m_printing && m_printFontRatio != 100) {
        line += "{(Font=,,,%" + std::to_string(m_printFontRatio) + ",,,)}";
    }
    std::string_view rest = line;
    m_parser.parseCell(m_basicCell, rest, nullptr, nullptr);
}

void cuiSheet::applyDirective(std::string_view token) {
    if (startsWith(token, "LoopFrom")) {
        m_loopStart = m_line;
        const std::size_t blank = token.find(' ');
        const int n = blank == std::string_view::npos ? 0 : intAfter(token.substr(blank + 1));
        m_loopCount = std::max(n, 1);
    } else if (startsWith(token, "LoopTo")) {
        m_loopEnd = m_line;
    } else if (token == "SelectON") {
        m_selectState = true;
    } else if (token == "SelectOFF") {
        m_selectState = false;
    }
}

void cuiSheet::sizingPass(const std::string& cellsKey) {
    m_loopStart = m_loopEnd = m_loopCount = -1;
    m_bodyRows = 0;
    m_skip = 0;
    m_selectState = true;
    m_maxCells = 0;
    m_rowList.clear();
    for (m_line = 0;; ++m_line) {
        const std::string line = m_env.text->line(cellsKey, m_line);
        if (endsBlock(line)) {
            break;
        }
        if (m_skip > 0) {
            --m_skip;
            continue;
        }
        if (!line.empty() && line.front() == ':') {
            std::size_t pos = 0;
            while (true) {
                const std::size_t open = line.find('(', pos);
                const std::size_t close =
                    open == std::string::npos ? open : line.find(')', open + 1);
                if (close == std::string::npos) {
                    break;
                }
                applyDirective(std::string_view(line).substr(open + 1, close - open - 1));
                pos = close + 1;
            }
            // A loop whose count is 0 (no stored entries) ends without repeating.
            if (m_loopStart >= 0 && m_loopEnd >= 0) {
                for (int round = 1; round < m_loopCount; ++round) {
                    for (int j = 0; j < m_bodyRows; ++j) {
                        m_rowList.push_back({m_loopStart + j + 1, m_selectState});
                    }
                }
                m_loopStart = m_loopEnd = m_loopCount = -1;
                m_bodyRows = 0;
            }
            continue;
        }
        m_maxCells = std::max(m_maxCells, m_parser.countCells(line));
        m_rowList.push_back({m_line, m_selectState});
        if (m_loopStart >= 0 && m_loopEnd < 0) {
            ++m_bodyRows;
        } else {
            m_bodyRows = 0;
        }
    }
    m_columns = m_maxCells;
    m_rows = static_cast<int>(m_rowList.size());
    if (m_columns == 0 || m_rows == 0) {
        fatalDefect("Illegal Cell assign");
    }
}

void cuiSheet::measure(int column, int row) {
    const cmcCellObj& c = cell(column, row);
    if (!c.widthSample && !c.heightSample) {
        return;
    }
    const cmcFont* font = c.effectiveFont();
    const cmcFont fallback;
    const auto [w, h] =
        measureText(*m_env.metrics, font != nullptr ? *font : fallback, c.displayText());
    if (c.widthSample) {
        auto& width = m_colWidths[static_cast<std::size_t>(column)];
        width = std::max(width, w + static_cast<int>(8 * m_scale + 0.5));
    }
    if (c.heightSample) {
        auto& height = m_rowHeights[static_cast<std::size_t>(row)];
        height = std::max(height, h + static_cast<int>(2 * m_scale + 0.5));
    }
}

void cuiSheet::fillPass(const std::string& cellsKey) {
    m_cells.assign(static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(m_rows),
                   clsSheetCellId{});
    m_colWidths.assign(static_cast<std::size_t>(m_columns), rulingSize());
    m_rowHeights.assign(static_cast<std::size_t>(m_rows), rulingSize());
    m_firstSelCol = m_columns;
    m_firstSelRow = m_rows;
    int previousCount = 0;
    for (int r = 0; r < m_rows; ++r) {
        rowHook(r);
        const int lineIndex = m_rowList[static_cast<std::size_t>(r)].lineIndex;
        int count = 0;
        if (r > 0 && lineIndex == m_rowList[static_cast<std::size_t>(r - 1)].lineIndex) {
            for (int c = 0; c < previousCount; ++c) {
                cell(c, r) = cell(c, r - 1);
                // Wraps at the top instead of overflowing.
                std::int32_t& index = cell(c, r).index;
                index = static_cast<std::int32_t>(static_cast<std::uint32_t>(index) + 1U);
            }
            m_rowHeights[static_cast<std::size_t>(r)] =
                m_rowHeights[static_cast<std::size_t>(r - 1)];
            count = previousCount;
            rowFilled(r, true);
        } else {
            const std::string line = m_env.text->line(cellsKey, lineIndex);
            std::string_view rest = line;
            for (int c = 0; c < m_columns && !rest.empty(); ++c) {
                cellHook(c, r);
                m_parser.parseCell(cell(c, r), rest, &m_variables, &m_basicCell);
                measure(c, r);
                ++count;
            }
            rowFilled(r, false);
        }
        previousCount = count;
        const bool rowSelectable = m_multiSelect != MultiSelectMode::None &&
                                   m_rowList[static_cast<std::size_t>(r)].lineSelectable;
        for (int c = 0; c < m_columns; ++c) {
            clsSheetCellId& entry = cellEntry(c, r);
            if (entry.cell.selectable) {
                m_firstSelCol = std::min(m_firstSelCol, c);
                m_firstSelRow = std::min(m_firstSelRow, r);
            }
            entry.flags = static_cast<std::uint8_t>(
                rowSelectable ? (entry.flags | clsSheetCellId::kRowSelectable)
                              : (entry.flags & ~clsSheetCellId::kRowSelectable));
        }
    }
}

void cuiSheet::loadCells() {
    loadBasicCell();
    sizingPass(m_sheetKey + "_Cells");
    fillPass(m_sheetKey + "_Cells");
    for (auto& entry : m_cells) {
        entry.cell.index += m_indexOffset;
    }
    m_basicCell.index += m_indexOffset;
    afterFill();
    if (m_printing) {
        loadColumnWidths();
    } else if (!m_popupMode) {
        if (m_widthResetRequest) {
            if (m_env.widths != nullptr) {
                for (int i = 0;; ++i) {
                    const std::string entry = m_env.text->line("GI_CellWidthRegList", i);
                    const std::size_t colon = entry.find(':');
                    if (endsBlock(entry) || colon == std::string::npos) {
                        break;
                    }
                    m_env.widths->clearGroup(entry.substr(colon + 1));
                }
            }
        } else {
            loadColumnWidths();
        }
        saveColumnWidths();
        m_widthResetRequest = false;
    }
}

void cuiSheet::markColumnUnselectable(int column) {
    for (int r = 0; r < m_rows; ++r) {
        cell(column, r).selectable = false;
    }
}

// ---- column widths ------------------------------------------------------------------------

std::string cuiSheet::widthGroup() const {
    for (int i = 0;; ++i) {
        const std::string entry = m_env.text->line("GI_CellWidthRegList", i);
        const std::size_t colon = entry.find(':');
        if (endsBlock(entry) || colon == std::string::npos) {
            return {};
        }
        if (entry.compare(0, colon, m_sheetKey) == 0) {
            return entry.substr(colon + 1);
        }
    }
}

int cuiSheet::referenceRow() const {
    return std::min(m_styleFixedRows, m_rows - 1);
}

void cuiSheet::loadColumnWidths() {
    if (m_env.widths == nullptr) {
        return;
    }
    const std::string group = widthGroup();
    if (group.empty()) {
        return;
    }
    const int row = referenceRow();
    for (int c = 0; c < m_columns; ++c) {
        if (!cell(c, row).selectable) {
            continue;
        }
        const auto width = m_env.widths->loadWidth(group, c);
        if (!width) {
            continue;
        }
        if (!m_printing) {
            setColumnWidth(c, *width);
        } else if (m_screenFontHeight > 0 && columnWidth(c) > 0) {
            // A width the user widened on screen widens the printed column in proportion to
            // the two fonts, in printer pixels; a cut column stays cut.
            const cmcFont* font = m_basicCell.effectiveFont();
            const double ratio =
                font != nullptr ? std::abs(font->height) / static_cast<double>(m_screenFontHeight)
                                : m_scale;
            setColumnWidth(c, std::max(columnWidth(c), static_cast<int>(*width * ratio + 0.5)));
        }
    }
}

void cuiSheet::saveColumnWidths() {
    if (m_env.widths == nullptr) {
        return;
    }
    const std::string group = widthGroup();
    if (group.empty()) {
        return;
    }
    const int row = referenceRow();
    for (int c = 0; c < m_columns; ++c) {
        if (cell(c, row).selectable) {
            m_env.widths->saveWidth(group, c, columnWidth(c));
        }
    }
}

// ---- show, cursor and selection -------------------------------------------------------------

void cuiSheet::show() {
    m_building = true;
    applyStyleLine();
    m_anchorCol = m_anchorRow = -1;
    m_rangeActive = false;
    m_lineMarksCleared = false;
    loadCells();
    m_fixedCols = std::max(0, std::min(m_styleFixedCols, m_columns - 1));
    m_fixedRows = std::max(0, std::min(m_styleFixedRows, m_rows - 1));
    m_curCol = 0;
    m_curRow = 0;
    m_topRow = m_fixedRows;
    m_leftCol = m_fixedCols;
    if (const auto first = [this]() -> std::optional<std::pair<int, int>> {
            for (int r = 0; r < m_rows; ++r) {
                for (int c = 0; c < m_columns; ++c) {
                    if (cell(c, r).selectable) {
                        return std::pair{c, r};
                    }
                }
            }
            return std::nullopt;
        }()) {
        setCurrent(first->first, first->second, false);
    }
    m_building = false;

    if (m_savedCol >= m_columns || m_savedRow >= m_rows) {
        m_savedCol = m_savedRow = -1;
    }
    if (m_savedCol < 0) {
        if (m_requestLink != 0) {
            for (int r = 0; r < m_rows; ++r) {
                for (int c = 0; c < m_columns; ++c) {
                    const cmcCellObj& x = cell(c, r);
                    if (x.selectable && x.link == m_requestLink && x.index == m_requestIndex) {
                        select(c, r);
                        r = m_rows;
                        break;
                    }
                }
            }
        }
    } else if (m_savedRow >= 0 && cell(m_savedCol, m_savedRow).selectable) {
        m_topRow = std::clamp(m_savedTop, m_fixedRows, std::max(m_fixedRows, m_rows - 1));
        m_leftCol = std::clamp(m_savedLeft, m_fixedCols, std::max(m_fixedCols, m_columns - 1));
        select(m_savedCol, m_savedRow);
    }
    m_savedCol = m_savedRow = m_savedTop = m_savedLeft = -1;
    m_requestLink = 0;
}

void cuiSheet::setSavedPosition(int column, int row, int topRow, int leftColumn) {
    m_savedCol = column;
    m_savedRow = row;
    m_savedTop = topRow;
    m_savedLeft = leftColumn;
}

bool cuiSheet::mayTakeCursor(int column, int row) const {
    const clsSheetCellId& entry = cellEntry(column, row);
    return entry.cell.selectable && (!m_rangeActive || entry.rowSelectable());
}

bool cuiSheet::select(int column, int row, bool extend) {
    if (column == m_curCol && row == m_curRow) {
        return true;
    }
    if (!mayTakeCursor(column, row)) {
        return false;
    }
    setCurrent(column, row, extend);
    if (m_env.bus != nullptr && !m_building) {
        const cmcCellObj& now = cell(column, row);
        m_env.bus->send(MessageId::CurrentCellChanged, (now.category << 16) | now.link, now.index);
        m_env.bus->send(MessageId::RefreshMenuStates);
    }
    return true;
}

void cuiSheet::setCurrent(int column, int row, bool extend) {
    extend = extend || m_mouseDown;
    if (m_multiSelect != MultiSelectMode::None) {
        const bool rangeChange = ((column != m_curCol || row != m_curRow) || m_rangeActive) &&
                                 cellEntry(m_curCol, m_curRow).rowSelectable() &&
                                 cellEntry(column, row).rowSelectable();
        if (!rangeChange || !extend || m_anchorCol < 0) {
            m_anchorCol = column;
            m_anchorRow = row;
        }
        if (rangeChange && extend) {
            const int c0 = std::min({m_anchorCol, m_curCol, column});
            const int c1 = std::max({m_anchorCol, m_curCol, column});
            const int r0 = std::min({m_anchorRow, m_curRow, row});
            const int r1 = std::max({m_anchorRow, m_curRow, row});
            const int ac0 = std::min(m_anchorCol, column);
            const int ac1 = std::max(m_anchorCol, column);
            const int ar0 = std::min(m_anchorRow, row);
            const int ar1 = std::max(m_anchorRow, row);
            for (int r = r0; r <= r1; ++r) {
                for (int c = c0; c <= c1; ++c) {
                    clsSheetCellId& entry = cellEntry(c, r);
                    if (!entry.cell.selectable) {
                        continue;
                    }
                    const bool inside = c >= ac0 && c <= ac1 && r >= ar0 && r <= ar1;
                    entry.flags = static_cast<std::uint8_t>(
                        inside ? (entry.flags | clsSheetCellId::kSelected)
                               : (entry.flags & ~clsSheetCellId::kSelected));
                }
            }
            m_rangeActive = true;
            m_lineMarksCleared = false;
        } else if (!m_rangeActive) {
            clsSheetCellId& entry = cellEntry(m_curCol, m_curRow);
            entry.flags = static_cast<std::uint8_t>(
                entry.flags & ~(clsSheetCellId::kSelected | clsSheetCellId::kLineMarked));
        } else {
            for (auto& entry : m_cells) {
                entry.flags = static_cast<std::uint8_t>(
                    entry.flags & ~(clsSheetCellId::kSelected | clsSheetCellId::kLineMarked));
            }
            m_rangeActive = false;
        }
    }
    m_curCol = column;
    m_curRow = row;
    if (m_multiSelect == MultiSelectMode::None) {
        return;
    }
    clsSheetCellId& target = cellEntry(column, row);
    target.flags = static_cast<std::uint8_t>(target.flags | clsSheetCellId::kSelected);
    if (!m_rangeActive) {
        if (!m_lineMarksCleared) {
            for (auto& entry : m_cells) {
                entry.flags = static_cast<std::uint8_t>(entry.flags & ~clsSheetCellId::kLineMarked);
            }
            m_lineMarksCleared = true;
        }
    } else if (m_multiSelect == MultiSelectMode::Line) {
        for (int r = 0; r < m_rows; ++r) {
            bool any = false;
            for (int c = 0; c < m_columns && !any; ++c) {
                any = (cellEntry(c, r).flags & clsSheetCellId::kSelected) != 0;
            }
            for (int c = 0; c < m_columns; ++c) {
                clsSheetCellId& entry = cellEntry(c, r);
                entry.flags =
                    static_cast<std::uint8_t>(any ? (entry.flags | clsSheetCellId::kLineMarked)
                                                  : (entry.flags & ~clsSheetCellId::kLineMarked));
            }
        }
    }
}

std::optional<int> cuiSheet::nearestSelectable(int line, bool inColumn, int target) const {
    const int length = inColumn ? m_rows : m_columns;
    std::optional<int> best;
    for (int i = 0; i < length; ++i) {
        const bool ok = inColumn ? mayTakeCursor(line, i) : mayTakeCursor(i, line);
        if (ok && (!best || std::abs(i - target) < std::abs(*best - target))) {
            best = i;
        }
    }
    return best;
}

void cuiSheet::moveBy(int dx, int dy, bool extend) {
    if (m_cells.empty()) {
        return;
    }
    const bool horizontal = dx != 0;
    const int steps = std::abs(horizontal ? dx : dy);
    const int sign = (horizontal ? dx : dy) > 0 ? 1 : -1;
    int c = m_curCol;
    int r = m_curRow;
    const bool wrap = m_popupMode && !m_popupScrollBars && steps == 1;
    for (int step = 0; step < steps; ++step) {
        const int length = horizontal ? m_columns : m_rows;
        const int start = horizontal ? c : r;
        std::optional<int> found;
        for (int i = 1; i < (wrap ? length : length + 1); ++i) {
            int p = start + sign * i;
            if (wrap) {
                p = ((p % length) + length) % length;
            } else if (p < 0 || p >= length) {
                break;
            }
            if (horizontal ? mayTakeCursor(p, r) : mayTakeCursor(c, p)) {
                found = p;
                break;
            }
        }
        if (found) {
            (horizontal ? c : r) = *found;
            continue;
        }
        if (m_popupMode) {
            break;
        }
        // Next column (row) in that direction that has a selectable cell, nearest to the
        // remembered row (column).
        bool moved = false;
        for (int line = start + sign; line >= 0 && line < length; line += sign) {
            if (const auto near = nearestSelectable(line, horizontal, horizontal ? r : c)) {
                if (horizontal) {
                    c = line;
                    r = *near;
                } else {
                    r = line;
                    c = *near;
                }
                moved = true;
                break;
            }
        }
        if (!moved) {
            break;
        }
    }
    if (c == m_curCol && r == m_curRow) {
        return;
    }
    select(c, r, extend);
    if (c <= m_firstSelCol) {
        m_leftCol = m_fixedCols;
    }
    if (r <= m_firstSelRow) {
        m_topRow = m_fixedRows;
    }
}

std::optional<std::pair<int, int>> cuiSheet::findCell(std::int32_t category, std::int32_t link,
                                                      std::int32_t index) const {
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_columns; ++c) {
            const cmcCellObj& x = cell(c, r);
            if (x.selectable && x.category == category && x.link == link && x.index == index) {
                return std::pair{c, r};
            }
        }
    }
    return std::nullopt;
}

bool cuiSheet::findAndSelect(std::int32_t category, std::int32_t link, std::int32_t index) {
    const auto found = findCell(category, link, index);
    return found && select(found->first, found->second);
}

std::optional<std::pair<std::int32_t, std::int32_t>> cuiSheet::selectedRange() const {
    if (!m_rangeActive || m_anchorRow < 0) {
        return std::nullopt;
    }
    const std::int32_t a = cell(m_fixedCols, m_anchorRow).index;
    const std::int32_t b = cell(m_fixedCols, m_curRow).index;
    return std::pair{std::min(a, b), std::max(a, b)};
}

void cuiSheet::clearSelection() {
    if (m_env.bus != nullptr) {
        m_env.bus->send(MessageId::RefreshMenuStates);
    }
    for (auto& entry : m_cells) {
        entry.flags = static_cast<std::uint8_t>(
            entry.flags & ~(clsSheetCellId::kSelected | clsSheetCellId::kLineMarked));
    }
    m_rangeActive = false;
    m_anchorCol = m_curCol;
    m_anchorRow = m_curRow;
    if (!m_cells.empty() && m_multiSelect != MultiSelectMode::None) {
        clsSheetCellId& entry = cellEntry(m_curCol, m_curRow);
        entry.flags = static_cast<std::uint8_t>(entry.flags | clsSheetCellId::kSelected);
    }
}

void cuiSheet::reselectRange(std::int32_t low, std::int32_t high) {
    if (m_multiSelect == MultiSelectMode::None || m_cells.empty()) {
        return;
    }
    const cmcCellObj& current = currentCell();
    const std::int32_t link = current.link;
    const std::int32_t anchorIndex = current.index == low ? high : low;
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_columns; ++c) {
            clsSheetCellId& entry = cellEntry(c, r);
            // The old marks go: what the sheet shows is what the next operation works on.
            entry.flags = static_cast<std::uint8_t>(
                entry.flags & ~(clsSheetCellId::kSelected | clsSheetCellId::kLineMarked));
            if (entry.cell.link == link && entry.cell.index >= low && entry.cell.index <= high) {
                entry.flags = static_cast<std::uint8_t>(entry.flags | clsSheetCellId::kSelected);
                if (entry.cell.index == anchorIndex) {
                    m_anchorRow = r;
                    m_anchorCol = c;
                }
            }
        }
    }
    m_rangeActive = true;
    if (m_multiSelect == MultiSelectMode::Line) {
        for (int r = 0; r < m_rows; ++r) {
            bool any = false;
            for (int c = 0; c < m_columns && !any; ++c) {
                any = (cellEntry(c, r).flags & clsSheetCellId::kSelected) != 0;
            }
            if (any) {
                for (int c = 0; c < m_columns; ++c) {
                    cellEntry(c, r).flags |= clsSheetCellId::kLineMarked;
                }
            }
        }
    }
}

// ---- activation -----------------------------------------------------------------------------

void cuiSheet::fillRequest(cmcCellCapsule& request, int column, int row) {
    request.cell = &cell(column, row);
    request.callString = m_callString;
    request.arguments = m_arguments;
    request.sheet = this;
    request.openList = m_listOpener;
    request.repaintMatching = m_repaintMatching;
    request.reopenEditor = m_reopenEditor;
    request.openMaskedEntry = m_maskedOpener;
}

cmcCellCapsule cuiSheet::currentRequest() {
    cmcCellCapsule request;
    if (!m_cells.empty()) {
        fillRequest(request, m_curCol, m_curRow);
        request.flags = cmcCellCapsule::kFlagCurrent;
    }
    return request;
}

std::int32_t cuiSheet::queryMenuItem(const cmcCellCapsule& query) {
    if (!m_dispatcher || m_cells.empty()) {
        return kResultNone;
    }
    cmcCellCapsule request = currentRequest();
    request.operation = kOpStateQuery;
    request.command = query.command;
    request.menuItem = query.menuItem;
    if (const auto range = selectedRange()) {
        request.rangeFlags = cmcCellCapsule::kRangeActive;
        request.rangeLow = range->first;
        request.rangeHigh = range->second;
    }
    return m_dispatcher(request);
}

cuiSheet::Activation cuiSheet::activate(std::int32_t command, const cmcCellObj* menuItem,
                                        std::int32_t operation, std::string text,
                                        const cmcCellObj* picked) {
    Activation done;
    if (!m_dispatcher || m_cells.empty()) {
        return done;
    }
    if (m_popupMode) {
        // A list only picks: Enter or a click sends the item back for the originating cell.
        if ((command != 13 && command != 256) || !m_origin || !currentCell().selectable) {
            return done;
        }
        cmcCellCapsule pick = *m_origin;
        pick.operation = kOpPick;
        pick.command = 0;
        pick.picked = &currentCell();
        done.result = m_dispatcher(pick);
        done.refused = pick.refused;
        done.picked = true;
        return done;
    }
    cmcCellCapsule request = currentRequest();
    request.command = command;
    request.menuItem = menuItem;
    request.operation = operation;
    request.text = std::move(text);
    request.picked = picked;
    done = runRequest(request);
    // A link may ask to run again with another command (a held step): repaint and wait
    // 30 ms, 6 ms less each round.
    for (int wait = 30; request.repeatCommand != 0;) {
        const std::int32_t again = request.repeatCommand;
        if (m_repeatWait) {
            m_repeatWait(wait);
        }
        wait = std::max(0, wait - 6);
        request = currentRequest();
        request.command = again;
        done = runRequest(request);
    }
    return done;
}

cuiSheet::Activation cuiSheet::runRequest(cmcCellCapsule& request) {
    Activation done;
    if (const auto range = selectedRange()) {
        request.rangeFlags = cmcCellCapsule::kRangeActive;
        request.rangeLow = range->first;
        request.rangeHigh = range->second;
    }
    done.result = m_dispatcher(request);
    done.refused = request.refused;
    if (done.result == kResultChanged && rowsOutdated()) {
        request.cell = nullptr; // the cells are made anew
        setArguments(m_arguments);
        setSavedPosition(m_curCol, m_curRow, m_topRow, m_leftCol);
        show();
    }
    if (request.moveRequest) {
        findAndSelect(request.moveCategory, request.moveLink, request.moveIndex);
    }
    if (done.result == kResultEdit || request.refused) {
        // A refused entry goes back into the editor so the user can correct it.
        done.openEditor = true;
        done.text = request.text;
        done.selectionStart = request.selectionStart;
        done.selectionLength = request.selectionLength;
    }
    if (m_multiSelect != MultiSelectMode::None &&
        (request.rangeFlags & cmcCellCapsule::kRangeReselect) != 0) {
        reselectRange(request.rangeLow, request.rangeHigh);
    } else if (done.result == kResultChanged || m_rangeActive) {
        clearSelection();
    }
    if (m_env.bus != nullptr) {
        m_env.bus->send(MessageId::RefreshMenuStates);
    }
    return done;
}

cuiSheet::Activation cuiSheet::key(Key key, bool shift, bool ctrl, int functionKey) {
    const int column = m_curCol;
    const int row = m_curRow;
    switch (key) {
    case Key::Left:
    case Key::Right:
        moveBy(key == Key::Left ? -1 : 1, 0, shift);
        if (column == m_curCol && row == m_curRow) {
            return activate(key == Key::Left ? 0x2500 : 0x2700);
        }
        break;
    case Key::Up:
    case Key::Down:
        if (!ctrl) { // Ctrl+Up and Ctrl+Down belong to the menus
            moveBy(0, key == Key::Up ? -1 : 1, shift);
        }
        break;
    case Key::PageUp:
    case Key::PageDown:
        moveBy(0, key == Key::PageUp ? -10 : 10, shift);
        break;
    case Key::F1:
        if (functionKey >= 1 && functionKey <= 12) {
            return activate((0x70 + functionKey - 1) * 256);
        }
        break;
    default:
        break;
    }
    return {};
}

// ---- mouse and drawing ---------------------------------------------------------------------

std::optional<std::pair<int, int>> cuiSheet::owningCell(int column, int row) const {
    if (m_cells.empty() || column < 0 || column >= m_columns || row < 0 || row >= m_rows) {
        return std::nullopt;
    }
    int c = column;
    while (!cell(c, row).selectable) {
        if (!cell(c, row).tip || c == 0) {
            return std::nullopt;
        }
        --c;
    }
    return std::pair{c, row};
}

bool cuiSheet::drawnSelected(int column, int row) const {
    if (column == m_curCol && row == m_curRow && cell(column, row).selectable) {
        return true;
    }
    if (cellEntry(column, row).selected()) {
        return true;
    }
    // Tips beside the current cell follow it.
    if (row == m_curRow && cell(column, row).tip) {
        const auto owner = owningCell(column, row);
        return owner && owner->first == m_curCol;
    }
    return false;
}

bool cuiSheet::rightClick(int column, int row) {
    if (m_rangeActive) {
        return true;
    }
    const auto owner = owningCell(column, row);
    if (!owner) {
        return false;
    }
    return select(owner->first, owner->second);
}

void cuiSheet::leftDown(int column, int row, bool shift) {
    if (const auto owner = owningCell(column, row)) {
        select(owner->first, owner->second, shift);
    }
    m_mouseDown = true;
}

cuiSheet::Activation cuiSheet::leftUp() {
    const bool wasDown = m_mouseDown;
    m_mouseDown = false;
    if (m_popupMode && wasDown) {
        return activate(256);
    }
    return {};
}

cuiSheet::Activation cuiSheet::doubleClick(int column, int row) {
    const auto owner = owningCell(column, row);
    if (!owner || owner->first != m_curCol || owner->second != m_curRow) {
        return {};
    }
    return activate(256);
}

void cuiSheet::hover(int column, int row) {
    if (!m_popupMode || m_editorOpen) {
        return;
    }
    if (column >= 0 && column < m_columns && row >= 0 && row < m_rows &&
        mayTakeCursor(column, row)) {
        select(column, row);
    }
}

cuiSheet::Appearance cuiSheet::appearance(int column, int row, const CellRect& rect, bool selected,
                                          bool printing) {
    Appearance out;
    cmcCellObj& c = cell(column, row);
    if (c.link == kNoLinkId || !m_dispatcher) {
        out.text = std::string(c.displayText());
        return out;
    }
    cmcCellCapsule request;
    fillRequest(request, column, row);
    request.drawing = true;
    request.font = c.effectiveFont();
    request.rect = rect;
    request.flags = static_cast<std::uint8_t>((selected ? cmcCellCapsule::kFlagCurrent : 0) |
                                              (printing ? cmcCellCapsule::kFlagPrinting : 0));
    m_dispatcher(request);
    out.text = std::move(request.displayText);
    out.textColor = request.textColor;
    out.markFlags = static_cast<std::uint8_t>(
        request.flags & (cmcCellCapsule::kFlagWarning | cmcCellCapsule::kFlagError));
    out.markPosition = request.markPosition;
    return out;
}

void cuiSheet::setTopRow(int row) {
    m_topRow = std::clamp(row, m_fixedRows, std::max(m_fixedRows, m_rows - 1));
}

void cuiSheet::setLeftColumn(int column) {
    m_leftCol = std::clamp(column, m_fixedCols, std::max(m_fixedCols, m_columns - 1));
}

bool cuiSheet::popupMenuChanged() {
    if (m_cells.empty()) {
        return false;
    }
    const std::string name = currentCell().effectivePopupMenu();
    if (m_popupMenuBuilt && name == m_popupMenuName) {
        return false;
    }
    if (m_env.bus != nullptr && m_popupMenuBuilt) {
        m_env.bus->send(MessageId::ClearPopupSubmenu, 0, 0, m_popupMenuName);
    }
    m_popupMenuName = name;
    m_popupMenuBuilt = true;
    if (m_env.bus != nullptr && !name.empty()) {
        m_env.bus->send(MessageId::FillPopupSubmenu, 0, 0, name);
    }
    return true;
}

std::optional<int>
cuiSheet::autoFitTarget(int x, const std::function<std::optional<int>(int)>& columnLeft) const {
    constexpr int kGrip = 4;
    int lastShown = -1;
    for (int c = 0; c < m_columns; ++c) {
        const auto left = columnLeft(c);
        if (!left || columnWidth(c) < 1) {
            continue;
        }
        const int right = *left + columnWidth(c);
        if (x >= *left && x < right) {
            if (x - *left <= kGrip) {
                // The nearest column to the left that has a width, outside the fixed ones.
                for (int p = c - 1; p >= m_fixedCols; --p) {
                    if (columnWidth(p) >= 1 && columnLeft(p)) {
                        return p;
                    }
                }
                return std::nullopt;
            }
            if (right - x <= kGrip) {
                return c;
            }
            return std::nullopt;
        }
        if (x >= right) {
            lastShown = c;
        }
    }
    if (lastShown >= 0) {
        const int right = *columnLeft(lastShown) + columnWidth(lastShown);
        if (x >= right && x - right <= kGrip) {
            return lastShown;
        }
    }
    return std::nullopt;
}

void cuiSheet::endColumnDrag(int column, int width) {
    if (column < 0 || column >= m_columns || !m_colSizing) {
        return;
    }
    setColumnWidth(column, std::max(0, width));
    saveColumnWidths();
}

void cuiSheet::autoFitColumn(int column, const std::function<std::string(int, int)>& linkText) {
    if (column < 0 || column >= m_columns) {
        return;
    }
    const cmcFont fallback;
    const int padding = static_cast<int>(8 * m_scale + 0.5);
    int widest = 0;
    for (int r = 0; r < m_rows; ++r) {
        const cmcCellObj& c = cell(column, r);
        std::string text;
        if (r < m_fixedRows) {
            if (column + 1 < m_columns && cell(column + 1, r).span) {
                continue; // a group caption drawn across the cells to its right
            }
            text = std::string(c.displayText());
        } else if (c.link != kNoLinkId && linkText) {
            text = linkText(column, r);
        } else {
            continue;
        }
        const cmcFont* font = c.effectiveFont();
        widest = std::max(
            widest,
            measureText(*m_env.metrics, font != nullptr ? *font : fallback, text).first + padding);
    }
    setColumnWidth(column, widest);
}

} // namespace qx
