#pragma once

#include "app/channel_csv_command.h"
#include "app/clone_commands.h"
#include "app/document.h"
#include "app/initial_setup.h"
#include "app/menu_builder.h"
#include "app/port_map.h"
#include "app/received_call_export_command.h"
#include "app/recovery_copy.h"
#include "app/toolbar_builder.h"
#include "app/tree_builder.h"
#include "app/views.h"
#include "base/event_manager.h"
#include "base/system_info.h"
#include "base/task.h"
#include "base/tick.h"
#include "edit/channel_list_editor.h"
#include "link/clone_manager.h"
#include "radio/cell_link_dispatch.h"
#include "radio/clone_information.h"
#include "radio/feature_flags.h"
#include "sheet/gtex_lines.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/sheet_environment.h"
#include "sheet/value_tables.h"
#include "sheet/warning_check_list.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class Clock;
class FileDialog;
class Scheduler;
class SerialDevice;
class SettingsStore;
class SystemInfo;
class TextMetrics;
class UserPrompt;
class Views;
class indEnviron;

// What the controller stands on; the references outlive it.
struct MainControllerPorts {
    Scheduler& scheduler;
    Clock& clock;
    UserPrompt& prompt;
    FileDialog& fileDialog;
    const SystemInfo& system;
    const TextMetrics& metrics;
    // The cloning cable's port; none: the operating system's serial device.
    std::unique_ptr<SerialDevice> serial = nullptr;
    // Where the port map ("Ports", COM<n>) is kept; none: the default device paths.
    SettingsStore* store = nullptr;
    // Where serial ports are found; none: the operating system's.
    const SerialPortCatalogue* catalogue = nullptr;
    ColumnWidthStore* columnWidths = nullptr;
};

// The editor's controller: the document, the one sheet shown at a time, the menu, toolbar and
// tree, the clone commands and the initial setup. The windows reach it through `Views`; without
// views (qx5130-cli, headless tests) it runs the same code and shows nothing.
class MainController : public EvSubscriber {
public:
    static constexpr const char* kModelTag = "QX5130";
    static constexpr int kPeriodMs = 50;
    // How long the image must rest after a change before the tree marks are checked again.
    static constexpr std::uint32_t kRecheckDelayMs = 500;
    // How long after a change the recovery copy is written at most.
    static constexpr std::uint32_t kRecoveryDelayMs = 5000;
    static constexpr const char* kMenuKey = "GI_Menu_Main";
    static constexpr const char* kToolBarKey = "GI_ToolBar_Main";
    static constexpr const char* kTreeKey = "GI_Tree_Main";
    static constexpr const char* kCloneInfoSheet = "GI_Sheet_CloneInfo";

    // Attaches the interface table of the settings' language to `uiText`.
    MainController(indEnviron& settings, cmcGTex& uiText, cmcEvMan& bus, MainControllerPorts ports);
    ~MainController() override;
    MainController(const MainController&) = delete;
    MainController& operator=(const MainController&) = delete;

    // None: headless.
    void setViews(Views* views) { m_views = views; }
    Views* views() const { return m_views; }

    // The controller's part of building the main window: the document of the configured
    // destination, the menu, the toolbar, the tree and its marks, and the periodic task.
    // False when the self-check failed (after telling the user): the program ends.
    bool buildWindow();
    // After building: shows the main window when the setup was done before, else opens the
    // initial setup and leaves the main window hidden.
    void startUp();
    // Opens the initial setup session (also for "/setup").
    void openInitialSetup();

    // What the initial setup learned from the transceiver becomes the settings: its
    // destination, its variant and the document of that destination. False (nothing changes)
    // when no clone information was read or its destination is unknown.
    bool takeTransceiverSetup();

    // Without views, whether the clone commands act as with a visible main window (they check
    // the destination then). Default: visible.
    void setHeadlessShown(bool shown) { m_headlessShown = shown; }
    bool mainWindowVisible() const;

    // The destination and variant this run works for (the command line's options).
    void setDestination(int destination);
    void setFeatures(const FeatureFlags& flags);

