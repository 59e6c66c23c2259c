#pragma once

#include "base/cell_font.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace qx {

// The ten sheet variables @ch0 to @ch9.
using SheetVariables = std::array<std::int32_t, 10>;

inline constexpr std::int32_t kNoCategoryId = 6;
inline constexpr std::int32_t kNoLinkId = 290;
inline constexpr std::uint32_t kColorWindow = 0xFF000005;

// Attributes of one grid cell, menu item, toolbar button or tree node, as the cell parser
// made them. Font and popup menu name fall back to the parent's when the cell has none.
struct cmcCellObj {
    const cmcCellObj* parent = nullptr;
    SheetVariables* variables = nullptr; // only while the cell is parsed

    std::int32_t category = kNoCategoryId;
    std::int32_t link = kNoLinkId;
    std::int32_t index = 0;
    std::optional<std::string> linkParameter;
    std::int32_t imageIndex = -1;

    // Layout.
    std::uint8_t hAlign = 0;   // 0 left, 1 centre, 2 right
    std::uint8_t vAlign = 0;   // 0 top, 1 middle, 2 bottom
    bool widthSample = false;  // W: the text sets the column's width
    bool heightSample = false; // H: the text sets the row's height
    bool wrap = false;         // =: broken into lines, edited multi-line
    bool span = false;         // +: continues the cell to its left

    // Marks.
    bool bottomRule = false;    // B
    std::uint8_t rightRule = 0; // 0 none, 1 full (X), 2 short tick (Q)
    bool selectable = false;    // S
    bool tip = false;           // T
    std::uint8_t userFlags = 0; // Flag0 .. Flag7, bit d

    std::uint32_t color = kColorWindow;
    std::optional<cmcFont> font;
    std::optional<std::string> popupMenu;
    std::optional<std::string> text;

    bool userFlag(int d) const { return ((userFlags >> d) & 1U) != 0; }
    void setUserFlag(int d, bool on) {
        const auto bit = static_cast<std::uint8_t>(1U << d);
        userFlags = static_cast<std::uint8_t>(on ? (userFlags | bit) : (userFlags & ~bit));
    }

    // The cell's font, else the nearest ancestor's; nullptr when none has one.
    const cmcFont* effectiveFont() const {
        for (const cmcCellObj* c = this; c != nullptr; c = c->parent) {
            if (c->font) {
                return &*c->font;
            }
        }
        return nullptr;
    }
    // The cell's popup menu name unless empty, else the nearest ancestor's.
    std::string effectivePopupMenu() const {
        for (const cmcCellObj* c = this; c != nullptr; c = c->parent) {
            if (c->popupMenu && !c->popupMenu->empty()) {
                return *c->popupMenu;
            }
        }
        return {};
    }
    std::string_view displayText() const { return text ? std::string_view(*text) : ""; }
};

} // namespace qx
