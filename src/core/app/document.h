#pragma once

#include "base/file_dialog.h"
#include "base/user_prompt.h"
#include "clonefile/file_error.h"
#include "clonefile/icf_file.h"
#include "edit/edit_history.h"
#include "radio/feature_flags.h"
#include "radio/image_set.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace qx {

class cmcEvMan;
class cmcGTex;
class cmcRecent;
class SystemInfo;

// The document: the image set, the clone file it came from, and what the File menu does with
// them. Failures leave the image, the name and the modified state as they were.
class indDocument {
public:
    // `recent` and `currentDirectory` are the settings record's fields, so that they survive
    // the session. `bus` may be null (no sheets listen, as in the command line tool).
    indDocument(cmcGTex& texts, UserPrompt& prompt, FileDialog& dialog, cmcEvMan* bus,
                cmcRecent& recent, std::string& currentDirectory, int language);

    ImageSet& images() { return m_images; }
    const ImageSet& images() const { return m_images; }
    cmcEeprom& current() { return m_images.current(); }

    // Another destination: its default image becomes the data, unmodified, and undo starts
    // afresh.
    void setDestination(DestinationCode code) {
        m_images.setDestination(code);
        m_history.reset();
    }
    // The transceiver's variant, which the correction pass before saving needs.
    void setFeatureFlags(const FeatureFlags& flags) { m_flags = flags; }

    // Told when the window title may have changed.
    void setTitleListener(std::function<void()> listener);
    // Told before and after a long file operation, to show the wait cursor.
    void setBusyListener(std::function<void(bool busy)> listener) { m_busy = std::move(listener); }
    // Told when New or Open replaced the image, so the shown sheet can be built again.
    void setReplacedListener(std::function<void()> listener) { m_replaced = std::move(listener); }
    // Tells whether a cell entry is still in its editor after message 21 asked for it: the
    // cell refused it, and the command that wanted the document stops as Enter would.
    void setEntryPendingQuery(std::function<bool()> query) { m_entryPending = std::move(query); }

    // File names are in the system's encoding, texts in the table's code page; these convert
    // between the two where a name meets a text. Unset: the bytes stay as they are. With toText
    // set, file error boxes also name the file, the line and the system's reason.
    struct NameCodec {
        std::function<std::string(const std::string&)> toText; // a file name, for a text
        std::function<std::string(const std::string&)> toName; // a table text, as a file name
    };
    void setNameCodec(NameCodec codec) { m_nameCodec = std::move(codec); }
    // A file name (or path) as the table's texts show it.
    std::string nameAsText(const std::string& name) const {
        return m_nameCodec.toText ? m_nameCodec.toText(name) : name;
    }

    const std::string& path() const { return m_path; }
    bool isUntitled() const { return m_path.empty(); }
    // The data no longer comes from the file (it was read from the transceiver).
    void becomeUntitled();
    // The path, or "<current directory>/Untitled" for an untitled document.
    std::string documentName() const;
    // "<file name> - QX-5130"
    std::string windowTitle() const;
    const std::string& currentDirectory() const { return m_currentDirectory; }
    const cmcRecent& recent() const { return m_recent; }

    bool isModified() const { return m_images.isModified(); }
    void markSaved() { m_images.markUnmodified(); }
    void markModified() { m_images.markModified(); }
    void checkModified() { m_images.checkModified(); }

    // Undo and redo of the changes to the image. New and Open start a fresh history; whoever
    // changes the image records the change as one step when the user's action is complete.
    cmcEditHistory& history() { return m_history; }
    // The modified flag follows: back at the saved state the document is unmodified.
    bool undo();
    bool redo();

    // The save-changes question before the document is replaced or closed: Yes (saved, or
    // nothing to save), No (discard) or Cancel (stop). sameFile: the file about to be opened is
    // the document's own, so Yes must not overwrite it.
    PromptAnswer closeCheck(bool sameFile);

    // The File menu. Each returns true when it did what it was asked.
    bool newDocument();
    bool open();
    bool openFile(const std::string& path);
    // Opens the contents of a clone file that has no path (it came through a pipe): the
    // document becomes untitled.
    bool openText(std::string_view text);
    bool openRecent(std::size_t index);
    // Opens a copy of a clone file as a new, untitled and modified document, as a read would
    // bring it: the file itself is never saved over and joins no recent list.
    bool openCopy(const std::string& path);
    // Opens a recovery copy as the modified document of `documentPath` (empty: untitled), so
    // that Save goes there.
    bool openRecovered(const std::string& copyPath, const std::string& documentPath);
    bool save();
    bool saveAs();
    // Whether another program changed the document's file since it was opened or saved here
    // (replaced, rewritten or resized it). A file that is gone is no change: saving loses
    // nothing then.
    bool changedOnDisk() const;
    // The same, true once for each change, for the note when the window regains focus.
    bool noticeChangeOnDisk();
    bool saveFile(const std::string& path);
    // What saving would write, for a file that has no path (it goes through a pipe). The
    // image is corrected as by a save; the document stays unsaved.
    std::string savedText();

    // The result of the last open or save, for callers that report beyond the message box.
    FileErrorCode lastFileError() const { return m_lastError; }
    // The system's reason and the line at fault of that failure, where there are any.
    const FileErrorDetail& lastFileDetail() const { return m_lastDetail; }

    // Where file dialogs start when the editor starts: the stored folder, else the documents
    // folder, else the working directory.
    static std::string startDirectory(const std::string& stored, const SystemInfo& system);

private:
    // Sends message 21; false when an entry in progress was refused.
    bool willChange();
    bool afterHistoryMove(bool moved);
    void refreshTitle() const;
    void setBusy(bool busy) const;
    void takeLocation(const std::string& path);
    // Open from the file at `path`, or from `text` when path is null.
    bool readInto(const std::string* path, std::string_view text, bool asCopy = false);
    cmcIcfFile prepareSave();
    // Save to the document's own file, asking first when another program changed it.
    bool saveOwnFile();
    std::string appTitle() const;
    FileDialogRequest dialogRequest(std::string fileName) const;

    cmcGTex& m_texts;
    UserPrompt& m_prompt;
    FileDialog& m_dialog;
    cmcEvMan* m_bus;
    cmcRecent& m_recent;
    std::string& m_currentDirectory;
    int m_language;
    ImageSet m_images;
    cmcEditHistory m_history{m_images.current()};
    FeatureFlags m_flags;
    std::string m_path;
    FileStamp m_diskStamp;    // the file as this document last read or wrote it
    FileStamp m_noticedStamp; // the change on disk last noted
    NameCodec m_nameCodec;
    FileErrorCode m_lastError = FileErrorCode::Ok;
    FileErrorDetail m_lastDetail;
    std::function<void()> m_titleListener;
    std::function<void(bool)> m_busy;
    std::function<void()> m_replaced;
    std::function<bool()> m_entryPending;
};

} // namespace qx
