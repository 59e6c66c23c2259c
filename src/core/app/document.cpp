#include "app/document.h"

#include "app/recent_files.h"
#include "base/event_manager.h"
#include "base/system_info.h"
#include "clonefile/file_lock.h"
#include "clonefile/icf_file.h"
#include "radio/image_map.h"
#include "text/text_table.h"

#include <cstring>
#include <filesystem>
#include <system_error>

namespace qx {

namespace {

// 無題 in Shift-JIS, the code page of the Japanese table.
constexpr const char* kUntitledJa = "\x96\xB3\x91\xE8";
constexpr const char* kUntitledEn = "Untitled";

// A path as the user gave it, made absolute so that its folder is known.
std::string fullPath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

// Fills the first "%s" without printf, so a '%' in a file name stays itself.
std::string fillIn(std::string format, const std::string& value) {
    const std::size_t at = format.find("%s");
    if (at != std::string::npos) {
        format.replace(at, 2, value);
    }
    return format;
}

} // namespace

indDocument::indDocument(cmcGTex& texts, UserPrompt& prompt, FileDialog& dialog, cmcEvMan* bus,
                         cmcRecent& recent, std::string& currentDirectory, int language)
    : m_texts(texts), m_prompt(prompt), m_dialog(dialog), m_bus(bus), m_recent(recent),
      m_currentDirectory(currentDirectory), m_language(language) {}

void indDocument::setTitleListener(std::function<void()> listener) {
    m_titleListener = std::move(listener);
    m_images.setTitleRefresh([this] { refreshTitle(); });
}

std::string indDocument::documentName() const {
    if (!m_path.empty()) {
        return m_path;
    }
    std::string name = m_currentDirectory;
    if (name.empty() || !cmcRecent::isPathDelimiter(name.back())) {
        name += std::filesystem::path::preferred_separator;
    }
    const std::string untitled = m_language == 1 ? kUntitledJa : kUntitledEn;
    return name + (m_nameCodec.toName ? m_nameCodec.toName(untitled) : untitled);
}

std::string indDocument::windowTitle() const {
    return nameAsText(cmcRecent::fileNamePart(documentName())) + " - " + appTitle();
}

std::string indDocument::appTitle() const {
    return m_texts.firstLine("GI_Sys_AppTitle");
}

void indDocument::refreshTitle() const {
    if (m_titleListener) {
        m_titleListener();
    }
}

void indDocument::setBusy(bool busy) const {
    if (m_busy) {
        m_busy(busy);
    }
}

bool indDocument::willChange() {
    if (m_bus != nullptr) {
        m_bus->send(MessageId::DocumentWillChange);
    }
    return !m_entryPending || !m_entryPending();
}

void indDocument::takeLocation(const std::string& path) {
    m_path = path;
    m_currentDirectory = cmcRecent::folderPart(path);
    // The folder part keeps its delimiter; the stored folder does not, except for a root.
    while (m_currentDirectory.size() > 1 && cmcRecent::isPathDelimiter(m_currentDirectory.back())) {
        m_currentDirectory.pop_back();
    }
    m_recent.putAtHead(path);
}

FileDialogRequest indDocument::dialogRequest(std::string fileName) const {
    FileDialogRequest request;
    request.defaultExtension = m_texts.line("GI_Sys_Dialog_FOpen", 0);
    request.filter = m_texts.line("GI_Sys_Dialog_FOpen", 1);
    request.fileName = std::move(fileName);
    request.folder = m_currentDirectory;
    return request;
}

PromptAnswer indDocument::closeCheck(bool sameFile) {
    if (!willChange()) {
        return PromptAnswer::Cancel;
    }
    if (!isModified()) {
        return PromptAnswer::Yes;
    }
    const std::string question = sameFile
                                     ? m_texts.firstLine("GI_Mess_Confirm_WriteAnother")
                                     : fillIn(m_texts.firstLine("GI_Mess_Confirm_WriteFile"),
                                              nameAsText(cmcRecent::fileNamePart(documentName())));
    PromptAnswer answer =
        m_prompt.ask(question, appTitle(), PromptIcon::Question, PromptButtons::YesNoCancel);
    if (answer == PromptAnswer::Yes) {
        // The file about to be reopened must not be overwritten: its copy on disk is the one
        // the user asked for.
        const bool saved = isUntitled() || sameFile ? saveAs() : saveOwnFile();
        if (!saved) {
            answer = PromptAnswer::Cancel;
        }
    }
    return answer;
}

bool indDocument::undo() {
    return afterHistoryMove(m_history.undo());
}

bool indDocument::redo() {
    return afterHistoryMove(m_history.redo());
}

bool indDocument::afterHistoryMove(bool moved) {
    if (moved) {
        m_images.followSavedState();
        if (m_bus != nullptr) {
            m_bus->post(MessageId::RedrawSheet);
            m_bus->send(MessageId::AdjustTree); // bank names may have changed back
        }
    }
    return moved;
}

void indDocument::becomeUntitled() {
    m_path.clear();
    refreshTitle();
}

bool indDocument::newDocument() {
    if (closeCheck(false) == PromptAnswer::Cancel) {
        return false;
    }
    m_images.resetToDefaults();
    m_history.reset();
    m_path.clear();
    refreshTitle();
    if (m_replaced) {
        m_replaced();
    }
    if (m_bus != nullptr) {
        m_bus->send(MessageId::AdjustTree);
    }
    return true;
}

bool indDocument::open() {
    const auto path = m_dialog.askOpen(dialogRequest(""));
    return path && openFile(*path);
}

bool indDocument::openRecent(std::size_t index) {
    const std::string path = m_recent.entry(index);
    return !path.empty() && openFile(path);
}

bool indDocument::openFile(const std::string& givenPath) {
    const std::string path = fullPath(givenPath);
    if (closeCheck(cmcRecent::sameText(path, documentName())) == PromptAnswer::Cancel) {
        return false;
    }
    return readInto(&path, {});
}

bool indDocument::openText(std::string_view text) {
    if (closeCheck(false) == PromptAnswer::Cancel) {
        return false;
    }
    return readInto(nullptr, text);
}

bool indDocument::openCopy(const std::string& path) {
    if (closeCheck(false) == PromptAnswer::Cancel) {
        return false;
    }
    return readInto(&path, {}, true);
}

bool indDocument::openRecovered(const std::string& copyPath, const std::string& documentPath) {
    if (!readInto(&copyPath, {}, true)) {
        return false;
    }
    m_path = documentPath;
    // The file as it is now: saving over it asks only when it changes from here on.
    m_diskStamp = documentPath.empty() ? FileStamp{} : fileStamp(documentPath);
    refreshTitle();
    return true;
}

bool indDocument::readInto(const std::string* path, std::string_view text, bool asCopy) {
    setBusy(true);
    cmcEeprom scratch(m_images.current().size());
    cmcIcfFile file(scratch);
    file.setModel(imagemap::kModelCode, imagemap::kModelSubCode);
    file.setReporter(&m_prompt, &m_texts, m_nameCodec.toText);
    FileErrorCode result =
        path != nullptr ? file.read(*path, nullptr) : file.readText(text, nullptr);
    m_lastDetail = file.lastDetail();
    if (result == FileErrorCode::Ok &&
        std::memcmp(scratch.data() + imagemap::kMapFormatTag, imagemap::kMapFormatTagText.data(),
                    imagemap::kMapFormatTagSize) != 0) {
        result = FileErrorCode::Data;
        file.reportError(result);
    }
    if (result == FileErrorCode::Ok) {
        result = file.checkCoverage(ImageRangeList::transceiverPart());
        file.reportError(result);
    }
    m_lastError = result;
    if (result != FileErrorCode::Ok) {
        setBusy(false);
        return false;
    }
    if (path != nullptr && !asCopy) {
        takeLocation(*path);
    } else {
        m_path.clear();
    }
    m_diskStamp = asCopy ? FileStamp{} : file.stamp();
    m_noticedStamp = {};
    // Only the transceiver part comes from the file; the rest of the image is derived here.
    m_images.current().writeBlock(imagemap::kTransceiverStart, scratch.data(),
                                  imagemap::kTransceiverSize);
    m_images.takeCurrentAsOrigin();
    m_images.correct(m_flags);
    markSaved();
    m_history.reset();
    if (asCopy) {
        markModified();
    }
    refreshTitle();
    if (m_replaced) {
        m_replaced();
    }
    if (m_bus != nullptr) {
        m_bus->send(MessageId::AdjustTree);
    }
    setBusy(false);
    return true;
}

bool indDocument::save() {
    return isUntitled() ? saveAs() : saveOwnFile();
}

bool indDocument::changedOnDisk() const {
    if (isUntitled()) {
        return false;
    }
    const FileStamp now = fileStamp(m_path);
    return now.exists && now != m_diskStamp;
}

bool indDocument::noticeChangeOnDisk() {
    if (!changedOnDisk()) {
        return false;
    }
    const FileStamp now = fileStamp(m_path);
    if (now == m_noticedStamp) {
        return false;
    }
    m_noticedStamp = now;
    return true;
}

bool indDocument::saveOwnFile() {
    // A command that is changing the file ends first, so that its change is seen here.
    FileLock lock;
    lock.acquire(m_path);
    if (!changedOnDisk()) {
        return saveFile(m_path);
    }
    lock.release(); // nobody waits while the user thinks
    // The copy on disk may hold someone else's work: replacing it is the user's choice.
    const char* const buttons = "GI_App_ChangedOnDisk_Buttons";
    const std::string question =
        fillIn(m_texts.blockText("GI_Mess_Confirm_ChangedOnDisk"), cmcRecent::fileNamePart(m_path));
    switch (m_prompt.choose(question, appTitle(), PromptIcon::Warning,
                            {{PromptAnswer::Overwrite, m_texts.line(buttons, 0)},
                             {PromptAnswer::SaveAs, m_texts.line(buttons, 1)},
                             {PromptAnswer::Cancel, m_texts.line(buttons, 2)}})) {
    case PromptAnswer::Overwrite:
        lock.acquire(m_path);
        return saveFile(m_path);
    case PromptAnswer::SaveAs:
        return saveAs();
    default:
        return false;
    }
}

bool indDocument::saveAs() {
    if (!willChange()) {
        return false;
    }
    const auto path = m_dialog.askSave(dialogRequest(cmcRecent::fileNamePart(documentName())));
    return path && saveFile(*path);
}

bool indDocument::saveFile(const std::string& givenPath) {
    const std::string path = fullPath(givenPath);
    if (!willChange()) {
        return false;
    }
    cmcIcfFile file = prepareSave();
    setBusy(true);
    m_lastError = file.write(path, ImageRangeList::transceiverPart());
    m_lastDetail = file.lastDetail();
    setBusy(false);
    if (m_lastError != FileErrorCode::Ok) {
        return false;
    }
    takeLocation(path);
    m_diskStamp = file.stamp();
    m_noticedStamp = {};
    markSaved();
    refreshTitle();
    return true;
}

std::string indDocument::savedText() {
    willChange();
    return prepareSave().text(ImageRangeList::transceiverPart());
}

cmcIcfFile indDocument::prepareSave() {
    // What is saved is what the transceiver accepts; the sheets show the corrected values too.
    // The corrections are no step of their own: undo never brings uncorrected values back.
    m_history.record(EditAction::Entry);
    m_images.correct(m_flags);
    m_history.absorb();
    if (m_bus != nullptr) {
        m_bus->send(MessageId::ImageMayHaveChanged);
    }
    cmcIcfFile file(m_images.current());
    file.setModel(imagemap::kModelCode, imagemap::kModelSubCode);
    file.setReporter(&m_prompt, &m_texts, m_nameCodec.toText);
    file.setComment(cmcIcfFile::commentFromImage(m_images.current()));
    return file;
}

std::string indDocument::startDirectory(const std::string& stored, const SystemInfo& system) {
    if (!stored.empty()) {
        return stored;
    }
    std::string folder = system.documentsFolder();
    if (!folder.empty()) {
        return folder;
    }
    std::error_code ec;
    folder = std::filesystem::current_path(ec).string();
    return ec ? std::string() : folder;
}

} // namespace qx
