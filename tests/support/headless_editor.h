#pragma once

#include "app/environ.h"
#include "app/main_controller.h"
#include "app/views.h"
#include "base/event_manager.h"
#include "fixed_system_info.h"
#include "manual_scheduler.h"
#include "memory_settings_store.h"
#include "recording_prompt.h"
#include "scripted_file_dialog.h"
#include "scripted_serial_device.h"
#include "temp_folder.h"
#include "text/text_table.h"
#include "text_blocks.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qx::test {

// Windows that only remember what they were told.
class RecordingViews : public Views {
public:
    bool mainWindowVisible() const override { return visible; }
    void showMainWindow() override {
        visible = true;
        enabled = true;
        ++shown;
    }
    void setMainWindowEnabled(bool on) override {
        enabled = on;
        enabledHistory.push_back(on);
    }
    void raiseMainWindow() override { ++raised; }
    void closeMainWindow() override { ++closeRequests; }
    void setTitle(const std::string& text) override { title = text; }
    void setStatusText(int panel, const std::string& text) override {
        status[panel == 0 ? 0 : 1] = text;
    }
    void setClipboardText(const std::string& text) override { clipboard = text; }
    void setBusyCursor(bool busy) override { busyHistory.push_back(busy); }
    void showAbout(const std::string& caption, const std::string& text,
                   const std::string& button) override {
        about = {caption, text, button};
    }
    void menuStatesChanged() override { ++menuRefreshes; }
    void toolBarStatesChanged() override { ++toolBarRefreshes; }
    void setToolBarVisible(bool on) override { toolBarVisible = on; }
    void treeRebuilt() override { ++treeRebuilds; }
    void treeItemsChanged() override { ++treeItemChanges; }
    void sheetOpened(cuiSheet& sheet) override { opened.push_back(sheet.callString()); }
    void sheetClosing(cuiSheet& sheet) override { closing.push_back(sheet.callString()); }
    std::optional<std::string> askPortNumber(const std::string& text) override {
        portDialogTexts.push_back(text);
        if (portAnswers.empty()) {
            return std::nullopt;
        }
        auto a = portAnswers.front();
        portAnswers.pop_front();
        return a;
    }
    void openInitialSetup() override { setupOpen = true; }
    void setInitialSetupEnabled(bool on) override { setupEnabledHistory.push_back(on); }
    void closeInitialSetup() override { setupOpen = false; }
    void showCloneInformation(cuiSheet& sheet, const std::string& caption) override {
        informationShown.push_back(sheet.callString() + "|" + caption);
    }
    void openProgress() override { ++progressOpened; }
    void paintProgress(const CloningProgress& p) override { litHistory.push_back(p.litSegments); }
    void closeProgress() override { ++progressClosed; }

    bool visible = false;
    bool enabled = true;
    int shown = 0;
    int raised = 0;
    int closeRequests = 0;
    std::vector<bool> enabledHistory;
    std::string title;
    std::string status[2];
    std::string clipboard;
    std::vector<bool> busyHistory;
    std::vector<std::string> about;
    int menuRefreshes = 0;
    int toolBarRefreshes = 0;
    bool toolBarVisible = false;
    int treeRebuilds = 0;
    int treeItemChanges = 0;
    std::vector<std::string> opened;
    std::vector<std::string> closing;
    std::deque<std::optional<std::string>> portAnswers;
    std::vector<std::string> portDialogTexts;
    bool setupOpen = false;
    std::vector<bool> setupEnabledHistory;
    std::vector<std::string> informationShown;
    int progressOpened = 0;
    std::vector<int> litHistory;
    int progressClosed = 0;
};

// The editor without a window: the controller on fakes of every port. `configure` sets up the
// settings record before the controller is made.
struct HeadlessEditor {
    explicit HeadlessEditor(const std::function<void(indEnviron&)>& configure = {},
                            bool withViews = true) {
        // Backups of reads go to a folder of this run, never to the user's own.
        system.backups = (userData.path() / "backups").string();
        env.destination = 0;
        env.setupDone = true;
        env.digitalUnit = true;
        env.dvInhibit = false;
        env.pagerInhibit = false;
        if (configure) {
            configure(env);
        }
        MainControllerPorts ports{scheduler, scheduler, prompt, dialog, system, metrics};
        ports.serial = std::make_unique<ScriptedSerialDevice>(line);
        ports.store = &store;
        controller = std::make_unique<MainController>(env, texts, bus, std::move(ports));
        if (withViews) {
            controller->setViews(&views);
        }
    }

    // Builds the window and shows it as the editor does at start.
    void start() {
        controller->buildWindow();
        controller->startUp();
    }
    // Lets time pass: timers run, posted messages are delivered.
    void run(std::uint64_t ms) {
        for (std::uint64_t t = 0; t < ms; t += 10) {
            scheduler.advance(10);
        }
    }

    ManualScheduler scheduler;
    MemorySettingsStore store;
    TempFolder userData;
    FixedSystemInfo system;
    indEnviron env{indEnviron::ReadOnly{},
                   indEnviron::kRegistryRoot,
                   indEnviron::kRegistryRoot,
                   store,
                   system,
                   {"qx5130"}};
    cmcGTex texts;
    cmcEvMan bus{scheduler};
    RecordingPrompt prompt;
    ScriptedFileDialog dialog;
    FixedMetrics metrics;
    std::shared_ptr<ScriptedSerialDevice::Line> line =
        std::make_shared<ScriptedSerialDevice::Line>();
    RecordingViews views;
    std::unique_ptr<MainController> controller;
};

} // namespace qx::test
