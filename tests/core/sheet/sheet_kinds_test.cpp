#include "sheet/sheet_catalogue.h"
#include "sheet/sheet_kinds.h"

#include "radio/cell_link_names.h"
#include "radio/eeprom.h"
#include "text_blocks.h"

#include <gtest/gtest.h>

#include <cstring>

namespace qx {
namespace {

const char* const kDefinitions = R"(#GI_AppInd_CommonTitle
 Func+[F-1]
 Func+[F-2]
#GI_AppInd_MchFuncTitle
 Func+[F-1] Frequency
 Func+[F-2] Frequency
#GI_Sheet_Ch_Style
(TitleString= Memory Channel)(FixedCols=1)(FixedRows=1)(MultiSelect=Line)
#GI_Sheet_Ch_BasicCell
{($Basic)(%CT_Conv.)}
#GI_Sheet_Ch_Cells
{(@ch0=0)}CH|{W}Freq||{W}ON|{W}Train||{W}DSQL|{W}Name
:(LoopFrom 100)
{S(%CL_Misc_ChNo_0Base[@ch0])}000|{($eWh)(%CL_Mch_Freq[@ch0])}9999.999999||{($eWh)(%CL_Mch_Decode_RX[@ch0])}OFF|{($eWh)(%CL_Mch_Air_Freq[@ch0])}3000||{($eWh)(%CL_Mch_Digital_Sql[@ch0])}DSQL|{($eWh)(%CL_Mch_Name[@ch0])}WWWWWWWW
:(LoopTo)
#GI_Sheet_Set_Style
(TitleString= Common Setting)
#GI_Sheet_Set_BasicCell
{($Basic)}
#GI_Sheet_Set_Cells
{W}Item|{W}Value
:(Only_USA 2)
{W}Auto RPT|{($eWh)(%CL_Common_Auto_RPT)}OFF
{W}Other USA|{($eWh)(%CL_Common_Beep)}OFF
:(Only_Current 1)
{W}Language|{($eWh)(%CL_Common_Language)}English
{W}Beep|{($eWh)(%CL_Common_Beep_Level)}1
#GI_Sheet_Gps_Style
(TitleString=unused)(FixedCols=1)(FixedRows=1)
#GI_Sheet_Gps_BasicCell
{($Basic)(%CT_Gps.)}
#GI_Sheet_Gps_Cells
{W(@ch0=0)}|{W(%CL_Gps_ChNo[100])}CH|{W}Name
:(LoopFrom 5)
{W}|{($eWh)(%CL_Gps_ChNo[@ch0])}00|{($eWh)(%CL_Gps_Name[@ch0])}WWWWWWWW
:(LoopTo)
#GI_Sheet_Sel_You_Style
#GI_Sheet_Sel_You_BasicCell
{($Basic)}
#GI_Sheet_Sel_You_Cells
{($bMn)(%Flex0[255])}(none)
:(LoopYou)
{($bMn)(%Flex0[0])}item
:(LoopTo)
#
)";

class SheetKindsTest : public ::testing::Test {
protected:
    SheetKindsTest() {
        text.add(test::kCellModels);
        env.text = &text;
        env.metrics = &metrics;
        env.image = &image;
        env.destination = 0;
        env.digitalUnit = true;
        image.fill(0xFF);
    }
    void putName(std::int32_t address, const char* name) {
        for (int i = 0; i < 8; ++i) {
            image.setByte(address + i, static_cast<std::uint8_t>(name[i]));
        }
    }
    test::TextBlocks text{kDefinitions};
    test::FixedMetrics metrics;
    cmcEeprom image{70704};
    SheetEnvironment env;
};

TEST_F(SheetKindsTest, DecodesCallStrings) {
    const auto a = decodeCallString("[St_ColCut]GI_Sheet_MemoryCH,1,100");
    EXPECT_EQ(a.kind, "St_ColCut");
    EXPECT_EQ(a.sheetKey, "GI_Sheet_MemoryCH");
    EXPECT_EQ(a.arguments, "1,100");
    const auto b = decodeCallString("GI_Sheet_TopPage");
    EXPECT_EQ(b.kind, "");
    EXPECT_EQ(b.sheetKey, "GI_Sheet_TopPage");
    EXPECT_EQ(b.arguments, "");
    EXPECT_EQ(decodeCallString("[St_Nope]GI_Sheet_Ch,3").kind, "St_Nope");
    auto plain = createSheet(env, "[St_Nope]GI_Sheet_Ch,1,100");
    EXPECT_EQ(dynamic_cast<iuiSh_ColCut_A*>(plain.get()), nullptr);
    EXPECT_EQ(plain->arguments(), "1,100");
}

TEST_F(SheetKindsTest, ColumnCuttingFollowsDestinationAndUnit) {
    auto sheet = createSheet(env, "[St_ColCut]GI_Sheet_Ch,1,100");
    sheet->show();
    EXPECT_EQ(sheet->cell(1, 1).index, 100);
    EXPECT_EQ(sheet->cell(1, 100).index, 199);
    // Destination 0: Canceller ON and Train cut with the ruling column before them.
    EXPECT_EQ(sheet->columnWidth(2), 0);
    EXPECT_EQ(sheet->columnWidth(3), 0);
    EXPECT_EQ(sheet->columnWidth(4), 0);
    EXPECT_GT(sheet->columnWidth(6), 1);
    EXPECT_FALSE(sheet->cell(3, 5).selectable);
    ASSERT_TRUE(sheet->select(1, 5));
    sheet->moveBy(1, 0);
    EXPECT_EQ(sheet->currentColumn(), 6);
    sheet->moveBy(-1, 0);
    EXPECT_EQ(sheet->currentColumn(), 1);

    env.destination = 14;
    env.dvInhibit = true;
    auto japan = createSheet(env, "[St_ColCut]GI_Sheet_Ch,0,0");
    japan->show();
    EXPECT_GT(japan->columnWidth(3), 1);
    EXPECT_EQ(japan->columnWidth(6), 0);
    EXPECT_EQ(japan->columnWidth(5), 0);
    EXPECT_EQ(japan->titleText(), " Memory Channel");
}

TEST_F(SheetKindsTest, CaptionsOfVariants) {
    auto func = createSheet(env, "[St_ColCut]GI_Sheet_Ch,8,2");
    func->show();
    EXPECT_EQ(func->titleText(), " Func+[F-2] Frequency");
    EXPECT_EQ(func->cell(1, 1).index, 2);

    putName(26232 + 8 * 11, "Club\x01   ");
    auto bank = createSheet(env, "[St_CCBank]GI_Sheet_Ch,11");
    bank->show();
    EXPECT_EQ(bank->titleText(), " C: Club    ");

    auto common = createSheet(env, "[St_Common]GI_Sheet_Set,1");
    common->show();
    EXPECT_EQ(common->titleText(), " Func+[F-1] Common Setting");
}

TEST_F(SheetKindsTest, OnlyDirectivesSkipLines) {
    auto usa = createSheet(env, "[St_Common]GI_Sheet_Set, 0");
    usa->show();
    EXPECT_EQ(usa->rowCount(), 5);
    env.destination = 2;
    auto europe = createSheet(env, "[St_Common]GI_Sheet_Set,1");
    europe->show();
    ASSERT_EQ(europe->rowCount(), 2);
    EXPECT_EQ(europe->cell(1, 1).link, CL_Common_Beep_Level);
}

TEST_F(SheetKindsTest, GpsBankShowsItsMemoriesOnly) {
    for (int i = 0; i < 4; ++i) {
        image.setByte(31440 + i, static_cast<std::uint8_t>(i)); // four memories in order
    }
    image.setByte(29063 + 24 * 1, 3); // memory 1 in bank C
    image.setByte(29063 + 24 * 3, 3);
    image.setByte(29063 + 24 * 2, 2);
    putName(31252 + 8 * 38, "Trail   ");
    auto bank = createSheet(env, "[St_ChGps]GI_Sheet_Gps,38");
    bank->show();
    EXPECT_EQ(bank->titleText(), " C: Trail   ");
    std::vector<int> visible;
    for (int r = 1; r < bank->rowCount(); ++r) {
        if (bank->rowHeight(r) > 0) {
            visible.push_back(bank->cell(1, r).index);
        }
    }
    EXPECT_EQ(visible, (std::vector<int>{1, 3}));
    EXPECT_FALSE(bank->cell(2, 1).selectable); // memory 0 is hidden
    EXPECT_TRUE(bank->printable());

    auto all = createSheet(env, "[St_ChGps]GI_Sheet_Gps,35");
    all->show();
    EXPECT_EQ(dynamic_cast<iuiSh_GpsCh&>(*all).gpsMemoryCount(), 4);
    EXPECT_EQ(all->titleText(), " GPS Memory ");
    EXPECT_EQ(all->rowHeight(4), 22);
    EXPECT_EQ(all->rowHeight(5), 0);
    EXPECT_FALSE(all->cellEntry(1, 0).rowSelectable());
}

TEST_F(SheetKindsTest, YourCallSignListHoldsStoredEntriesOnly) {
    for (int i = 0; i < 60; ++i) {
        putName(27064 + 8 * i, "        ");
        putName(27544 + 8 * i, "        ");
    }
    putName(27064, "JA1AAA  ");
    putName(27064 + 8 * 3, "JA1DDD  ");
    putName(27544, "JP1YIU G");
    iuiSh_Mch list(env, "GI_Sheet_Sel_You");
    list.setPopupMode(true);
    list.show();
    ASSERT_EQ(list.rowCount(), 3);
    EXPECT_EQ(list.cell(0, 0).index, 255);
    EXPECT_EQ(list.cell(0, 1).index, 0);
    EXPECT_EQ(list.cell(0, 2).index, 3);

    putName(27544 + 8 * 5, "JP1ZZZ A");
    iuiSh_Mch more(env, "GI_Sheet_Sel_You");
    more.show();
    ASSERT_EQ(more.rowCount(), 4);
    EXPECT_EQ(more.cell(0, 3).index, 65);

    for (int i = 0; i < 60; ++i) {
        putName(27064 + 8 * i, "        ");
        putName(27544 + 8 * i, "        ");
    }
    iuiSh_Mch none(env, "GI_Sheet_Sel_You");
    none.show();
    EXPECT_EQ(none.rowCount(), 1);
}

TEST_F(SheetKindsTest, RouterRemembersPositionsPerCallString) {
    cmcSheetRouter router(env);
    cuiSheet& block1 = router.openSheet("[St_ColCut]GI_Sheet_Ch,1,100");
    ASSERT_TRUE(block1.findAndSelect(CT_Conv, CL_Mch_Name, 150));
    cuiSheet& block2 = router.openSheet("[St_ColCut]GI_Sheet_Ch,2,200");
    EXPECT_EQ(block2.currentCell().index, 200);
    ASSERT_TRUE(block2.findAndSelect(CT_Conv, CL_Mch_Freq, 210));
    cuiSheet& again = router.openSheet("[St_ColCut]GI_Sheet_Ch,1,100");
    EXPECT_EQ(again.currentCell().link, CL_Mch_Name);
    EXPECT_EQ(again.currentCell().index, 150);
    router.reopen();
    EXPECT_EQ(router.current()->currentCell().index, 150);
    router.openSheet("[St_ColCut]GI_Sheet_Ch,2,200");
    EXPECT_EQ(router.current()->currentCell().index, 210);
    EXPECT_EQ(router.positions().size(), 2U);

    EXPECT_EQ(router.positions().front().callString, "[St_ColCut]GI_Sheet_Ch,1,100");
    cmcCellObj node;
    node.link = CallSheet;
    node.linkParameter = "[St_ColCut]GI_Sheet_Ch,1,100";
    cmcCellCapsule request;
    request.cell = &node;
    EXPECT_EQ(router.runCallSheet(request), kResultChanged);
    EXPECT_EQ(router.current()->currentCell().index, 150);
    const cuiSheet* shown = router.current();
    EXPECT_EQ(router.runCallSheet(request), kResultNone); // already shown: not rebuilt
    EXPECT_EQ(router.current(), shown);
}

} // namespace
} // namespace qx
