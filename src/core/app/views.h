#pragma once

#include "app/radio_backups.h"
#include "base/system_info.h"
#include "output/channel_csv_import.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qx {

class cuiSheet;

// What the editor's windows do for the MainController. The controller keeps the behaviour; a
// window only shows what it is told and hands the user's actions back. Without views (the
// command line, headless tests) the controller runs the same code and nothing is shown.
// What the "Cloning" window shows, its texts taken from the table.
struct CloningProgress {
    int litSegments = 0; // of 32
    std::string caption;
    std::string operation; // reading or writing
    std::string amount;    // percentage and bytes
    std::string timeLeft;
    std::string cancel; // the button's caption
};

class Views {
public:
    virtual ~Views() = default;

    // --- main window -------------------------------------------------------------------------
    virtual bool mainWindowVisible() const = 0;
    // Shows the main window (when the initial setup ends, or at once when it was done before),
    // enabled and in front.
    virtual void showMainWindow() = 0;
    virtual void setMainWindowEnabled(bool enabled) = 0;
    virtual void raiseMainWindow() = 0;
    // Exit: closes the main window; its close query asks the controller.
    virtual void closeMainWindow() = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual void setStatusText(int panel, const std::string& text) = 0;
    // Puts text on the desktop's clipboard, for other programs to paste.
    virtual void setClipboardText(const std::string& text) = 0;
    virtual void setBusyCursor(bool busy) = 0;
    // The About box: caption, the product line and the button caption.
    virtual void showAbout(const std::string& caption, const std::string& text,
                           const std::string& button) = 0;

    // --- menu, toolbar, tree -----------------------------------------------------------------
    // Checked, visible, enabled, captions or images of the main menu items changed.
    virtual void menuStatesChanged() = 0;
    virtual void toolBarStatesChanged() = 0;
    virtual void setToolBarVisible(bool visible) = 0;
    // The tree was built anew or lost nodes: draw it again from the model, with its expanded
    // nodes and its selection.
    virtual void treeRebuilt() = 0;
    // Captions, images or marks of tree nodes changed; the nodes are the same.
    virtual void treeItemsChanged() = 0;

    // --- sheet area --------------------------------------------------------------------------
    // The sheet shown in the right pane; it lives until sheetClosing.
    virtual void sheetOpened(cuiSheet& sheet) = 0;
    virtual void sheetClosing(cuiSheet& sheet) = 0;

    // --- dialogs -----------------------------------------------------------------------------
    // The port number dialog of "More...": the text the user confirmed, or nothing for Cancel.
    // `text` is what the edit box starts with.
    virtual std::optional<std::string> askPortNumber(const std::string& text) = 0;
    // The initial setup dialog: opened without a modal loop; the controller's indInitialSetup
    // receives its buttons.
    virtual void openInitialSetup() = 0;
    virtual void setInitialSetupEnabled(bool enabled) = 0;
    virtual void closeInitialSetup() = 0;
    // File > Import Channels: where the channels of the file go, the Location column or empty
    // memory channels from one on; nothing for Cancel. Without a window the file decides.
    virtual std::optional<ChannelImportOptions> askChannelImportPlacement(bool /*hasLocation*/,
                                                                          int /*suggestedFrom*/) {
        return ChannelImportOptions{};
    }
    // File > Radio Backups: the backup the user chose to open, or nothing for Cancel. Without a
    // window none is chosen.
    virtual std::optional<std::size_t> chooseBackup(const std::vector<RadioBackup>& /*backups*/) {
        return std::nullopt;
    }
    // The clone information dialog: a modal frame showing the sheet, captioned `caption`.
    virtual void showCloneInformation(cuiSheet& sheet, const std::string& caption) = 0;

    // --- printing ------------------------------------------------------------------------------
    // File > Print: the current sheet, or all sheets of the tree, through the print dialogs and
    // the preview. Nothing without a window.
    virtual void printSheets(bool /*all*/) {}
    // --- the "Cloning" progress window -------------------------------------------------------
    virtual void openProgress() = 0;
    virtual void paintProgress(const CloningProgress& progress) = 0;
    virtual void closeProgress() = 0;
};

} // namespace qx
