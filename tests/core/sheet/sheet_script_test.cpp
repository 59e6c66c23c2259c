#include "sheet/sheet_script.h"

#include "headless_sheets.h"
#include "radio/cell_link_dispatch.h"
#include "radio/cell_link_names.h"
#include "radio/image_set.h"
#include "sheet/gtex_lines.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/sheet_kinds.h"
#include "sheet/value_tables.h"
#include "text_blocks.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

class SheetScriptTest : public ::testing::Test, protected test::HeadlessSheets {};

TEST_F(SheetScriptTest, SelectedRowsCopyAsTabSeparatedLinesOfTheVisibleColumns) {
    auto sheet = open("[St_ColCut]GI_Sheet_MemoryCH,1,100");
    cmcSheetScript script(*sheet, *dispatch, tables);
    ASSERT_EQ(script.enter("CL_Mch_Freq", 150, "146.01"), cmcSheetScript::Outcome::Changed);
    ASSERT_EQ(script.enter("CL_Mch_Freq", 151, "146.02"), cmcSheetScript::Outcome::Changed);
    ASSERT_EQ(script.enter("CL_Mch_Name", 151, "Club"), cmcSheetScript::Outcome::Changed);
    const auto first = sheet->findCell(CT_Conv, CL_Mch_Freq, 150);
    const auto last = sheet->findCell(CT_Conv, CL_Mch_Name, 151);
    ASSERT_TRUE(first && last);

    sheet->select(first->first, first->second);
    const std::string one = script.selectedRowsText();
    EXPECT_EQ(one, script.lines()[52] + "\n") << "the current row alone";

    sheet->select(last->first, last->second, true);
    const std::string text = script.selectedRowsText();
    const std::size_t end = text.find('\n');
    ASSERT_NE(end, std::string::npos);
    const auto row150 = test::splitTabs(text.substr(0, end));
    const auto row151 = test::splitTabs(text.substr(end + 1, text.size() - end - 2));
    EXPECT_EQ(text.back(), '\n');
    ASSERT_EQ(row150.size(), 20U) << "the visible columns";
    EXPECT_EQ(row150[0], "150");
    EXPECT_EQ(row150[1], "146.010000");
    EXPECT_EQ(row151[0], "151");
    EXPECT_EQ(row151[6], "Club");
}