    // --- the port of the cloning cable ---------------------------------------------------------
    // Looks for serial ports again (Refresh) and returns what was found.
    const std::vector<SerialPortInfo>& findPorts();
    // What the last look found.
    const std::vector<SerialPortInfo>& foundPorts() const { return m_foundPorts; }
    // The device that a COM number opens on this system.
    std::string portDevice(int port) const { return m_portMap.devicePath(port); }
    // The found port that the current COM number opens; -1 when it is none of them.
    int currentFoundPort() const;
    // Chooses the port of the cloning cable by its device path: it gets a COM number and the
    // port map keeps its stable name. False when there is no such device.
    bool choosePortPath(const std::string& path);
    // The number that opens path from now on (0: none), for the initial setup and the command
    // line; nothing else changes.
    int assignPortPath(const std::string& path);
    indPortMap& portMap() { return m_portMap; }

    // --- what the windows read ---------------------------------------------------------------
    indEnviron& settings() { return m_settings; }
    cmcGTex& texts() { return m_texts; }
    Scheduler& scheduler() { return m_scheduler; }
    UserPrompt& prompt() { return m_prompt; }
    GTexLines& lines() { return m_lines; }
    cmcValueTables& valueTables() { return m_valueTables; }
    const SheetEnvironment& sheetEnvironment() const { return m_sheetEnv; }
    cmcCellLinkDispatch& dispatch() { return *m_dispatch; }
    cmcSheetRouter& router() { return m_router; }
    indDocument& document() { return m_document; }
    indCloneMan& cloneManager() { return m_clone; }
    CloneCommands& cloneCommands() { return m_cloneCommands; }
    const FeatureFlags& features() const { return m_features; }
    const CloneInformation& cloneInformation() const { return m_cloneCommands.Block(); }
    bool shiftJis() const;
    std::string appTitle();

    cuiMenu& mainMenu() { return m_menu; }
    cuiToolBar& toolBar() { return m_toolBar; }
    cuiTree* tree() { return m_tree.get(); }
    // The call strings of the tree's sheets in tree order, each once (the sheet list of Print
    // All); without a window, those of the tree it would show.
    std::vector<std::string> treeCallStrings();
    // Those of the tree a transceiver of this variant would show.
    std::vector<std::string> treeCallStrings(const FeatureFlags& variant);
    // While the initial setup dialog is open.
    indInitialSetup* initialSetup() { return m_setup.get(); }

    // --- sheets ------------------------------------------------------------------------------
    // Opens the sheet of a call string in place of the shown one.
    cuiSheet& openSheet(std::string_view callString);
    // Closes the shown sheet, remembering its position; the periodic task opens the sheet of
    // the selected node again. An entry still in its editor is committed first.
    void closeSheet();
    // Sends message 21 so that an entry still in its editor reaches the image; false when the
    // cell refused it and the editor stays open for correction.
    bool commitPendingEntry();
    cuiSheet* currentSheet() { return m_router.current(); }
    // The periodic task's work, also callable directly.
    void periodic();

    // --- the user's actions ------------------------------------------------------------------
    std::int32_t menuClicked(cuiItem& item);
    std::int32_t toolBarClicked(cuiItem& button);
    void treeSelected(cuiItem* node);
    void treeExpanded(cuiItem& node, bool expanded);
    // The Cancel of the "Cloning" window.
    bool cancelClone();
    // What the "Cloning" window shows for done of total bytes.
    CloningProgress cloningProgress(int litSegments, std::int64_t done, std::int64_t total);
    // The close query of the main window: false keeps it open. A clone running is cancelled
    // first when the user agrees. `normalBounds` is the window's
    // restored position and size when it can be read; both are stored when the close goes on.
    bool closeQuery(const std::optional<ScreenRect>& normalBounds, int leftPaneWidth);
    // The main window closed: the periodic task stops, the sheet and the tree go.
    void windowClosed();
    // The main window regained focus: a note in the status bar when another program changed
    // the document's file since it was opened or saved (once for each change).
    void windowActivated();
    // A file given on the command line or dropped on the window.
    bool openDocument(const std::string& path);

