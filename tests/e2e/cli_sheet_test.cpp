#include "cli_run.h"
#include "tab_fields.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace qx {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

const char* const kBlock1 = "'[St_ColCut]GI_Sheet_MemoryCH,1,100'";

TEST(CliSheetTest, PrintsAMemoryBlockUnderItsHeaders) {
    test::TempFolder folder;
    ASSERT_EQ(test::runCli(folder, "--destination 0 new -o new.icf").status, 0);
    const auto run = test::runCli(folder, std::string("--destination 0 sheet new.icf ") + kBlock1);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = linesOf(run.out);
    ASSERT_EQ(lines.size(), 102U);
    const auto headers = test::splitTabs(lines[1]);
    EXPECT_EQ(headers[0], "CH");
    EXPECT_EQ(headers[1], "Operating Freq");
    for (const std::string& h : headers) {
        EXPECT_NE(h, "Train"); // the Canceller columns are gone on destination 0
        EXPECT_NE(h, "ON");
    }
    EXPECT_EQ(test::splitTabs(lines[2])[0], "100");
    EXPECT_EQ(test::splitTabs(lines[101])[0], "199");

    const auto japan =
        test::runCli(folder, std::string("--destination 14 sheet new.icf ") + kBlock1);
    ASSERT_EQ(japan.status, 0) << japan.err;
    EXPECT_NE(linesOf(japan.out)[1].find("Train"), std::string::npos);
}

TEST(CliSheetTest, SetGoesThroughTheCellsAndRefusalsChangeNothing) {
    test::TempFolder folder;
    ASSERT_EQ(test::runCli(folder, "--destination 0 new -o new.icf").status, 0);
    const std::string set = std::string("--destination 0 set new.icf ") + kBlock1 + " ";
    ASSERT_EQ(test::runCli(folder, set + "CL_Mch_Freq 150 146.01 -o a.icf").status, 0);
    const std::string setA = std::string("--destination 0 set a.icf ") + kBlock1 + " ";
    for (const char* entry :
         {"CL_Mch_Dup 150 -- -DUP", "CL_Mch_Offset_Freq 150 0.6", "CL_Mch_Name 150 'Club rpt'",
          "CL_Mch_Decode 150 TONE", "CL_Mch_TONE_Freq 150 88.5", "CL_Mch_Bank_Group 150 C"}) {
        const auto run = test::runCli(folder, setA + entry);
        EXPECT_EQ(run.status, 0) << entry << ": " << run.err;
    }
    const std::string before = test::TempFolder::read(folder.file("a.icf"));
    for (const char* entry :
         {"CL_Mch_Dup 150 Duplex", "CL_Mch_Freq 150 xyz", "CL_Mch_Air_Freq 150 1000",
          "CL_Mch_Nope 150 1", "CL_Mch_Bank_ChNo 150 300"}) {
        const auto run = test::runCli(folder, setA + entry);
        EXPECT_EQ(run.status, 4) << entry;
        EXPECT_NE(run.err, "") << entry;
    }
    EXPECT_EQ(test::TempFolder::read(folder.file("a.icf")), before);
    EXPECT_EQ(
        test::runCli(folder, "--destination 0 set a.icf GI_Sheet_Nope CL_Mch_Freq 1 1").status, 4);
    EXPECT_EQ(test::runCli(folder, "--destination 0 sheet a.icf GI_Sheet_Nope").status, 4);
    EXPECT_EQ(test::runCli(folder, setA + "CL_Mch_Freq x 145").status, 1);
    EXPECT_EQ(
        test::runCli(folder, std::string("--destination 0 sheet missing.icf ") + kBlock1).status,
        2);

    const auto run = test::runCli(folder, std::string("--destination 0 sheet a.icf ") + kBlock1);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto row = test::splitTabs(linesOf(run.out)[52]);
    EXPECT_EQ(row[0], "150");
    EXPECT_EQ(row[1], "146.010000");
    EXPECT_EQ(row[2], "-DUP");
    EXPECT_EQ(row[3], "  0.600000");
    EXPECT_EQ(row[6], "Club rpt");
    EXPECT_EQ(row[8], "TONE");
    EXPECT_EQ(row[9], "88.5");
    EXPECT_EQ(row[13], "C");

    const auto bank =
        test::runCli(folder, "--destination 0 sheet a.icf '[St_CCBank]GI_Sheet_BankCH,11'");
    ASSERT_EQ(bank.status, 0) << bank.err;
    const auto slot = test::splitTabs(linesOf(bank.out)[2]);
    EXPECT_EQ(slot[1], "150");
    EXPECT_EQ(slot[2], "146.010000");
}

