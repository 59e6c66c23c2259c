#pragma once

#include "base/cell_capsule.h"

#include <QRect>

class QPainter;

namespace qx {

struct DrawnCell;
class SheetLook;

QRect toQRect(const CellRect& r);

// One laid-out cell as screen and printer show it: background, text lines and rules. Marks are
// left to the caller, since the screen and paper draw them differently.
void paintCellBody(QPainter& p, const SheetLook& look, const DrawnCell& cell);

} // namespace qx
