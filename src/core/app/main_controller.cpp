#include "app/main_controller.h"

#include "app/environ.h"
#include "app/radio_backups.h"
#include "app/recent_files.h"
#include "app/views.h"
#include "app/window_bounds.h"
#include "base/settings_store.h"
#include "base/system_info.h"
#include "base/user_prompt.h"
#include "edit/undo_caption.h"
#include "link/serial_device.h"
#include "link/termios_serial_device.h"
#include "radio/bank_link_table.h"
#include "radio/destination.h"
#include "radio/image_map.h"
#include "sheet/sheet_kinds.h"
#include "sheet/sheet_script.h"
#include "text/text_table.h"
#include "text/ui_text_choice.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>

namespace qx {

namespace {

constexpr std::int32_t kFirstBankVariant = 9;
constexpr std::int32_t kFirstGpsBankVariant = 36;

// The tree caption of a bank: its letter and its name, without the blanks around them.
std::string bankNodeCaption(char letter, const cmcEeprom& image, std::int32_t address) {
    std::uint8_t name[8];
    for (int i = 0; i < 8; ++i) {
        name[i] = image.data()[address + i];
    }
    std::string title = bankTitle(letter, name);
    const std::size_t first = title.find_first_not_of(' ');
    const std::size_t last = title.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : title.substr(first, last - first + 1);
}

// "&" shows as itself in a menu caption only when doubled.
std::string menuEscaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        out += c;
        if (c == '&') {
            out += '&';
        }
    }
    return out;
}

} // namespace

// The "Cloning" window through the views.
class MainController::ProgressView : public CloneProgressView {
public:
    explicit ProgressView(MainController& owner) : m_owner(owner) {}
    void open() override {
        if (m_owner.m_views != nullptr) {
            m_owner.m_views->openProgress();
        }
    }
    void paint(int litSegments, std::int32_t done, std::int64_t total) override {
        if (m_owner.m_views != nullptr) {
            m_owner.m_views->paintProgress(m_owner.cloningProgress(litSegments, done, total));
        }
    }
    void close() override {
        if (m_owner.m_views != nullptr) {
            m_owner.m_views->closeProgress();
        }
    }

private:
    MainController& m_owner;
};

// The setting checks a clone write runs first.
class MainController::WriteChecks : public CloneWriteChecks {
public:
    explicit WriteChecks(MainController& owner) : m_owner(owner) {}
    void count(const cmcEeprom& image, int& errors, int& warnings) override {
        const CheckListResult found = m_owner.checksOf(image);
        errors = found.errorCount();
        warnings = found.warningCount();
    }

private:
    MainController& m_owner;
};

