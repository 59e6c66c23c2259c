#include "sheet/gtex_lines.h"
#include "sheet/registry_column_widths.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/sheet_kinds.h"
#include "sheet/value_tables.h"

#include "memory_settings_store.h"
#include "radio/cell_link_names.h"
#include "radio/eeprom.h"
#include "text_blocks.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

struct Table {
    const TextSource* source;
    bool shiftJis;
};

class BuiltinSheetsTest : public ::testing::TestWithParam<Table> {
protected:
    BuiltinSheetsTest() {
        table.attachSource(*GetParam().source);
        env.text = &lines;
        env.metrics = &metrics;
        env.shiftJis = GetParam().shiftJis;
        env.image = &image;
        env.destination = 0;
        env.digitalUnit = true;
        image.fill(0xFF);
    }
    cmcGTex table;
    GTexLines lines{table};
    test::FixedMetrics metrics;
    cmcEeprom image{70704};
    SheetEnvironment env;
};

TEST_P(BuiltinSheetsTest, MemoryChannelSheetHasItsShape) {
    auto sheet = createSheet(env, "[St_ColCut]GI_Sheet_MemoryCH,1,100");
    sheet->show();
    ASSERT_EQ(sheet->rowCount(), 105);
    ASSERT_EQ(sheet->columnCount(), 24);
    EXPECT_EQ(sheet->fixedColumns(), 3);
    EXPECT_EQ(sheet->fixedRows(), 5);
    EXPECT_EQ(sheet->multiSelect(), MultiSelectMode::Line);
    EXPECT_EQ(sheet->cell(0, 5).link, CL_Misc_ChNo_0Base);
    EXPECT_EQ(sheet->cell(0, 5).index, 100);
    EXPECT_EQ(sheet->cell(2, 104).link, CL_Mch_Freq);
    EXPECT_EQ(sheet->cell(2, 104).index, 199);
    EXPECT_EQ(sheet->cell(2, 104).category, CT_Conv);
    EXPECT_EQ(sheet->currentCell().link, CL_Mch_Freq);
    int hidden = 0;
    for (int c = 0; c < 24; ++c) {
        if (sheet->columnWidth(c) == 0) {
            ++hidden;
            EXPECT_FALSE(sheet->cell(c, 50).selectable);
        }
        if (sheet->cell(c, 50).link == CL_Mch_Decode_RX ||
            sheet->cell(c, 50).link == CL_Mch_Air_Freq) {
            EXPECT_EQ(sheet->columnWidth(c), 0);
        }
    }
    EXPECT_EQ(hidden, 3); // Canceller ON and Train, and the ruling before them
}

TEST_P(BuiltinSheetsTest, ColumnWidthsLiveInTheUserSettings) {
    test::MemorySettingsStore store;
    cmcRegistryColumnWidths widths(store);
    env.widths = &widths;
    const std::string key = "Software\\Orsa\\QX-5130\\Display\\memory\\colwidth";
    store.writeNumber(key, "2", 150);
    store.writeText(key, "3", "wide"); // unreadable: the computed width stays
    auto sheet = createSheet(env, "[St_ColCut]GI_Sheet_MemoryCH,0,0");
    sheet->show();
    EXPECT_EQ(sheet->columnWidth(2), 150);
    EXPECT_GT(sheet->columnWidth(3), 1);
    EXPECT_EQ(store.readNumber(key, "3"), sheet->columnWidth(3));
    EXPECT_FALSE(store.readNumber(key, "0"));  // the channel number column is not selectable
    EXPECT_FALSE(store.readNumber(key, "15")); // a cut column is not either

    auto scan = createSheet(env, "[St_ColCut]GI_Sheet_ScanEdge,5"); // the same family
    scan->show();
    EXPECT_EQ(scan->columnWidth(2), 150);
    auto reset = createSheet(env, "[St_ColCut]GI_Sheet_MemoryCH,0,0");
    reset->requestColumnWidthReset();
    reset->show();
    EXPECT_NE(reset->columnWidth(2), 150);
    EXPECT_EQ(store.readNumber(key, "2"), reset->columnWidth(2));
}

