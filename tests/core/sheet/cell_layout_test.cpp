#include "sheet/cell_layout.h"

#include "radio/cell_link_names.h"
#include "sheet/sheet.h"
#include "text_blocks.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

// Columns: 0 row number (fixed), 1 frequency, 2 a `+` run over 3, 4 a wrapped note.
// Rows: 0 header (fixed), then three data rows whose link texts come from the fake dispatch.
const char* const kDefinitions = R"(#GI_Sheet_Lay_Style
(FixedCols=1)(FixedRows=1)(MultiSelect=Line)(ColorSelectLine)
#GI_Sheet_Lay_BasicCell
{($Basic)(%CT_Conv.)}
#GI_Sheet_Lay_Cells
{($iChN)(@ch0=0)}CH|{($iChI)X}Freq|{($iChI)Q}Group|{($iChI)+}|{($iChI)}Note
:(LoopFrom 3)
{($iChN)(%CL_Misc_ChNo_0Base[@ch0])}000|{($eWh)>(%CL_Mch_Freq[@ch0])}999.99|{($eWh)(%CL_Mch_Bank_Group[@ch0])}WW|{T-WH(%CL_Mch_Bank_ChNo[@ch0])}WW|{($eWh)=(%CL_Mch_Name[@ch0])}WWWWWW
:(LoopTo)
)";

class CellLayoutTest : public ::testing::Test {
protected:
    CellLayoutTest() {
        sheet.setDispatcher([this](cmcCellCapsule& r) {
            ++drawRequests;
            if (r.cell->link == CL_Mch_Freq) {
                r.displayText = "145.000";
                if (r.cell->index == 1) {
                    r.flags |= cmcCellCapsule::kFlagError;
                }
            } else if (r.cell->link == CL_Mch_Name) {
                r.displayText = name;
                r.textColor = r.cell->index == 2 ? 0xC0C0C0 : 0;
            } else {
                r.displayText = std::to_string(r.cell->index);
            }
            return kResultNone;
        });
        sheet.show();
    }
    DrawnCell at(int c, int r, LayoutState state = {}) {
        return layout.drawCell(c, r, *layout.cellRect(c, r), state);
    }

    test::TextBlocks text{std::string(kDefinitions) + test::kCellModels};
    test::FixedMetrics metrics; // 10 px a byte, 20 px a line
    SheetEnvironment env = [this] {
        SheetEnvironment e;
        e.text = &text;
        e.metrics = &metrics;
        return e;
    }();
    cuiSheet sheet{env, "GI_Sheet_Lay"};
    cmcCellLayout layout{sheet, metrics};
    std::string name = "AB CD EF";
    int drawRequests = 0;
};

TEST_F(CellLayoutTest, SelectLineAndInactiveColoursFollowTheirFormulas) {
    // window text black, window white, button face 0xC0C0C0
    const SheetColours modern = SheetColours::compute(0x000000, 0xFFFFFF, 0xC0C0C0);
    EXPECT_EQ(modern.selectLine, 0xDFDFDFU);        // (0 + 7 * 255 + 4) / 8 = 223
    EXPECT_EQ(modern.inactiveSelection, 0xBFBFBFU); // (0 + 3 * 255 + 2) / 4 = 191
    const SheetColours mixed = SheetColours::compute(0x102030, 0xF0E0D0, 0xC0C0C0);
    EXPECT_EQ(mixed.selectLine, 0xD4C8BCU); // per channel: red (0x30 + 7 * 0xD0 + 4) / 8 = 0xBC
    const SheetColours older = SheetColours::compute(0x000000, 0xFFFFFF, 0xC0C0C0, false);
    EXPECT_EQ(older.selectLine, 0xE0E0E0U); // (192 + 255 + 1) / 2
    EXPECT_EQ(older.inactiveSelection, kColorBtnFace);
}

