#include "app/document.h"
#include "app/recent_files.h"
#include "base/event_manager.h"
#include "clonefile/file_lock.h"
#include "clonefile/file_replacement.h"
#include "fixed_system_info.h"
#include "manual_scheduler.h"
#include "radio/bank_link_table.h"
#include "radio/image_map.h"
#include "recording_prompt.h"
#include "scripted_file_dialog.h"
#include "temp_folder.h"
#include "text/text_table.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace qx {
namespace {

using imagemap::kTransceiverEnd;

class DocumentTest : public ::testing::Test {
protected:
    DocumentTest() : directory(folder.path().string()) {
        texts.attachSource(kTextTable_en);
        document.setTitleListener([this] { ++titleRefreshes; });
        document.images().setDestination(5);
    }

    // A valid clone file of the current image with one record line replaced by `edit`.
    std::string fileWith(const std::string& name, std::size_t line, const std::string& edit) {
        const std::string path = folder.file(name);
        EXPECT_TRUE(document.saveFile(path));
        std::string text = test::TempFolder::read(path);
        std::size_t start = 0;
        for (std::size_t i = 0; i < line; ++i) {
            start = text.find("\r\n", start) + 2;
        }
        const std::size_t end = text.find("\r\n", start);
        text.replace(start, end - start, edit);
        return folder.write(name, text);
    }

    void edit(std::int32_t address, std::uint8_t value) {
        document.current().setByte(address, value);
        document.checkModified();
    }

    test::TempFolder folder;
    test::RecordingPrompt prompt;
    test::ScriptedFileDialog dialog;
    cmcGTex texts;
    cmcRecent recent;
    std::string directory;
    indDocument document{texts, prompt, dialog, nullptr, recent, directory, 0};
    int titleRefreshes = 0;
};

TEST_F(DocumentTest, UntitledNameAndTitle) {
    EXPECT_EQ(document.documentName(), directory + "/Untitled");
    EXPECT_EQ(document.windowTitle(), "Untitled - QX-5130");
    std::string japaneseDirectory = "/data/";
    indDocument japanese(texts, prompt, dialog, nullptr, recent, japaneseDirectory, 1);
    EXPECT_EQ(japanese.documentName(), "/data/\x96\xB3\x91\xE8");
    EXPECT_EQ(japanese.windowTitle(), "\x96\xB3\x91\xE8 - QX-5130");
}

TEST_F(DocumentTest, ModifiedFlagFollowsTheImage) {
    EXPECT_FALSE(document.isModified());
    const int before = titleRefreshes;
    edit(0x6960, 'A');
    EXPECT_TRUE(document.isModified());
    EXPECT_GT(titleRefreshes, before);
    edit(0x6960, document.images().saved().getByte(0x6960));
    EXPECT_TRUE(document.isModified()) << "the check never clears the flag";
}

TEST_F(DocumentTest, NewAsksOnlyWhenModifiedAndHonoursTheAnswer) {
    EXPECT_TRUE(document.newDocument());
    EXPECT_TRUE(prompt.asked.empty());

    edit(0x6960, 'A');
    prompt.answers = {PromptAnswer::Cancel};
    EXPECT_FALSE(document.newDocument());
    EXPECT_TRUE(document.isModified());
    EXPECT_EQ(document.current().getByte(0x6960), 'A');
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, "Save changes to Untitled?");
    EXPECT_EQ(prompt.asked[0].icon, PromptIcon::Question);
    EXPECT_EQ(prompt.asked[0].buttons, PromptButtons::YesNoCancel);

    prompt.answers = {PromptAnswer::No};
    EXPECT_TRUE(document.newDocument());
    EXPECT_FALSE(document.isModified());
    EXPECT_TRUE(document.current() == document.images().defaults());
    EXPECT_TRUE(dialog.asked.empty());
}

