#pragma once

#include "sheet_services.h"

#include <QFrame>

class QLabel;

namespace qx {

class cuiSheet;
class SheetGrid;

// A sheet on screen: the caption strip (when the sheet has a caption) above a body panel that
// holds the grid.
class SheetWidget : public QFrame {
    Q_OBJECT
public:
    SheetWidget(cuiSheet& sheet, SheetServices services, QWidget* parent = nullptr);

    cuiSheet& sheet() { return m_sheet; }
    SheetGrid& grid() { return *m_grid; }
    QLabel* caption() const { return m_caption; }
    // The sheet was rebuilt: caption and grid follow it.
    void sheetChanged();
    // The size that shows every cell without scroll bars.
    QSize contentSize() const;

private:
    cuiSheet& m_sheet;
    SheetServices m_services;
    QFrame* m_captionPanel = nullptr;
    QLabel* m_caption = nullptr;
    QFrame* m_body = nullptr;
    SheetGrid* m_grid = nullptr;
};

} // namespace qx