TEST_F(CellLayoutTest, GeometryWithFixedPartsAndScrolling) {
    // Widths: "000" 38, "999.99" 68, "Group" 58, "WW" 28, "WWWWWW" 68 (text + 8); rows 22.
    EXPECT_EQ(layout.fixedWidth(), 38);
    EXPECT_EQ(layout.fixedHeight(), 22);
    EXPECT_EQ(layout.cellRect(1, 1)->left, 38);
    EXPECT_EQ(layout.cellRect(4, 3)->top, 66);
    EXPECT_EQ(layout.cellAt(40, 30), (std::pair{1, 1}));
    EXPECT_EQ(layout.cellAt(5, 5), (std::pair{0, 0}));
    EXPECT_FALSE(layout.cellAt(1000, 5));

    sheet.setLeftColumn(2);
    sheet.setTopRow(2);
    EXPECT_FALSE(layout.cellRect(1, 1)); // scrolled out
    EXPECT_EQ(layout.cellRect(2, 2)->left, 38);
    EXPECT_EQ(layout.cellRect(2, 2)->top, 22);
    EXPECT_EQ(layout.cellRect(0, 0)->left, 0); // fixed cells stay
    EXPECT_EQ(layout.cellAt(40, 30), (std::pair{2, 2}));
    EXPECT_EQ(layout.columnX(1), -30);

    // Scroll limits: the last row (column) may come up to the view's bottom (right) edge.
    EXPECT_EQ(layout.maxTopRow(22 + 44), 2);
    EXPECT_EQ(layout.maxTopRow(1000), 1);
    EXPECT_EQ(layout.maxLeftColumn(38 + 68 + 28), 3);
    sheet.setTopRow(1);
    sheet.setLeftColumn(1);
    sheet.select(4, 3);
    layout.scrollToCurrent(38 + 70, 22 + 25);
    EXPECT_EQ(sheet.topRow(), 3);
    EXPECT_EQ(sheet.leftColumn(), 4);
}

TEST_F(CellLayoutTest, AlignmentFormulasAtScale) {
    // Frequency cells are right and bottom aligned (`>` from the cell, `_` from eWh).
    LayoutState state;
    const DrawnCell screen = layout.drawCell(1, 1, {100, 200, 200, 222}, state);
    ASSERT_EQ(screen.lines.size(), 1U);
    EXPECT_EQ(screen.lines[0].text, "145.000");
    EXPECT_EQ(screen.lines[0].x, 200 + 1 - 70 - 4); // R + 1 - w - 4s + 0.5
    EXPECT_EQ(screen.lines[0].y, 222 - 20 - 1);     // B - h - s + 0.5
    EXPECT_FALSE(screen.clipText);
    const DrawnCell tight = layout.drawCell(1, 1, {100, 200, 171, 222}, state);
    EXPECT_EQ(tight.lines[0].x, 100); // never left of the cell
    EXPECT_TRUE(tight.clipText);      // L + w + 1 >= R

    state.scale = 2.6;
    const DrawnCell printed = layout.drawCell(1, 1, {0, 0, 300, 100}, state);
    EXPECT_EQ(printed.lines[0].x, 221); // 300 + 1 - 70 - 10.4 + 0.5 = 221.1
    EXPECT_EQ(printed.lines[0].y, 77);  // 100 - 20 - 2.6 + 0.5 = 77.9
    EXPECT_FALSE(printed.clipText);

    // Header cells: centred `^` and middle `-`; the fixed number column is right-middle.
    const DrawnCell header = layout.drawCell(1, 0, {0, 0, 101, 41}, {});
    EXPECT_EQ(header.lines[0].x, (101 + 1 - 40) / 2);
    EXPECT_EQ(header.lines[0].y, (41 + 1 - 20) / 2);
    const DrawnCell narrow = layout.drawCell(1, 0, {10, 0, 30, 22}, {});
    EXPECT_EQ(narrow.lines[0].x, 10); // never left of the cell
}

TEST_F(CellLayoutTest, SpansTipsRulesAndWrap) {
    LayoutState state;
    state.viewWidth = 1000;
    state.viewHeight = 1000;
    const auto cells = layout.visibleCells(state);
    // Header: "Group" runs over the `+` cell to its right and is drawn once across both.
    const auto group = std::find_if(cells.begin(), cells.end(),
                                    [](const DrawnCell& d) { return d.row == 0 && d.column == 2; });
    ASSERT_NE(group, cells.end());
    EXPECT_EQ(group->rect.right - group->rect.left, 58 + 28); // "Group" + 8, "WW" + 8
    EXPECT_EQ(std::count_if(cells.begin(), cells.end(),
                            [](const DrawnCell& d) { return d.row == 0 && d.column == 3; }),
              0);
    // The `Q` of column 2 is not drawn: its right neighbour continues it. Column 1's `X` is.
    EXPECT_TRUE(group->rules.empty());
    const DrawnCell freq = at(1, 0);
    ASSERT_EQ(freq.rules.size(), 1U);
    EXPECT_EQ(freq.rules[0].rect.left, freq.rect.right - 1);
    EXPECT_EQ(freq.rules[0].rect.top, freq.rect.top);

    // Data cells have bottom rules (eWh has `B`).
    const DrawnCell data = at(1, 2);
    ASSERT_FALSE(data.rules.empty());
    EXPECT_EQ(data.rules[0].rect.top, data.rect.bottom - 1);

    // The tip cell right of the current cell is drawn selected; in another row it is not.
    sheet.select(2, 2);
    EXPECT_TRUE(at(3, 2).selected);
    EXPECT_FALSE(at(3, 3).selected);
    sheet.select(1, 2);
    EXPECT_FALSE(at(3, 2).selected); // the tip belongs to column 2, not to the cursor

    // Wrap: 90 % of 68 is 62 pixels, so "AB CD EF" (80) breaks at blanks.
    const DrawnCell note = at(4, 1);
    ASSERT_EQ(note.lines.size(), 2U);
    EXPECT_EQ(note.lines[0].text, "AB CD");
    EXPECT_EQ(note.lines[1].text, "EF");
    EXPECT_EQ(note.lines[1].y, note.lines[0].y + 20);
    name = "ABCDEFGHIJ";
    EXPECT_EQ(at(4, 1).lines[0].text, "ABCDEF"); // no blank: as much as fits
}