MainController::MainController(indEnviron& settings, cmcGTex& uiText, cmcEvMan& bus,
                               MainControllerPorts ports)
    : m_settings(settings), m_texts(uiText), m_bus(bus), m_scheduler(ports.scheduler),
      m_prompt(ports.prompt), m_system(ports.system),
      m_ownCatalogue(ports.catalogue != nullptr ? nullptr : createSystemSerialPortCatalogue()),
      m_catalogue(ports.catalogue != nullptr ? ports.catalogue : m_ownCatalogue.get()),
      m_portMap(ports.store), m_lines(uiText), m_valueTables(m_lines, settings.language == 1),
      m_router(SheetEnvironment{}),
      m_document(uiText, ports.prompt, ports.fileDialog, &bus, settings.recent,
                 settings.currentDirectory, settings.language),
      m_listEditor(m_document.images(), uiText, ports.prompt, &bus),
      m_progress(std::make_unique<ProgressView>(*this)),
      m_clone(ports.scheduler, ports.clock,
              ports.serial ? std::move(ports.serial) : std::make_unique<TermiosSerialDevice>(),
              ports.prompt, uiText, &bus),
      m_cloneCommands(m_clone, m_document, m_features, ports.prompt, uiText, &bus),
      m_writeChecks(std::make_unique<WriteChecks>(*this)),
      m_export(uiText, ports.prompt, ports.fileDialog, ports.system, settings.currentDirectory),
      m_channelCsv(uiText, ports.prompt, ports.fileDialog, settings.currentDirectory),
      m_menu(
          m_lines, [this](cmcCellCapsule& r) { return m_dispatch->dispatch(r); },
          settings.language == 1, ports.system.language() == "ja"),
      m_toolBar(
          m_lines, [this](cmcCellCapsule& r) { return m_dispatch->dispatch(r); },
          settings.language == 1, ports.system.language() == "ja"),
      m_recheck(ports.clock),
      // Only the instance holding the lock keeps one: two would overwrite each other's.
      m_recovery(settings.firstInstance() ? ports.system.recoveryFolder() : std::string()),
      m_recoveryDelay(ports.clock), m_periodic(ports.scheduler) {
    const UiTextChoice choice = chooseUiText(settings.language);
    m_texts.attachSource(*choice.source);

    m_features.fccInhibit = settings.fccInhibit;
    m_features.rxExpansion = settings.rxExpansion;
    m_features.digitalUnit = settings.digitalUnit;
    m_features.dvInhibit = settings.dvInhibit;
    m_features.pagerInhibit = settings.pagerInhibit;

    ImageSet& images = m_document.images();
    m_document.setDestination(settings.destination);
    m_document.setFeatureFlags(m_features);
    if (settings.currentDirectory.empty()) {
        settings.currentDirectory = indDocument::startDirectory({}, ports.system);
    }

    m_sheetEnv.text = &m_lines;
    m_sheetEnv.metrics = &ports.metrics;
    m_sheetEnv.widths = ports.columnWidths;
    m_sheetEnv.bus = &bus;
    m_sheetEnv.shiftJis = settings.language == 1;
    m_sheetEnv.japaneseSystem = ports.system.language() == "ja";
    m_sheetEnv.image = &images.current();
    m_sheetEnv.dispatcher = [this](cmcCellCapsule& r) { return m_dispatch->dispatch(r); };
    usePrintRulesOf(m_sheetEnv, images.current());

    LinkEnvironment links;
    links.image = &images.current();
    links.lists = &m_valueTables;
    links.japaneseSystem = m_sheetEnv.japaneseSystem;
    links.codePage = settings.language == 1 ? CodePage::ShiftJis : CodePage::Windows1252;
    links.restartRefresh = [this] {
        m_document.checkModified();
        m_document.history().record(EditAction::Entry);
        imageChanged();
    };
    links.channelDataChanged = [this] { imageChanged(); };
    links.bankNameChanged = [this](std::int32_t variant) { postBankName(variant); };
    links.command = [this](cmcCellCapsule& r) { return runCommand(r); };
    links.listEdit = [this](cmcCellCapsule& r) {
        const std::int32_t result = m_listEditor.runPopupCommand(r);
        if (result == kResultChanged) {
            imageChanged();
        }
        // Copied rows also go to the desktop's clipboard as text a spreadsheet takes; the
        // sheet's selection still marks them.
        const bool copied = r.menuItem->link == CL_PMenu_Copy &&
                            (r.rangeFlags & cmcCellCapsule::kRangeReselect) != 0;
        if (copied && r.sheet != nullptr && m_views != nullptr) {
            cmcSheetScript rows(*static_cast<cuiSheet*>(r.sheet), *m_dispatch, m_valueTables);
            m_views->setClipboardText(rows.selectedRowsText());
        }
        return result;
    };
    m_listEditor.setHistory(&m_document.history());
    m_listEditor.setStatusListener([this](const std::string& text) {
        if (m_views != nullptr) {
            m_views->setStatusText(0, text);
        }
    });
    m_channelCsv.setPlacementQuestion(
        [this](bool hasLocation, int from) -> std::optional<ChannelImportOptions> {
            if (m_views == nullptr) {
                return ChannelImportOptions{};
            }
            return m_views->askChannelImportPlacement(hasLocation, from);
        });
    m_channelCsv.setExportedListener(
        [this](int channels) { showChannelCount("GI_AppMess_S_Export", channels); });
    m_dispatch = std::make_unique<cmcCellLinkDispatch>(std::move(links));
    refreshLinkEnvironment();

    m_document.setTitleListener([this] { refreshTitle(); });
    m_document.setBusyListener([this](bool busy) {
        if (m_views != nullptr) {
            m_views->setBusyCursor(busy);
        }
    });
    m_document.setEntryPendingQuery([this] {
        const cuiSheet* sheet = m_router.current();
        return sheet != nullptr && sheet->editorOpen();
    });
    m_document.setReplacedListener([this] {
        closeSheet();
        imageChanged();
        m_bus.send(MessageId::AdjustTree);
    });

    m_clone.SetSettingsSource([this] {
        CloneLinkSettings s;
        s.port = m_settings.comPort;
        s.highSpeed = m_settings.comSpeedHigh != 0;
        s.connectionType = m_settings.transType;
        return s;
    });
    m_clone.SetConnectionTypeSink([this](int type) { m_settings.transType = type; });
    m_clone.SetProgressView(m_progress.get());
    m_clone.Engine().Port().SetDeviceResolver([this](int port) { return portDevice(port); });
    m_clone.SetPortCatalogue(m_catalogue);
    CloneCommands::Views cloneViews;
    cloneViews.mainWindowVisible = [this] { return mainWindowVisible(); };
    cloneViews.rebuild = [this] {
        takeFeatures();
        rebuildTree();
    };
    cloneViews.closeOpenSheet = [this] {
        takeFeatures();
        closeSheet();
    };
    cloneViews.showInformation = [this] { showCloneInformation(); };
    cloneViews.imageReplaced = [this] {
        takeFeatures();
        imageChanged();
    };
    m_cloneCommands.SetViews(std::move(cloneViews));
    m_cloneCommands.SetSettingChecks(m_writeChecks.get());
    m_cloneCommands.SetReadBackup([this](const cmcEeprom& received) { backUpRead(received); });

    m_periodic->setCallback([this](cmcTask&) { periodic(); });
    m_bus.subscribe(this);
}

MainController::~MainController() {
    m_bus.unsubscribe(this);
    m_periodic.reset();
    m_setup.reset();
    m_router.closeCurrent();
    m_tree.reset();
}

bool MainController::shiftJis() const {
    return m_settings.language == 1;
}

std::string MainController::appTitle() {
    return m_texts.firstLine("GI_Sys_AppTitle");
}

