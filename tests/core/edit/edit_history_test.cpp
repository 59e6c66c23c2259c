#include "edit/edit_history.h"

#include "app/document.h"
#include "app/recent_files.h"
#include "edit/channel_list_editor.h"
#include "edit/undo_caption.h"
#include "radio/channel_record.h"
#include "recording_prompt.h"
#include "scripted_file_dialog.h"
#include "temp_folder.h"
#include "text/text_table.h"
#include "text/ui_text_choice.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

class EditHistoryTest : public ::testing::Test {
protected:
    EditHistoryTest() {
        texts.attachSource(kTextTable_en);
        document.images().setDestination(5);
        editor.setHistory(&document.history());
        for (int i = 0; i < 100; ++i) {
            ChannelRecord record(document.current());
            record.load(kKindChannel, i);
            record.used = true;
            record.frequency = 430000000U + 25000U * static_cast<std::uint32_t>(i);
            record.store();
        }
        EXPECT_TRUE(document.saveFile(folder.file("saved.icf")));
        EXPECT_TRUE(document.openFile(folder.file("saved.icf")));
    }

    void enter(std::int32_t address, std::uint8_t value) {
        document.current().setByte(address, value);
        document.checkModified();
        document.history().record(EditAction::Entry);
    }
    void deleteRows(int low, int high) {
        editor.run(ListOperation::Delete, {kKindChannel, low, true, low, high, 0, 99, 0});
    }

    test::TempFolder folder;
    test::RecordingPrompt prompt;
    test::ScriptedFileDialog dialog;
    cmcGTex texts;
    cmcRecent recent;
    std::string directory = folder.path().string();
    indDocument document{texts, prompt, dialog, nullptr, recent, directory, 0};
    indChannelListEditor editor{document.images(), texts, prompt, nullptr};
};

TEST_F(EditHistoryTest, UndoAndRedoOfADeleteAreByteExactAndTheModifiedFlagFollows) {
    const cmcEeprom saved = document.current();
    deleteRows(10, 59);
    const cmcEeprom deleted = document.current();
    ASSERT_FALSE(deleted == saved);
    EXPECT_TRUE(document.isModified());
    EXPECT_EQ(document.history().undoAction(), EditAction::Delete);
    EXPECT_EQ(undoMenuCaption(texts, false, document.history().undoAction()), "&Undo Delete");

    ASSERT_TRUE(document.undo());
    EXPECT_TRUE(document.current() == saved);
    EXPECT_FALSE(document.isModified()) << "back at the saved state";
    EXPECT_EQ(undoMenuCaption(texts, true, document.history().redoAction()), "&Redo Delete");
    EXPECT_FALSE(document.undo());
    EXPECT_EQ(undoMenuCaption(texts, false, document.history().undoAction()), "&Undo");

    ASSERT_TRUE(document.redo());
    EXPECT_TRUE(document.current() == deleted);
    EXPECT_TRUE(document.isModified());
    EXPECT_FALSE(document.redo());
}

TEST_F(EditHistoryTest, StepsUndoInOrderAndANewStepEndsRedo) {
    const cmcEeprom start = document.current();
    enter(0x6960, 'A');
    enter(0x6961, 'B');
    deleteRows(0, 0);
    const cmcEeprom afterEntries = [&] {
        EXPECT_TRUE(document.undo());
        return document.current();
    }();
    EXPECT_EQ(afterEntries.getByte(0x6961), 'B');
    EXPECT_TRUE(document.undo());
    EXPECT_EQ(document.current().getByte(0x6961), start.getByte(0x6961));
    EXPECT_EQ(document.current().getByte(0x6960), 'A');

    // A change not yet recorded goes first.
    document.current().setByte(0x6962, 'C');
    EXPECT_TRUE(document.undo());
    EXPECT_EQ(document.current().getByte(0x6962), start.getByte(0x6962));
    EXPECT_EQ(document.current().getByte(0x6960), 'A');

    enter(0x6963, 'D');
    EXPECT_FALSE(document.history().canRedo());
    EXPECT_TRUE(document.undo());
    EXPECT_TRUE(document.undo());
    EXPECT_TRUE(document.current() == start);
    EXPECT_FALSE(document.undo());
}

TEST_F(EditHistoryTest, NewAndOpenAreBoundariesAndTheLimitDropsTheOldest) {
    enter(0x6960, 'A');
    ASSERT_TRUE(document.history().canUndo());
    prompt.answers = {PromptAnswer::No};
    ASSERT_TRUE(document.openFile(folder.file("saved.icf")));
    EXPECT_FALSE(document.history().canUndo());
    enter(0x6960, 'B');
    prompt.answers = {PromptAnswer::No};
    ASSERT_TRUE(document.newDocument());
    EXPECT_FALSE(document.history().canUndo());
    EXPECT_FALSE(document.history().canRedo());

    document.history().setLimit(3);
    for (int i = 0; i < 5; ++i) {
        enter(0x6960, static_cast<std::uint8_t>('a' + i));
    }
    EXPECT_EQ(document.history().stepCount(), 3U);
    while (document.undo()) {
    }
    EXPECT_EQ(document.current().getByte(0x6960), 'b');
}

TEST(UndoCaptionTest, JapaneseCaptionsAreShiftJis) {
    cmcGTex japanese;
    japanese.attachSource(*chooseUiText(1).source);
    // "元に戻す - 削除(&U)"
    EXPECT_EQ(undoMenuCaption(japanese, false, EditAction::Delete),
              "\x8C\xB3\x82\xC9\x96\xDF\x82\xB7 - \x8D\xED\x8F\x9C(&U)");
}

} // namespace
} // namespace qx
