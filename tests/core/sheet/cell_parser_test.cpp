#include "sheet/cell_parser.h"

#include "radio/cell_link_names.h"
#include "text_blocks.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

class CellParserTest : public ::testing::Test {
protected:
    test::TextBlocks text{test::kCellModels};
    cmcCellParser parser{text};
    SheetVariables vars{};

    std::vector<cmcCellObj> parseLine(std::string_view line, const cmcCellObj* parent = nullptr,
                                      const cmcCellParser* p = nullptr) {
        std::vector<cmcCellObj> cells;
        cmcCellObj cell;
        while ((p != nullptr ? p : &parser)->parseCell(cell, line, &vars, parent)) {
            cells.push_back(cell);
        }
        return cells;
    }
};

TEST_F(CellParserTest, SplitsHeaderLineIntoFourCells) {
    vars[0] = 77;
    const auto cells = parseLine("|{($iChN)^!B(@ch0=0)}CH\t\t\t||{($iChI)X}DUP");
    ASSERT_EQ(cells.size(), 4U);
    EXPECT_FALSE(cells[0].text);
    EXPECT_EQ(cells[1].text, "CH");
    EXPECT_EQ(cells[1].hAlign, 1);
    EXPECT_EQ(cells[1].vAlign, 1);
    EXPECT_FALSE(cells[1].bottomRule);
    EXPECT_TRUE(cells[1].widthSample);
    EXPECT_EQ(cells[1].color, 0x8080U); // clOlive
    EXPECT_EQ(cells[1].font->color, 0xFFFFFFU);
    EXPECT_EQ(cells[1].font->styles, kFontBold);
    EXPECT_EQ(vars[0], 0);
    EXPECT_FALSE(cells[2].text);
    EXPECT_EQ(cells[3].text, "DUP");
    EXPECT_EQ(cells[3].rightRule, 1);
    EXPECT_EQ(parser.countCells("|{($iChN)^!B(@ch0=0)}CH\t\t\t||{($iChI)X}DUP"), 4);
    EXPECT_EQ(parser.countCells(""), 0);
    EXPECT_EQ(parser.countCells("a\\|b|c"), 2);
}

TEST_F(CellParserTest, LinkGroupGivesLinkIndexParameterAndText) {
    const auto cells = parseLine("{S(%Flex0[1]:-DUP)}-DUP");
    ASSERT_EQ(cells.size(), 1U);
    EXPECT_TRUE(cells[0].selectable);
    EXPECT_EQ(cells[0].link, Flex0);
    EXPECT_EQ(cells[0].index, 1);
    EXPECT_EQ(cells[0].linkParameter, "-DUP");
    EXPECT_EQ(cells[0].text, "-DUP");

    vars[3] = 42;
    const auto linked = parseLine("{(%CT_Conv.CL_Mch_Freq[@ch3])}9999.999999|"
                                  "{(%CallSheet:[St_ColCut]GI_Sheet_MemoryCH,1,100)}x|"
                                  "{(%CL_Mch_Name[7)}|{(%CL_Mch_Dup:a\\)b\\\\c)}");
    ASSERT_EQ(linked.size(), 4U);
    EXPECT_EQ(linked[0].category, CT_Conv);
    EXPECT_EQ(linked[0].link, CL_Mch_Freq);
    EXPECT_EQ(linked[0].index, 42);
    EXPECT_EQ(linked[0].text, "9999.999999");
    EXPECT_EQ(linked[1].link, CallSheet);
    EXPECT_EQ(linked[1].category, kNoCategory);
    EXPECT_EQ(linked[1].linkParameter, "[St_ColCut]GI_Sheet_MemoryCH,1,100");
    EXPECT_EQ(linked[2].link, CL_Mch_Name);
    EXPECT_EQ(linked[2].index, 7); // no closing ']': the rest of the group
    EXPECT_EQ(linked[3].linkParameter, "a)b\\c");
}

TEST_F(CellParserTest, InheritsFromParentAndEmptyNamesReset) {
    cmcCellObj basic;
    std::string_view line = "{($Basic)X(%CT_Conv.)(PopupMenu=GI_PMenu_Channel_NO_TX)}";
    parser.parseCell(basic, line, nullptr, nullptr);
    EXPECT_EQ(basic.category, CT_Conv);
    EXPECT_EQ(basic.link, kNoLink);
    EXPECT_EQ(basic.font->height, -17);

    const auto cells = parseLine("{!X}a|b|{(%.)}c|{(Font=,,,%50,,,)}d|"
                                 "{(Font=,,clGreen,%200,,fsBold,)}e",
                                 &basic);
    ASSERT_EQ(cells.size(), 5U);
    EXPECT_EQ(cells[0].rightRule, 0);
    EXPECT_EQ(cells[1].rightRule, 1);
    EXPECT_EQ(cells[1].category, CT_Conv);
    EXPECT_FALSE(cells[1].font);
    EXPECT_EQ(cells[1].effectiveFont()->height, -17);
    EXPECT_EQ(cells[1].effectivePopupMenu(), "GI_PMenu_Channel_NO_TX");
    EXPECT_EQ(cells[2].category, kNoCategory);
    EXPECT_EQ(cells[3].font->height, -8);
    EXPECT_EQ(cells[3].font->color, 0xFF000008U);
    EXPECT_EQ(cells[4].font->height, -34);
    EXPECT_EQ(cells[4].font->color, 0x8000U);
    EXPECT_EQ(cells[4].font->styles, kFontBold);
}