TEST_F(CellLayoutTest, BackgroundsAndTextColours) {
    sheet.select(1, 2);
    LayoutState state;
    EXPECT_EQ(at(1, 2, state).background, kColorHighlight);
    EXPECT_EQ(at(1, 2, state).textColour, kColorHighlightText);
    // Same row, other columns: the select-line colour; the fixed column keeps its own.
    state.colours = SheetColours::compute(0, 0xFFFFFF, 0xC0C0C0);
    EXPECT_EQ(at(4, 2, state).background, 0xDFDFDFU);
    EXPECT_EQ(at(0, 2, state).background, sheet.cell(0, 2).color);
    EXPECT_EQ(at(4, 1, state).background, kColorWindow);
    // Without the focus the selection takes the inactive colour and keeps the text colour.
    state.focused = false;
    EXPECT_EQ(at(1, 2, state).background, 0xBFBFBFU);
    EXPECT_NE(at(1, 2, state).textColour, kColorHighlightText);
    // An open editor shows over an unselected-looking cell.
    sheet.setEditorOpen(true);
    EXPECT_EQ(at(1, 2, LayoutState{}).background, 0U); // the select line of default colours
    sheet.setEditorOpen(false);
    // Grey text from the link.
    EXPECT_EQ(at(4, 3).textColour, 0xC0C0C0U);
    // Printing: white cells white, coloured cells grey with white text and rules.
    state.printing = true;
    EXPECT_EQ(at(1, 2, state).background, kColorWhite);
    EXPECT_EQ(at(0, 2, state).background, 0x606060U);
    EXPECT_EQ(at(0, 2, state).textColour, kColorWhite);
}

TEST_F(CellLayoutTest, MarksSitAfterTheTextOrAtTheEdge) {
    LayoutState state;
    state.markSize = 16;
    // Right-aligned frequency with an error: position 1, at the left indented by 16 / 8.
    const DrawnCell error = layout.drawCell(1, 2, {0, 0, 200, 30}, state);
    EXPECT_EQ(error.mark, 5);
    EXPECT_EQ(error.markRect.left, 2);
    EXPECT_EQ(error.markRect.bottom, 29);
    EXPECT_EQ(error.markRect.top, 13);
    EXPECT_EQ(at(1, 1).mark, 0);

    sheet.setDispatcher([](cmcCellCapsule& r) {
        r.displayText = "ABC";
        r.flags |= cmcCellCapsule::kFlagWarning;
        return kResultNone;
    });
    const DrawnCell after = layout.drawCell(2, 1, {0, 0, 100, 30}, state);
    EXPECT_EQ(after.mark, 4);
    EXPECT_EQ(after.markRect.left, 4 + 30); // right after the text
    const DrawnCell edge = layout.drawCell(2, 1, {0, 0, 45, 30}, state);
    EXPECT_EQ(edge.markRect.left, 45 - 16 - 1);
    const DrawnCell tiny = layout.drawCell(2, 1, {0, 0, 10, 30}, state);
    EXPECT_EQ(tiny.markRect.left, 0); // never left of the cell
    state.printing = true;
    const DrawnCell printed = layout.drawCell(2, 1, {0, 0, 100, 30}, state);
    EXPECT_EQ(printed.markRect.bottom - printed.markRect.top, 15); // half the cell height
}

TEST_F(CellLayoutTest, OnlyCellsInViewAreAskedFor) {
    LayoutState state;
    state.viewWidth = 38 + 68;
    state.viewHeight = 22 + 22;
    drawRequests = 0;
    const auto cells = layout.visibleCells(state);
    // Rows 0 and 1, columns 0 and 1: four cells; the two of row 1 are linked.
    EXPECT_EQ(cells.size(), 4U);
    EXPECT_EQ(drawRequests, 2);
    for (const DrawnCell& c : cells) {
        EXPECT_LE(c.clip.right, state.viewWidth);
        EXPECT_LE(c.clip.bottom, state.viewHeight);
    }
}

} // namespace
} // namespace qx
