#include "cell_painter.h"

#include "app/code_page_text.h"
#include "sheet/cell_layout.h"
#include "sheet_look.h"

#include <QPainter>

namespace qx {

QRect toQRect(const CellRect& r) {
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void paintCellBody(QPainter& p, const SheetLook& look, const DrawnCell& cell) {
    p.fillRect(toQRect(cell.rect), look.colour(cell.background));
    if (!cell.lines.empty()) {
        const cmcFont fallback;
        const cmcFont& cellFont = cell.font != nullptr ? *cell.font : fallback;
        p.setFont(look.font(cellFont));
        p.setPen(look.colour(cell.textColour));
        const int ascent = look.metrics(cellFont).ascent();
        for (const DrawnLine& line : cell.lines) {
            if (!line.text.empty()) {
                p.drawText(line.x, line.y + ascent, look.codec().toQString(line.text));
            }
        }
    }
    for (const DrawnRule& rule : cell.rules) {
        p.fillRect(toQRect(rule.rect), look.colour(rule.colour));
    }
}

} // namespace qx