    // The command links of the menus, the toolbar, the tree and the popup menus: operation 0
    // (command 0) is the state query, command 13 executes.
    std::int32_t runCommand(cmcCellCapsule& request);

    // --- checks ------------------------------------------------------------------------------
    // The setting checks over the current image.
    CheckListResult runChecks();
    CheckListResult checksOf(const cmcEeprom& image);
    // The image changed: the deferred re-check starts (again).
    void imageChanged();
    bool recheckPending() const { return m_recheck.running(); }
    // Re-applies the marks of the tree from the checks.
    void applyTreeMarks();
    // Builds the tree anew (after a change of the transceiver variant).
    void rebuildTree();

    // The font-changed flag: set by a font size change, handed to the next sheet opened.
    bool fontChanged() const { return m_fontChanged; }

    void onMessage(const EvMessage& message, cmcEvMan& bus) override;

private:
    static std::vector<std::string> callStringsOf(cuiTree& tree);
    class ProgressView;
    class WriteChecks;

    void refreshLinkEnvironment();
    void takeFeatures();
    void refreshTitle();
    void refreshMenus();
    void adjustTree();
    void postBankName(std::int32_t variant);
    void mainWindowEnable(bool enable);
    std::int32_t runMenuCommand(cmcCellObj& cell, bool execute);
    void importChannels();
    // The status text `key` with the number of channels an export or import moved.
    void showChannelCount(const char* key, int channels);
    void choosePortNumber();
    // The status note after the initial setup: where the transceiver was found and what it is.
    void showSetupFound();
    void showCloneInformation();
    // The status line after a clone command: doneKey's text when it went through.
    void cloneEnded(CloneCommands::Outcome outcome, const char* doneKey);
    // Keeps a read image in the backups folder; a failure is told, the read stands.
    void backUpRead(const cmcEeprom& received);
    // File > Radio Backups: the chosen backup becomes a new, untitled document.
    void openBackup();
    // The recovery copy follows the document: written a while after a change, removed when
    // nothing is left unsaved. `now` writes a change at once.
    void keepRecoveryCopy(bool now);
    void dropRecoveryCopy();
    // At the start: a copy left by a run that ended without saving is offered back.
    void offerRecovery();

    indEnviron& m_settings;
    cmcGTex& m_texts;
    cmcEvMan& m_bus;
    Scheduler& m_scheduler;
    UserPrompt& m_prompt;
    const SystemInfo& m_system;
    Views* m_views = nullptr;
    std::unique_ptr<SerialPortCatalogue> m_ownCatalogue;
    const SerialPortCatalogue* m_catalogue;
    indPortMap m_portMap;
    std::vector<SerialPortInfo> m_foundPorts;
    std::string m_backupNote; // the backup a read kept, for the status line at its end

    GTexLines m_lines;
    cmcValueTables m_valueTables;
    FeatureFlags m_features;
    SheetEnvironment m_sheetEnv;
    std::unique_ptr<cmcCellLinkDispatch> m_dispatch;
    cmcSheetRouter m_router;
    indDocument m_document;
    indChannelListEditor m_listEditor;
    std::unique_ptr<ProgressView> m_progress;
    indCloneMan m_clone;
    CloneCommands m_cloneCommands;
    std::unique_ptr<WriteChecks> m_writeChecks;
    indReceivedCallExportCommand m_export;
    indChannelCsvCommand m_channelCsv;
    cuiMenu m_menu;
    cuiToolBar m_toolBar;
    std::unique_ptr<cuiTree> m_tree;
    std::unique_ptr<indInitialSetup> m_setup;
    cmcTick m_recheck;
    RecoveryCopy m_recovery;
    cmcTick m_recoveryDelay;
    std::optional<cmcEeprom> m_recovered; // the image the copy holds
    TaskHolder m_periodic;
    bool m_fontChanged = false;
    // The sheet the status line's text belongs to.
    std::string m_statusSheet;
    bool m_windowBuilt = false;
    bool m_headlessShown = true;
};

} // namespace qx
