#include "cli_run.h"
#include "tab_fields.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace qx {
namespace {

const std::string kBlock0 = "'[St_ColCut]GI_Sheet_MemoryCH,0,0'";

class CliEditTest : public ::testing::Test {
protected:
    CliEditTest() {
        EXPECT_EQ(test::runCli(folder, "--destination 0 new -o a.icf").status, 0);
        // Channels 50, 98 and 99 in use, told apart by their frequencies.
        for (const auto& [channel, frequency] :
             {std::pair{50, "146.5"}, std::pair{98, "147.8"}, std::pair{99, "147.9"}}) {
            const auto run =
                test::runCli(folder, "--destination 0 set a.icf " + kBlock0 + " CL_Mch_Freq " +
                                         std::to_string(channel) + " " + frequency);
            EXPECT_EQ(run.status, 0) << run.err;
        }
    }

    // Channel number -> frequency text of the used channels of the block, beside the two that
    // the default image brings.
    std::map<int, std::string> channels(const std::string& file) {
        const auto run = test::runCli(folder, "--destination 0 sheet " + file + " " + kBlock0);
        EXPECT_EQ(run.status, 0) << run.err;
        std::map<int, std::string> used;
        std::istringstream in(run.out);
        for (std::string line; std::getline(in, line);) {
            const auto fields = test::splitTabs(line);
            if (fields.size() > 1 && !fields[1].empty() && std::isdigit(fields[0][0]) != 0) {
                used[std::stoi(fields[0])] = fields[1];
            }
        }
        EXPECT_EQ(used[0], "145.000000");
        EXPECT_EQ(used[1], "433.000000");
        used.erase(0);
        used.erase(1);
        return used;
    }
    test::CliResult edit(const std::string& arguments) {
        return test::runCli(folder, "--destination 0 edit a.icf " + kBlock0 + " " + arguments);
    }

    test::TempFolder folder;
};

TEST_F(CliEditTest, InsertAsksAndOnlyYesPushesTheBottomChannelOff) {
    const std::string before = test::TempFolder::read(folder.file("a.icf"));
    const auto refused = edit("insert 50");
    EXPECT_EQ(refused.status, 4);
    EXPECT_NE(refused.err.find("CH overflow.\nThe channel contents at the bottom line in this "
                               "sheet will be deleted.\nAre you sure?"),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(test::TempFolder::read(folder.file("a.icf")), before);

    const auto done = edit("insert 50 --yes -o b.icf");
    ASSERT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(test::TempFolder::read(folder.file("a.icf")), before) << "-o leaves FILE alone";
    const std::map<int, std::string> expected{{51, "146.500000"}, {99, "147.800000"}};
    EXPECT_EQ(channels("b.icf"), expected);
}

TEST_F(CliEditTest, DeletePasteAndUpOnARangeOfRows) {
    ASSERT_EQ(edit("delete 97 98 --yes").status, 0);
    EXPECT_EQ(channels("a.icf"),
              (std::map<int, std::string>{{50, "146.500000"}, {97, "147.900000"}}));

    // Two copied rows onto 99: one fits, after the overflow question.
    EXPECT_EQ(edit("paste 49 50 --at 99").status, 4);
    ASSERT_EQ(edit("paste 49 50 --at 99 --yes").status, 0);
    EXPECT_EQ(channels("a.icf"),
              (std::map<int, std::string>{{50, "146.500000"}, {97, "147.900000"}}))
        << "row 49 was empty";
    ASSERT_EQ(edit("paste 50 50 --at 10").status, 0) << "empty rows ask nothing";

    ASSERT_EQ(edit("up 10 11").status, 0);
    EXPECT_EQ(channels("a.icf"), (std::map<int, std::string>{
                                     {9, "146.500000"}, {50, "146.500000"}, {97, "147.900000"}}));
    EXPECT_EQ(edit("up 0").status, 0) << "Up at the top does nothing";
}

TEST_F(CliEditTest, MistakesAreRefused) {
    const std::string before = test::TempFolder::read(folder.file("a.icf"));
    struct Case {
        std::string arguments;
        int status;
    };
    const Case cases[] = {
        {"--destination 0 edit a.icf " + kBlock0 + " paste 1 2", 1},
        {"--destination 0 edit a.icf " + kBlock0 + " move 1", 1},
        {"--destination 0 edit a.icf " + kBlock0 + " delete 150", 4},
        {"--destination 0 edit a.icf '[St_ColCut]GI_Sheet_Nothing,0,0' delete 1", 4},
        {"--destination 0 edit a.icf '[St_ColCut]GI_Sheet_Func,7,0' insert 1 --yes", 4},
        {"--destination 0 edit missing.icf " + kBlock0 + " delete 1", 2},
    };
    for (const Case& c : cases) {
        const auto run = test::runCli(folder, c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments << ": " << run.err;
        EXPECT_FALSE(run.err.empty()) << c.arguments;
    }
    EXPECT_EQ(test::TempFolder::read(folder.file("a.icf")), before);
}

} // namespace
} // namespace qx
