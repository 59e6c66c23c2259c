#include "sheet/cell_editors.h"

#include "app/menu_builder.h"
#include "base/event_manager.h"
#include "manual_scheduler.h"
#include "radio/cell_link_names.h"
#include "sheet/sheet.h"
#include "text_blocks.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

TEST(CellEditorsTest, EditorFollowsTheVerticalAlignment) {
    cmcCellObj cell;
    const CellRect rect{10, 100, 90, 130}; // 30 tall
    struct Case {
        std::uint8_t vAlign;
        bool wrap;
        CellRect expected;
    };
    const Case cases[] = {
        {0, false, {10, 100, 90, 120}},
        {1, false, {10, 105, 90, 125}},
        {2, false, {10, 109, 90, 129}},
        {2, true, {10, 101, 90, 130}}, // `=` cells: the whole cell from one pixel down
    };
    for (const Case& c : cases) {
        cell.vAlign = c.vAlign;
        cell.wrap = c.wrap;
        const CellRect r = editorRect(cell, rect, 20);
        EXPECT_EQ(r.top, c.expected.top) << int(c.vAlign) << c.wrap;
        EXPECT_EQ(r.bottom, c.expected.bottom) << int(c.vAlign) << c.wrap;
        EXPECT_EQ(r.left, 10);
    }
    cell.wrap = false;
    EXPECT_EQ(editorRect(cell, {0, 0, 50, 15}, 20).bottom, 15); // a low cell keeps its height
    EXPECT_EQ(joinedEditorText("AB C\nD\r\nEF"), "AB CDEF");
}

TEST(CellEditorsTest, PopupPlacementAtTheWorkAreaEdges) {
    const ScreenRect area{0, 0, 1000, 800};
    struct Case {
        ScreenRect cell;
        int width;
        int height;
        ScreenRect expected;
        bool scroll;
    };
    const Case cases[] = {
        // Room below: left + 8, under the cell.
        {{100, 100, 60, 20}, 80, 120, {108, 120, 80, 120}, false},
        // Last screen line: above the cell.
        {{100, 770, 60, 20}, 80, 120, {108, 650, 80, 120}, false},
        // No room above either: bottom on the work area's bottom, over the cell.
        {{100, 90, 60, 20}, 80, 750, {108, 50, 80, 750}, false},
        // Right edge: against it...
        {{950, 100, 40, 20}, 80, 120, {920, 120, 80, 120}, false},
        // ...or, when overlapping and narrower than the room left of the cell, left of it.
        {{950, 90, 40, 20}, 80, 750, {870, 50, 80, 750}, false},
        // Larger than the work area: cut to it, with scroll bars.
        {{100, 100, 60, 20}, 80, 900, {108, 0, 80, 800}, true},
    };
    for (const Case& c : cases) {
        const PopupPlacement p = placePopup(c.cell, c.width, c.height, area);
        EXPECT_EQ(p.bounds, c.expected) << c.cell.left << "," << c.cell.top;
        EXPECT_EQ(p.scrollBars, c.scroll);
    }
}

TEST(CellEditorsTest, MaskedDateEntryInBothOrders) {
    const cmcMaskedEntry us(MaskedEntryKind::Date, false, '\xB0');
    int caret = -1;
    EXPECT_EQ(us.initialText("2007/03/04", 0, caret), "03/04/2007");
    EXPECT_EQ(caret, 0);
    EXPECT_EQ(us.initialText("2007/03/04", '1', caret), "13/04/2007");
    EXPECT_EQ(caret, 1);
    EXPECT_EQ(us.initialText("----/--/--", 0, caret), "  /  /20  ");
    EXPECT_EQ(us.committedText("12/31/2006"), "2006/12/31");
    EXPECT_EQ(us.committedText("1 /2 /2006"), "2006/10/20");
    EXPECT_FALSE(us.valid("12/31/2005"));
    EXPECT_TRUE(us.valid("01/01/2006"));
    EXPECT_TRUE(us.valid("12/30/2099"));
    EXPECT_FALSE(us.valid("12/31/2099"));
    EXPECT_FALSE(us.valid("02/30/2010"));
    EXPECT_EQ(us.firstPosition(), 0);
    EXPECT_EQ(us.endPosition(), 10);

    const cmcMaskedEntry jp(MaskedEntryKind::Date, true, '\xDF');
    EXPECT_EQ(jp.initialText("2007/03/04", '9', caret), "2097/03/04");
    EXPECT_EQ(caret, 3);
    EXPECT_EQ(jp.firstPosition(), 2);
    EXPECT_EQ(jp.clampCaret(0), 2);
    EXPECT_EQ(jp.clampCaret(11), 10);
    EXPECT_EQ(jp.committedText("2006/01/01"), "2006/01/01");
    EXPECT_TRUE(jp.valid("2006/01/01"));
    EXPECT_FALSE(jp.valid("2005/12/31"));
}

