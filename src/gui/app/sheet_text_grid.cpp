#include "sheet_text_grid.h"

#include "sheet/sheet.h"
#include "sheet/sheet_script.h"

#include <QHeaderView>

#include <vector>

namespace qx {

SheetTextGrid::SheetTextGrid(cuiSheet& sheet, cmcCellLinkDispatch& dispatch, SelectionLists& lists,
                             const CodePageText& codec, QWidget* parent)
    : QTableWidget(parent), m_sheet(sheet) {
    std::vector<int> columns;
    std::vector<int> rows;
    for (int c = 0; c < sheet.columnCount(); ++c) {
        if (sheet.columnWidth(c) >= 2) {
            columns.push_back(c);
        }
    }
    for (int r = 0; r < sheet.rowCount(); ++r) {
        if (sheet.rowHeight(r) >= 2) {
            rows.push_back(r);
        }
    }
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setColumnCount(static_cast<int>(columns.size()));
    setRowCount(static_cast<int>(rows.size()));
    cmcSheetScript script(sheet, dispatch, lists);
    QFont fixedFont = font();
    fixedFont.setBold(true);
    for (std::size_t y = 0; y < rows.size(); ++y) {
        const int row = rows[y];
        for (std::size_t x = 0; x < columns.size(); ++x) {
            const int column = columns[x];
            QString text = codec.toQString(script.cellText(column, row));
            text.replace(QLatin1Char('\n'), QLatin1Char(' '));
            auto* item = new QTableWidgetItem(text);
            if (row < sheet.fixedRows() || column < sheet.fixedColumns()) {
                item->setFont(fixedFont);
            }
            setItem(static_cast<int>(y), static_cast<int>(x), item);
        }
        setRowHeight(static_cast<int>(y), std::max(sheet.rowHeight(row), 18));
    }
    // The sheet's widths come from its own metrics; the texts here are drawn in the desktop's
    // font, so each column takes the wider of the two.
    resizeColumnsToContents();
    for (std::size_t x = 0; x < columns.size(); ++x) {
        const int column = static_cast<int>(x);
        setColumnWidth(column, std::max(columnWidth(column), sheet.columnWidth(columns[x])));
    }
}

} // namespace qx