TEST_F(DocumentTest, YesOnAnUntitledDocumentOffersSaveAsAndItsCancelCancels) {
    edit(0x6960, 'A');
    prompt.answers = {PromptAnswer::Yes};
    EXPECT_EQ(document.closeCheck(false), PromptAnswer::Cancel);
    ASSERT_EQ(dialog.asked.size(), 1u);
    EXPECT_TRUE(dialog.asked[0].save);
    EXPECT_EQ(dialog.asked[0].request.fileName, "Untitled");
    EXPECT_EQ(dialog.asked[0].request.folder, directory);
    EXPECT_EQ(dialog.asked[0].request.defaultExtension, "icf");
    EXPECT_EQ(dialog.asked[0].request.filter, "Data files (*.icf)|*.icf|All files (*.*)|*.*");
    EXPECT_TRUE(document.isModified());
}

TEST_F(DocumentTest, SaveThenOpenRestoresTheDocument) {
    edit(0x6960, 'A');
    edit(0x0010, 0x42);
    const std::string path = folder.file("first.icf");
    dialog.answers = {path};
    ASSERT_TRUE(document.save());
    EXPECT_FALSE(document.isModified());
    EXPECT_EQ(document.path(), path);
    EXPECT_EQ(document.windowTitle(), "first.icf - QX-5130");
    EXPECT_EQ(recent.entry(0), path);
    EXPECT_EQ(test::TempFolder::read(path).substr(0, 13), "29700001\r\n#A\r");

    const cmcEeprom saved(document.current());
    ASSERT_TRUE(document.newDocument());
    EXPECT_EQ(document.windowTitle(), "Untitled - QX-5130");
    dialog.answers = {path};
    ASSERT_TRUE(document.open());
    EXPECT_TRUE(document.current() == saved);
    EXPECT_FALSE(document.isModified());
    EXPECT_EQ(document.path(), path);
    EXPECT_EQ(directory, folder.path().string());
    EXPECT_EQ(dialog.asked.back().request.fileName, "");
    EXPECT_TRUE(prompt.asked.empty());
}

TEST_F(DocumentTest, ReopeningTheOwnFileWithChangesAsksAndNeverOverwritesIt) {
    const std::string path = folder.file("own.icf");
    ASSERT_TRUE(document.saveFile(path));
    const std::string onDisk = test::TempFolder::read(path);
    edit(0x6960, 'Z');
    prompt.answers = {PromptAnswer::Yes};
    EXPECT_FALSE(document.openFile(path));
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, "Save changes ?");
    ASSERT_EQ(dialog.asked.size(), 1u);
    EXPECT_TRUE(dialog.asked[0].save);
    EXPECT_EQ(test::TempFolder::read(path), onDisk);
    EXPECT_EQ(document.current().getByte(0x6960), 'Z');

    prompt.answers = {PromptAnswer::No};
    EXPECT_TRUE(document.openFile(path));
    EXPECT_NE(document.current().getByte(0x6960), 'Z');
}

// Another program's save of `path`: the file of this document with another comment.
void saveFromAnotherProgram(const std::string& path, const std::string& comment) {
    std::string text = test::TempFolder::read(path);
    const std::size_t line = text.find("\r\n#") + 3;
    text.replace(line, text.find("\r\n", line) - line, comment);
    ASSERT_EQ(replaceFileContents(path, text), FileErrorCode::Ok);
}