TEST(CellEditorsTest, MaskedTimeAndPositions) {
    int caret = 0;
    const cmcMaskedEntry time(MaskedEntryKind::Time, false, '\xB0');
    EXPECT_EQ(time.initialText("--:--:--", 0, caret), "  :  :  ");
    EXPECT_TRUE(time.valid("  :  :  ")); // blanks count as 0
    EXPECT_TRUE(time.valid("23:59:59"));
    EXPECT_FALSE(time.valid("24:00:00"));

    const cmcMaskedEntry lat(MaskedEntryKind::Latitude, false, '\xB0');
    EXPECT_EQ(lat.firstPosition(), 1);
    EXPECT_EQ(lat.initialText(" 35\xB0"
                              "40'12\"n",
                              0, caret),
              " 35\xB0"
              "40'12\"N");
    EXPECT_TRUE(lat.valid(" 35\xB0"
                          "40'12\"N"));
    EXPECT_TRUE(lat.valid(" 90\xB0"
                          "00'00\"S"));
    EXPECT_FALSE(lat.valid(" 90\xB0"
                           "00'01\"S")); // past 900000
    EXPECT_FALSE(lat.valid(" 35\xB0"
                           "60'00\"N")); // minutes below 60
    EXPECT_FALSE(lat.valid(" 35\xB0"
                           "40'12\"E")); // the wrong hemisphere letter

    const cmcMaskedEntry lon(MaskedEntryKind::Longitude, false, '\xB0');
    EXPECT_TRUE(lon.valid("139\xB0"
                          "45'00\"E"));
    EXPECT_TRUE(lon.valid("180\xB0"
                          "00'00\"W"));
    EXPECT_FALSE(lon.valid("180\xB0"
                           "00'01\"W"));
    EXPECT_FALSE(lon.valid("139\xB0"
                           "45'00\"N"));
    EXPECT_EQ(lon.committedText("1 9\xB0"
                                "4 '  \"E"),
              "109\xB0"
              "40'00\"E");

    for (const char key : std::string("0123456789NSEWnsew")) {
        EXPECT_TRUE(cmcMaskedEntry::acceptsKey(key)) << key;
    }
    for (const char key : std::string("aX-/ .")) {
        EXPECT_FALSE(cmcMaskedEntry::acceptsKey(key)) << key;
    }
}

const char* const kMenus = R"(#GI_PMenu_T_BasicCell
{($Basic)(%CT_PopupMenu.)}
#GI_PMenu_T_Body
+{(%CL_PMenu_Edit)}&Edit
+-
+{(%CL_Null)}&More
 +{(%CL_PMenu_Copy)}&Copy
 +{(%CL_PMenu_Paste)}&Paste
+{(%CL_PMenu_Help)}&Help
#GI_Sheet_M_Style
(MultiSelect=Line)
#GI_Sheet_M_BasicCell
{($Basic)(PopupMenu=GI_PMenu_T)}
#GI_Sheet_M_Cells
{S(%CL_Mch_Freq[0])}x|{T}tip|{T}tip2|{S(PopupMenu=GI_PMenu_Other)(%CL_Mch_Name[0])}n
{S(%CL_Mch_Freq[1])}x|{T}tip|{T}tip2|{S(%CL_Mch_Name[1])}n
{S(%CL_Mch_Freq[2])}x|plain
)";

class SheetMouseTest : public ::testing::Test {
protected:
    test::TextBlocks text{std::string(kMenus) + test::kCellModels};
    test::FixedMetrics metrics;
    test::ManualScheduler scheduler;
    cmcEvMan bus{scheduler};
    SheetEnvironment env = [this] {
        SheetEnvironment e;
        e.text = &text;
        e.metrics = &metrics;
        e.bus = &bus;
        return e;
    }();
};

