#include "app/clone_commands.h"
#include "app/document.h"
#include "app/recent_files.h"
#include "manual_scheduler.h"
#include "radio/image_map.h"
#include "recording_prompt.h"
#include "scripted_file_dialog.h"
#include "scripted_serial_device.h"
#include "scripted_transceiver.h"
#include "text/text_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

namespace qx {
namespace {

using Bytes = std::vector<std::uint8_t>;

using Radio = test::ScriptedTransceiver;

class FixedChecks : public CloneWriteChecks {
public:
    void count(const cmcEeprom&, int& e, int& w) override {
        e = errors;
        w = warnings;
    }
    int errors = 0;
    int warnings = 0;
};

class CloneCommandsTest : public ::testing::Test {
protected:
    CloneCommandsTest()
        : line(std::make_shared<test::ScriptedSerialDevice::Line>()), radio(line),
          clone(clock, clock, std::make_unique<test::ScriptedSerialDevice>(line), prompt, texts),
          commands(clone, document, features, prompt, texts) {
        texts.attachSource(kTextTable_en);
        clone.Engine().SetSleeper([](int) {});
        document.images().setDestination(5);
        commands.SetSettingChecks(&checks);
        commands.SetViews({{}, [this] { ++rebuilds; }, {}, {}, {}});
    }

    // Runs a command to its end; the outcome and its clone error.
    std::pair<CloneCommands::Outcome, int>
    run(const std::function<bool(CloneCommands::Finished)>& start) {
        std::optional<std::pair<CloneCommands::Outcome, int>> result;
        EXPECT_TRUE(start([&](CloneCommands::Outcome o, int code) { result.emplace(o, code); }));
        for (int i = 0; i < 20000 && !result; ++i) {
            clock.advance(10);
        }
        EXPECT_TRUE(result.has_value());
        return result.value_or(std::make_pair(CloneCommands::Outcome::Cancelled, -1));
    }