TEST_F(SheetScriptTest, MemoryBlockPrintsChannelsUnderHeadersWithoutCancellerColumns) {
    auto sheet = open("[St_ColCut]GI_Sheet_MemoryCH,1,100");
    cmcSheetScript script(*sheet, *dispatch, tables);
    EXPECT_EQ(script.enter("CL_Mch_Freq", 150, "146.01"), cmcSheetScript::Outcome::Changed);
    EXPECT_EQ(script.enter("CL_Mch_Dup", 150, "-DUP"), cmcSheetScript::Outcome::Changed);
    EXPECT_EQ(script.enter("CL_Mch_Offset_Freq", 150, "0.6"), cmcSheetScript::Outcome::Changed);
    EXPECT_EQ(script.enter("CL_Mch_Name", 150, "Club"), cmcSheetScript::Outcome::Changed);
    EXPECT_EQ(script.enter("CL_Mch_Decode", 150, "TONE"), cmcSheetScript::Outcome::Changed);
    EXPECT_EQ(script.enter("CL_Mch_TONE_Freq", 150, "88.5"), cmcSheetScript::Outcome::Changed);
    EXPECT_EQ(script.enter("CL_Mch_Mode", 150, "FM-N"), cmcSheetScript::Outcome::Changed);
    EXPECT_EQ(script.enter("CL_Mch_Bank_Group", 150, "B"), cmcSheetScript::Outcome::Changed);

    const auto out = script.lines();
    ASSERT_EQ(out.size(), 102U); // group and column headers, then channels 100-199
    const auto headers = test::splitTabs(out[1]);
    ASSERT_EQ(headers.size(), 20U);
    EXPECT_EQ(headers[0], "CH");
    EXPECT_EQ(headers[1], "Operating Freq");
    EXPECT_EQ(std::count(headers.begin(), headers.end(), "Train"), 0);
    EXPECT_EQ(std::count(headers.begin(), headers.end(), "ON"), 0);
    EXPECT_EQ(test::splitTabs(out[0])[1], "Frequency");
    EXPECT_EQ(test::splitTabs(out[2])[0], "100");
    const auto row = test::splitTabs(out[52]);
    EXPECT_EQ(row[0], "150");
    EXPECT_EQ(row[1], "146.010000");
    EXPECT_EQ(row[2], "-DUP");
    EXPECT_EQ(row[3], "  0.600000");
    EXPECT_EQ(row[5], "FM-N");
    EXPECT_EQ(row[6], "Club");
    EXPECT_EQ(row[7], "OFF");
    EXPECT_EQ(row[8], "TONE");
    EXPECT_EQ(row[9], "88.5");
    EXPECT_EQ(row[18], "B");
    EXPECT_EQ(row[19], "0");
    EXPECT_EQ(test::splitTabs(out[53])[1], ""); // channel 151 is empty

    EXPECT_EQ(script.enter("CL_Mch_Freq", 150, "12abc!"), cmcSheetScript::Outcome::Changed);
    EXPECT_EQ(script.enter("CL_Mch_Freq", 150, "abc"), cmcSheetScript::Outcome::NotEditable);
    EXPECT_EQ(script.enter("CL_Mch_TSQL_Freq", 150, "99999"),
              cmcSheetScript::Outcome::UnknownLabel);
    EXPECT_EQ(script.enter("CL_Mch_Bank_ChNo", 150, "150"), cmcSheetScript::Outcome::Refused);
    EXPECT_EQ(script.enter("CL_Mch_Dup", 150, "Duplex"), cmcSheetScript::Outcome::UnknownLabel);
    EXPECT_EQ(script.enter("CL_Mch_Nope", 150, "1"), cmcSheetScript::Outcome::UnknownLink);
    EXPECT_EQ(script.enter("CL_Mch_Freq", 50, "145"), cmcSheetScript::Outcome::NoCell);
    EXPECT_EQ(script.enter("CL_Mch_Air_Freq", 150, "1000"), cmcSheetScript::Outcome::NoCell);
    EXPECT_EQ(script.enter("CL_Misc_ChNo_0Base", 150, "1"), cmcSheetScript::Outcome::NoCell);
}

TEST_F(SheetScriptTest, ListCellsTakeALabelWhoseCaseOrNumberFormDiffers) {
    auto sheet = open("[St_ColCut]GI_Sheet_MemoryCH,1,100");
    cmcSheetScript script(*sheet, *dispatch, tables);
    ASSERT_EQ(script.enter("CL_Mch_Freq", 150, "146.01"), cmcSheetScript::Outcome::Changed);
    struct Case {
        const char* link;
        const char* typed;
        const char* shown;
    };
    for (const Case& c :
         {Case{"CL_Mch_Dup", "-dup", "-DUP"}, Case{"CL_Mch_Decode", "tsql", "TSQL"},
          Case{"CL_Mch_TSQL_Freq", "100", "100.0"}, Case{"CL_Mch_DTCS", "23", "023"}}) {
        EXPECT_EQ(script.enter(c.link, 150, c.typed), cmcSheetScript::Outcome::Changed) << c.typed;
        const auto row = test::splitTabs(script.lines()[52]);
        EXPECT_NE(std::find(row.begin(), row.end(), c.shown), row.end()) << c.typed;
    }
    EXPECT_EQ(script.enter("CL_Mch_Dup", 150, "dup"), cmcSheetScript::Outcome::UnknownLabel);
    EXPECT_EQ(script.labels(), (std::vector<std::string>{"Simplex", "-DUP", "+DUP"}));

    EXPECT_EQ(cmcSheetScript::easedLabel(" 0100.00 "), cmcSheetScript::easedLabel("100"));
    EXPECT_EQ(cmcSheetScript::easedLabel("12.50K"), "12.5k");
    EXPECT_EQ(cmcSheetScript::easedLabel("0"), "0");
    EXPECT_NE(cmcSheetScript::easedLabel("1.05"), cmcSheetScript::easedLabel("1.5"));
    EXPECT_NE(cmcSheetScript::easedLabel("10"), cmcSheetScript::easedLabel("1"));
}

