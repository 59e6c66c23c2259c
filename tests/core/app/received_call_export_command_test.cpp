#include "app/received_call_export_command.h"

#include "fixed_system_info.h"
#include "radio/eeprom.h"
#include "radio/image_map.h"
#include "recording_prompt.h"
#include "scripted_file_dialog.h"
#include "temp_folder.h"
#include "text/text_source.h"
#include "text/text_table.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qx {
namespace {

using namespace imagemap;

class ReceivedCallExportCommandTest : public ::testing::Test {
protected:
    ReceivedCallExportCommandTest() {
        texts.attachSource(kTextTable_en);
        image.fill(0xFF);
        for (std::int32_t a = kReceivedCalls; a < kReceivedCalls + kReceivedCallSize; ++a) {
            image.setByte(a, 'A');
        }
        image.setByte(kReceivedCallOrder, 0);
        system.separator = ";";
    }

    cmcGTex texts;
    test::RecordingPrompt prompt;
    test::ScriptedFileDialog dialog;
    test::FixedSystemInfo system;
    std::string lastFolder = "/home/user/radio";
    indReceivedCallExportCommand command{texts, prompt, dialog, system, lastFolder};
    cmcEeprom image{kImageSize};
    test::TempFolder folder;
};

TEST_F(ReceivedCallExportCommandTest, OnlyATransceiverWithUsableDvKeepsALog) {
    for (const FeatureFlags flags :
         {FeatureFlags{}, FeatureFlags{.digitalUnit = true, .dvInhibit = true}}) {
        EXPECT_EQ(command.run(image, flags), 0);
    }
    EXPECT_TRUE(dialog.asked.empty());
    EXPECT_TRUE(prompt.asked.empty());
}

TEST_F(ReceivedCallExportCommandTest, WritesThePickedFileAndRemembersItsFolder) {
    const FeatureFlags dv{.digitalUnit = true};
    dialog.answers = {std::nullopt, folder.file("calls.csv"), folder.file("again.csv")};
    EXPECT_EQ(command.run(image, dv), 0) << "cancelled";
    EXPECT_EQ(command.run(image, dv), 0);
    ASSERT_EQ(dialog.asked.size(), 2u);
    EXPECT_TRUE(dialog.asked[1].save);
    EXPECT_EQ(dialog.asked[1].request.defaultExtension, "csv");
    EXPECT_EQ(dialog.asked[1].request.filter, "CSV files (*.csv)|*.csv|All files (*.*)|*.*");
    EXPECT_EQ(dialog.asked[1].request.fileName, "");
    EXPECT_EQ(dialog.asked[1].request.folder, "/home/user/radio");
    const std::string csv = test::TempFolder::read(folder.file("calls.csv"));
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
              "Caller;/;Called;Rx RPT1;Rx RPT2;Status;Received date;BK;EMR");
    EXPECT_NE(csv.find("\r\nAAAAAAAA;AAAA;"), std::string::npos);
    EXPECT_EQ(command.lastExportFolder(), folder.path().string());
    EXPECT_EQ(lastFolder, folder.path().string());

    EXPECT_EQ(command.run(image, dv), 0);
    EXPECT_EQ(dialog.asked[2].request.folder, folder.path().string());
    EXPECT_TRUE(prompt.asked.empty());
}

TEST_F(ReceivedCallExportCommandTest, AFileThatCannotBeWrittenIsReported) {
    dialog.answers = {folder.file("no/such/calls.csv")};
    EXPECT_NE(command.run(image, FeatureFlags{.digitalUnit = true}), 0);
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, "File error.\n\nCannot open the file.");
    EXPECT_EQ(prompt.asked[0].caption, "QX-5130");
    EXPECT_EQ(prompt.asked[0].icon, PromptIcon::Warning);
    EXPECT_EQ(prompt.asked[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(lastFolder, "/home/user/radio");
}

} // namespace
} // namespace qx
