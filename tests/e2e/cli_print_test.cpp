#include "cli_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

namespace qx {
namespace {

// Page objects of a PDF file ("/Type /Page", not the "/Pages" tree).
int pdfPages(const std::string& pdf) {
    static const std::regex page(R"(/Type\s*/Page[^s])");
    return static_cast<int>(
        std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

TEST(CliPrintTest, PrintsEverySheetOfTheTreeAndOneSheetAsPdf) {
    test::TempFolder folder;
    ASSERT_EQ(test::runCli(folder, "--destination 0 new -o new.icf").status, 0);

    const auto all = test::runCli(folder, "--destination 0 print new.icf --all -o all.pdf");
    ASSERT_EQ(all.status, 0) << all.err;
    const std::string pdf = test::TempFolder::read((folder.path() / "all.pdf").string());
    ASSERT_EQ(pdf.rfind("%PDF-", 0), 0U);
    const int pages = pdfPages(pdf);
    EXPECT_GE(pages, 10);
    EXPECT_NE(all.err.find(std::to_string(pages) + " pages"), std::string::npos) << all.err;

    // One sheet, to standard output; a larger font takes at least as many pages.
    const std::string call = " '[St_Common]GI_Sheet_Common,0'";
    const auto small = test::runCli(folder, "print new.icf" + call + " -o - --font-size 1");
    ASSERT_EQ(small.status, 0) << small.err;
    ASSERT_EQ(small.out.rfind("%PDF-", 0), 0U);
    const auto large = test::runCli(folder, "print new.icf" + call + " -o - --font-size 5");
    ASSERT_EQ(large.status, 0) << large.err;
    EXPECT_GE(pdfPages(small.out), 1);
    EXPECT_GE(pdfPages(large.out), pdfPages(small.out));
    EXPECT_LT(pdfPages(small.out), pages);
}

TEST(CliPrintTest, RefusalsWriteNothing) {
    test::TempFolder folder;
    ASSERT_EQ(test::runCli(folder, "--destination 0 new -o new.icf").status, 0);
    struct Case {
        const char* arguments;
        int status;
    };
    for (const Case& c : {
             Case{"print new.icf --all", 1},                             // no output
             Case{"print new.icf --all GI_Sheet_Message -o out.pdf", 1}, // both
             Case{"print new.icf --all -o out.pdf --font-size 6", 1},    // no such size
             Case{"print missing.icf --all -o out.pdf", 2},              // no such file
             Case{"print new.icf GI_Sheet_Nothing -o out.pdf", 4},       // no such sheet
             Case{"print new.icf GI_Sheet_TopPage -o out.pdf", 4},       // not printable
             Case{"print new.icf '[St_ColCut]GI_Sheet_MemoryCH,4,400' -o out.pdf", 4}, // empty
         }) {
        const auto run = test::runCli(folder, c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.err;
        EXPECT_FALSE(std::filesystem::exists(folder.path() / "out.pdf")) << c.arguments;
    }
}

} // namespace
} // namespace qx
