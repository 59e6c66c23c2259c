// Commands that change one clone file at the same time take turns: neither loses the other's
// change.
#include "cli_run.h"
#include "tab_fields.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace qx {
namespace {

const std::string kBlock = "'[St_ColCut]GI_Sheet_MemoryCH,1,100'";

// The operating frequency of memory channels 100 to 199 as the sheet shows them.
std::string frequencyOf(const std::string& sheet, int channel) {
    std::istringstream in(sheet);
    for (std::string line; std::getline(in, line);) {
        const auto fields = test::splitTabs(line);
        if (fields.size() > 1 && fields[0] == std::to_string(channel)) {
            return fields[1];
        }
    }
    return "(no row)";
}

TEST(CliLockTest, TwoSetsOnOneFileAtOnceKeepBothChanges) {
    test::TempFolder folder;
    ASSERT_EQ(test::runCli(folder, "--destination 0 new -o base.icf").status, 0);
    const std::string base = test::TempFolder::read(folder.file("base.icf"));
    const std::string set = "--destination 0 set f.icf " + kBlock + " CL_Mch_Freq ";
    for (int round = 0; round < 50; ++round) {
        folder.write("f.icf", base);
        // A different pair of values each round: a file left from an earlier round shows.
        const std::string khz = std::to_string(100 + round * 5);
        const std::string a = "146." + khz;
        const std::string b = "147." + khz;
        const auto runs = test::runCliTogether(folder, {set + "150 " + a, set + "151 " + b});
        ASSERT_EQ(runs[0].status, 0) << "round " << round << ": " << runs[0].err;
        ASSERT_EQ(runs[1].status, 0) << "round " << round << ": " << runs[1].err;
        const auto sheet = test::runCli(folder, "--destination 0 sheet f.icf " + kBlock);
        ASSERT_EQ(sheet.status, 0) << sheet.err;
        ASSERT_EQ(frequencyOf(sheet.out, 150), a + "000") << "round " << round;
        ASSERT_EQ(frequencyOf(sheet.out, 151), b + "000") << "round " << round;
    }
}

} // namespace
} // namespace qx