TEST_P(BuiltinSheetsTest, EveryChannelSheetAndListBuilds) {
    const char* const callStrings[] = {
        "GI_Sheet_TopPage",
        "GI_Sheet_TreeTop",
        "[St_ColCut]GI_Sheet_ScanEdge,5",
        "GI_Sheet_ScanName",
        "[St_ColCut]GI_Sheet_CallCh,6",
        "[St_ColCut]GI_Sheet_Func,7,0",
        "[St_ColCut]GI_Sheet_Func,8,2",
        "GI_Sheet_BankName",
        "[St_CCBank]GI_Sheet_BankCH,9",
    };
    for (const char* callString : callStrings) {
        auto sheet = createSheet(env, callString);
        sheet->show();
        EXPECT_GT(sheet->rowCount(), 1) << callString;
    }
    auto scan = createSheet(env, "[St_ColCut]GI_Sheet_ScanEdge,5");
    scan->show();
    EXPECT_EQ(scan->rowCount(), 25);
    EXPECT_EQ(scan->cell(2, 5).index, 500);
    EXPECT_EQ(scan->cell(2, 24).index, 519);
    EXPECT_EQ(scan->cell(0, 24).text, "P9-U");
    auto func = createSheet(env, "[St_ColCut]GI_Sheet_Func,8,2");
    func->show();
    EXPECT_EQ(func->cell(2, 6).index, 3);
    EXPECT_EQ(func->cell(2, 6).category, CT_Func);
    EXPECT_EQ(func->multiSelect(), MultiSelectMode::None);

    const char* const lists[] = {
        "GI_Sheet_Sel_Disp_Main",         "GI_Sheet_Sel_Disp_VMC_USA",
        "GI_Sheet_Sel_Disp_VMC",          "GI_Sheet_Sel_Mch_Dup",
        "GI_Sheet_Sel_Mch_TS_Pitch_Exp",  "GI_Sheet_Sel_Mch_Mode_Exp",
        "GI_Sheet_Sel_Mch_Mode_Exp_NoDV", "GI_Sheet_Sel_Mch_Scan_Skip",
        "GI_Sheet_Sel_Mch_TSQL",          "GI_Sheet_Sel_Mch_TFreq",
        "GI_Sheet_Sel_Mch_DTCS",          "GI_Sheet_Sel_Mch_DTCS_Polarity",
        "GI_Sheet_Sel_Mch_TSQL_C",        "GI_Sheet_Sel_Mch_DSQL",
        "GI_Sheet_Sel_Mch_Bank_Group",    "GI_Sheet_Sel_Mch_GpsBank_Group",
        "GI_Sheet_Sel_Misc_OnOff",        "GI_Sheet_Sel_Misc_OnOff_I",
        "GI_Sheet_Sel_Misc_OnOff2",       "GI_Sheet_Sel_Misc_OnOff2_I",
        "GI_Sheet_Sel_Misc_YesNo",        "GI_Sheet_Sel_Misc_YesNo2",
        "GI_Sheet_Sel_Misc_YesNo2_I",     "GI_Sheet_Sel_Misc_Enable",
        "GI_Sheet_Sel_Misc_Enable_I",     "GI_Sheet_Sel_Misc_AutoOff",
        "GI_Sheet_Sel_Misc_Auto_Dimmer",
    };
    for (const char* key : lists) {
        cuiSheet list(env, key);
        list.setPopupMode(true);
        list.show();
        EXPECT_TRUE(list.currentCell().selectable) << key;
    }
    for (const char* key : {"GI_Sheet_Sel_Mch_DYou_Callsign", "GI_Sheet_Sel_Mch_DRpt_Callsign"}) {
        iuiSh_Mch list(env, key);
        list.setPopupMode(true);
        list.show();
        EXPECT_EQ(list.currentCell().index, 255) << key;
    }

    cmcValueTables tables(lines, GetParam().shiftJis);
    EXPECT_EQ(tables.items("GI_Sheet_Sel_Mch_TFreq", Flex0).size(), 50U);
    EXPECT_EQ(tables.valueText("GI_Sheet_Sel_Mch_TFreq", Flex0, 12), "100.0");
    EXPECT_EQ(tables.items("GI_Sheet_Sel_Mch_DTCS", Flex0).size(), 104U);
    EXPECT_EQ(tables.valueText("GI_Sheet_Sel_Mch_DTCS", Flex0, 103), "754");
    EXPECT_EQ(tables.stepValue("GI_Sheet_Sel_Disp_VMC_USA", Flex0, 4, 1), 0);
    EXPECT_EQ(tables.stepValue("GI_Sheet_Sel_Disp_VMC_USA", Flex0, 2, 1), 4);
    EXPECT_EQ(tables.valueText("GI_Sheet_Sel_Disp_Main", Flex0, 1), "");
    EXPECT_EQ(tables.valueText("GI_Sheet_Sel_Mch_Mode_Exp", CL_FlexMarking, 4), "DV");
    EXPECT_EQ(tables.valueText("GI_Sheet_Sel_Mch_Bank_Group", Flex0, 255), "OFF");
    EXPECT_EQ(tables.stepValue("GI_Sheet_Sel_Mch_Bank_Group", Flex0, 255, 1), 0);
}

TEST_P(BuiltinSheetsTest, MenuToolbarTreeAndPopupLinesParse) {
    cmcCellParser parser(lines, GetParam().shiftJis);
    const char* const bodies[] = {
        "GI_Menu_Main",
        "GI_ToolBar_Main",
        "GI_ToolBar_CEdit",
        "GI_Tree_Main",
        "GI_PMenu_NoItem",
        "GI_PMenu_Help",
        "GI_PMenu_Edit",
        "GI_PMenu_UpDn",
        "GI_PMenu_Delete",
        "GI_PMenu_Clear",
        "GI_PMenu_InsertDeleteClear",
        "GI_PMenu_InsertDelete",
        "GI_PMenu_CopyPaste",
        "GI_PMenu_Channel_NO_TX",
        "GI_PMenu_fAnotherCopy",
        "GI_PMenu_CopyOnly",
        "GI_PMenu_RcvDelete",
    };
    int callSheets = 0;
    for (const char* key : bodies) {
        cmcCellObj basic;
        std::string basicLine = table.line(std::string(key) + "_BasicCell", 0);
        std::string_view rest = basicLine;
        parser.parseCell(basic, rest, nullptr, nullptr);
        for (int i = 0;; ++i) {
            const std::string line = table.line(std::string(key) + "_Body", i);
            if (!line.empty() && line.front() == '#') {
                break;
            }
            const std::size_t plus = line.find('+');
            std::string_view item =
                std::string_view(line).substr(plus == std::string::npos ? 0 : plus + 1);
            cmcCellObj cell;
            ASSERT_TRUE(parser.parseCell(cell, item, nullptr, &basic)) << key << " " << i;
            if (cell.link == CallSheet) {
                ++callSheets;
                EXPECT_FALSE(decodeCallString(*cell.linkParameter).sheetKey.empty());
            }
        }
    }
    EXPECT_EQ(callSheets, 89); // every tree node opens a sheet
}

INSTANTIATE_TEST_SUITE_P(Tables, BuiltinSheetsTest,
                         ::testing::Values(Table{&kTextTable_en, false},
                                           Table{&kTextTable_ja, true}));

} // namespace
} // namespace qx