TEST_F(SheetScriptTest, ChannelSheetsPrintOnlyWithData) {
    usePrintRulesOf(env, images.current());
    auto block = open("[St_ColCut]GI_Sheet_MemoryCH,3,300");
    auto bank = open("[St_CCBank]GI_Sheet_BankCH,20");
    EXPECT_FALSE(block->printable());
    EXPECT_FALSE(bank->printable());
    cmcSheetScript script(*block, *dispatch, tables);
    ASSERT_EQ(script.enter("CL_Mch_Freq", 377, "145.3"), cmcSheetScript::Outcome::Changed);
    ASSERT_EQ(script.enter("CL_Mch_Bank_Group", 377, "L"), cmcSheetScript::Outcome::Changed);
    EXPECT_TRUE(block->printable());
    EXPECT_TRUE(bank->printable());
    EXPECT_FALSE(bank->includedInPrintAll());
    auto& cut = dynamic_cast<iuiSh_ColCut_A&>(*bank);
    cut.setPrintAllChoices(false, true);
    EXPECT_TRUE(bank->includedInPrintAll());
    EXPECT_TRUE(open("[St_ColCut]GI_Sheet_Func,7,0")->printable());
}

TEST_F(SheetScriptTest, BankListAndFunctionMemory) {
    auto memory = open("[St_ColCut]GI_Sheet_MemoryCH,0,0");
    cmcSheetScript channels(*memory, *dispatch, tables);
    ASSERT_EQ(channels.enter("CL_Mch_Freq", 12, "433.5"), cmcSheetScript::Outcome::Changed);
    ASSERT_EQ(channels.enter("CL_Mch_Bank_Group", 12, "D"), cmcSheetScript::Outcome::Changed);
    ASSERT_EQ(channels.enter("CL_Mch_Bank_ChNo", 12, "7"), cmcSheetScript::Outcome::Changed);

    auto bank = open("[St_CCBank]GI_Sheet_BankCH,12");
    cmcSheetScript bankScript(*bank, *dispatch, tables);
    const auto rows = bankScript.lines();
    const auto slot7 = test::splitTabs(rows[2 + 7]);
    EXPECT_EQ(slot7[0], "7");
    EXPECT_EQ(slot7[1], "12");
    EXPECT_EQ(slot7[2], "433.500000");
    EXPECT_EQ(test::splitTabs(rows[2 + 8])[1], "---");
    EXPECT_EQ(bankScript.enter("CL_Mch_Name", 7, "Bank7"), cmcSheetScript::Outcome::Changed);
    EXPECT_EQ(channels.cellText(7, 5 + 12), "Bank7");

    auto func = open("[St_ColCut]GI_Sheet_Func,8,2");
    cmcSheetScript funcScript(*func, *dispatch, tables);
    EXPECT_EQ(func->titleText(), " Func+[F-2] Frequency");
    ASSERT_EQ(funcScript.enter("CL_Mch_Freq", 3, "145.2"), cmcSheetScript::Outcome::Changed);
    ASSERT_EQ(funcScript.enter("CL_Disp_VMC", 3, "VFO"), cmcSheetScript::Outcome::Changed);
    const auto funcLines = funcScript.lines();
    ASSERT_EQ(funcLines.size(), 4U);
    const auto right = test::splitTabs(funcLines[3]);
    EXPECT_EQ(right[0], "Right");
    EXPECT_EQ(right[2], "VFO");
    EXPECT_EQ(right[4], "145.200000");
}

