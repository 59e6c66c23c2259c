#pragma once

#include "base/cell_capsule.h"
#include "base/system_info.h"
#include "sheet/sheet_environment.h"

#include <cstdint>
#include <functional>

class QWidget;

namespace qx {

class SheetLook;

// What a sheet on screen needs besides its core sheet: the look, the cell link dispatch, the
// environment to build selection list sheets in, and the work area popups are kept in.
struct SheetServices {
    SheetLook* look = nullptr;
    std::function<std::int32_t(cmcCellCapsule&)> dispatch;
    SheetEnvironment environment;         // for the sheets of selection lists
    std::function<ScreenRect()> workArea; // none: the screen's available area
    QWidget* popupOwner = nullptr;        // the window popups belong to
    bool japaneseSystem = false;          // date order of the masked entry
};

} // namespace qx
