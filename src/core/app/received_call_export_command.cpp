#include "app/received_call_export_command.h"

#include "app/recent_files.h"
#include "base/file_dialog.h"
#include "base/system_info.h"
#include "base/user_prompt.h"
#include "clonefile/icf_file.h"
#include "output/received_call_export.h"
#include "sheet/gtex_lines.h"
#include "text/text_table.h"

namespace qx {

int indReceivedCallExportCommand::run(const cmcEeprom& image, const FeatureFlags& flags) {
    if (!flags.hasUsableDv()) {
        return 0;
    }
    FileDialogRequest request;
    request.defaultExtension = m_texts.line("GI_Sys_Dialog_FExport", 0);
    request.filter = m_texts.line("GI_Sys_Dialog_FExport", 1);
    request.folder = m_lastExportFolder.empty() ? m_lastFolder : m_lastExportFolder;
    const std::optional<std::string> path = m_dialog.askSave(request);
    if (!path) {
        return 0;
    }
    GTexLines lines(m_texts);
    const ReceivedCallExport exporter(image, lines);
    const DateOrder order =
        m_system.language() == "ja" ? DateOrder::YearMonthDay : DateOrder::MonthDayYear;
    const FileErrorCode result =
        exporter.write(*path, ReceivedCallExport::separatorFor(m_system.listSeparator()), order);
    if (result != FileErrorCode::Ok) {
        m_prompt.ask(cmcIcfFile::errorText(m_texts, result), m_texts.firstLine("GI_Sys_AppTitle"),
                     PromptIcon::Warning, PromptButtons::Ok);
        return static_cast<int>(result);
    }
    m_lastExportFolder = cmcRecent::folderPart(*path);
    // The folder part keeps its delimiter; the stored folder does not, except for a root.
    while (m_lastExportFolder.size() > 1 && cmcRecent::isPathDelimiter(m_lastExportFolder.back())) {
        m_lastExportFolder.pop_back();
    }
    m_lastFolder = m_lastExportFolder;
    return 0;
}

} // namespace qx
