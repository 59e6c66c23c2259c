#pragma once

#include "radio/feature_flags.h"

#include <string>

namespace qx {

class FileDialog;
class SystemInfo;
class UserPrompt;
class cmcEeprom;
class cmcGTex;

// The File menu's Export: the received-call log of the image to a CSV file the user picks.
class indReceivedCallExportCommand {
public:
    // `lastFolder` is the settings record's last folder, which the export shares.
    indReceivedCallExportCommand(cmcGTex& texts, UserPrompt& prompt, FileDialog& dialog,
                                 const SystemInfo& system, std::string& lastFolder)
        : m_texts(texts), m_prompt(prompt), m_dialog(dialog), m_system(system),
          m_lastFolder(lastFolder) {}

    // Acts only when the transceiver has a usable digital unit, which keeps the log. Returns
    // non-zero when the file could not be written (after telling the user); a written file, a
    // cancelled dialog and a refused command return 0.
    int run(const cmcEeprom& image, const FeatureFlags& flags);

    const std::string& lastExportFolder() const { return m_lastExportFolder; }

private:
    cmcGTex& m_texts;
    UserPrompt& m_prompt;
    FileDialog& m_dialog;
    const SystemInfo& m_system;
    std::string& m_lastFolder;
    std::string m_lastExportFolder;
};

} // namespace qx