bool MainController::mainWindowVisible() const {
    return m_views != nullptr ? m_views->mainWindowVisible() : m_headlessShown;
}

void MainController::refreshLinkEnvironment() {
    const ImageSet& images = m_document.images();
    LinkEnvironment& links = m_dispatch->environment();
    links.destination = images.destination();
    links.features = m_features;
    links.cloneInformation = m_cloneCommands.HasBlock() ? &m_cloneCommands.Block() : nullptr;
    m_sheetEnv.destination = images.destination();
    m_sheetEnv.digitalUnit = m_features.digitalUnit;
    m_sheetEnv.dvInhibit = m_features.dvInhibit;
    m_sheetEnv.pagerInhibit = m_features.pagerInhibit;
    m_sheetEnv.fontSizePercent = m_settings.fontSizePercentage;
    m_router.setEnvironment(m_sheetEnv);
    m_document.setFeatureFlags(m_features);
}

void MainController::setFeatures(const FeatureFlags& flags) {
    m_features = flags;
    takeFeatures();
}

void MainController::takeFeatures() {
    m_settings.fccInhibit = m_features.fccInhibit;
    m_settings.rxExpansion = m_features.rxExpansion;
    m_settings.digitalUnit = m_features.digitalUnit;
    m_settings.dvInhibit = m_features.dvInhibit;
    m_settings.pagerInhibit = m_features.pagerInhibit;
    refreshLinkEnvironment();
}

void MainController::setDestination(int destination) {
    m_document.setDestination(destination);
    refreshLinkEnvironment();
}

void MainController::refreshTitle() {
    if (m_views != nullptr) {
        m_views->setTitle(m_document.windowTitle());
    }
}

void MainController::refreshMenus() {
    m_menu.refreshStates();
    if (m_views != nullptr) {
        m_views->menuStatesChanged();
    }
}

bool MainController::takeTransceiverSetup() {
    if (!m_cloneCommands.HasBlock() ||
        m_cloneCommands.Block().destination() >= indEnviron::kDestinationNotSet) {
        return false;
    }
    const int destination = m_cloneCommands.AdoptTransceiverSetup();
    if (destination < 0) {
        return false;
    }
    m_settings.destination = destination;
    m_settings.setupDone = true;
    takeFeatures();
    m_document.markSaved();
    refreshTitle();
    if (m_windowBuilt) {
        rebuildTree();
    }
    return true;
}

// --- building ----------------------------------------------------------------------------------

bool MainController::buildWindow() {
    if (m_settings.modelType != 0) {
        m_settings.modelType = 0;
    }
    if (m_document.current().size() < imagemap::kImageSize) {
        m_prompt.ask("Self Check Error.\nEEPROM Map is too large.", appTitle(), PromptIcon::Error,
                     PromptButtons::Ok);
        return false;
    }
    ImageSet& images = m_document.images();
    images.setDestination(m_settings.destination);
    refreshLinkEnvironment();
    m_document.markSaved();
    m_menu.build(kMenuKey);
    m_toolBar.build(kToolBarKey);
    if (m_views != nullptr) {
        m_views->setToolBarVisible(m_settings.toolbarVisible != 0);
    }
    m_bus.send(MessageId::RefreshToolBarStates);
    rebuildTree();
    refreshMenus();
    refreshTitle();
    m_periodic->schedule(kPeriodMs);
    m_windowBuilt = true;
    return true;
}

void MainController::startUp() {
    if (m_settings.setupDone) {
        if (m_views != nullptr) {
            m_views->showMainWindow();
        }
        offerRecovery();
        return;
    }
    openInitialSetup();
}

void MainController::openInitialSetup() {
    indInitialSetup::Hooks hooks;
    hooks.assignDevice = [this](const std::string& path) { return assignPortPath(path); };
    hooks.currentDevice = [this] {
        findPorts();
        const int found = currentFoundPort();
        return found < 0 ? std::string() : m_foundPorts[static_cast<std::size_t>(found)].path();
    };
    hooks.transceiverDestination = [this] {
        return m_cloneCommands.HasBlock() ? static_cast<int>(m_cloneCommands.Block().destination())
                                          : indEnviron::kDestinationNotSet;
    };
    m_setup = std::make_unique<indInitialSetup>(m_settings, m_texts, m_prompt, m_bus, m_views,
                                                std::move(hooks));
    if (m_views != nullptr) {
        m_views->openInitialSetup();
    }
}

void MainController::rebuildTree() {
    closeSheet();
    m_tree = std::make_unique<cuiTree>(
        m_lines, [this](cmcCellCapsule& r) { return m_dispatch->dispatch(r); }, m_scheduler,
        shiftJis(), m_sheetEnv.japaneseSystem);
    m_tree->build(kTreeKey);
    m_tree->setMarksListener([this] { applyTreeMarks(); });
    applyTreeMarks();
    if (m_views != nullptr) {
        m_views->treeRebuilt();
    }
    m_bus.send(MessageId::AdjustTree);
}

std::vector<std::string> MainController::treeCallStrings() {
    return m_tree ? callStringsOf(*m_tree) : treeCallStrings(m_features);
}

