#include "text/text_table.h"
#include "text/ui_text_choice.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace qx {
namespace {

std::vector<std::string> headerKeys(const TextSource& source) {
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < source.count; ++i) {
        const std::string_view line = source.lines[i];
        if (line.size() >= 2 && line[0] == '#') {
            keys.emplace_back(line.substr(1));
        }
    }
    return keys;
}

// Where the first byte that is not Shift-JIS (as Windows reads it) lies, or npos.
std::size_t firstNonShiftJis(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if ((b >= 0x20 && b <= 0x7E) || b == '\t' || (b >= 0xA1 && b <= 0xDF)) {
            continue;
        }
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        if (!lead || i + 1 == text.size()) {
            return i;
        }
        const auto t = static_cast<unsigned char>(text[i + 1]);
        if (t < 0x40 || t == 0x7F || t > 0xFC) {
            return i;
        }
        ++i;
    }
    return std::string_view::npos;
}

TEST(BuiltinTablesTest, EnglishTextsAsTheUserSeesThem) {
    cmcGTex en;
    ASSERT_TRUE(en.attachSource(kTextTable_en));
    EXPECT_EQ(en.line("GI_Sys_AppTitle", 0), "QX-5130");
    EXPECT_EQ(en.line("GI_Sys_AppTitleRev", 1), "");
    EXPECT_EQ(en.line("GI_Sys_AppTitleRev", 2), "#GI_Sys_Maker");
    EXPECT_EQ(en.blockText("GI_Mess_CloneWrite_Succeeded"),
              "Cloning is succeeded.\n\nTurn the transceiver power off and on to use\n"
              "the transceiver under its new conditions.");
    EXPECT_EQ(en.line("GI_Sys_Dialog_FOpen", 1), "Data files (*.icf)|*.icf|All files (*.*)|*.*");
    EXPECT_EQ(en.line("GI_Sys_HtmlHelp_Popup_Height", 2), "//==== Html Help Error ====");
    EXPECT_EQ(en.blockText("GI_Sys_HtmlHelp_Error"),
              "Cannot find the %s file.\nNo Help topic is associated with this item.\n");
    EXPECT_EQ(en.line("GI_AppInd_Preview_Setting_Caption", 1), "Font Size: ");
    EXPECT_EQ(en.firstLine("GI_AppMess_S_Copy"), " Copied");

    // One head line per clone result code 0..17, then the next block.
    EXPECT_EQ(en.line("GI_Mess_CloneErr_Head", 0), "OK.");
    EXPECT_EQ(en.line("GI_Mess_CloneErr_Head", 2), "Cannot access COM %d.");
    EXPECT_EQ(en.line("GI_Mess_CloneErr_Head", 14),
              "Connected transceiver is not compatible model.");
    EXPECT_EQ(en.line("GI_Mess_CloneErr_Head", 17), "Cannot Clone.");
    EXPECT_EQ(en.line("GI_Mess_CloneErr_Head", 18), "#GI_Mess_CloneErr_Check");

    // The setup memo is closed by a bare "#".
    EXPECT_EQ(en.line("GI_App_InitialSetup_Memo_Caption", 11), "#");
    EXPECT_EQ(en.firstLine("CellModel_Basic"),
              "<-(Color=clWindow)(Font=DEFAULT_CHARSET,,clWindowText,-17,,,)"
              "(PopupMenu=GI_PMenu_Edit)");
}

TEST(BuiltinTablesTest, JapaneseCopyCarriesItsOwnTexts) {
    cmcGTex ja;
    ASSERT_TRUE(ja.attachSource(kTextTable_ja));
    EXPECT_EQ(ja.firstLine("GI_Sys_AppTitle"), "QX-5130");
    EXPECT_EQ(ja.firstLine("GI_App_InitialFile"), "\x96\xb3\x91\xe8"); // "untitled"
    EXPECT_EQ(ja.firstLine("GI_Sys_TreeChangeDelay"), "200");
    EXPECT_EQ(ja.firstLine("GI_Sys_Printer_Margins"), "15,10,5,5");
    EXPECT_EQ(ja.line("GI_Sys_MyHelpFile", 1), "Qx5130_j.chm");
    // The format specifier survives translation.
    EXPECT_NE(ja.line("GI_Mess_CloneErr_Head", 2).find("COM %d"), std::string::npos);
    EXPECT_EQ(ja.line("GI_Mess_CloneErr_Head", 18), "#GI_Mess_CloneErr_Check");
}

