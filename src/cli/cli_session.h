#pragma once

#include "app/document.h"
#include "app/recent_files.h"
#include "base/file_dialog.h"
#include "cli_command.h"
#include "cli_files.h"
#include "stderr_prompt.h"
#include "text/text_table.h"

#include <string>

namespace qx::cli {

// The editor's objects as a command needs them: the text table of the chosen language, message
// boxes on stderr, and a document set up for the destination and variant of the options.
class CliSession {
public:
    // `yes` answers every question with Yes (or OK), as --yes does.
    explicit CliSession(const CliOptions& options, bool yes = false);
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    cmcGTex& texts() { return m_texts; }
    StderrPrompt& prompt() { return m_prompt; }
    indDocument& document() { return m_document; }
    CliFiles& files() { return m_files; }

private:
    // There is nobody to pick a file: every dialog is cancelled.
    class NoFileDialog : public FileDialog {
    public:
        std::optional<std::string> askOpen(const FileDialogRequest&) override { return {}; }
        std::optional<std::string> askSave(const FileDialogRequest&) override { return {}; }
    };

    cmcGTex m_texts;
    StderrPrompt m_prompt;
    NoFileDialog m_dialog;
    cmcRecent m_recent;
    std::string m_currentDirectory;
    indDocument m_document;
    CliFiles m_files{m_document, m_prompt, m_texts};
};

} // namespace qx::cli