std::vector<std::string> MainController::treeCallStrings(const FeatureFlags& variant) {
    cuiTree tree(
        m_lines, [this](cmcCellCapsule& r) { return m_dispatch->dispatch(r); }, m_scheduler,
        shiftJis(), m_sheetEnv.japaneseSystem);
    tree.build(kTreeKey);
    tree.prune(variant);
    return callStringsOf(tree);
}

std::vector<std::string> MainController::callStringsOf(cuiTree& tree) {
    std::vector<std::string> calls;
    for (const cuiItem* node : tree.nodes()) {
        const cmcCellObj& cell = node->cell;
        if (cell.link == CallSheet && cell.linkParameter &&
            std::find(calls.begin(), calls.end(), *cell.linkParameter) == calls.end()) {
            calls.push_back(*cell.linkParameter);
        }
    }
    return calls;
}

void MainController::adjustTree() {
    if (!m_tree) {
        return;
    }
    if (m_tree->prune(m_features)) {
        applyTreeMarks();
        if (m_views != nullptr) {
            m_views->treeRebuilt();
        }
    }
    for (std::int32_t bank = 0; bank < imagemap::kBankCount; ++bank) {
        postBankName(kFirstBankVariant + bank);
        postBankName(kFirstGpsBankVariant + bank);
    }
}

void MainController::postBankName(std::int32_t variant) {
    const cmcEeprom& image = m_document.current();
    std::string caption;
    if (variant >= kFirstBankVariant && variant < kFirstBankVariant + imagemap::kBankCount) {
        const int bank = variant - kFirstBankVariant;
        caption =
            bankNodeCaption(static_cast<char>('A' + bank), image, imagemap::kBankNames + 8 * bank);
    } else if (variant >= kFirstGpsBankVariant &&
               variant < kFirstGpsBankVariant + imagemap::kBankCount) {
        const int bank = variant - kFirstGpsBankVariant;
        caption = bankNodeCaption(static_cast<char>('A' + bank), image,
                                  imagemap::kGpsBankNames + 8 * bank);
    } else {
        return;
    }
    m_bus.post(MessageId::RenameBankNode, 0, variant, caption);
}

// --- checks ------------------------------------------------------------------------------------

CheckListResult MainController::checksOf(const cmcEeprom& image) {
    // The checks read the bank links, which are derived data: work on a copy.
    cmcEeprom copy(image);
    banklink::rebuild(copy);
    LinkEnvironment links;
    links.image = &copy;
    links.destination = m_document.images().destination();
    links.features = m_features;
    links.cloneInformation = m_cloneCommands.HasBlock() ? &m_cloneCommands.Block() : nullptr;
    cmcCellLinkDispatch dispatch(std::move(links));
    return runWarningCheckList(m_lines, dispatch, shiftJis());
}

CheckListResult MainController::runChecks() {
    return checksOf(m_document.current());
}

void MainController::applyTreeMarks() {
    if (!m_tree) {
        return;
    }
    m_tree->applyMarks(runChecks());
    if (m_views != nullptr) {
        m_views->treeItemsChanged();
    }
}

void MainController::imageChanged() {
    m_recheck.start(kRecheckDelayMs);
}

// --- sheets ------------------------------------------------------------------------------------

cuiSheet& MainController::openSheet(std::string_view callString) {
    closeSheet();
    refreshLinkEnvironment();
    if (m_fontChanged) {
        m_router.requestColumnWidthReset();
        m_fontChanged = false;
    }
    cuiSheet& sheet = m_router.openSheet(callString);
    if (m_views != nullptr) {
        // What the status line said was about the sheet before; the same sheet opened again
        // (after a clone read, an import) keeps the news, and so does the first sheet after
        // the start (what the initial setup found).
        if (!m_statusSheet.empty() && m_statusSheet != callString) {
            m_views->setStatusText(0, {});
        }
        m_views->sheetOpened(sheet);
    }
    m_statusSheet = std::string(callString);
    return sheet;
}

bool MainController::commitPendingEntry() {
    m_bus.send(MessageId::DocumentWillChange);
    const cuiSheet* sheet = m_router.current();
    return sheet == nullptr || !sheet->editorOpen();
}

void MainController::closeSheet() {
    cuiSheet* sheet = m_router.current();
    if (sheet == nullptr) {
        return;
    }
    if (sheet->editorOpen()) {
        // Whatever closes the sheet, the typed text belongs to the image it was typed into.
        m_bus.send(MessageId::DocumentWillChange);
        sheet = m_router.current();
        if (sheet == nullptr) {
            return;
        }
    }
    if (m_views != nullptr) {
        m_views->sheetClosing(*sheet);
    }
    m_router.closeCurrent();
}

void MainController::periodic() {
    if (m_setup && !m_setup->open()) {
        m_setup.reset();
    }
    if (m_router.current() == nullptr && mainWindowVisible()) {
        if (m_tree) {
            m_tree->executeSelected();
        } else if (!m_router.positions().empty()) {
            openSheet(std::string(m_router.positions().front().callString));
        }
    }
    if (m_recheck.running() && m_recheck.remaining() == 0) {
        applyTreeMarks();
        m_bus.post(MessageId::ImageMayHaveChanged);
    }
    keepRecoveryCopy(false);
}

