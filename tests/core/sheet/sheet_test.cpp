#include "sheet/sheet.h"

#include "base/event_manager.h"
#include "manual_scheduler.h"
#include "radio/cell_link_names.h"
#include "text_blocks.h"

#include <gtest/gtest.h>

#include <map>

namespace qx {
namespace {

const char* const kDefinitions = R"(#GI_Sheet_Test_Style
(TitleString= Memory Channel)(TitleColor=clNavy)(TitleFont=DEFAULT_CHARSET,,clYellow,16,,fsBold,)(FixedCols=1)(FixedRows=2)(MultiSelect=Line)(ColSizing)(ColorSelectLine)(Bogus)
#GI_Sheet_Test_BasicCell
{($Basic)(%CT_Conv.)(PopupMenu=GI_PMenu_Channel_NO_TX)}
#GI_Sheet_Test_Cells
{($iChN)(@ch0=0)}CH|{($iChI)}Freq||{($iChI)}Name
:(SelectOFF)

:(SelectON)(LoopFrom 100)
{($iChN)(%CL_Misc_ChNo_0Base[@ch0])}000|{($eWh)(%CL_Mch_Freq[@ch0])}9999.999999||{($eWh)(%CL_Mch_Name[@ch0])}WWWWWWWW
:(LoopTo)
#GI_Sheet_Pairs_Style
#GI_Sheet_Pairs_BasicCell
{($Basic)}
#GI_Sheet_Pairs_Cells
{(@ch0=0)}head
:(LoopFrom 3)
{S(%CL_Mch_Freq[@ch0])}\(@ch0)
{S(%CL_Mch_Name[@ch0])(@ch0++)}x
:(LoopTo)
#GI_Sheet_Top_Style
(FixedCols=1)(FixedRows=1)(NoPrint)(MultiSelect=Lines)
#GI_Sheet_Top_BasicCell
{($Basic)}
#GI_Sheet_Top_Cells
Welcome|x
|y
#GI_Sheet_Empty_Style
#GI_Sheet_Empty_BasicCell
#GI_Sheet_Empty_Cells
:(LoopFrom 3)
#GI_Sheet_List_Style
#GI_Sheet_List_BasicCell
{($Basic)}
#GI_Sheet_List_Cells
{($iCR)}Dup|{($iSp)}|
{($bMn)S(%Flex0[0])}Simplex|{($iSp)}|{($bMn)S(%Flex0[2])}+DUP
{($bMn)S(%Flex0[1]:-DUP)}-DUP
#GI_CellWidthRegList
GI_Sheet_Test:memory
GI_Sheet_BankCH:bank
#
)";

class MapWidths : public ColumnWidthStore {
public:
    std::optional<std::int32_t> loadWidth(const std::string& group, int column) override {
        loads.push_back(column);
        const auto found = values.find({group, column});
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    void saveWidth(const std::string& group, int column, std::int32_t width) override {
        values[{group, column}] = width;
    }
    void clearGroup(const std::string& group) override {
        cleared.push_back(group);
        std::erase_if(values, [&group](const auto& v) { return v.first.first == group; });
    }
    std::map<std::pair<std::string, int>, std::int32_t> values;
    std::vector<int> loads;
    std::vector<std::string> cleared;
};

class SheetTest : public ::testing::Test {
protected:
    SheetTest() {
        text.add(test::kCellModels);
        env.text = &text;
        env.metrics = &metrics;
    }
    test::TextBlocks text{kDefinitions};
    test::FixedMetrics metrics;
    SheetEnvironment env;
};

TEST_F(SheetTest, BuildsRowsColumnsSizesAndStyle) {
    cuiSheet sheet(env, "GI_Sheet_Test");
    sheet.show();
    ASSERT_EQ(sheet.rowCount(), 102);
    ASSERT_EQ(sheet.columnCount(), 4);
    EXPECT_EQ(sheet.titleString(), " Memory Channel");
    EXPECT_EQ(sheet.titleColor(), 0x800000U);
    EXPECT_EQ(sheet.titleFont()->height, 16);
    EXPECT_EQ(sheet.titleFont()->color, 0xFFFFU);
    EXPECT_EQ(sheet.fixedColumns(), 1);
    EXPECT_EQ(sheet.fixedRows(), 2);
    EXPECT_EQ(sheet.multiSelect(), MultiSelectMode::Line);
    EXPECT_TRUE(sheet.columnSizing() && sheet.colorSelectLine() && sheet.printable());

    EXPECT_EQ(sheet.columnWidth(1), 118); // "9999.999999" + 8
    EXPECT_EQ(sheet.columnWidth(2), 1);   // a ruling column
    EXPECT_EQ(sheet.rowHeight(0), 22);
    EXPECT_EQ(sheet.rowHeight(1), 1); // a ruling row
    EXPECT_EQ(sheet.rowHeight(101), 22);
    EXPECT_FALSE(sheet.rowList()[1].lineSelectable);
    EXPECT_TRUE(sheet.rowList()[2].lineSelectable);
    EXPECT_EQ(sheet.rowList()[101].lineIndex, 4);

    for (int r = 2; r < 102; ++r) {
        ASSERT_EQ(sheet.cell(1, r).index, r - 2);
        ASSERT_EQ(sheet.cell(3, r).index, r - 2);
    }
    EXPECT_EQ(sheet.cell(1, 50).link, CL_Mch_Freq);
    EXPECT_EQ(sheet.cell(1, 50).category, CT_Conv);
    EXPECT_EQ(sheet.cell(1, 50).effectivePopupMenu(), "GI_PMenu_Channel_NO_TX");
    EXPECT_FALSE(sheet.cell(2, 1).text); // cells beyond a row's last cell stay default
    EXPECT_EQ(sheet.cellEntry(1, 1).flags & clsSheetCellId::kRowSelectable, 0);
    EXPECT_EQ(sheet.currentColumn(), 1);
    EXPECT_EQ(sheet.currentRow(), 2);
    EXPECT_EQ(sheet.firstSelectableColumn(), 1);
    EXPECT_EQ(sheet.firstSelectableRow(), 2);
}

TEST_F(SheetTest, IndexOffsetAndMultiLineLoopBodies) {
    cuiSheet offset(env, "GI_Sheet_Test");
    offset.setIndexOffset(100);
    offset.show();
    EXPECT_EQ(offset.cell(1, 2).index, 100);
    EXPECT_EQ(offset.cell(3, 101).index, 199);
    EXPECT_EQ(offset.basicCell().index, 100);

    cuiSheet pairs(env, "GI_Sheet_Pairs");
    pairs.show();
    ASSERT_EQ(pairs.rowCount(), 7);
    const std::vector<int> expected = {0, 0, 1, 1, 2, 2};
    for (int r = 1; r < 7; ++r) {
        EXPECT_EQ(pairs.cell(0, r).index, expected[static_cast<std::size_t>(r - 1)]) << r;
    }
    EXPECT_EQ(pairs.cell(0, 5).text, "2"); // re-parsed, not copied
    EXPECT_EQ(pairs.multiSelect(), MultiSelectMode::None);
    // Variables survive a rebuild; the definition sets them again before use.
    pairs.show();
    EXPECT_EQ(pairs.cell(0, 5).text, "2");
}

TEST_F(SheetTest, SheetWithoutSelectableCellsAndDefects) {
    cuiSheet top(env, "GI_Sheet_Top");
    top.show();
    EXPECT_EQ(top.currentColumn(), 0);
    EXPECT_EQ(top.currentRow(), 0);
    top.moveBy(0, 1);
    top.moveBy(1, 0);
    EXPECT_EQ(top.currentColumn(), 0);
    EXPECT_EQ(top.currentRow(), 0);
    EXPECT_FALSE(top.printable());
    EXPECT_EQ(top.multiSelect(), MultiSelectMode::None); // "Lines" is no mode
    EXPECT_EXIT(top.cell(2, 0), ::testing::ExitedWithCode(3), "Illegal Cell selection");

    cuiSheet empty(env, "GI_Sheet_Empty");
    EXPECT_EXIT(empty.show(), ::testing::ExitedWithCode(3), "Illegal Cell assign");
    EXPECT_EXIT(empty.cell(0, 0), ::testing::ExitedWithCode(3), "Illegal Cell selection");
}

TEST_F(SheetTest, CursorMovesOverSelectableCellsOnly) {
    cuiSheet sheet(env, "GI_Sheet_Test");
    sheet.show();
    sheet.moveBy(1, 0); // over the ruling column
    EXPECT_EQ(sheet.currentColumn(), 3);
    sheet.moveBy(1, 0); // grid edge
    EXPECT_EQ(sheet.currentColumn(), 3);
    sheet.moveBy(0, -1); // the header rows hold nothing selectable
    EXPECT_EQ(sheet.currentRow(), 2);
    sheet.moveBy(0, 10);
    EXPECT_EQ(sheet.currentRow(), 12);
    sheet.moveBy(0, 500);
    EXPECT_EQ(sheet.currentRow(), 101);
    sheet.moveBy(-2, 0);
    EXPECT_EQ(sheet.currentColumn(), 1);
    EXPECT_TRUE(sheet.findAndSelect(CT_Conv, CL_Mch_Name, 40));
    EXPECT_EQ(sheet.currentColumn(), 3);
    EXPECT_EQ(sheet.currentRow(), 42);
    EXPECT_FALSE(sheet.findAndSelect(CT_Conv, CL_Mch_Name, 400));
    EXPECT_FALSE(sheet.select(2, 42)); // not selectable

    // A one-column sheet: nothing to the right in any row.
    cuiSheet pairs(env, "GI_Sheet_Pairs");
    pairs.show();
    EXPECT_EQ(pairs.currentRow(), 1);
    pairs.moveBy(0, 2);
    EXPECT_EQ(pairs.currentRow(), 3);
    pairs.moveBy(1, 0); // nothing to the right in any row
    EXPECT_EQ(pairs.currentColumn(), 0);
}

TEST_F(SheetTest, ShiftDownMarksWholeLinesAndGivesTheRange) {
    cuiSheet sheet(env, "GI_Sheet_Test");
    sheet.show();
    ASSERT_TRUE(sheet.findAndSelect(CT_Conv, CL_Mch_Freq, 5));
    EXPECT_FALSE(sheet.selectedRange());
    for (int i = 0; i < 3; ++i) {
        sheet.moveBy(0, 1, true);
    }
    ASSERT_TRUE(sheet.rangeActive());
    EXPECT_EQ(sheet.selectedRange(), (std::pair<std::int32_t, std::int32_t>{5, 8}));
    for (int r = 0; r < sheet.rowCount(); ++r) {
        const bool inRange = r >= 7 && r <= 10;
        for (int c = 0; c < sheet.columnCount(); ++c) {
            ASSERT_EQ(sheet.isSelected(c, r), inRange) << c << "," << r;
        }
    }
    sheet.moveBy(0, -1, true); // shrinking the range clears the row left behind
    EXPECT_EQ(sheet.selectedRange(), (std::pair<std::int32_t, std::int32_t>{5, 7}));
    EXPECT_FALSE(sheet.isSelected(1, 10));

    sheet.moveBy(0, 1); // without Shift the range goes
    EXPECT_FALSE(sheet.rangeActive());
    EXPECT_TRUE(sheet.isSelected(1, 10));
    EXPECT_FALSE(sheet.isSelected(1, 9));
    EXPECT_FALSE(sheet.isSelected(3, 10));

    sheet.reselectRange(20, 22);
    EXPECT_TRUE(sheet.isSelected(3, 24));
    EXPECT_FALSE(sheet.isSelected(1, 25));
}

TEST_F(SheetTest, RebuildRestoresPositionOrFallsBack) {
    cuiSheet sheet(env, "GI_Sheet_Test");
    sheet.setSavedPosition(3, 60, 40, 2);
    sheet.show();
    EXPECT_EQ(sheet.currentColumn(), 3);
    EXPECT_EQ(sheet.currentRow(), 60);
    EXPECT_EQ(sheet.topRow(), 40);
    EXPECT_EQ(sheet.leftColumn(), 2);

    sheet.setSavedPosition(3, 150, 140, 1); // beyond the rows: discarded
    sheet.show();
    EXPECT_EQ(sheet.currentColumn(), 1);
    EXPECT_EQ(sheet.currentRow(), 2);

    sheet.setSavedPosition(2, 60, 40, 1); // not selectable: first selectable cell
    sheet.show();
    EXPECT_EQ(sheet.currentRow(), 2);

    sheet.requestCell(CL_Mch_Name, 77);
    sheet.show();
    EXPECT_EQ(sheet.currentColumn(), 3);
    EXPECT_EQ(sheet.currentRow(), 79);
}

TEST_F(SheetTest, PopupListWrapsAround) {
    cuiSheet list(env, "GI_Sheet_List");
    list.setPopupMode(true);
    list.show();
    EXPECT_EQ(list.currentRow(), 1);
    list.moveBy(0, 1);
    EXPECT_EQ(list.currentRow(), 2);
    list.moveBy(0, 1);
    EXPECT_EQ(list.currentRow(), 1);
    list.moveBy(1, 0);
    EXPECT_EQ(list.currentColumn(), 2);
    list.moveBy(1, 0);
    EXPECT_EQ(list.currentColumn(), 0);
    EXPECT_EQ(list.cell(0, 2).linkParameter, "-DUP");
    EXPECT_EQ(list.contentWidth(), list.columnWidth(0) + list.columnWidth(1) + list.columnWidth(2));
}

TEST_F(SheetTest, ColumnWidthsOfSelectableReferenceCellsAreRemembered) {
    MapWidths widths;
    env.widths = &widths;
    widths.values[{"memory", 1}] = 200;
    widths.values[{"memory", 2}] = 300; // the reference cell is not selectable
    {
        cuiSheet sheet(env, "GI_Sheet_Test");
        sheet.show();
        EXPECT_EQ(sheet.columnWidth(1), 200);
        EXPECT_EQ(sheet.columnWidth(2), 1);
        EXPECT_EQ(widths.loads, (std::vector<int>{1, 3}));
        EXPECT_EQ(widths.values[(std::pair<std::string, int>{"memory", 3})], 88);
        EXPECT_EQ(widths.values.count({"memory", 0}), 0U);
    }
    {
        cuiSheet sheet(env, "GI_Sheet_Test");
        sheet.requestColumnWidthReset();
        sheet.show();
        EXPECT_EQ(sheet.columnWidth(1), 118);
        EXPECT_EQ(widths.cleared, (std::vector<std::string>{"memory", "bank"}));
        EXPECT_EQ(widths.values[(std::pair<std::string, int>{"memory", 1})], 118);
    }
    {
        cuiSheet list(env, "GI_Sheet_Pairs"); // not registered
        list.show();
        cuiSheet popup(env, "GI_Sheet_Test");
        popup.setPopupMode(true);
        widths.values[{"memory", 1}] = 250;
        popup.show();
        EXPECT_EQ(popup.columnWidth(1), 118);
    }
}

TEST_F(SheetTest, CursorChangesAreAnnouncedOnTheBus) {
    struct Probe : EvSubscriber {
        std::vector<EvMessage> seen;
        void onMessage(const EvMessage& m, cmcEvMan&) override { seen.push_back(m); }
    } probe;
    test::ManualScheduler scheduler;
    cmcEvMan bus(scheduler);
    bus.subscribe(&probe);
    env.bus = &bus;
    cuiSheet sheet(env, "GI_Sheet_Test");
    sheet.show();
    EXPECT_TRUE(probe.seen.empty()); // building announces nothing
    sheet.moveBy(0, 3);
    ASSERT_EQ(probe.seen.size(), 2U);
    EXPECT_EQ(probe.seen[0].id, MessageId::CurrentCellChanged);
    EXPECT_EQ(probe.seen[0].p1, (CT_Conv << 16) | CL_Mch_Freq);
    EXPECT_EQ(probe.seen[0].p2, 3);
    EXPECT_EQ(probe.seen[1].id, MessageId::RefreshMenuStates);
    bus.unsubscribe(&probe);
}

TEST_F(SheetTest, KeysMoveTheCursorOrReachTheCell) {
    cuiSheet sheet(env, "GI_Sheet_Test");
    std::vector<std::int32_t> commands;
    sheet.setDispatcher([&commands](cmcCellCapsule& r) {
        commands.push_back(r.command);
        return kResultNone;
    });
    sheet.show();
    sheet.key(cuiSheet::Key::PageDown);
    EXPECT_EQ(sheet.currentRow(), 12);
    sheet.key(cuiSheet::Key::Down, false, true); // a menu shortcut
    EXPECT_EQ(sheet.currentRow(), 12);
    sheet.key(cuiSheet::Key::Down, true);
    EXPECT_EQ(sheet.selectedRange(), (std::pair<std::int32_t, std::int32_t>{10, 11}));
    sheet.key(cuiSheet::Key::Left); // left edge: the cell gets 0x2500
    sheet.key(cuiSheet::Key::Right);
    sheet.key(cuiSheet::Key::Right);
    sheet.key(cuiSheet::Key::F1, false, false, 5);
    EXPECT_EQ(commands, (std::vector<std::int32_t>{0x2500, 0x2700, 0x7400}));
    EXPECT_EQ(sheet.currentColumn(), 3);

    sheet.autoFitColumn(1, [](int, int r) { return r == 50 ? std::string(20, 'x') : ""; });
    EXPECT_EQ(sheet.columnWidth(1), 208);
    sheet.autoFitColumn(1, nullptr);
    EXPECT_EQ(sheet.columnWidth(1), 48); // the header "Freq"
}

} // namespace
} // namespace qx
