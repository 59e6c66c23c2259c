#pragma once

#include "base/cell_capsule.h"
#include "base/system_info.h"

#include <string>
#include <string_view>
#include <vector>

namespace qx {

// Where the in-place editor goes over a cell: single-line editors are one text line tall, at
// the top, middle or bottom of the cell by its vertical alignment; `=` cells get a multi-line
// editor over the whole cell from one pixel below its top.
CellRect editorRect(const cmcCellObj& cell, const CellRect& cellRect, int lineHeight);

// The text a multi-line editor commits: its lines joined without separators.
std::string joinedEditorText(std::string_view text);

// The size and place of a popup opened under a cell: at the cell's left + 8 and its bottom;
// above the cell, or over it when there is no room above, where the work area ends below;
// left of the cell, or against the work area's right edge, where it ends on the right. A
// popup larger than the work area is cut to it and scrolls.
struct PopupPlacement {
    ScreenRect bounds;
    bool scrollBars = false;
};
PopupPlacement placePopup(const ScreenRect& cellOnScreen, int width, int height,
                          const ScreenRect& workArea);

// The masked entry of dates, times and positions: which characters are fixed, where the caret
// may go, which keys count, when the text is valid and what is handed back.
class cmcMaskedEntry {
public:
    enum class Slot : char { Literal, Digit, Letter };
    struct Position {
        Slot slot = Slot::Literal;
        char literal = 0;
    };

    // degreeSign: the byte of the degree sign in the text's code page.
    cmcMaskedEntry(MaskedEntryKind kind, bool japaneseSystem, char degreeSign);

    MaskedEntryKind kind() const { return m_kind; }
    const std::vector<Position>& positions() const { return m_positions; }
    // The first editable position, and the position after the last editable one.
    int firstPosition() const { return m_first; }
    int endPosition() const { return m_end; }
    // Home, End, Left and Right keep the caret between the two.
    int clampCaret(int caret) const;

    // The text shown when the entry opens, from the request's text (dates year/month/day);
    // a typed digit replaces the first editable character and the caret moves past it.
    std::string initialText(std::string_view requestText, std::int32_t typedKey, int& caret) const;
    // Only digits and the hemisphere letters reach the entry.
    static bool acceptsKey(char key);
    // Whether OK may be pressed for this text.
    bool valid(std::string_view text) const;
    // What is sent back: blanks as '0', dates as year/month/day.
    std::string committedText(std::string_view text) const;

private:
    MaskedEntryKind m_kind;
    bool m_monthFirst = false; // month/day/year on systems that are not Japanese
    std::vector<Position> m_positions;
    int m_first = 0;
    int m_end = 0;
};

} // namespace qx