TEST_F(DocumentTest, SavingOverAFileAnotherProgramChangedAsksFirst) {
    const std::string path = folder.file("own.icf");
    const std::string elsewhere = folder.file("elsewhere.icf");
    const std::string question = "own.icf has been changed by another program since it was "
                                 "opened or saved here.\nOverwrite it, save as another file, or "
                                 "cancel?";
    struct Case {
        PromptAnswer answer;
        bool saved;
        const char* onDisk;       // the comment of own.icf afterwards
        const char* documentPath; // where the document then belongs
    };
    for (const Case& c : {Case{PromptAnswer::Cancel, false, "OTHER", "own.icf"},
                          Case{PromptAnswer::Overwrite, true, "MINE", "own.icf"},
                          Case{PromptAnswer::SaveAs, true, "OTHER", "elsewhere.icf"}}) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        ASSERT_TRUE(document.saveFile(path));
        ASSERT_TRUE(document.openFile(path));
        prompt.asked.clear();
        const std::uint8_t mine[] = {'M', 'I', 'N', 'E'};
        document.current().writeBlock(0x6960, mine, 4);
        document.checkModified();
        saveFromAnotherProgram(path, "OTHER");
        prompt.answers = {c.answer};
        dialog.answers = {elsewhere};
        EXPECT_EQ(document.save(), c.saved);
        ASSERT_EQ(prompt.asked.size(), 1u);
        EXPECT_EQ(prompt.asked[0].text, question);
        EXPECT_EQ(prompt.asked[0].icon, PromptIcon::Warning);
        EXPECT_EQ(prompt.asked[0].choices,
                  (std::vector<std::string>{"&Overwrite", "Save &As...", "Cancel"}));
        EXPECT_NE(test::TempFolder::read(path).find(std::string("\r\n#") + c.onDisk + "\r\n"),
                  std::string::npos);
        EXPECT_EQ(document.path(), folder.file(c.documentPath));
        EXPECT_EQ(document.isModified(), !c.saved);
        // Once the user has chosen, the next save of the same file asks nothing.
        if (c.saved) {
            EXPECT_TRUE(document.save());
            EXPECT_EQ(prompt.asked.size(), 1u);
        }
    }
}

// A command line tool holds the lock while it reads, changes and replaces the file: Save waits
// for it and then sees its change instead of replacing it unseen.
TEST_F(DocumentTest, SaveWaitsForACommandThatIsChangingTheFile) {
    const std::string path = folder.file("own.icf");
    ASSERT_TRUE(document.saveFile(path));
    edit(0x6960, 'A');
    FileLock command;
    ASSERT_TRUE(command.acquire(path));
    prompt.answers = {PromptAnswer::Cancel};
    std::atomic<bool> done{false};
    bool saved = true;
    std::thread editor([&] {
        saved = document.save();
        done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(done) << "saved while the command was at work";
    saveFromAnotherProgram(path, "COMMAND");
    command.release();
    editor.join();
    EXPECT_FALSE(saved);
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].choices.size(), 3u);
    EXPECT_NE(test::TempFolder::read(path).find("\r\n#COMMAND\r\n"), std::string::npos);
}

TEST_F(DocumentTest, TheSaveChangesQuestionAsksAgainBeforeOverwritingAChangedFile) {
    const std::string path = folder.file("own.icf");
    ASSERT_TRUE(document.saveFile(path));
    edit(0x6960, 'A');
    saveFromAnotherProgram(path, "OTHER");
    prompt.answers = {PromptAnswer::Yes, PromptAnswer::Cancel};
    EXPECT_FALSE(document.newDocument());
    ASSERT_EQ(prompt.asked.size(), 2u);
    EXPECT_EQ(prompt.asked[1].choices.size(), 3u);
    EXPECT_NE(test::TempFolder::read(path).find("\r\n#OTHER\r\n"), std::string::npos);
    EXPECT_TRUE(document.isModified());
}

TEST_F(DocumentTest, AChangeOnDiskIsNoticedOnceAndARewriteInPlaceCounts) {
    const std::string path = folder.file("own.icf");
    ASSERT_TRUE(document.saveFile(path));
    EXPECT_FALSE(document.changedOnDisk());
    EXPECT_FALSE(document.noticeChangeOnDisk());
    saveFromAnotherProgram(path, "OTHER");
    EXPECT_TRUE(document.changedOnDisk());
    EXPECT_TRUE(document.noticeChangeOnDisk());
    EXPECT_FALSE(document.noticeChangeOnDisk()) << "the same change is told once";
    // Written where it is, by a program that does not replace files: the size tells.
    std::ofstream(path, std::ios::binary | std::ios::app) << "#\r\n";
    EXPECT_TRUE(document.noticeChangeOnDisk());
    // A file that is gone loses nothing when saved over.
    std::remove(path.c_str());
    EXPECT_FALSE(document.changedOnDisk());
    EXPECT_TRUE(document.save());
    EXPECT_TRUE(prompt.asked.empty());
}

