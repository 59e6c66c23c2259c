#pragma once

#include "code_page_text.h"

#include <QTableWidget>

namespace qx {

class cmcCellLinkDispatch;
class cuiSheet;
class SelectionLists;

// A sheet shown as a plain read-only grid of the texts its cells show. Rows and columns the
// sheet draws narrower than 2 pixels (rulings, hidden rows and columns) are left out.
class SheetTextGrid : public QTableWidget {
    Q_OBJECT
public:
    SheetTextGrid(cuiSheet& sheet, cmcCellLinkDispatch& dispatch, SelectionLists& lists,
                  const CodePageText& codec, QWidget* parent = nullptr);

    const cuiSheet& sheet() const { return m_sheet; }

private:
    cuiSheet& m_sheet;
};

} // namespace qx
