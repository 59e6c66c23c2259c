#include "app/channel_csv_command.h"

#include "app/recent_files.h"
#include "base/file_dialog.h"
#include "base/user_prompt.h"
#include "clonefile/file_error.h"
#include "output/channel_csv.h"
#include "output/channel_csv_import.h"
#include "radio/cell_link_dispatch.h"
#include "radio/text_format.h"
#include "sheet/gtex_lines.h"
#include "text/text_table.h"

#include <fstream>
#include <sstream>

namespace qx {

namespace {

// More than any channel list holds; a bigger file is not read into memory.
constexpr std::streamoff kMaxFileSize = 16 * 1024 * 1024;

FileDialogRequest csvRequest(cmcGTex& texts, const std::string& folder) {
    FileDialogRequest request;
    request.defaultExtension = texts.line("GI_Sys_Dialog_FExport", 0);
    request.filter = texts.line("GI_Sys_Dialog_FExport", 1);
    request.folder = folder;
    return request;
}

std::string joined(const std::vector<std::string>& lines, std::size_t from = 0,
                   std::size_t count = std::string::npos) {
    std::string text;
    for (std::size_t i = from; i < lines.size() && i - from < count; ++i) {
        if (!text.empty()) {
            text += '\n';
        }
        text += lines[i];
    }
    return text;
}

// A message box holds this many remarks; the whole report is behind its details button.
constexpr std::size_t kRemarksShown = 12;

} // namespace

std::string indChannelCsvCommand::folderOf(const std::string& path) const {
    std::string folder = cmcRecent::folderPart(path);
    while (folder.size() > 1 && cmcRecent::isPathDelimiter(folder.back())) {
        folder.pop_back();
    }
    return folder;
}

int indChannelCsvCommand::fileError(int code) {
    m_prompt.ask(m_texts.firstLine("GI_Mess_FileErr_Headline") + "\n\n" +
                     m_texts.firstLine(fileErrorKey(static_cast<FileErrorCode>(code))),
                 m_texts.firstLine("GI_Sys_AppTitle"), PromptIcon::Warning, PromptButtons::Ok);
    return code;
}

int indChannelCsvCommand::exportChannels(const LinkEnvironment& environment) {
    const std::optional<std::string> path = m_dialog.askSave(csvRequest(m_texts, m_lastFolder));
    if (!path) {
        return 0;
    }
    const ChannelCsvExport exporter(
        *environment.image, *environment.lists,
        halfWidthKanaNamesAllowed(environment.destination, environment.japaneseSystem));
    const FileErrorCode result = exporter.write(*path);
    if (result != FileErrorCode::Ok) {
        return fileError(static_cast<int>(result));
    }
    m_lastFolder = folderOf(*path);
    if (m_exported) {
        m_exported(exporter.channelCount());
    }
    return 0;
}

int indChannelCsvCommand::importChannels(const LinkEnvironment& environment,
                                         const std::function<void(int taken)>& changed,
                                         int suggestedFrom) {
    const std::optional<std::string> path = m_dialog.askOpen(csvRequest(m_texts, m_lastFolder));
    if (!path) {
        return 0;
    }
    std::ifstream in(*path, std::ios::binary);
    if (!in) {
        return fileError(static_cast<int>(FileErrorCode::FileOpen));
    }
    std::ostringstream bytes;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0);
    if (size < 0 || size > kMaxFileSize || !(bytes << in.rdbuf() || size == 0) || in.bad()) {
        return fileError(static_cast<int>(FileErrorCode::FileAccess));
    }
    m_lastFolder = folderOf(*path);

    const std::string caption = m_texts.firstLine("GI_Sys_AppTitle");
    GTexLines lines(m_texts);
    auto import = std::make_unique<ChannelCsvImport>(environment);
    bool prepared = import->prepare(bytes.str());
    const bool hasLocation = prepared;
    if (prepared || import->problem() == ChannelImportMessage::NoLocationColumn) {
        if (m_placement) {
            const std::optional<ChannelImportOptions> placement =
                m_placement(hasLocation, suggestedFrom);
            if (!placement) {
                return 0;
            }
            if (placement->appendFrom) {
                import = std::make_unique<ChannelCsvImport>(environment);
                prepared = import->prepare(bytes.str(), *placement);
            }
        }
    }
    if (!prepared) {
        m_prompt.ask(joined(import->reportLines(lines)), caption, PromptIcon::Error,
                     PromptButtons::Ok);
        return 0;
    }
    // The box shows what needs the user's eye (refusals, cuts, snaps) and the summary; the line
    // by line report is behind the details button when there is more to it.
    const std::vector<std::string> full = import->reportLines(lines);
    const std::vector<std::string> remarks = import->reportLines(lines, true);
    std::string report = joined(remarks, 0, std::min(kRemarksShown, remarks.size() - 1));
    if (remarks.size() - 1 > kRemarksShown) {
        report += "\n...";
    }
    report += (report.empty() ? "" : "\n\n") + remarks.back();
    const std::string details = full.size() > 1 ? joined(full, 0, full.size() - 1) : std::string();
    if (import->refusedCount() > 0) {
        // The report comes first: the user decides on the lines that were taken.
        const bool any = import->takenCount() > 0;
        const std::string question =
            any ? "\n\n" +
                      ChannelCsvImport::messageText(lines, ChannelImportMessage::TakeTheRest, {})
                : std::string();
        if (m_prompt.askWithDetails(
                report + question, details, caption, any ? PromptIcon::Question : PromptIcon::Error,
                any ? PromptButtons::YesNo : PromptButtons::Ok) != PromptAnswer::Yes) {
            return 0;
        }
    }
    if (import->takenCount() == 0) {
        if (import->refusedCount() == 0) {
            m_prompt.askWithDetails(report, details, caption, PromptIcon::Information,
                                    PromptButtons::Ok);
        }
        return 0;
    }
    if (!import->overwritten().empty() &&
        m_prompt.ask(import->overwriteQuestion(lines), caption, PromptIcon::Question,
                     PromptButtons::YesNo) != PromptAnswer::Yes) {
        return 0;
    }
    import->apply();
    if (changed) {
        changed(import->takenCount());
    }
    if (import->refusedCount() == 0) {
        m_prompt.askWithDetails(report, details, caption, PromptIcon::Information,
                                PromptButtons::Ok);
    }
    return 0;
}

} // namespace qx
