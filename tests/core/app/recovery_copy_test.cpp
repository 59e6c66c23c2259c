// The recovery copy of unsaved changes: kept while they are unsaved, offered back after a run
// that ended without saving (the controller is dropped without closing, as a crash leaves it).
#include "app/environ.h"
#include "app/main_controller.h"
#include "app/views.h"
#include "base/event_manager.h"
#include "fake_instance_lock.h"
#include "fixed_system_info.h"
#include "headless_editor.h"
#include "manual_scheduler.h"
#include "memory_settings_store.h"
#include "recording_prompt.h"
#include "scripted_file_dialog.h"
#include "temp_folder.h"
#include "text/text_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>

namespace qx {
namespace {

constexpr std::int32_t kEdited = 0x0100; // a byte of the channel memories

// One run of the editor that holds the lock, with its recovery folder in `folder`.
struct LockedEditor {
    explicit LockedEditor(const test::TempFolder& folder) {
        system.recovery = (folder.path() / "recovery").string();
        store.writeNumber(std::string(indEnviron::kRegistryRoot) + "\\Global", "BBT",
                          indEnviron::kSignature);
        env = std::make_unique<indEnviron>(indEnviron::kMutexName, indEnviron::kRegistryRoot,
                                           indEnviron::kRegistryRoot, store, lock, system,
                                           std::vector<std::string>{"qx5130"});
        env->destination = 0;
        env->setupDone = true;
        MainControllerPorts ports{scheduler, scheduler, prompt, dialog, system, metrics};
        ports.serial = std::make_unique<test::ScriptedSerialDevice>(line);
        controller = std::make_unique<MainController>(*env, texts, bus, std::move(ports));
        controller->setViews(&views);
    }
    void start() {
        controller->buildWindow();
        controller->startUp();
    }
    void run(std::uint64_t ms) {
        for (std::uint64_t t = 0; t < ms; t += 50) {
            scheduler.advance(50);
        }
    }

    test::ManualScheduler scheduler;
    test::MemorySettingsStore store;
    test::FixedSystemInfo system;
    std::set<std::string> taken;
    test::FakeInstanceLock lock{taken};
    std::unique_ptr<indEnviron> env;
    cmcGTex texts;
    cmcEvMan bus{scheduler};
    test::RecordingPrompt prompt;
    test::ScriptedFileDialog dialog;
    test::FixedMetrics metrics;
    std::shared_ptr<test::ScriptedSerialDevice::Line> line =
        std::make_shared<test::ScriptedSerialDevice::Line>();
    test::RecordingViews views;
    std::unique_ptr<MainController> controller;
};

TEST(RecoveryCopy, AnUnsavedEditComesBackOnYesAndIsGoneOnNo) {
    test::TempFolder folder;
    const std::string original = folder.file("mine.icf");
    const std::filesystem::path copy = folder.path() / "recovery" / "document.icf";
    {
        LockedEditor first(folder);
        first.start();
        ASSERT_TRUE(first.controller->document().saveFile(original));
        first.controller->document().current().setByte(kEdited, 0x5A);
        first.controller->document().markModified();
        first.run(1000);
        EXPECT_FALSE(std::filesystem::exists(copy)); // a burst of changes is written once
        first.run(MainController::kRecoveryDelayMs);
        ASSERT_TRUE(std::filesystem::exists(copy));
        // The run ends without closing: the copy stays.
        first.controller.reset();
    }
    {
        LockedEditor second(folder);
        second.prompt.answers.push_back(PromptAnswer::Yes);
        second.start();
        ASSERT_EQ(second.prompt.asked.size(), 1U);
        EXPECT_NE(second.prompt.asked[0].text.find("mine.icf"), std::string::npos);
        indDocument& document = second.controller->document();
        EXPECT_EQ(document.current().getByte(kEdited), 0x5A);
        EXPECT_TRUE(document.isModified());
        EXPECT_EQ(document.path(), original); // Save goes there
        second.controller.reset();
    }
    {
        LockedEditor third(folder);
        third.prompt.answers.push_back(PromptAnswer::No);
        third.start();
        ASSERT_EQ(third.prompt.asked.size(), 1U);
        EXPECT_FALSE(std::filesystem::exists(copy));
        EXPECT_FALSE(third.controller->document().isModified());
        EXPECT_NE(third.controller->document().current().getByte(kEdited), 0x5A);
    }
    LockedEditor fourth(folder);
    fourth.start();
    EXPECT_TRUE(fourth.prompt.asked.empty());
}

TEST(RecoveryCopy, SavingOrClosingWithoutSavingRemovesIt) {
    for (const bool save : {true, false}) {
        test::TempFolder folder;
        const std::filesystem::path copy = folder.path() / "recovery" / "document.icf";
        LockedEditor editor(folder);
        editor.start();
        editor.controller->document().current().setByte(kEdited, 0x33);
        editor.controller->document().markModified();
        editor.run(MainController::kRecoveryDelayMs + 500);
        ASSERT_TRUE(std::filesystem::exists(copy));
        if (save) {
            ASSERT_TRUE(editor.controller->document().saveFile(folder.file("saved.icf")));
            editor.run(100);
        } else {
            editor.prompt.answers.push_back(PromptAnswer::No);
            ASSERT_TRUE(editor.controller->closeQuery(std::nullopt, 0));
        }
        EXPECT_FALSE(std::filesystem::exists(copy)) << (save ? "save" : "close");
    }
}

} // namespace
} // namespace qx