TEST_F(SheetScriptTest, ActivationEditsPicksAndStepsTheCurrentCell) {
    auto sheet = open("[St_ColCut]GI_Sheet_MemoryCH,0,0");
    sheet->setDispatcher([this](cmcCellCapsule& r) { return dispatch->dispatch(r); });
    std::string opened;
    sheet->setListOpener(
        [&opened](const cmcCellCapsule&, const std::string& key, std::int32_t, std::int32_t) {
            opened = key;
            return true;
        });
    ASSERT_TRUE(sheet->findAndSelect(CT_Conv, CL_Mch_Freq, 4));
    auto typed = sheet->activate('1');
    EXPECT_TRUE(typed.openEditor);
    EXPECT_EQ(typed.text, "1");
    EXPECT_EQ(sheet->activate(0, nullptr, kOpCommit, "145.52").result, kResultChanged);
    cmcSheetScript script(*sheet, *dispatch, tables);
    EXPECT_EQ(script.cellText(2, 9), "145.520000");
    ASSERT_TRUE(sheet->findAndSelect(CT_Conv, CL_Mch_Bank_ChNo, 4));
    auto wrong = sheet->activate(0, nullptr, kOpCommit, "150");
    EXPECT_TRUE(wrong.refused);
    EXPECT_TRUE(wrong.openEditor); // back into the editor to correct it
    EXPECT_EQ(wrong.text, "150");

    ASSERT_TRUE(sheet->findAndSelect(CT_Conv, CL_Mch_Dup, 4));
    EXPECT_EQ(sheet->activate(' ').result, kResultChanged);
    EXPECT_EQ(script.cellText(3, 9), "-DUP");
    EXPECT_EQ(sheet->activate(13).result, kResultChanged);
    EXPECT_EQ(opened, "GI_Sheet_Sel_Mch_Dup");

    // The list popup picks for the originating cell.
    cmcCellCapsule origin;
    origin.cell = &sheet->cell(3, 9);
    cuiSheet list(env, "GI_Sheet_Sel_Mch_Dup");
    list.setPopupMode(true);
    list.requestCell(Flex0, 1);
    list.show();
    list.setDispatcher([this](cmcCellCapsule& r) { return dispatch->dispatch(r); });
    list.setOrigin(origin);
    list.moveBy(0, 1);
    EXPECT_EQ(list.currentCell().index, 2);
    EXPECT_FALSE(list.activate(' ').picked);
    EXPECT_TRUE(list.activate(13).picked);
    EXPECT_EQ(script.cellText(3, 9), "+DUP");
}

TEST_F(SheetScriptTest, CallSignPickListsShowAndPickStoredEntries) {
    cmcEeprom& image = images.current();
    const auto put = [&image](std::int32_t address, const char* text) {
        for (int i = 0; i < 8; ++i) {
            image.setByte(address + i, static_cast<std::uint8_t>(text[i]));
        }
    };
    for (int i = 0; i < 60; ++i) {
        put(0x69B8 + 8 * i, "        ");
        put(0x6B98 + 8 * i, "        ");
    }
    put(0x69B8 + 8 * 2, "JA1ABC  ");
    put(0x6B98 + 8 * 4, "JP1YIU A");
    auto memory = open("[St_ColCut]GI_Sheet_MemoryCH,0,0");
    cmcSheetScript channels(*memory, *dispatch, tables);
    ASSERT_EQ(channels.enter("CL_Mch_Freq", 0, "145.0"), cmcSheetScript::Outcome::Changed);
    ASSERT_EQ(channels.enter("CL_Mch_Mode", 0, "DV"), cmcSheetScript::Outcome::Changed);

    iuiSh_Mch list(env, "GI_Sheet_Sel_Mch_DYou_Callsign");
    list.setPopupMode(true);
    list.show();
    cmcSheetScript listScript(list, *dispatch, tables);
    const auto rows = listScript.lines();
    ASSERT_EQ(rows.size(), 4U);
    EXPECT_EQ(rows[1], "U--\tCQCQCQ");
    EXPECT_EQ(rows[2], "U03\tJA1ABC");
    EXPECT_EQ(rows[3], "R05\tJP1YIU A");

    cmcCellCapsule origin;
    for (int c = 0; c < memory->columnCount(); ++c) {
        if (memory->cell(c, 5).link == CL_Mch_DYou_Callsign) {
            origin.cell = &memory->cell(c, 5);
        }
    }
    ASSERT_NE(origin.cell, nullptr);
    list.setDispatcher([this](cmcCellCapsule& r) { return dispatch->dispatch(r); });
    list.setOrigin(origin);
    list.moveBy(0, 2);
    EXPECT_TRUE(list.activate(13).picked);
    EXPECT_EQ(dispatch->displayText(*origin.cell), "JP1YIU A");
    list.moveBy(0, 1); // wraps to the fixed first item
    list.activate(13);
    EXPECT_EQ(dispatch->displayText(*origin.cell), "CQCQCQ");
}

} // namespace
} // namespace qx
