#include "cli_run.h"
#include "clonefile/icf_file.h"
#include "radio/bank_link_table.h"
#include "radio/channel_record.h"
#include "radio/default_images.h"
#include "radio/destination.h"
#include "radio/image_map.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace qx {
namespace {

using namespace imagemap;

// A clone file holding the default image of a destination with the changes `edit` makes.
std::string writeClone(const test::TempFolder& folder, const std::string& name,
                       DestinationCode destination,
                       const std::function<void(cmcEeprom&)>& edit = {}) {
    cmcEeprom image(kImageSize);
    image.writeBlock(0, defaultImageBlock(destination), kTransceiverSize);
    if (edit) {
        edit(image);
    }
    cmcIcfFile file(image);
    file.setModel(kModelCode, kModelSubCode);
    const std::string path = folder.file(name);
    EXPECT_EQ(file.write(path, ImageRangeList::transceiverPart()), FileErrorCode::Ok);
    return path;
}

void setChannel(cmcEeprom& image, int index, std::uint32_t frequency, int mode = kModeFm,
                int bank = kNoBank, int slot = 0) {
    ChannelRecord channel(image);
    ASSERT_TRUE(channel.load(kKindChannel, index));
    channel.used = true;
    channel.frequency = frequency;
    channel.mode = mode;
    channel.bankGroup = bank;
    channel.bankChannel = slot;
    ASSERT_TRUE(channel.store());
}

TEST(CliCheckTest, PrintsEveryFlaggedSheetAndExitsByTheWorstVerdict) {
    test::TempFolder folder;
    writeClone(folder, "clean.icf", 2);
    writeClone(folder, "warned.icf", 2, [](cmcEeprom& image) {
        setChannel(image, 150, 150000000);
        setChannel(image, 230, 150000000, kModeFm, 1, 7);
    });
    writeClone(folder, "wrong.icf", 2, [](cmcEeprom& image) {
        setChannel(image, 150, 150000000);
        setChannel(image, 10, 146000000, kModeDv); // the settings name no digital unit
    });

    const auto clean = test::runCli(folder, "--destination 2 check clean.icf");
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.out, "");
    EXPECT_EQ(clean.err, "");

    const auto warned = test::runCli(folder, "--destination 2 check warned.icf");
    EXPECT_EQ(warned.status, 5) << warned.err;
    EXPECT_EQ(warned.out, "warning\t[St_ColCut]GI_Sheet_MemoryCH,1,100\n"
                          "warning\t[St_ColCut]GI_Sheet_MemoryCH,2,200\n"
                          "warning\t[St_CCBank]GI_Sheet_BankCH,10\n");
    EXPECT_EQ(warned.err, "Setting warning is found.\n");

    const auto wrong = test::runCli(folder, "--destination 2 check wrong.icf");
    EXPECT_EQ(wrong.status, 4) << wrong.err;
    EXPECT_EQ(wrong.out, "error\t[St_ColCut]GI_Sheet_MemoryCH,0,0\n"
                         "warning\t[St_ColCut]GI_Sheet_MemoryCH,1,100\n");
    EXPECT_EQ(wrong.err, "Setting error is found.\n");

    // Without a destination there is nothing to warn about; errors stay.
    const auto unset = test::runCli(folder, "check wrong.icf");
    EXPECT_EQ(unset.status, 4) << unset.err;
    EXPECT_EQ(unset.out, "error\t[St_ColCut]GI_Sheet_MemoryCH,0,0\n");
}

TEST(CliCheckTest, TwoChannelsInOneBankSlot) {
    test::TempFolder folder;
    writeClone(folder, "bank.icf", 3, [](cmcEeprom& image) {
        setChannel(image, 20, 145000000, kModeFm, 0, 5);
        setChannel(image, 320, 145000000, kModeFm, 0, 5);
    });
    const auto run = test::runCli(folder, "--destination 3 check bank.icf");
    EXPECT_EQ(run.status, 4) << run.err;
    EXPECT_EQ(run.out, "error\t[St_ColCut]GI_Sheet_MemoryCH,0,0\n"
                       "error\t[St_ColCut]GI_Sheet_MemoryCH,3,300\n");
}

TEST(CliCheckTest, FileAndUsageErrors) {
    test::TempFolder folder;
    folder.write("bad.icf", "29700001\r\n#\r\n0000zz\r\n");
    const auto missing = test::runCli(folder, "check none.icf");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err,
              "File error.\n\nCannot open the file.\nnone.icf: No such file or directory\n");
    const auto bad = test::runCli(folder, "check bad.icf");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "File error.\n\nIllegal data.\nbad.icf: line 3\n");
    for (const char* args : {"check", "check a.icf b.icf", "check -o a.icf"}) {
        EXPECT_EQ(test::runCli(folder, args).status, 1) << args;
    }
}

} // namespace
} // namespace qx
