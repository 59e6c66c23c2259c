#pragma once

#include "base/cell_obj.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qx {

class TextLines;

// Turns cell strings of the sheet definition language into cmcCellObj records: the cell
// splitting with its escapes, the attribute string with its groups and cell models, font
// specs and colour names.
class cmcCellParser {
public:
    // shiftJis: the text is Shift-JIS, so lead and trail bytes of double-byte characters are
    // never syntax. japaneseSystem picks the default font face.
    explicit cmcCellParser(TextLines& text, bool shiftJis = false, bool japaneseSystem = false)
        : m_text(text), m_shiftJis(shiftJis), m_japaneseSystem(japaneseSystem) {}

    // Removes the first cell from `line` and, unless countOnly, resets `cell` from `parent`
    // and applies the cell's attributes and text. Returns false when the line held no cell
    // (it was empty).
    bool parseCell(cmcCellObj& cell, std::string_view& line, SheetVariables* variables,
                   const cmcCellObj* parent, bool countOnly = false) const;
    // Number of cells of a line, as the sizing pass counts them.
    int countCells(std::string_view line) const;

    void applyAttributes(cmcCellObj& cell, std::string_view attributes) const;
    void applyFontSpec(cmcFont& font, std::string_view spec) const;
    static std::optional<std::uint32_t> colourByName(std::string_view name);

    // Resets the cell to the defaults, then copies the parent's fields (not its font and
    // popup menu name, which are looked up through the parent).
    static void resetCell(cmcCellObj& cell, const cmcCellObj* parent);

    bool isLeadByte(char c) const {
        const auto u = static_cast<unsigned char>(c);
        return m_shiftJis && ((u >= 0x81 && u <= 0x9F) || (u >= 0xE0 && u <= 0xFC));
    }
    TextLines& text() const { return m_text; }
    std::string defaultFace() const;

private:
    // Splits off the first cell: its attribute part and raw text part; returns the rest.
    std::string_view splitCell(std::string_view line, std::string& attributes,
                               std::string& textPart) const;
    std::string cellText(std::string_view raw, const SheetVariables* variables) const;
    void applyGroup(cmcCellObj& cell, std::string_view group) const;
    void applyLinkGroup(cmcCellObj& cell, std::string_view group) const;

    TextLines& m_text;
    bool m_shiftJis;
    bool m_japaneseSystem;
};

// "@chK" names variable K; anything else is a defect of the definition ("Ch No. Error").
int variableNumber(std::string_view reference);

} // namespace qx
