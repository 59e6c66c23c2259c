#include "output/print_layout.h"

#include "base/text_metrics.h"
#include "sheet/sheet.h"

#include <charconv>
#include <cmath>

namespace qx {

namespace {

constexpr double kInchesPerMillimetre = 0.03937007874;
constexpr int kScreenDpi = 96;

// Takes `count` items from `first` on: every item until the sum passes `limit` (the first
// item always goes in); with `mayBegin`, the next run must start where it allows.
template <typename Size, typename MayBegin>
int runLength(int first, int count, int fixedSum, int limit, Size size, MayBegin mayBegin) {
    int sum = fixedSum;
    int overflow = first;
    while (overflow < count) {
        sum += size(overflow);
        if (sum > limit && overflow > first) {
            break;
        }
        ++overflow;
    }
    if (overflow >= count) {
        return count - first;
    }
    int next = overflow;
    while (next > first && !mayBegin(next)) {
        --next;
    }
    if (next == first) {
        // Nothing fits before a place where a page may start: the run goes on to the next
        // such place and the fitting shrinks the font.
        next = overflow + 1;
        while (next < count && !mayBegin(next)) {
            ++next;
        }
    }
    return next - first;
}

} // namespace

int millimetresToPixels(int millimetres, int dpi) {
    return static_cast<int>(std::lround(millimetres * dpi * kInchesPerMillimetre));
}

std::array<int, 4> parseMargins(std::string_view text) {
    std::array<int, 4> margins{};
    for (int& margin : margins) {
        const std::size_t comma = text.find(',');
        std::string_view field = text.substr(0, comma);
        while (!field.empty() && field.front() == ' ') {
            field.remove_prefix(1);
        }
        std::from_chars(field.data(), field.data() + field.size(), margin);
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    return margins;
}

PrintRect marginRect(int pageWidth, int pageHeight, int dpi, std::string_view margins) {
    const auto mm = parseMargins(margins);
    return {millimetresToPixels(mm[0], dpi), millimetresToPixels(mm[1], dpi),
            pageWidth - millimetresToPixels(mm[2], dpi),
            pageHeight - millimetresToPixels(mm[3], dpi)};
}

int printFontHeight(int points, int dpi) {
    return -(points * dpi / 72);
}

double printScale(int dpi) {
    return static_cast<double>(dpi) / kScreenDpi;
}

PageFrame pageFrame(const PrintRect& area, const cmcFont& font, const TextMetrics& metrics) {
    PageFrame frame;
    frame.font = font;
    const int h = metrics.textHeight(font, "Ag");
    const int t = static_cast<int>(std::lround(0.1 * h + 1));
    frame.rule = t;
    frame.header = {area.left, area.top, area.right, area.top + h};
    frame.headerRule = {area.left, area.top + h + t, area.right, area.top + h + 2 * t};
    frame.footer = {area.left, area.bottom - h, area.right, area.bottom};
    frame.footerRule = {area.left, area.bottom - h - 2 * t, area.right, area.bottom - h - t};
    frame.body = {area.left, area.top + h + 6 * t, area.right, area.bottom - h - 6 * t};
    return frame;
}

bool columnMayBeginPage(const cuiSheet& sheet, int column) {
    for (int r = 0; r < sheet.fixedRows(); ++r) {
        if (sheet.cell(column, r).span) {
            return false;
        }
    }
    return true;
}

SheetPagination paginate(const cuiSheet& sheet, int bodyWidth, int bodyHeight) {
    SheetPagination pages;
    const int columns = sheet.columnCount();
    const int rows = sheet.rowCount();
    int fixedWidth = 0;
    for (int c = 0; c < sheet.fixedColumns(); ++c) {
        fixedWidth += sheet.columnWidth(c);
    }
    int fixedHeight = 0;
    for (int r = 0; r < sheet.fixedRows(); ++r) {
        fixedHeight += sheet.rowHeight(r);
    }
    const auto width = [&sheet](int c) { return sheet.columnWidth(c); };
    const auto height = [&sheet](int r) { return sheet.rowHeight(r); };
    const auto mayBegin = [&sheet](int c) { return columnMayBeginPage(sheet, c); };
    const auto anyRow = [](int) { return true; };
    for (int c = sheet.fixedColumns(); c < columns;) {
        const int n = runLength(c, columns, fixedWidth, bodyWidth, width, mayBegin);
        pages.columnsPerPage.push_back(n);
        c += n;
    }
    for (int r = sheet.fixedRows(); r < rows;) {
        const int n = runLength(r, rows, fixedHeight, bodyHeight, height, anyRow);
        pages.rowsPerPage.push_back(n);
        r += n;
    }
    // A sheet of fixed columns or rows only still prints them once.
    if (pages.columnsPerPage.empty()) {
        pages.columnsPerPage.push_back(0);
    }
    if (pages.rowsPerPage.empty()) {
        pages.rowsPerPage.push_back(0);
    }
    return pages;
}

PrintBlock pageBlock(const cuiSheet& sheet, const SheetPagination& pagination, int columnBlock,
                     int rowBlock) {
    PrintBlock block;
    for (int c = 0; c < sheet.fixedColumns(); ++c) {
        block.columns.push_back(c);
    }
    int first = sheet.fixedColumns();
    for (int b = 0; b < columnBlock; ++b) {
        first += pagination.columnsPerPage.at(static_cast<std::size_t>(b));
    }
    for (int i = 0; i < pagination.columnsPerPage.at(static_cast<std::size_t>(columnBlock)); ++i) {
        block.columns.push_back(first + i);
    }
    for (int r = 0; r < sheet.fixedRows(); ++r) {
        block.rows.push_back(r);
    }
    first = sheet.fixedRows();
    for (int b = 0; b < rowBlock; ++b) {
        first += pagination.rowsPerPage.at(static_cast<std::size_t>(b));
    }
    for (int i = 0; i < pagination.rowsPerPage.at(static_cast<std::size_t>(rowBlock)); ++i) {
        block.rows.push_back(first + i);
    }
    for (const int c : block.columns) {
        block.width += sheet.columnWidth(c);
    }
    for (const int r : block.rows) {
        block.height += sheet.rowHeight(r);
    }
    return block;
}

} // namespace qx
