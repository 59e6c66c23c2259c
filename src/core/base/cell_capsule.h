#pragma once

#include "base/cell_obj.h"

#include <cstdint>
#include <functional>
#include <string>

namespace qx {

struct CellRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Operations of a request.
enum CellOperation : std::int32_t {
    kOpCommand = 0,    // a key, a double click or a chosen menu item
    kOpCommit = 1,     // the in-place editor was committed with `text`
    kOpPick = 2,       // an item of a selection list (or a masked entry) was picked: `picked`
    kOpStateQuery = 3, // a menu item or toolbar button asks for its state; nothing runs
};

// Results of a request.
enum CellResult : std::int32_t {
    kResultNone = 0,
    kResultChanged = 1, // value changed, or a list was opened: repaint
    kResultEdit = 2,    // open the in-place editor with `text` and the selection
};

// Values that are entered through a mask instead of the in-place editor.
enum class MaskedEntryKind { Date, Time, Latitude, Longitude };

// Popup menu commands of the cells.
enum CellPopupCommand : std::int32_t {
    kPopupEdit = 0x81,
    kPopupCopy = 0x82,
    kPopupPaste = 0x83,
    kPopupCarryUp = 0x84,
    kPopupCarryDown = 0x85,
    kPopupClear = 0x86,
    kPopupDelete = 0x87,
    kPopupInsert = 0x88,
    kPopupHelp = 0x89,
    kPopupRcvDelete = 0x8A,
};

// The request a sheet (or a menu, tree or the command line) hands to the cell link dispatch:
// which cell, what happened, and where the answers go.
struct cmcCellCapsule {
    enum : std::uint8_t {
        kFlagCurrent = 1,  // the cell is current (activation) or drawn selected (drawing)
        kFlagPrinting = 2, //
        kFlagWarning = 4,  // set by the link: draw the warning mark
        kFlagError = 8,    // set by the link: draw the error mark
    };
    enum : std::uint8_t { kRangeActive = 1, kRangeReselect = 2 };

    const cmcCellCapsule* origin = nullptr; // the request a popup list was opened for
    cmcCellObj* cell = nullptr;
    const cmcFont* font = nullptr; // while drawing
    CellRect rect;
    int selectionStart = 0;
    int selectionLength = 0;
    std::int32_t command = 0;
    const cmcCellObj* menuItem = nullptr;
    const cmcCellObj* picked = nullptr; // the picked item's cell (operation 2)
    std::string text;                   // entered text in, text to edit out
    std::string displayText;            // out
    std::string callString;
    std::string arguments;
    std::uint8_t flags = 0;
    std::uint8_t markPosition = 0; // 0 default, 1 left, 3 after the text
    std::int32_t operation = kOpCommand;
    bool drawing = false;        // only the display text is wanted, for drawing
    std::uint32_t textColor = 0; // out: 0 = the cell's own; else a colour value
    bool moveRequest = false;    // out: select the cell of this identity
    std::int32_t moveCategory = kNoCategoryId;
    std::int32_t moveLink = kNoLinkId;
    std::int32_t moveIndex = 0;
    std::int32_t repeatCommand = 0; // out: run again with this command
    bool refused = false;           // out: the entry was rejected and nothing changed
    void* sheet = nullptr;          // the sheet, for the call-backs' owners
    std::uint8_t rangeFlags = 0;
    std::int32_t rangeLow = 0;
    std::int32_t rangeHigh = 0;

    // Call-backs into the sheet.
    std::function<void(const cmcCellCapsule&, std::uint32_t mask)> repaintMatching;
    std::function<void(const cmcCellCapsule&)> reopenEditor;
    // Opens the selection list `listKey` below the cell, preselecting item (itemLink, value).
    // False when the host cannot show lists.
    std::function<bool(const cmcCellCapsule&, const std::string& listKey, std::int32_t itemLink,
                       std::int32_t value)>
        openList;
    // Opens the masked entry of `kind` below the cell with `text` (dates as year/month/day);
    // `typedKey` is the key that opened it. False when the host has none.
    std::function<bool(const cmcCellCapsule&, MaskedEntryKind kind, const std::string& text,
                       std::int32_t typedKey)>
        openMaskedEntry;
};

} // namespace qx