    test::ManualScheduler clock;
    std::shared_ptr<test::ScriptedSerialDevice::Line> line;
    Radio radio;
    test::RecordingPrompt prompt;
    test::ScriptedFileDialog dialog;
    cmcGTex texts;
    cmcRecent recent;
    std::string directory = "/tmp";
    indDocument document{texts, prompt, dialog, nullptr, recent, directory, 0};
    FeatureFlags features;
    indCloneMan clone;
    CloneCommands commands;
    FixedChecks checks;
    int rebuilds = 0;
};

TEST_F(CloneCommandsTest, ReadReplacesTheImageAndLeavesItModifiedAndUntitled) {
    radio.image[imagemap::kCloneComment] = 'Q';
    const cmcEeprom before = document.current();
    const auto [outcome, code] = run([this](auto f) { return commands.Read(f); });
    EXPECT_EQ(outcome, CloneCommands::Outcome::Done);
    EXPECT_EQ(code, kCloneOk);
    EXPECT_EQ(document.current().getByte(imagemap::kCloneComment), 'Q');
    EXPECT_TRUE(document.isModified());
    EXPECT_TRUE(document.isUntitled());
    EXPECT_TRUE(features.digitalUnit); // taken from the clone information
    EXPECT_EQ(rebuilds, 1);            // digital unit changed from the remembered value
    EXPECT_TRUE(prompt.asked.empty());

    // The read is one step that undo takes back whole.
    EXPECT_EQ(document.history().undoAction(), EditAction::CloneRead);
    ASSERT_TRUE(document.undo());
    EXPECT_TRUE(document.current() == before);
    EXPECT_FALSE(document.isModified());
}

TEST_F(CloneCommandsTest, AFailedReadChangesNothing) {
    radio.image[imagemap::kMapFormatTag] = 'X';
    const cmcEeprom before = document.current();
    const auto [outcome, code] = run([this](auto f) { return commands.Read(f); });
    EXPECT_EQ(outcome, CloneCommands::Outcome::CloneError);
    EXPECT_EQ(code, kCloneFormatTag);
    EXPECT_TRUE(document.current() == before);
    EXPECT_FALSE(document.isModified());
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text.rfind("Illegal data.\n\n", 0), 0u);
}

TEST_F(CloneCommandsTest, CancelStopsATransferHalfWay) {
    struct Case {
        const char* name;
        std::function<bool(CloneCommands::Finished)> start;
        bool partialWarning;
    };
    const Case cases[] = {
        {"read", [this](auto f) { return commands.Read(f); }, false},
        {"write", [this](auto f) { return commands.Write(f); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompt.asked.clear();
        radio.image[imagemap::kCloneComment] = 'Q';
        const cmcEeprom before = document.current();
        const bool modified = document.isModified();
        std::optional<std::pair<CloneCommands::Outcome, int>> result;
        ASSERT_TRUE(c.start([&](CloneCommands::Outcome o, int code) { result.emplace(o, code); }));
        // Until enough data has moved for an estimate of the time left.
        for (int i = 0; i < 20000 && !result && clone.SecondsLeft() < 0; ++i) {
            clock.advance(10);
        }
        ASSERT_FALSE(result.has_value());
        ASSERT_TRUE(commands.Running());
        EXPECT_GT(clone.Engine().DataBytes(), 0);
        EXPECT_LT(clone.Engine().DataBytes(), clone.TotalBytes());
        const std::size_t askedBefore = prompt.asked.size();
        EXPECT_TRUE(commands.Cancel());
        // Ended before Cancel returned, without an error box.
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(result->first, CloneCommands::Outcome::Cancelled);
        EXPECT_EQ(result->second, kCloneCancelled);
        EXPECT_FALSE(commands.Running());
        EXPECT_FALSE(commands.Cancel());
        if (!c.partialWarning) {
            // A write may correct the image before it sends; a read must leave it alone.
            EXPECT_TRUE(document.current() == before);
            EXPECT_EQ(document.isModified(), modified);
        }
        ASSERT_EQ(prompt.asked.size(), askedBefore + (c.partialWarning ? 1 : 0));
        if (c.partialWarning) {
            EXPECT_EQ(prompt.asked.back().text, texts.blockText("GI_Mess_CloneWrite_Partial"));
            EXPECT_EQ(prompt.asked.back().icon, PromptIcon::Warning);
        }
    }
}

TEST_F(CloneCommandsTest, InformationChecksWordsLengthAndDestination) {
    struct Case {
        std::function<void(Radio&, indDocument&)> setup;
        int code;
    };
    const Case cases[] = {
        {[](Radio& r, indDocument&) { r.info.pop_back(); }, kCloneIllegalInfo},
        {[](Radio& r, indDocument&) { r.info[16] = 6; }, kCloneVersion},
        {[](Radio&, indDocument& d) { d.images().setDestination(kDestinationUnset); },
         kCloneVersion},
    };
    const Bytes info = radio.info;
    for (const auto& c : cases) {
        c.setup(radio, document);
        EXPECT_EQ(run([this](auto f) { return commands.Information(f); }).second, c.code);
        radio.info = info;
        document.images().setDestination(5);
    }
    // While the main window is hidden (initial setup) the destination is not checked.
    radio.info[16] = 6;
    commands.SetViews({[] { return false; }, {}, {}, {}, {}});
    EXPECT_EQ(run([this](auto f) { return commands.Information(f); }).second, kCloneOk);
    EXPECT_EQ(commands.Block().destination(), 6);
}

TEST_F(CloneCommandsTest, WriteAsksWithTheWarningBlockAndCancelSendsNothingMore) {
    checks.warnings = 1;
    prompt.answers.push_back(PromptAnswer::Cancel);
    const auto [outcome, code] = run([this](auto f) { return commands.Write(f); });
    EXPECT_EQ(outcome, CloneCommands::Outcome::Refused);
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, texts.blockText("GI_Mess_DataWarn"));
    EXPECT_EQ(prompt.asked[0].buttons, PromptButtons::OkCancel);
    EXPECT_EQ(radio.informationRequests, 1);
    EXPECT_EQ(radio.writeRequests, 0);
}

TEST_F(CloneCommandsTest, WriteWithSettingErrorsIsRefused) {
    checks.errors = 2;
    const auto [outcome, code] = run([this](auto f) { return commands.Write(f); });
    EXPECT_EQ(outcome, CloneCommands::Outcome::Refused);
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, "Setting error is found.\nCheck the items that 'x' mark is "
                                    "displayed.");
    EXPECT_EQ(radio.writeRequests, 0);
}

TEST_F(CloneCommandsTest, ConfirmedWriteAsksTheTransceiverAgainThenWrites) {
    const auto [outcome, code] = run([this](auto f) { return commands.Write(f); });
    EXPECT_EQ(outcome, CloneCommands::Outcome::Done);
    EXPECT_EQ(radio.informationRequests, 2);
    EXPECT_EQ(radio.writeRequests, 1);
    ASSERT_EQ(prompt.asked.size(), 2u);
    EXPECT_EQ(prompt.asked[0].text, "Write to transceiver. Are you sure?");
    EXPECT_EQ(prompt.asked[1].text.rfind("Cloning is succeeded.", 0), 0u);
    EXPECT_FALSE(commands.WriteConfirmed());
}

TEST_F(CloneCommandsTest, UnpluggedAfterTheConfirmationAsksAgainNextTime) {
    line->peer = [this, inner = line->peer](const std::uint8_t* b, int n) {
        if (radio.informationRequests == 1 && !prompt.asked.empty()) {
            radio.plugged = false; // pulled while the user confirmed
        }
        inner(b, n);
    };
    const auto first = run([this](auto f) { return commands.Write(f); });
    EXPECT_EQ(first.second, kCloneNoAnswer);
    EXPECT_FALSE(commands.WriteConfirmed());
    radio.plugged = true;
    prompt.asked.clear();
    prompt.answers.push_back(PromptAnswer::Cancel);
    run([this](auto f) { return commands.Write(f); });
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, "Write to transceiver. Are you sure?");
}

} // namespace
} // namespace qx