void MainController::keepRecoveryCopy(bool now) {
    if (!m_recovery.available()) {
        return;
    }
    if (!m_document.isModified()) {
        dropRecoveryCopy();
        return;
    }
    const cmcEeprom& image = m_document.current();
    const bool changed =
        !m_recovered || m_recovered->size() != image.size() ||
        !std::equal(image.data(), image.data() + image.size(), m_recovered->data());
    if (!changed) {
        return;
    }
    if (!now && !m_recoveryDelay.running()) {
        m_recoveryDelay.start(kRecoveryDelayMs);
        return;
    }
    if (now || m_recoveryDelay.remaining() == 0) {
        if (m_recovery.write(image, m_document.path())) {
            m_recovered = image;
        }
        m_recoveryDelay.start(kRecoveryDelayMs);
    }
}

void MainController::dropRecoveryCopy() {
    if (m_recovered || m_recovery.find()) {
        m_recovery.remove();
    }
    m_recovered.reset();
}

void MainController::offerRecovery() {
    const std::optional<std::string> documentPath = m_recovery.find();
    if (!documentPath) {
        return;
    }
    const std::string name = documentPath->empty()
                                 ? cmcRecent::fileNamePart(m_document.documentName())
                                 : cmcRecent::fileNamePart(*documentPath);
    const PromptAnswer answer =
        m_prompt.ask(replacePlaceholders(m_texts.blockText("GI_Mess_Recovery_Restore"), {name}),
                     appTitle(), PromptIcon::Question, PromptButtons::YesNo);
    if (answer == PromptAnswer::Yes &&
        m_document.openRecovered(m_recovery.imagePath(), *documentPath)) {
        m_recovered = m_document.current();
        refreshMenus();
        return;
    }
    m_recovery.remove();
}

CloningProgress MainController::cloningProgress(int litSegments, std::int64_t done,
                                                std::int64_t total) {
    constexpr const char* key = "GI_Form_Cloning";
    CloningProgress p;
    p.litSegments = litSegments;
    p.caption = m_texts.line(key, 0);
    p.operation = m_texts.line(key, m_clone.Mode() == CloneMode::Write ? 2 : 1);
    const std::int64_t percent = total > 0 ? 100 * done / total : 0;
    p.amount =
        replacePlaceholders(m_texts.line(key, 3),
                            {std::to_string(percent), std::to_string(done), std::to_string(total)});
    const int left = m_clone.SecondsLeft();
    p.timeLeft = left < 0 ? m_texts.line(key, 5)
                          : replacePlaceholders(m_texts.line(key, 4), {std::to_string(left)});
    p.cancel = m_texts.line(key, 6);
    return p;
}

void MainController::cloneEnded(CloneCommands::Outcome outcome, const char* doneKey) {
    std::string backupNote;
    backupNote.swap(m_backupNote);
    if (m_views == nullptr) {
        return;
    }
    // Failures have had their box; the status line says what became of the document.
    if (outcome == CloneCommands::Outcome::Cancelled) {
        m_views->setStatusText(0, m_texts.firstLine("GI_AppMess_S_CloneCancelled"));
    } else if (outcome == CloneCommands::Outcome::Done && doneKey != nullptr) {
        std::string text = m_texts.firstLine(doneKey);
        if (!backupNote.empty()) {
            text += " -" + backupNote;
        }
        m_views->setStatusText(0, text);
    } else {
        m_views->setStatusText(0, {});
    }
}

bool MainController::cancelClone() {
    return m_cloneCommands.Cancel();
}

void MainController::showCloneInformation() {
    // The cells read the block the transceiver has just given, also the first time.
    refreshLinkEnvironment();
    auto sheet = createSheet(m_sheetEnv, kCloneInfoSheet);
    sheet->show();
    if (m_views != nullptr) {
        m_views->showCloneInformation(*sheet, appTitle());
    }
}

// --- the user's actions ------------------------------------------------------------------------

std::int32_t MainController::menuClicked(cuiItem& item) {
    const std::int32_t result = m_menu.click(item);
    if (m_views != nullptr) {
        m_views->menuStatesChanged();
    }
    return result;
}

std::int32_t MainController::toolBarClicked(cuiItem& button) {
    const std::int32_t result = m_toolBar.click(button);
    m_bus.send(MessageId::ToolBarRefresh);
    refreshMenus();
    return result;
}

void MainController::treeSelected(cuiItem* node) {
    if (m_tree) {
        m_tree->select(node);
    }
}

void MainController::treeExpanded(cuiItem& node, bool expanded) {
    if (m_tree) {
        m_tree->setExpanded(node, expanded);
    }
}

