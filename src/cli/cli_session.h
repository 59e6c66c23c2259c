#pragma once

#include "app/environ.h"
#include "app/main_controller.h"
#include "base/event_manager.h"
#include "base/file_dialog.h"
#include "base/loop_scheduler.h"
#include "base/text_metrics.h"
#include "cli_command.h"
#include "cli_files.h"
#include "qt_settings_store.h"
#include "qt_system_info.h"
#include "stderr_prompt.h"
#include "text/text_table.h"

#include <memory>
#include <string>

namespace qx::cli {

// The editor's controller without a window, set up for the options: the text table of the
// chosen language, message boxes on stderr, the document of the destination and variant, and a
// loop that runs the timers while a command waits.
class CliSession {
public:
    // `yes` answers every question with Yes (or OK), as --yes does.
    explicit CliSession(const CliOptions& options, bool yes = false);
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    MainController& controller() { return m_controller; }
    cmcGTex& texts() { return m_texts; }
    StderrPrompt& prompt() { return m_prompt; }
    indDocument& document() { return m_controller.document(); }
    LoopScheduler& loop() { return m_loop; }
    indEnviron& settings() { return m_settings; }
    CliFiles& files() { return m_files; }

private:
    // There is nobody to pick a file: every dialog is cancelled.
    class NoFileDialog : public FileDialog {
    public:
        std::optional<std::string> askOpen(const FileDialogRequest&) override { return {}; }
        std::optional<std::string> askSave(const FileDialogRequest&) override { return {}; }
    };

    // The system's answers, with the language of the options: the command line shows what an
    // editor on a system of that language shows.
    class OptionSystemInfo : public QtSystemInfo {
    public:
        explicit OptionSystemInfo(bool japanese) : m_japanese(japanese) {}
        std::string language() const override { return m_japanese ? "ja" : "en"; }

    private:
        bool m_japanese;
    };

    static MainControllerPorts ports(CliSession& s);
    // The system's ports; QX5130_DEVICE_ROOT names another device tree (a test's).
    static std::unique_ptr<SerialPortCatalogue> deviceCatalogue();

    LoopScheduler m_loop;
    QtSettingsStore m_store;
    std::unique_ptr<SerialPortCatalogue> m_catalogue = deviceCatalogue();
    OptionSystemInfo m_system;
    FixedTextMetrics m_metrics;
    StderrPrompt m_prompt;
    NoFileDialog m_dialog;
    indEnviron m_settings;
    cmcGTex m_texts;
    cmcEvMan m_bus;
    MainController m_controller;
    CliFiles m_files{m_controller.document(), m_prompt, m_texts};
};

} // namespace qx::cli
