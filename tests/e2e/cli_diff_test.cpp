#include "cli_run.h"

#include <gtest/gtest.h>

#include <string>

namespace qx {
namespace {

TEST(CliDiffTest, PrintsNothingForTheSameFileAndExactlyTheCellASetChanged) {
    test::TempFolder folder;
    const auto cli = [&](const std::string& arguments) {
        return test::runCli(folder, "--destination 0 " + arguments);
    };
    ASSERT_EQ(cli("new -o a.icf").status, 0);
    const test::CliResult same = cli("diff a.icf a.icf");
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "");

    ASSERT_EQ(cli("set a.icf \"[St_ColCut]GI_Sheet_MemoryCH,0,0\" CL_Mch_Name 1 'Rpt, 2' -o b.icf")
                  .status,
              0);
    const test::CliResult changed = cli("diff a.icf b.icf");
    EXPECT_EQ(changed.status, 5) << changed.err;
    EXPECT_EQ(changed.out, "[St_ColCut]GI_Sheet_MemoryCH,0,0\t1\tName\t\tRpt, 2\n");

    EXPECT_EQ(cli("diff a.icf missing.icf").status, 2);
    EXPECT_EQ(cli("diff a.icf").status, 1);
    const test::CliResult twice = cli("diff - -");
    EXPECT_EQ(twice.status, 1);
    EXPECT_NE(twice.err.find("only one of the files can be standard input"), std::string::npos)
        << twice.err;
}

} // namespace
} // namespace qx
