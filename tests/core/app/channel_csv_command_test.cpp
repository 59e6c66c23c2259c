#include "app/channel_csv_command.h"

#include "headless_sheets.h"
#include "radio/channel_record.h"
#include "radio/image_map.h"
#include "recording_prompt.h"
#include "scripted_file_dialog.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

using namespace imagemap;

class ChannelCsvCommandTest : public ::testing::Test {
protected:
    ChannelCsvCommandTest() {
        ChannelRecord rec(s.images.current());
        rec.load(kKindChannel, 0);
        EXPECT_TRUE(rec.used) << "the default image has channel 0";
    }
    bool used(int channel) {
        ChannelRecord rec(s.images.current());
        rec.load(kKindChannel, channel);
        return rec.used;
    }
    int import() {
        return command.importChannels(s.dispatch->environment(), [this](int) { ++changes; });
    }

    test::HeadlessSheets s;
    test::RecordingPrompt prompt;
    test::ScriptedFileDialog dialog;
    test::TempFolder folder;
    std::string lastFolder = "/home/user";
    indChannelCsvCommand command{s.table, prompt, dialog, lastFolder};
    int changes = 0;
};

TEST_F(ChannelCsvCommandTest, ExportAndImportThroughTheDialogsAsOneChange) {
    const std::string path = folder.file("list.csv");
    dialog.answers = {path};
    EXPECT_EQ(command.exportChannels(s.dispatch->environment()), 0);
    EXPECT_TRUE(dialog.asked.at(0).save);
    EXPECT_EQ(dialog.asked.at(0).request.defaultExtension, "csv");
    EXPECT_EQ(lastFolder, folder.path().string());
    EXPECT_NE(test::TempFolder::read(path).find("\r\n0,,145.000000,"), std::string::npos);

    // Importing the same channels overwrites them: the user is asked, and No changes nothing.
    const cmcEeprom before = s.images.current();
    dialog.answers = {path};
    prompt.answers = {PromptAnswer::No};
    EXPECT_EQ(import(), 0);
    ASSERT_EQ(prompt.asked.size(), 1U);
    EXPECT_NE(prompt.asked[0].text.find("will be overwritten: 0, 1, 500"), std::string::npos)
        << prompt.asked[0].text;
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(s.images.current() == before);

    folder.write("more.csv", "Location,Frequency,Name\n7,146.52,Calling\n");
    dialog.answers = {folder.file("more.csv")};
    EXPECT_EQ(import(), 0);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(used(7));
    EXPECT_EQ(prompt.asked.back().text, "1 lines taken, 0 refused.");
    EXPECT_EQ(prompt.asked.back().details, "Line 2: channel 7 taken.");
    EXPECT_EQ(prompt.asked.back().icon, PromptIcon::Information);
}

TEST_F(ChannelCsvCommandTest, RefusedLinesAreShownAndTheRestTakenOnlyWhenTheUserSaysSo) {
    folder.write("mixed.csv", "Location,Frequency\n7,146.52\n8,20.0\n");
    const cmcEeprom before = s.images.current();
    dialog.answers = {folder.file("mixed.csv")};
    prompt.answers = {PromptAnswer::No};
    EXPECT_EQ(import(), 0);
    ASSERT_EQ(prompt.asked.size(), 1U);
    // The box names what went wrong; the details list every line.
    EXPECT_EQ(prompt.asked[0].text,
              "Line 3: refused: Frequency \"20.0\" lies outside every band of the transceiver.\n\n"
              "1 lines taken, 1 refused.\n\n"
              "Some lines were refused. Import the lines that were taken?");
    EXPECT_EQ(prompt.asked[0].details,
              "Line 2: channel 7 taken.\n"
              "Line 3: refused: Frequency \"20.0\" lies outside every band of the transceiver.");
    EXPECT_TRUE(s.images.current() == before);

    dialog.answers = {folder.file("mixed.csv")};
    prompt.answers = {PromptAnswer::Yes};
    EXPECT_EQ(import(), 0);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(used(7));
    EXPECT_FALSE(used(8));

    // Nothing chosen, nothing readable: no change.
    const std::size_t asked = prompt.asked.size();
    EXPECT_EQ(import(), 0);
    EXPECT_EQ(prompt.asked.size(), asked);
    dialog.answers = {folder.file("missing.csv")};
    EXPECT_NE(import(), 0);
    EXPECT_EQ(prompt.asked.back().text, "File error.\n\nCannot open the file.");
    folder.write("names.csv", "Name\nx\n");
    dialog.answers = {folder.file("names.csv")};
    EXPECT_EQ(import(), 0);
    EXPECT_EQ(prompt.asked.back().text, "The file has no header line with a Frequency column.");
    EXPECT_EQ(changes, 1);
}

} // namespace
} // namespace qx
