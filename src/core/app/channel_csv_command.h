#pragma once

#include "output/channel_csv_import.h"

#include <functional>
#include <optional>
#include <string>

namespace qx {

class FileDialog;
class UserPrompt;
class cmcGTex;
struct LinkEnvironment;

// The File menu's Import Channels and Export Channels: channel lists as CSV files the user
// picks, with the overwrite question and the report of the import in message boxes.
class indChannelCsvCommand {
public:
    // Where an import puts its channels: the window asks the user. `hasLocation` tells whether
    // the file names its channels; `suggestedFrom` is the channel to offer for appending.
    // Nothing means Cancel.
    using PlacementQuestion =
        std::function<std::optional<ChannelImportOptions>(bool hasLocation, int suggestedFrom)>;

    // `lastFolder` is the settings record's last folder, which both commands share.
    indChannelCsvCommand(cmcGTex& texts, UserPrompt& prompt, FileDialog& dialog,
                         std::string& lastFolder)
        : m_texts(texts), m_prompt(prompt), m_dialog(dialog), m_lastFolder(lastFolder) {}

    void setPlacementQuestion(PlacementQuestion question) { m_placement = std::move(question); }
    // Told the number of channels written after a successful export.
    void setExportedListener(std::function<void(int)> listener) {
        m_exported = std::move(listener);
    }

    // Writes the channels in use of the environment's image. Returns 0, also for a cancelled
    // dialog, or the file error after telling the user.
    int exportChannels(const LinkEnvironment& environment);

    // Reads a file into the environment's image as one change; `changed` is then told once
    // how many channels were taken. Nothing changes when the user cancels, when the file
    // cannot be read or imported, or when a question is answered No. Returns 0 or the file
    // error.
    // Without a placement question, the channels go where the file's Location column says.
    int importChannels(const LinkEnvironment& environment,
                       const std::function<void(int taken)>& changed, int suggestedFrom = 0);

private:
    std::string folderOf(const std::string& path) const;
    int fileError(int code);

    cmcGTex& m_texts;
    UserPrompt& m_prompt;
    FileDialog& m_dialog;
    std::string& m_lastFolder;
    PlacementQuestion m_placement;
    std::function<void(int)> m_exported;
};

} // namespace qx