TEST_F(SheetMouseTest, APopupMenuNestsByDepthAndInheritsItsBasicCell) {
    cuiMenu menu(text, {});
    menu.build("GI_PMenu_T");
    const auto& items = menu.root().children;
    ASSERT_EQ(items.size(), 4U);
    EXPECT_EQ(items[0]->caption, "&Edit");
    EXPECT_EQ(items[0]->cell.link, CL_PMenu_Edit);
    EXPECT_TRUE(items[1]->isSeparator());
    ASSERT_EQ(items[2]->children.size(), 2U);
    EXPECT_EQ(items[2]->children[1]->cell.link, CL_PMenu_Paste);
    EXPECT_EQ(items[3]->caption, "&Help");
    EXPECT_EQ(items[3]->cell.category, CT_PopupMenu);
}

struct Recorder : EvSubscriber {
    void onMessage(const EvMessage& m, cmcEvMan& /*bus*/) override {
        if (m.id == MessageId::ClearPopupSubmenu || m.id == MessageId::FillPopupSubmenu) {
            seen.push_back(std::to_string(static_cast<int>(m.id)) + ":" + m.text());
        }
    }
    std::vector<std::string> seen;
};

TEST_F(SheetMouseTest, ClicksTipsAndThePopupMenuOfTheCurrentCell) {
    Recorder recorder;
    bus.subscribe(&recorder);
    cuiSheet sheet(env, "GI_Sheet_M");
    std::vector<std::int32_t> commands;
    sheet.setDispatcher([&](cmcCellCapsule& r) {
        commands.push_back(r.command);
        return kResultNone;
    });
    sheet.show();
    EXPECT_TRUE(sheet.popupMenuChanged());
    EXPECT_FALSE(sheet.popupMenuChanged());
    EXPECT_EQ(sheet.popupMenuName(), "GI_PMenu_T");

    // A right click on a tip selects its cell and opens the menu; on a plain cell nothing.
    EXPECT_TRUE(sheet.rightClick(2, 1));
    EXPECT_EQ(sheet.currentRow(), 1);
    EXPECT_EQ(sheet.currentColumn(), 0);
    EXPECT_FALSE(sheet.rightClick(1, 2));
    EXPECT_EQ(sheet.currentRow(), 1);
    EXPECT_TRUE(sheet.drawnSelected(2, 1));

    sheet.leftDown(3, 0, false);
    EXPECT_TRUE(sheet.mouseDown());
    sheet.leftUp();
    EXPECT_FALSE(sheet.mouseDown());
    EXPECT_TRUE(sheet.popupMenuChanged());
    EXPECT_EQ(sheet.popupMenuName(), "GI_PMenu_Other");
    EXPECT_EQ(recorder.seen,
              (std::vector<std::string>{"11:GI_PMenu_T", "10:GI_PMenu_T", "11:GI_PMenu_Other"}));

    // A double click activates with 256 only on (a tip of) the current cell.
    commands.clear();
    sheet.doubleClick(0, 1);
    EXPECT_TRUE(commands.empty());
    sheet.select(0, 1);
    sheet.doubleClick(1, 1);
    EXPECT_EQ(commands, (std::vector<std::int32_t>{256}));
    bus.unsubscribe(&recorder);
}

TEST_F(SheetMouseTest, DraggingWithTheButtonDownExtendsTheSelection) {
    cuiSheet sheet(env, "GI_Sheet_M");
    sheet.show();
    sheet.leftDown(0, 0, false);
    sheet.select(0, 2); // the pointer moves with the button held
    EXPECT_TRUE(sheet.rangeActive());
    EXPECT_TRUE(sheet.isSelected(3, 1)); // whole lines
    sheet.leftUp();
    sheet.leftDown(0, 1, false);
    sheet.leftUp();
    EXPECT_FALSE(sheet.rangeActive());
}

TEST_F(SheetMouseTest, RepeatCommandsRunAgainWithShrinkingWaits) {
    cuiSheet sheet(env, "GI_Sheet_M");
    std::vector<std::int32_t> commands;
    sheet.setDispatcher([&](cmcCellCapsule& r) {
        commands.push_back(r.command);
        if (commands.size() < 8) {
            r.repeatCommand = 0x2700;
        }
        return kResultNone;
    });
    std::vector<int> waits;
    sheet.setRepeatWait([&](int ms) { waits.push_back(ms); });
    sheet.show();
    sheet.typeChar('+');
    EXPECT_EQ(commands.front(), '+');
    EXPECT_EQ(commands.size(), 8U);
    EXPECT_EQ(commands.back(), 0x2700);
    EXPECT_EQ(waits, (std::vector<int>{30, 24, 18, 12, 6, 0, 0}));
}

} // namespace
} // namespace qx