TEST_F(CellParserTest, TextEscapesAndTrimming) {
    vars[2] = 123456;
    const auto cells = parseLine("  Operating\\nFreq \t|\\_|{S}\\_a\\_|\\(@ch2+1)|\\(@ch2+1000000)|"
                                 "\\{x\\}|{(unclosed S");
    ASSERT_EQ(cells.size(), 7U);
    EXPECT_EQ(cells[0].text, "Operating\nFreq");
    EXPECT_EQ(cells[1].text, " ");
    EXPECT_TRUE(cells[2].selectable);
    EXPECT_EQ(cells[2].text, " a ");
    EXPECT_EQ(cells[3].text, "123457");
    EXPECT_EQ(cells[4].text, "112345"); // cut to six characters
    EXPECT_EQ(cells[5].text, "{x}");
    EXPECT_FALSE(cells[6].selectable); // an unclosed group is a remark
}

TEST_F(CellParserTest, ShiftJisBytesAreNeverSyntax) {
    cmcCellParser sjis(text, true);
    // 0x83 0x7C is one character whose trail byte is '|'; 0x95 0x5C one whose trail is '\'.
    const auto cells = parseLine("\x83\x7C|\x95\x5Cn|{\x83\x7CS}x", nullptr, &sjis);
    ASSERT_EQ(cells.size(), 3U);
    EXPECT_EQ(cells[0].text, "\x83\x7C");
    EXPECT_EQ(cells[1].text, "\x95\x5Cn");
    EXPECT_TRUE(cells[2].selectable);
    EXPECT_EQ(parser.countCells("\x83\x7C|x"), 3); // the same bytes as Windows-1252
}

TEST_F(CellParserTest, AttributeFlagsGroupsAndFonts) {
    cmcCellObj cell;
    cell.variables = &vars;
    parser.applyAttributes(cell, ">_=+BTQ(Flag3=1)(Flag0=2)(ImageIndex=7)(@ch4=12)(@ch4++)"
                                 "(Color=clNoSuch)(Color=clHightlightText)!^!W");
    EXPECT_EQ(cell.hAlign, 1); // a negated alignment still sets it
    EXPECT_EQ(cell.vAlign, 2);
    EXPECT_TRUE(cell.wrap && cell.span && cell.bottomRule && cell.tip);
    EXPECT_FALSE(cell.widthSample);
    EXPECT_EQ(cell.rightRule, 2);
    EXPECT_EQ(cell.userFlags, 1U << 3);
    EXPECT_EQ(cell.imageIndex, 7);
    EXPECT_EQ(vars[4], 13);
    EXPECT_EQ(cell.color, 0xFF00000EU);

    cmcFont font;
    parser.applyFontSpec(font,
                         " SHIFTJIS_CHARSET ,Arial,clRed,,12,fsItalic+fsNope+fsUnderline,fpFixed");
    EXPECT_EQ(font.charset, 128);
    EXPECT_EQ(font.face, "Arial");
    EXPECT_EQ(font.color, 0xFFU);
    EXPECT_EQ(font.height, -16);
    EXPECT_EQ(font.styles, kFontItalic | kFontUnderline);
    EXPECT_EQ(font.pitch, 2);
    parser.applyFontSpec(font, "NOPE_CHARSET,,,%0,,fsNope");
    EXPECT_EQ(font.charset, 128);
    EXPECT_EQ(font.face, "MS Sans Serif");
    EXPECT_EQ(font.height, 1);
    EXPECT_EQ(font.styles, kFontItalic | kFontUnderline);
}

TEST_F(CellParserTest, DefinitionDefectsEndTheProgram) {
    EXPECT_EXIT(parseLine("{(%CL_Nope)}"), ::testing::ExitedWithCode(3),
                "Cannot use the specified cell.\n'CL_Nope'");
    EXPECT_EXIT(parseLine("{(%CT_Nope.CL_Null)}"), ::testing::ExitedWithCode(3),
                "Cannot use the specified category.\n'CT_Nope'");
    EXPECT_EXIT(parseLine("{(%CL_Null[@ch10])}"), ::testing::ExitedWithCode(3), "Ch No. Error");
    EXPECT_EXIT(
        {
            std::string_view line = "\\(@ch1)";
            cmcCellObj cell;
            parser.parseCell(cell, line, nullptr, nullptr);
        },
        ::testing::ExitedWithCode(3), "Ch No. Error");
    EXPECT_EXIT(parseLine("{($NoModel)}"), ::testing::ExitedWithCode(3), "CellModel_NoModel");
}

} // namespace
} // namespace qx
