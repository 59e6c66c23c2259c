#pragma once

#include "base/cell_font.h"

#include <array>
#include <string_view>
#include <vector>

namespace qx {

class cuiSheet;
class TextMetrics;

// A rectangle in printer pixels; right and bottom are exclusive.
struct PrintRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const PrintRect&) const = default;
};

// Millimetres to printer pixels; the vertical resolution serves all four sides.
int millimetresToPixels(int millimetres, int dpi);
// "left,top,right,bottom" in millimetres; a missing or unreadable field is 0.
std::array<int, 4> parseMargins(std::string_view text);
// The page inside the margins.
PrintRect marginRect(int pageWidth, int pageHeight, int dpi, std::string_view margins);

// Font height in printer pixels for a point size: negative, a character height.
int printFontHeight(int points, int dpi);
// Printer pixels per screen pixel.
double printScale(int dpi);

// The header and footer around the sheet: text lines of the frame font's height, each
// parted from the body by a rule.
struct PageFrame {
    cmcFont font;
    int rule = 0; // thickness of the rules and unit of the gaps
    PrintRect header;
    PrintRect headerRule;
    PrintRect footer;
    PrintRect footerRule;
    PrintRect body;
};
PageFrame pageFrame(const PrintRect& area, const cmcFont& font, const TextMetrics& metrics);

// How a sheet splits into pages: runs of non-fixed columns and rows, each printed with the
// fixed columns and rows in front.
struct SheetPagination {
    std::vector<int> columnsPerPage;
    std::vector<int> rowsPerPage;

    int pageCount() const { return static_cast<int>(columnsPerPage.size() * rowsPerPage.size()); }
};
SheetPagination paginate(const cuiSheet& sheet, int bodyWidth, int bodyHeight);
// Whether a page may start at this column: a caption spanning into it from the left would be
// cut in two.
bool columnMayBeginPage(const cuiSheet& sheet, int column);

// The columns and rows of one page, fixed ones first, and the size they take.
struct PrintBlock {
    std::vector<int> columns;
    std::vector<int> rows;
    int width = 0;
    int height = 0;
};
PrintBlock pageBlock(const cuiSheet& sheet, const SheetPagination& pagination, int columnBlock,
                     int rowBlock);

} // namespace qx
