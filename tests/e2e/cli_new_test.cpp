#include "cli_run.h"
#include "clonefile/icf_file.h"
#include "radio/correction_pass.h"
#include "radio/image_map.h"
#include "radio/image_set.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

namespace qx {
namespace {

std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    for (std::size_t end; (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
        lines.push_back(text.substr(pos, end - pos));
    }
    EXPECT_EQ(pos, text.size()) << "text after the last line break";
    return lines;
}

TEST(CliNewTest, WritesTheDefaultImageOfTheDestination) {
    test::TempFolder folder;
    const auto run = test::runCli(folder, "--destination 5 new -o x.icf");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto lines = crlfLines(test::TempFolder::read(folder.file("x.icf")));
    ASSERT_EQ(lines.size(), 2766u);
    EXPECT_EQ(lines[0], "29700001");
    EXPECT_EQ(lines[1], "#");

    cmcEeprom image(imagemap::kImageSize);
    cmcIcfFile file(image);
    file.setModel(imagemap::kModelCode, imagemap::kModelSubCode);
    const ImageRangeList range = ImageRangeList::transceiverPart();
    ASSERT_EQ(file.read(folder.file("x.icf"), &range), FileErrorCode::Ok);
    // The built-in image of destination 5 as saving corrects it (no settings: no variant).
    ImageSet expected;
    expected.setDestination(5);
    ASSERT_TRUE(runCorrectionPass(expected.current(), expected.defaults(), expected.defaults(), 5,
                                  FeatureFlags{}));
    EXPECT_EQ(std::memcmp(image.data(), expected.current().data(), imagemap::kTransceiverSize), 0);
}

TEST(CliNewTest, UsageErrorsExitWithOne) {
    test::TempFolder folder;
    for (const char* args : {"new", "new x.icf", "new -o", "--destination 16 new -o x.icf"}) {
        const auto run = test::runCli(folder, args);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_NE(run.err, "") << args;
        EXPECT_FALSE(std::filesystem::exists(folder.file("x.icf"))) << args;
    }
}

TEST(CliNewTest, AFailedSaveKeepsTheOldFileAndSaysWhy) {
    test::TempFolder folder;
    const std::string old = folder.write("x.icf", "previous contents\r\n");
    // A file size limit refuses the bytes as a full disk would, even for root.
    const auto run =
        test::runCli(folder, "--destination 5 new -o x.icf", "trap '' XFSZ; ulimit -f 8;");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "File error.\n\nCannot access the file.\nx.icf: File too large\n");
    EXPECT_EQ(test::TempFolder::read(old), "previous contents\r\n");
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        files += entry.path().filename().string()[0] != '.' || entry.path().extension() == ".tmp";
    }
    EXPECT_EQ(files, 1u) << "no temporary file is left behind";

    const auto missing = test::runCli(folder, "--destination 5 new -o no/such/x.icf");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err,
              "File error.\n\nCannot open the file.\nno/such/x.icf: No such file or directory\n");
}

} // namespace
} // namespace qx
