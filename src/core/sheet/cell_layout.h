#pragma once

#include "base/cell_capsule.h"
#include "base/cell_font.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qx {

class cuiSheet;
class TextMetrics;

// System colour indexes the sheets use (values 0xFF0000nn).
inline constexpr std::uint32_t kColorHighlight = 0xFF00000D;
inline constexpr std::uint32_t kColorHighlightText = 0xFF00000E;
inline constexpr std::uint32_t kColorBtnFace = 0xFF00000F;
inline constexpr std::uint32_t kColorWindowText = 0xFF000008;
inline constexpr std::uint32_t kColorWhite = 0x00FFFFFF;

inline bool isSystemColor(std::uint32_t colour) {
    return (colour >> 24) == 0xFF;
}

// The two colours a sheet derives from the window text, window and button face colours
// (0x00BBGGRR each).
struct SheetColours {
    std::uint32_t selectLine = 0;
    std::uint32_t inactiveSelection = 0;

    // modern: the current platform look; otherwise the older blend with the button face.
    static SheetColours compute(std::uint32_t windowText, std::uint32_t window,
                                std::uint32_t buttonFace, bool modern = true);
};

// How a sheet is being drawn.
struct LayoutState {
    int viewWidth = 0;  // the grid's client area
    int viewHeight = 0; //
    bool focused = true;
    bool printing = false;
    double scale = 1.0;
    int markSize = 16; // side of the warning and error mark images
    SheetColours colours;
};

// One line of a cell's text, at its place.
struct DrawnLine {
    std::string text;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// A ruling line, as a filled rectangle.
struct DrawnRule {
    CellRect rect;
    std::uint32_t colour = 0;
};

// Everything a painter needs for one cell (or one run of `+` cells drawn as one).
struct DrawnCell {
    int column = 0; // the cell whose content is drawn (the left end of a span)
    int row = 0;
    CellRect rect; // the drawing rectangle, right and bottom exclusive
    CellRect clip; // the part of the view it may paint
    std::uint32_t background = 0;
    std::uint32_t textColour = 0;
    const cmcFont* font = nullptr;
    bool selected = false;
    std::vector<DrawnLine> lines;
    bool clipText = false; // a line reaches the right edge: draw the text clipped to `rect`
    std::vector<DrawnRule> rules;
    std::uint8_t mark = 0; // 4 warning, 5 error (image index), 0 none
    CellRect markRect;
};

// Where the cells of a sheet are, and how each is drawn: the grid geometry with fixed rows
// and columns and the scroll position, spans over `+` cells, tips, backgrounds and selection
// colours, wrapping, alignment, rules and marks. Screen and printer paint what it computes.
class cmcCellLayout {
public:
    cmcCellLayout(cuiSheet& sheet, const TextMetrics& metrics)
        : m_sheet(sheet), m_metrics(metrics) {}

    // Column left edge and row top edge in the view, none when scrolled out of it.
    std::optional<int> columnLeft(int column) const;
    std::optional<int> rowTop(int row) const;
    // Left edge even when scrolled out (negative or beyond the view).
    int columnX(int column) const;
    int rowY(int row) const;
    int fixedWidth() const;
    int fixedHeight() const;
    std::optional<CellRect> cellRect(int column, int row) const;
    // The cell under a point of the view.
    std::optional<std::pair<int, int>> cellAt(int x, int y) const;
    // The column whose right edge is within `grip` pixels of x (for resizing by dragging).
    std::optional<int> columnEdgeAt(int x, int y, int grip = 3) const;

    // Scroll limits: the largest top row (left column) that still fills the view.
    int maxTopRow(int viewHeight) const;
    int maxLeftColumn(int viewWidth) const;
    // Rows (columns) of the scrolling part that fit in the view from the current top (left).
    int visibleRows(int viewHeight) const;
    int visibleColumns(int viewWidth) const;
    // Scrolls the sheet so that the current cell is fully shown.
    void scrollToCurrent(int viewWidth, int viewHeight);

    // The cells that show in the view, fixed ones included; hidden cells are left out.
    std::vector<DrawnCell> visibleCells(const LayoutState& state) const;
    // One cell in a given rectangle (the printer places cells itself).
    DrawnCell drawCell(int column, int row, const CellRect& rect, const LayoutState& state) const;

    // Breaks text into lines that each fit `width` pixels (at spaces where possible).
    static std::vector<std::string> wrapText(const TextMetrics& metrics, const cmcFont& font,
                                             std::string_view text, int width,
                                             bool shiftJis = false);

private:
    int spanStart(int column, int row) const;

    cuiSheet& m_sheet;
    const TextMetrics& m_metrics;
};

} // namespace qx