TEST(CliSheetTest, CallStringsOutsideTheSheetAreRefusedWithTheAllowedOnes) {
    test::TempFolder folder;
    ASSERT_EQ(test::runCli(folder, "--destination 0 new -o new.icf").status, 0);
    struct Case {
        const char* call;
        const char* allowed;
    };
    const Case cases[] = {
        {"[St_ColCut]GI_Sheet_MemoryCH,1,2147483647",
         "[St_ColCut]GI_Sheet_MemoryCH,0,0 ... [St_ColCut]GI_Sheet_MemoryCH,4,400 (5 call "
         "strings)"},
        {"[St_ColCut]GI_Sheet_MemoryCH,1,-1", nullptr},
        {"[St_ColCut]GI_Sheet_MemoryCH,1,1000", nullptr},
        {"[St_ColCut]GI_Sheet_MemoryCH,a,b", nullptr},
        {"[St_Nope]GI_Sheet_MemoryCH,1,100", nullptr},
        {"[St_CCBank]GI_Sheet_BankCH,35",
         "[St_CCBank]GI_Sheet_BankCH,9 ... [St_CCBank]GI_Sheet_BankCH,34 (26 call strings)"},
        {"[St_ColCut]GI_Sheet_CallCh,7", "[St_ColCut]GI_Sheet_CallCh,6"},
    };
    for (const Case& c : cases) {
        const auto run = test::runCli(folder, std::string("sheet new.icf '") + c.call + "'");
        EXPECT_EQ(run.status, 4) << c.call;
        EXPECT_EQ(run.out, "") << c.call;
        EXPECT_NE(run.err.find("it opens as"), std::string::npos) << run.err;
        if (c.allowed != nullptr) {
            EXPECT_NE(run.err.find(c.allowed), std::string::npos) << run.err;
        }
    }
    EXPECT_EQ(test::runCli(folder, "sheet new.icf GI_Sheet_CloneInfo").status, 0);
}

TEST(CliSheetTest, AListCellNamesItsLabelsWhenTheTextMatchesNone) {
    test::TempFolder folder;
    ASSERT_EQ(test::runCli(folder, "--destination 0 new -o new.icf").status, 0);
    const std::string set = std::string("--destination 0 set new.icf ") + kBlock1 + " ";
    ASSERT_EQ(test::runCli(folder, set + "CL_Mch_Freq 150 146.01").status, 0);
    EXPECT_EQ(test::runCli(folder, set + "CL_Mch_Dup 150 -- -dup").status, 0);
    EXPECT_EQ(test::runCli(folder, set + "CL_Mch_TSQL_Freq 150 100").status, 0);
    const auto run = test::runCli(folder, set + "CL_Mch_Dup 150 dup");
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.err, "The list of this cell has no entry \"dup\". Its entries: \"Simplex\", "
                       "\"-DUP\", \"+DUP\"\n");
    const auto tones = test::runCli(folder, set + "CL_Mch_TSQL_Freq 150 1");
    EXPECT_EQ(tones.status, 4);
    EXPECT_NE(tones.err.find(" and "), std::string::npos) << tones.err; // 20 shown, then the rest
    const auto shown =
        test::runCli(folder, std::string("--destination 0 sheet new.icf ") + kBlock1);
    const auto row = test::splitTabs(linesOf(shown.out)[52]);
    EXPECT_EQ(row[2], "-DUP");
    EXPECT_EQ(row[10], "100.0");
}

} // namespace
} // namespace qx