bool MainController::closeQuery(const std::optional<ScreenRect>& normalBounds, int leftPaneWidth) {
    // A transfer cannot outlive the window that shows it: stop it first, or stay.
    if (m_cloneCommands.Running()) {
        if (m_prompt.ask(m_texts.blockText("GI_Mess_Clone_CloseQuery"), appTitle(),
                         PromptIcon::Question, PromptButtons::YesNo) != PromptAnswer::Yes) {
            return false;
        }
        m_cloneCommands.Cancel();
    }
    if (m_document.closeCheck(false) == PromptAnswer::Cancel) {
        return false;
    }
    // Saved or discarded: nothing is left to recover.
    dropRecoveryCopy();
    if (normalBounds) {
        // Stored only as they fit the screen, so that a bad start is not carried into the next.
        const ScreenRect fitted = reachableWindowBounds(*normalBounds, m_system.workArea());
        m_settings.windowLeft = fitted.left;
        m_settings.windowTop = fitted.top;
        m_settings.windowWidth = fitted.width;
        m_settings.windowHeight = fitted.height;
        m_settings.splitterV = fittedSplitter(leftPaneWidth, fitted.width);
    }
    return true;
}

void MainController::windowClosed() {
    m_periodic->schedule(-1);
    closeSheet();
    m_tree.reset();
}

void MainController::windowActivated() {
    if (m_views != nullptr && m_document.noticeChangeOnDisk()) {
        m_views->setStatusText(0,
                               replacePlaceholders(m_texts.firstLine("GI_AppMess_S_ChangedOnDisk"),
                                                   {cmcRecent::fileNamePart(m_document.path())}));
    }
}

bool MainController::openDocument(const std::string& path) {
    closeSheet();
    const bool opened = m_document.openFile(path);
    refreshMenus();
    return opened;
}

const std::vector<SerialPortInfo>& MainController::findPorts() {
    m_foundPorts = m_catalogue != nullptr ? m_catalogue->ports() : std::vector<SerialPortInfo>{};
    if (m_windowBuilt) {
        // "More..." is checked only for a port that is none of those found.
        refreshMenus();
    }
    return m_foundPorts;
}

int MainController::currentFoundPort() const {
    const SerialPortInfo* p = findSerialPort(m_foundPorts, portDevice(m_settings.comPort));
    return p != nullptr ? static_cast<int>(p - m_foundPorts.data()) : -1;
}

int MainController::assignPortPath(const std::string& path) {
    if (m_foundPorts.empty()) {
        findPorts();
    }
    return m_portMap.assign(path, m_foundPorts);
}

bool MainController::choosePortPath(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        m_prompt.ask(m_texts.line("GI_AppInd_Opt_ComSel_Ports", 3) + "\n" + path, appTitle(),
                     PromptIcon::Error, PromptButtons::Ok);
        return false;
    }
    const int port = assignPortPath(path);
    if (port < 1) {
        return false;
    }
    m_settings.comPort = port;
    refreshMenus();
    return true;
}

void MainController::backUpRead(const cmcEeprom& received) {
    if (!m_settings.keepBackups) {
        return;
    }
    const RadioBackups backups(m_system.backupsFolder());
    const RadioBackups::Stored stored = backups.store(
        received, destinationName(m_document.images().destination()), std::time(nullptr));
    if (stored.code == FileErrorCode::Ok) {
        // Said with the end of the read, which comes next.
        m_backupNote = replacePlaceholders(m_texts.firstLine("GI_AppMess_S_BackupKept"),
                                           {cmcRecent::fileNamePart(stored.path)});
        return;
    }
    const std::string folder = backups.folder().empty() ? "-" : backups.folder();
    m_prompt.ask(replacePlaceholders(m_texts.blockText("GI_Mess_Backup_NotKept"),
                                     {folder, stored.reason.message()}),
                 appTitle(), PromptIcon::Warning, PromptButtons::Ok);
}