TEST_F(DocumentTest, EveryRejectedFileLeavesTheDocumentUnchanged) {
    edit(0x0100, 0x33);
    // Records: line 2 holds 0x0000, line 2 + n holds 0x10 * n; the tag is the last line.
    struct Case {
        const char* what;
        std::size_t line;
        std::string edit;
        const char* message;
    };
    const Case cases[] = {
        {"other model", 0, "29710001", "Illegal data."},
        {"other sub-code", 0, "29700002", "Illegal data."},
        {"syntax", 5, "003010zz", "Illegal data."},
        {"missing record", 5, "# gone", "There is not enough data."},
        {"record above the transceiver part", 5, "ACC00100", "Illegal data."},
        {"no map format tag", 2766 - 1, "ACB010" + std::string(32, '0'), "Illegal data."},
    };
    for (const auto& c : cases) {
        const std::string path = fileWith("bad.icf", c.line, c.edit);
        document.images().markModified();
        const cmcEeprom before(document.current());
        const std::string pathBefore = document.path();
        const std::size_t recentBefore = recent.count();
        prompt.answers = {PromptAnswer::No};
        prompt.asked.clear();
        EXPECT_FALSE(document.openFile(path)) << c.what;
        EXPECT_TRUE(document.current() == before) << c.what;
        EXPECT_TRUE(document.isModified()) << c.what;
        EXPECT_EQ(document.path(), pathBefore) << c.what;
        EXPECT_EQ(recent.count(), recentBefore) << c.what;
        ASSERT_EQ(prompt.asked.size(), 2u) << c.what;
        EXPECT_EQ(prompt.asked[1].text, std::string("File error.\n\n") + c.message) << c.what;
    }
    prompt.asked.clear();
    prompt.answers = {PromptAnswer::No};
    EXPECT_FALSE(document.openFile(folder.file("absent.icf")));
    EXPECT_EQ(prompt.asked.back().text, "File error.\n\nCannot open the file.");
}

TEST_F(DocumentTest, OpenRebuildsTheBankLinkTableInsteadOfReadingIt) {
    // Channel 7 in bank C, slot 12.
    edit(imagemap::kEmptyBitmap, document.current().getByte(imagemap::kEmptyBitmap) & ~0x80);
    edit(imagemap::kBankAssignments + 7 * 2, 2);
    edit(imagemap::kBankAssignments + 7 * 2 + 1, 12);
    const std::string path = folder.file("bank.icf");
    ASSERT_TRUE(document.saveFile(path));
    document.current().fill(0x77);
    ASSERT_TRUE(document.openFile(path));
    EXPECT_EQ(banklink::slot(document.current(), 2, 12), 7);
    EXPECT_EQ(banklink::slot(document.current(), 2, 11), imagemap::kBankSlotEmpty);
    EXPECT_EQ(document.current().getByte(kTransceiverEnd + 1), 0x77);
}

