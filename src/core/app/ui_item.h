#pragma once

#include "base/cell_obj.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qx {

// The mark a tree node gets from the setting checks.
enum class ItemMark : std::uint8_t { None, Warning, Error };

// One menu item, toolbar button or tree node as a description built it. The windows only draw
// these and hand clicks and selections back to the builder that owns them; the cell decides what
// a click does and, through its state query, whether the item is checked, hidden or disabled.
struct cuiItem {
    enum class Kind : std::uint8_t {
        Command,   // a menu item, toolbar button or tree node
        Separator, // "-": a menu separator, or a toolbar gap 8 pixels wide
        LineBreak, // "/" on a toolbar: a gap 1 pixel wide, the buttons after it start a new row
    };

    // Images of the tree and of the toolbar, in the order of their image lists.
    enum TreeImage : int {
        kTreeTransceiver,
        kTreeFolder,
        kTreeNote,
        kTreeNote2,
        kTreeWarning,
        kTreeError
    };
    enum ToolBarImage : int {
        kToolNew,
        kToolOpen,
        kToolSave,
        kToolCom1,
        kToolCom2,
        kToolCom3,
        kToolCom4,
        kToolCloneRead,
        kToolCloneWrite,
        kToolCloneInformation,
        kToolPen,
        kToolBoxFill,
        kToolSlider,
        kToolFirstPage,
        kToolPreviousPage,
        kToolNextPage,
        kToolLastPage,
        kToolZoom,
    };

    cmcCellObj cell; // the parsed line; its parent is the builder's basic cell
    Kind kind = Kind::Command;
    std::string caption;  // '&' marks the accelerator letter; a toolbar button's hint
    std::string shortcut; // menus: the shortcut text of the line ("Ctrl+O"), else empty
    int imageIndex = -1;

    // State, as the last state query left it.
    bool checked = false;
    bool visible = true;
    bool enabled = true;

    // Tree nodes only.
    std::uint8_t optionFlags = 0; // bit d: "Flag<d>=1" in the line's second group
    ItemMark mark = ItemMark::None;
    bool expanded = false;

    cuiItem* parent = nullptr;
    std::vector<std::unique_ptr<cuiItem>> children;

    bool isSeparator() const { return kind != Kind::Command; }
    // Tree nodes: the call string of the sheet the node opens (the CallSheet parameter).
    std::string callString() const { return cell.linkParameter.value_or(std::string()); }
    // Tree nodes: the image to draw, the mark's when the node carries one.
    int shownImageIndex() const {
        switch (mark) {
        case ItemMark::Warning:
            return kTreeWarning;
        case ItemMark::Error:
            return kTreeError;
        case ItemMark::None:
            break;
        }
        return imageIndex;
    }
};

} // namespace qx