void MainController::openBackup() {
    const RadioBackups backups(m_system.backupsFolder());
    const std::vector<RadioBackup> found = backups.list();
    if (found.empty()) {
        m_prompt.ask(
            replacePlaceholders(m_texts.blockText("GI_Mess_Backups_None"), {backups.folder()}),
            appTitle(), PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    if (m_views == nullptr) {
        return;
    }
    const std::optional<std::size_t> chosen = m_views->chooseBackup(found);
    if (!chosen || *chosen >= found.size()) {
        return;
    }
    closeSheet();
    m_document.openCopy(found[*chosen].path);
}

void MainController::choosePortNumber() {
    if (m_views == nullptr) {
        return;
    }
    std::string text = std::to_string(m_settings.comPort);
    for (;;) {
        const std::optional<std::string> answer = m_views->askPortNumber(text);
        if (!answer) {
            return;
        }
        if (indInitialSetup::isDevicePath(*answer)) {
            if (choosePortPath(indInitialSetup::trimmed(*answer))) {
                return;
            }
            text = *answer;
            continue;
        }
        const int port = indInitialSetup::parsePort(*answer);
        if (port >= 1 && port <= 256) {
            m_settings.comPort = port;
            return;
        }
        m_prompt.ask(m_texts.blockText("GI_AppInd_Opt_ComSel_OutofRange"), appTitle(),
                     PromptIcon::Error, PromptButtons::Ok);
        text = *answer;
    }
}

void MainController::showSetupFound() {
    if (m_views == nullptr || !m_cloneCommands.HasBlock()) {
        return;
    }
    const CloneInformation& info = m_cloneCommands.Block();
    std::vector<std::string> values{m_clone.PortLabel()};
    for (CellLinkId link :
         {CL_CloneInfo_Comment, CL_CloneInfo_Destination, CL_CloneInfo_Rx_Expansion,
          CL_CloneInfo_FccInh, CL_CloneInfo_DigitalU, CL_CloneInfo_DvInh, CL_CloneInfo_Pgr}) {
        values.push_back(cloneInformationText(link, info));
    }
    std::string text;
    std::size_t next = 0;
    const std::string pattern = m_texts.firstLine("GI_AppMess_SetupFound");
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.compare(i, 2, "%s") == 0 && next < values.size()) {
            text += values[next++];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    m_views->setStatusText(0, text);
}

std::int32_t MainController::runCommand(cmcCellCapsule& request) {
    if (request.cell == nullptr) {
        return kResultNone;
    }
    cmcCellObj& cell = *request.cell;
    if (cell.link == CallSheet) {
        if (!cell.linkParameter) {
            return kResultNone;
        }
        const cuiSheet* shown = m_router.current();
        if (shown != nullptr && shown->callString() == *cell.linkParameter) {
            return kResultNone;
        }
        openSheet(*cell.linkParameter);
        return kResultChanged;
    }
    if (cell.link >= CL_Menu_File_New && cell.link <= CL_Help_Contents) {
        const bool execute = request.command == kItemExecute;
        // Every command first hands an entry in progress to the image; one the cell refuses
        // stops the command as Enter would.
        if (execute && !commitPendingEntry()) {
            return kResultNone;
        }
        const std::int32_t result = runMenuCommand(cell, execute);
        if (execute) {
            m_document.checkModified();
        }
        return result;
    }
    return kResultNone;
}

void MainController::importChannels() {
    // Appending starts at the memory channel the user is on.
    int from = 0;
    if (const cuiSheet* shown = m_router.current(); shown != nullptr && shown->columnCount() > 0) {
        const cmcCellObj& cell = shown->currentCell();
        if (recordKind(cell.category) == kKindChannel && cell.index >= 0 &&
            cell.index < imagemap::kMemoryChannelCount) {
            from = cell.index;
        }
    }
    LinkEnvironment environment = m_dispatch->environment();
    environment.restartRefresh = [this] {
        m_document.checkModified();
        m_document.history().record(EditAction::Import);
        imageChanged();
    };
    m_channelCsv.importChannels(
        environment, [this](int taken) { showChannelCount("GI_AppMess_S_Import", taken); }, from);
}

void MainController::showChannelCount(const char* key, int channels) {
    if (m_views != nullptr) {
        m_views->setStatusText(
            0, replacePlaceholders(m_texts.firstLine(key), {std::to_string(channels)}));
    }
}

std::int32_t MainController::runMenuCommand(cmcCellObj& cell, bool execute) {
    const auto checked = [&cell](bool on) { cell.setUserFlag(0, on); };
    const auto hidden = [&cell](bool on) { cell.setUserFlag(1, on); };
    const auto disabled = [&cell](bool on) { cell.setUserFlag(2, on); };
    const bool digitalVoice = m_features.digitalUnit && !m_features.dvInhibit;

    switch (cell.link) {
    case CL_Menu_File_New:
        if (execute) {
            closeSheet();
            m_document.newDocument();
        }
        break;
    case CL_Menu_File_Open:
        // Index 1 opens a radio backup, index 2 keeps backups on or off.
        if (cell.index == 1) {
            if (execute) {
                openBackup();
            }
        } else if (cell.index == 2) {
            if (execute) {
                m_settings.keepBackups = !m_settings.keepBackups;
            } else {
                checked(m_settings.keepBackups);
            }
        } else if (execute) {
            closeSheet();
            m_document.open();
        }
        break;
    case CL_Menu_File_Save:
        if (execute) {
            m_document.save();
        }
        break;
    case CL_Menu_File_SaveAs:
        if (execute) {
            m_document.saveAs();
        }
        break;
    case CL_Menu_File_Export:
        // Index 0 is the received-call log with its separator; 1 and 2 are the channel lists.
        if (cell.index == 1) {
            if (execute) {
                importChannels();
            }
        } else if (cell.index == 2) {
            if (execute) {
                m_channelCsv.exportChannels(m_dispatch->environment());
            }
        } else if (execute) {
            if (digitalVoice) {
                m_export.run(m_document.current(), m_features);
            }
        } else {
            hidden(!digitalVoice);
            disabled(!digitalVoice);
        }
        break;
    case CL_Menu_File_Print_Current:
    case CL_Menu_File_Print_All:
        if (execute) {
            if (m_views != nullptr) {
                m_views->printSheets(cell.link == CL_Menu_File_Print_All);
            }
        }
        break;
    case CL_Menu_File_Recent: {
        const auto i = static_cast<std::size_t>(std::max(cell.index, 0));
        if (execute) {
            if (i < m_settings.recent.count()) {
                closeSheet();
                m_document.openRecent(i);
            }
            break;
        }
        const std::string shown =
            m_document.nameAsText(m_settings.recent.displayEntry(i, m_settings.currentDirectory));
        if (shown.empty()) {
            disabled(true);
            hidden(i != 0);
        } else {
            char number[16];
            std::snprintf(number, sizeof number, "&%d ", static_cast<int>(i) + 1);
            cell.text = number + menuEscaped(shown);
            cell.setUserFlag(3, true);
        }
        break;
    }
    case CL_Menu_File_Exit:
        if (execute && m_views != nullptr) {
            m_views->closeMainWindow();
        }
        break;
    case CL_Menu_View_FontSize:
        if (execute) {
            m_settings.fontSizePercentage = cell.index;
            m_fontChanged = true;
            closeSheet();
            refreshLinkEnvironment();
        } else {
            checked(cell.index == m_settings.fontSizePercentage);
        }
        break;
    case CL_Menu_View_ToolBar:
        if (execute) {
            m_settings.toolbarVisible = m_settings.toolbarVisible != 0 ? 0 : 1;
            if (m_views != nullptr) {
                m_views->setToolBarVisible(m_settings.toolbarVisible != 0);
            }
        } else {
            checked(m_settings.toolbarVisible != 0);
        }
        break;
    case CL_Menu_Port_Com:
        if (execute) {
            m_settings.comPort = cell.index;
        } else {
            checked(m_settings.comPort == cell.index);
        }
        break;
    case CL_Menu_Port_Usb:
        if (execute) {
            choosePortNumber();
        } else {
            // A found port chosen by name is checked in its own item.
            checked(m_settings.comPort > 4 && currentFoundPort() < 0);
        }
        break;
    case CL_Menu_Com_Speed:
        if (execute) {
            m_settings.comSpeedHigh = cell.index != 0 ? 1 : 0;
        } else {
            checked(m_settings.comSpeedHigh == cell.index);
        }
        break;
    case CL_Menu_Edit_Top: {
        const bool redo = cell.index == 1;
        cmcEditHistory& history = m_document.history();
        if (execute) {
            closeSheet(); // the sheet is built again from the image as it is then
            if (m_views != nullptr) {
                m_views->setStatusText(0, {}); // "Inserted" and the like no longer hold
            }
            if (redo) {
                m_document.redo();
            } else {
                m_document.undo();
            }
            imageChanged();
        } else {
            disabled(redo ? !history.canRedo() : !history.canUndo());
            cell.text =
                undoMenuCaption(m_texts, redo, redo ? history.redoAction() : history.undoAction());
            cell.setUserFlag(3, true);
        }
        break;
    }
    case CL_Menu_Clone_Read:
        if (execute) {
            closeSheet();
            m_cloneCommands.Read([this](CloneCommands::Outcome outcome, int) {
                cloneEnded(outcome, "GI_AppMess_S_CloneRead");
            });
        }
        break;
    case CL_Menu_Clone_Write:
        if (execute) {
            closeSheet();
            keepRecoveryCopy(true); // a write that goes wrong loses no edit
            m_cloneCommands.Write(
                [this](CloneCommands::Outcome outcome, int) { cloneEnded(outcome, nullptr); });
        }
        break;
    case CL_Menu_Clone_Info:
        if (execute) {
            closeSheet();
            m_cloneCommands.Information();
        }
        break;
    case CL_Help_About:
        if (execute && m_views != nullptr) {
            m_views->showAbout(m_texts.firstLine("GI_App_About_Caption"),
                               m_texts.firstLine("GI_App_About_Label_Reg"),
                               m_texts.firstLine("GI_App_About_Button"));
        }
        break;
    case CL_Help_Contents:
        // The help files are not part of this editor yet.
        if (!execute) {
            disabled(true);
        }
        break;
    default:
        break;
    }
    return kResultNone;
}

// --- messages ----------------------------------------------------------------------------------

void MainController::mainWindowEnable(bool enable) {
    if (m_views == nullptr || !m_views->mainWindowVisible()) {
        return;
    }
    // The end of the information request that starts a transfer arrives after the transfer has
    // begun; the window stays disabled while the "Cloning" window shows.
    if (enable && m_clone.ProgressShowing()) {
        return;
    }
    m_views->setMainWindowEnabled(enable);
    if (enable) {
        m_views->raiseMainWindow();
    }
}

void MainController::onMessage(const EvMessage& message, cmcEvMan&) {
    switch (message.id) {
    case MessageId::RefreshToolBarStates:
    case MessageId::ToolBarRefresh:
        m_toolBar.refreshStates();
        if (m_views != nullptr) {
            m_views->toolBarStatesChanged();
        }
        break;
    case MessageId::RefreshMenuStates:
        refreshMenus();
        break;
    case MessageId::AdjustTree:
        adjustTree();
        break;
    case MessageId::RenameBankNode:
        if (m_tree && m_tree->rename(message.p2, message.text()) && m_views != nullptr) {
            m_views->treeItemsChanged();
        }
        break;
    case MessageId::ReadCloneInformation:
        m_cloneCommands.Information();
        break;
    case MessageId::InitialSetupClosed:
        if (m_views != nullptr) {
            m_views->showMainWindow();
        }
        m_bus.send(MessageId::RefreshToolBarStates);
        break;
    case MessageId::InitialSetupDone:
        if (takeTransceiverSetup()) {
            showSetupFound();
        }
        break;
    case MessageId::CloneStarted:
        mainWindowEnable(false);
        break;
    case MessageId::CloneFinished:
    case MessageId::CloneProgressClosed:
        mainWindowEnable(true);
        break;
    default:
        break;
    }
}

} // namespace qx