TEST_F(DocumentTest, SaveAndOpenCorrectTheImage) {
    // The map format tag comes back from the defaults on the way out; the areas no one edits
    // keep what the file holds, as the transceiver it came from had them.
    edit(imagemap::kMapFormatTag, 'X');
    const std::string path = folder.file("corrected.icf");
    ASSERT_TRUE(document.saveFile(path));
    const std::string saved = test::TempFolder::read(path);
    EXPECT_EQ(saved.substr(saved.size() - 40), "ACB0104F727361436C6F6E65466F726D617433\r\n");

    const std::string fixedByte = folder.file("fixed.icf");
    ASSERT_TRUE(document.saveFile(fixedByte));
    std::string text = test::TempFolder::read(fixedByte);
    const std::size_t record = text.find("\r\nAC3010") + 2;
    const std::size_t digit = record + 6 + (imagemap::kFixedByte % 16) * 2;
    text.replace(digit, 2, text.substr(digit, 2) == "5A" ? "A5" : "5A");
    folder.write("fixed.icf", text);
    ASSERT_TRUE(document.openFile(fixedByte));
    const std::uint8_t fromFile = document.current().getByte(imagemap::kFixedByte);
    EXPECT_NE(fromFile, document.images().defaults().getByte(imagemap::kFixedByte));
    EXPECT_FALSE(document.isModified());
    ASSERT_TRUE(document.saveFile(fixedByte));
    EXPECT_EQ(document.current().getByte(imagemap::kFixedByte), fromFile);
}

TEST_F(DocumentTest, FailedSaveKeepsNameAndModifiedState) {
    edit(0x6960, 'A');
    EXPECT_FALSE(document.saveFile(folder.file("missing/x.icf")));
    EXPECT_EQ(document.lastFileError(), FileErrorCode::FileOpen);
    EXPECT_TRUE(document.isUntitled());
    EXPECT_TRUE(document.isModified());
    EXPECT_EQ(recent.count(), 0u);
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, "File error.\n\nCannot open the file.");
}

TEST_F(DocumentTest, RecentFilesOpenByIndexWithTheNewestFirst) {
    const std::string a = folder.file("a.icf");
    const std::string b = folder.file("b.icf");
    ASSERT_TRUE(document.saveFile(a));
    ASSERT_TRUE(document.saveFile(b));
    EXPECT_EQ(recent.entry(0), b);
    EXPECT_EQ(recent.displayEntry(1, directory), "a.icf");
    ASSERT_TRUE(document.openRecent(1));
    EXPECT_EQ(document.path(), a);
    EXPECT_EQ(recent.entry(0), a);
    EXPECT_FALSE(document.openRecent(5));
}

class MessageLog : public EvSubscriber {
public:
    void onMessage(const EvMessage& message, cmcEvMan&) override { ids.push_back(message.id); }
    std::vector<MessageId> ids;
};

TEST_F(DocumentTest, CommandsTellTheSheetsBeforeAndAfter) {
    test::ManualScheduler scheduler;
    cmcEvMan bus(scheduler);
    MessageLog log;
    bus.subscribe(&log);
    indDocument withBus(texts, prompt, dialog, &bus, recent, directory, 0);
    int replaced = 0;
    withBus.setReplacedListener([&] { ++replaced; });
    withBus.images().setDestination(5);
    const std::string path = folder.file("bus.icf");

    ASSERT_TRUE(withBus.saveFile(path));
    EXPECT_EQ(log.ids, (std::vector<MessageId>{MessageId::DocumentWillChange,
                                               MessageId::ImageMayHaveChanged}));
    log.ids.clear();
    ASSERT_TRUE(withBus.openFile(path));
    EXPECT_EQ(log.ids,
              (std::vector<MessageId>{MessageId::DocumentWillChange, MessageId::AdjustTree}));
    log.ids.clear();
    ASSERT_TRUE(withBus.newDocument());
    EXPECT_EQ(log.ids,
              (std::vector<MessageId>{MessageId::DocumentWillChange, MessageId::AdjustTree}));
    EXPECT_EQ(replaced, 2);
    bus.unsubscribe(&log);
}

TEST(DocumentStartTest, StartDirectoryPrefersTheStoredFolderThenDocuments) {
    test::FixedSystemInfo system;
    system.documents = "/home/u/Documents";
    EXPECT_EQ(indDocument::startDirectory("/data/radio", system), "/data/radio");
    EXPECT_EQ(indDocument::startDirectory("", system), "/home/u/Documents");
    system.documents.clear();
    EXPECT_EQ(indDocument::startDirectory("", system), std::filesystem::current_path().string());
}

} // namespace
} // namespace qx