TEST(BuiltinTablesTest, BothCopiesHaveTheSameKeysInTheSameOrder) {
    const std::vector<std::string> keys = headerKeys(kTextTable_en);
    EXPECT_EQ(headerKeys(kTextTable_ja), keys);
    ASSERT_FALSE(keys.empty());
    EXPECT_EQ(keys.back(), "End_Of_Ovl");
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), keys.size());

    // The store's own scan finds exactly these keys.
    cmcGTex en;
    en.attachSource(kTextTable_en);
    EXPECT_EQ(en.blockText("End_Of_Ovl"), "");
    EXPECT_TRUE(en.indexComplete());
    EXPECT_EQ(en.indexOrder(), keys);

    // Every family the application reads is there; the cell models match but for the font.
    std::size_t cellModels = 0;
    cmcGTex ja;
    ja.attachSource(kTextTable_ja);
    for (const auto& key : keys) {
        if (key.rfind("CellModel_", 0) == 0) {
            ++cellModels;
            if (key != "CellModel_InitialDialog") {
                EXPECT_EQ(ja.firstLine(key), en.firstLine(key)) << key;
            }
        }
    }
    EXPECT_EQ(cellModels, 22u);
}

TEST(BuiltinTablesTest, EachCopyStaysInItsCodePage) {
    for (std::size_t i = 0; i < kTextTable_ja.count; ++i) {
        EXPECT_EQ(firstNonShiftJis(kTextTable_ja.lines[i]), std::string_view::npos)
            << "ja.gtex line " << i + 1;
    }
    for (std::size_t i = 0; i < kTextTable_en.count; ++i) {
        for (const char c : std::string_view(kTextTable_en.lines[i])) {
            const auto b = static_cast<unsigned char>(c);
            const bool undefined = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
            EXPECT_FALSE(undefined || (b < 0x20 && b != '\t') || b == 0x7F)
                << "en.gtex line " << i + 1;
        }
    }
    // The checker itself rejects what is not Shift-JIS.
    EXPECT_EQ(firstNonShiftJis("ab\x96\xb3"), std::string_view::npos);
    EXPECT_EQ(firstNonShiftJis("ab\x96"), 2u);           // lead byte without trail
    EXPECT_EQ(firstNonShiftJis("\x96\x20"), 0u);         // trail out of range
    EXPECT_EQ(firstNonShiftJis("x\xA0"), 1u);            // no such single byte
    EXPECT_EQ(firstNonShiftJis("\xB1\x81\x40\xFD"), 3u); // kana, a pair, then no lead
}

TEST(BuiltinTablesTest, LanguageSettingChoosesTheTable) {
    const struct {
        int setting;
        const TextSource* source;
        std::string_view codePage;
    } cases[] = {
        {0, &kTextTable_en, "windows-1252"},
        {1, &kTextTable_ja, "Shift_JIS"},
        {2, &kTextTable_en, "windows-1252"},
        {-1, &kTextTable_en, "windows-1252"},
    };
    for (const auto& c : cases) {
        const UiTextChoice choice = chooseUiText(c.setting);
        EXPECT_EQ(choice.source, c.source) << c.setting;
        EXPECT_EQ(choice.codePage, c.codePage) << c.setting;
    }
}

TEST(BuiltinTablesDeathTest, MissingKeyInTheRealTable) {
    EXPECT_EXIT(
        {
            cmcGTex en;
            en.attachSource(kTextTable_en);
            en.firstLine("GI_Sys_NoSuchKey");
        },
        testing::ExitedWithCode(3), "GTEX Error !\nThe index 'GI_Sys_NoSuchKey' was not found\\.");
}

} // namespace
} // namespace qx
