#include "main_window.h"

#include "backups_dialog.h"

#include "app/environ.h"
#include "app/main_controller.h"
#include "app/ui_item.h"
#include "app/window_bounds.h"
#include "app_icons.h"
#include "channel_import_dialog.h"
#include "cloning_window.h"
#include "initial_setup_dialog.h"
#include "menu_actions.h"
#include "output/print_all_list.h"
#include "output/print_controller.h"
#include "output/sheet_printer.h"
#include "port_number_dialog.h"
#include "radio/image_map.h"
#include "sheet/cell_parser.h"
#include "sheet/sheet.h"
#include "sheet/sheet_dialog.h"
#include "sheet/sheet_grid.h"
#include "sheet/sheet_look.h"
#include "sheet/sheet_services.h"
#include "sheet/sheet_widget.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace qx {

namespace {

constexpr int kSplitterWidth = 3;
constexpr int kMinimumPane = 8;
constexpr int kMinimumStatusPanel = 100;
constexpr int kStatusPanel1Width = 160;

// The clone files among dropped URLs.
QStringList droppedCloneFiles(const QMimeData* data) {
    QStringList files;
    if (data == nullptr || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() &&
            url.toLocalFile().endsWith(QStringLiteral(".icf"), Qt::CaseInsensitive)) {
            files << url.toLocalFile();
        }
    }
    return files;
}

} // namespace

TForm1::TForm1(MainController& controller, const CodePageText& codec, const ScreenRect& workArea,
               QWidget* parent)
    : QMainWindow(parent), m_controller(controller), m_codec(codec),
      m_look(m_codec, QApplication::palette()), m_workArea(workArea) {
    const indEnviron& settings = m_controller.settings();
    // File names cross into texts through the system's encoding, never the table's code page.
    m_controller.document().setNameCodec(
        {[codec = m_codec](const std::string& name) {
             return codec.fromQString(QFile::decodeName(name.c_str()));
         },
         [codec = m_codec](const std::string& text) {
             return QFile::encodeName(codec.toQString(text)).toStdString();
         }});
    setWindowTitle(m_codec.toQString(m_controller.appTitle()));
    setWindowIcon(AppIcons::application());
    {
        cmcCellParser parser(m_controller.lines(), m_controller.shiftJis());
        cmcCellObj basic;
        std::string line = m_controller.texts().firstLine("GI_Form_Main_BasicCell");
        std::string_view rest(line);
        if (parser.parseCell(basic, rest, nullptr, nullptr) && basic.effectiveFont() != nullptr) {
            setFont(m_look.font(*basic.effectiveFont()));
        }
        m_treeFont = font();
    }
    const ScreenRect r = reachableWindowBounds(
        {settings.windowLeft, settings.windowTop, settings.windowWidth, settings.windowHeight},
        workArea);
    setGeometry(r.left, r.top, r.width, r.height);
    // The toolbar's visibility is a setting of its own, not something a context menu toggles.
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(true);

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("mainToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setContentsMargins(4, 0, 0, 0);
    m_toolBar->toggleViewAction()->setEnabled(false);
    addToolBar(m_toolBar);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setHandleWidth(kSplitterWidth);
    m_splitter->setOpaqueResize(true);
    m_splitter->setChildrenCollapsible(false);
    m_tree = new QTreeWidget(m_splitter);
    m_tree->setHeaderHidden(true);
    m_tree->setMinimumWidth(kMinimumPane);
    applyTreeFont();
    m_tree->setColumnCount(1);
    // A narrow pane scrolls sideways instead of cutting the captions short.
    m_tree->setTextElideMode(Qt::ElideNone);
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tree->header()->setStretchLastSection(false);
    {
        // The selection stays marked while the focus is elsewhere.
        QPalette palette = m_tree->palette();
        palette.setColor(QPalette::Inactive, QPalette::Highlight,
                         palette.color(QPalette::Active, QPalette::Highlight));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         palette.color(QPalette::Active, QPalette::HighlightedText));
        m_tree->setPalette(palette);
    }
    m_sheetArea = new QWidget(m_splitter);
    m_sheetArea->setMinimumWidth(kMinimumPane);
    auto* sheetLayout = new QVBoxLayout(m_sheetArea);
    sheetLayout->setContentsMargins(0, 0, 0, 0);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);
    const int left = fittedSplitter(settings.splitterV, r.width);
    m_splitter->setSizes({left, std::max(kMinimumPane, r.width - left - kSplitterWidth)});

    m_tree->installEventFilter(this);
    m_tree->viewport()->installEventFilter(this);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (!m_treeUpdating) {
            m_controller.treeSelected(nodeOf(current));
        }
    });
    connect(m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (cuiItem* node = nodeOf(item); node != nullptr && !m_treeUpdating) {
            m_controller.treeExpanded(*node, true);
        }
    });
    connect(m_tree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (cuiItem* node = nodeOf(item); node != nullptr && !m_treeUpdating) {
            m_controller.treeExpanded(*node, false);
        }
    });

    for (int i = 0; i < 2; ++i) {
        m_status[i] = new QLabel(this);
        m_status[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    // Panel 0 takes what panel 1 leaves, but never less than 100 pixels.
    m_status[0]->setMinimumWidth(kMinimumStatusPanel);
    m_status[1]->setFixedWidth(kStatusPanel1Width);
    statusBar()->addWidget(m_status[0], 1);
    statusBar()->addPermanentWidget(m_status[1]);

    m_cloning = new CloningWindow(this, m_codec);
    m_cloning->setCancelHandler([this] { m_controller.cancelClone(); });

    hide();
    m_controller.setViews(this);
    m_built = m_controller.buildWindow();
    if (m_built) {
        buildMenu();
        buildToolBar();
        toolBarStatesChanged();
        menuStatesChanged();
        m_controller.startUp();
    }
}

TForm1::~TForm1() {
    if (!m_closed) {
        m_controller.windowClosed();
    }
    if (m_controller.views() == this) {
        m_controller.setViews(nullptr);
    }
    delete m_setup.data();
}

// --- main window -----------------------------------------------------------------------------

bool TForm1::mainWindowVisible() const {
    return isVisible();
}

void TForm1::showMainWindow() {
    show();
    setEnabled(true);
    raise();
    activateWindow();
}

void TForm1::setMainWindowEnabled(bool enabled) {
    setEnabled(enabled);
}

void TForm1::raiseMainWindow() {
    raise();
    activateWindow();
    // The "Cloning" window stays in front of the window it belongs to.
    if (m_cloning->isVisible()) {
        m_cloning->raise();
    }
}

void TForm1::closeMainWindow() {
    close();
}

void TForm1::setTitle(const std::string& title) {
    setWindowTitle(m_codec.toQString(title));
}

void TForm1::setStatusText(int panel, const std::string& text) {
    if (QLabel* label = statusPanel(panel)) {
        label->setText(m_codec.toQString(text));
    }
}

void TForm1::setClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(m_codec.toQString(text));
}

QLabel* TForm1::statusPanel(int panel) const {
    return panel == 0 || panel == 1 ? m_status[panel] : nullptr;
}

void TForm1::setBusyCursor(bool busy) {
    if (busy) {
        if (m_busy++ == 0) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        }
    } else if (m_busy > 0 && --m_busy == 0) {
        QApplication::restoreOverrideCursor();
    }
}

QFont TForm1::tableFont(const char* key) const {
    cmcFont font;
    cmcCellParser parser(m_controller.lines(), m_controller.shiftJis());
    parser.applyFontSpec(font, m_controller.texts().firstLine(key));
    return m_look.font(font);
}

void TForm1::showAbout(const std::string& caption, const std::string& text,
                       const std::string& button) {
    QDialog box(this);
    box.setWindowTitle(m_codec.toQString(caption));
    box.setFont(tableFont("CellModel_BasicDialog"));
    auto* icon = new QLabel(&box);
    icon->setPixmap(AppIcons::application().pixmap(48, 48));
    auto* label = new QLabel(m_codec.toQString(text), &box);
    auto* ok = new QPushButton(m_codec.toQString(button), &box);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(label, 1);
    auto* layout = new QVBoxLayout(&box);
    layout->addLayout(row);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    box.exec();
}

// --- menu and toolbar ------------------------------------------------------------------------

void TForm1::buildMenu() {
    menuBar()->clear();
    m_menuEntries.clear();
    m_portActions.clear();
    addMenuActions(
        menuBar(), m_controller.mainMenu().root(), m_codec, Qt::WindowShortcut,
        [this](cuiItem& item) { m_controller.menuClicked(item); }, m_menuEntries);
    for (const MenuAction& entry : m_menuEntries) {
        if (entry.item->cell.link != CL_Menu_Port_Usb) {
            continue;
        }
        for (QObject* owner : entry.action->associatedObjects()) {
            if (auto* menu = qobject_cast<QMenu*>(owner)) {
                QAction* more = entry.action;
                connect(menu, &QMenu::aboutToShow, this, [this, menu, more] {
                    m_controller.findPorts();
                    showPortMenu(menu, more);
                });
            }
        }
    }
}

void TForm1::showPortMenu(QMenu* menu, QAction* more) {
    for (QAction* action : m_portActions) {
        menu->removeAction(action);
        action->deleteLater();
    }
    m_portActions.clear();
    // COM 1 to 4 show the device each one opens on this system.
    for (const MenuAction& entry : m_menuEntries) {
        if (entry.item->cell.link == CL_Menu_Port_Com) {
            entry.action->setText(
                m_codec.toQString(entry.item->caption) + QLatin1Char('\t') +
                QString::fromStdString(m_controller.portDevice(entry.item->cell.index)));
        }
    }
    const std::vector<SerialPortInfo>& found = m_controller.foundPorts();
    const int current = m_controller.currentFoundPort();
    auto add = [&](QAction* action, QAction* before) {
        menu->insertAction(before, action);
        m_portActions.push_back(action);
    };
    auto* top = new QAction(menu);
    top->setSeparator(true);
    add(top, more);
    if (found.empty()) {
        auto* none = new QAction(
            m_codec.toQString(m_controller.texts().line("GI_AppInd_Opt_ComSel_Ports", 1)), menu);
        none->setEnabled(false);
        add(none, more);
    }
    for (std::size_t i = 0; i < found.size(); ++i) {
        const SerialPortInfo& port = found[i];
        auto* action = new QAction(QString::fromStdString(port.description) + QLatin1Char('\t') +
                                       QString::fromStdString(port.device),
                                   menu);
        action->setToolTip(QString::fromStdString(port.path()));
        action->setCheckable(true);
        action->setChecked(static_cast<int>(i) == current);
        const std::string path = port.path();
        connect(action, &QAction::triggered, this,
                [this, path] { m_controller.choosePortPath(path); });
        add(action, more);
    }
    // Refresh sits under More...: for a cable plugged in while the menu is open.
    const QList<QAction*> actions = menu->actions();
    const qsizetype at = actions.indexOf(more);
    QAction* after = at + 1 < actions.size() ? actions[at + 1] : nullptr;
    auto* refresh = new QAction(
        m_codec.toQString(m_controller.texts().line("GI_AppInd_Opt_ComSel_Ports", 0)), menu);
    connect(refresh, &QAction::triggered, this, [this, menu, more] {
        m_controller.findPorts();
        showPortMenu(menu, more);
        menu->popup(menu->pos());
    });
    add(refresh, after);
    // "More..." is checked only for a port that is none of those listed.
    more->setCheckable(m_controller.settings().comPort > 4 && current < 0);
    more->setChecked(more->isCheckable());
}

QAction* TForm1::actionOf(const cuiItem& item) const {
    for (const MenuAction& entry : m_menuEntries) {
        if (entry.item == &item) {
            return entry.action;
        }
    }
    for (const MenuAction& entry : m_toolEntries) {
        if (entry.item == &item) {
            return entry.action;
        }
    }
    return nullptr;
}

void TForm1::menuStatesChanged() {
    showMenuStates(m_menuEntries, m_codec);
}

void TForm1::buildToolBar() {
    m_toolBar->clear();
    m_toolEntries.clear();
    for (const auto& button : m_controller.toolBar().buttons()) {
        cuiItem* item = button.get();
        if (item->isSeparator()) {
            // A gap that takes space and shows nothing.
            auto* gap = new QWidget(m_toolBar);
            gap->setFixedWidth(item->kind == cuiItem::Kind::LineBreak
                                   ? cuiToolBar::kLineBreakWidth
                                   : cuiToolBar::kSeparatorWidth);
            m_toolBar->addWidget(gap);
            continue;
        }
        const QString hint = m_codec.toQString(item->caption);
        QAction* action = m_toolBar->addAction(AppIcons::toolbarImage(item->imageIndex), hint);
        action->setToolTip(hint);
        connect(action, &QAction::triggered, this,
                [this, item] { m_controller.toolBarClicked(*item); });
        m_toolEntries.push_back({action, item});
    }
}

void TForm1::toolBarStatesChanged() {
    for (const MenuAction& entry : m_toolEntries) {
        const cuiItem& item = *entry.item;
        entry.action->setCheckable(item.checked);
        entry.action->setChecked(item.checked);
        entry.action->setEnabled(item.enabled);
        entry.action->setIcon(AppIcons::toolbarImage(item.imageIndex));
    }
}

void TForm1::setToolBarVisible(bool visible) {
    m_toolBar->setVisible(visible);
}

// --- tree ------------------------------------------------------------------------------------

cuiItem* TForm1::nodeOf(QTreeWidgetItem* item) const {
    return item != nullptr ? m_treeNodes.value(item, nullptr) : nullptr;
}

void TForm1::applyTreeItem(QTreeWidgetItem* item, const cuiItem& node) {
    const QString caption = m_codec.toQString(node.caption);
    if (item->text(0) != caption) {
        item->setText(0, caption);
    }
    const int image = node.shownImageIndex();
    if (item->data(0, Qt::UserRole + 1).toInt() != image + 1) {
        item->setData(0, Qt::UserRole + 1, image + 1);
        item->setIcon(0, AppIcons::treeImage(image));
    }
}

void TForm1::addTreeItems(QTreeWidgetItem* parent, cuiItem& node) {
    for (const auto& child : node.children) {
        auto* item = new QTreeWidgetItem(parent);
        m_treeNodes.insert(item, child.get());
        applyTreeItem(item, *child);
        addTreeItems(item, *child);
        item->setExpanded(child->expanded);
    }
}

void TForm1::treeRebuilt() {
    m_treeUpdating = true;
    m_tree->clear();
    m_treeNodes.clear();
    if (cuiTree* tree = m_controller.tree()) {
        addTreeItems(m_tree->invisibleRootItem(), tree->root());
        for (auto it = m_treeNodes.constBegin(); it != m_treeNodes.constEnd(); ++it) {
            if (it.value() == tree->selected()) {
                m_tree->setCurrentItem(it.key());
                break;
            }
        }
    }
    m_treeUpdating = false;
}

bool TForm1::treeMatches(QTreeWidgetItem* parent, const cuiItem& node) const {
    // Compares addresses only: a node the model dropped is never read.
    if (parent->childCount() != static_cast<int>(node.children.size())) {
        return false;
    }
    for (int i = 0; i < parent->childCount(); ++i) {
        const cuiItem* child = node.children[static_cast<std::size_t>(i)].get();
        if (nodeOf(parent->child(i)) != child || !treeMatches(parent->child(i), *child)) {
            return false;
        }
    }
    return true;
}

void TForm1::treeItemsChanged() {
    cuiTree* tree = m_controller.tree();
    if (tree == nullptr || !treeMatches(m_tree->invisibleRootItem(), tree->root())) {
        treeRebuilt();
        return;
    }
    for (auto it = m_treeNodes.constBegin(); it != m_treeNodes.constEnd(); ++it) {
        applyTreeItem(it.key(), *it.value());
    }
}

// --- sheet area ------------------------------------------------------------------------------

SheetServices TForm1::sheetServices() {
    SheetServices services;
    services.look = &m_look;
    services.dispatch = [this](cmcCellCapsule& request) {
        return m_controller.dispatch().dispatch(request);
    };
    services.environment = m_controller.sheetEnvironment();
    services.popupOwner = this;
    services.japaneseSystem = m_controller.sheetEnvironment().japaneseSystem;
    return services;
}

void TForm1::applyTreeFont() {
    // The basic cell's font at View > Font Size, like the sheets.
    const double scale = std::clamp(m_controller.settings().fontSizePercentage, 25, 1000) / 100.0;
    QFont scaled = m_treeFont;
    if (m_treeFont.pixelSize() > 0) {
        scaled.setPixelSize(std::max(1, static_cast<int>(m_treeFont.pixelSize() * scale + 0.5)));
    } else if (m_treeFont.pointSizeF() > 0) {
        scaled.setPointSizeF(m_treeFont.pointSizeF() * scale);
    }
    if (m_tree->font() != scaled) {
        m_tree->setFont(scaled);
    }
}

void TForm1::sheetOpened(cuiSheet& sheet) {
    // A change of View > Font Size reopens the sheet; the tree follows it then.
    applyTreeFont();
    delete m_sheet;
    m_sheet = new SheetWidget(sheet, sheetServices(), m_sheetArea);
    m_sheetArea->layout()->addWidget(m_sheet);
    // Walking the tree with the keys opens sheet after sheet; the tree keeps the focus until
    // Enter or Tab moves into the sheet.
    if (focusWidget() != m_tree || !m_treeWalkedByKeys) {
        m_sheet->grid().setFocus();
    }
    emit sheetShown(m_codec.toQString(sheet.callString()));
}

void TForm1::sheetClosing(cuiSheet& sheet) {
    if (m_sheet != nullptr && &m_sheet->sheet() == &sheet) {
        delete m_sheet;
        m_sheet = nullptr;
    }
}

QWidget* TForm1::sheetWidget() const {
    return m_sheet;
}

// --- dialogs ---------------------------------------------------------------------------------

std::optional<std::string> TForm1::askPortNumber(const std::string& text) {
    cmcGTex& texts = m_controller.texts();
    PortNumberDialog::Texts labels;
    labels.caption = m_codec.toQString(texts.firstLine("GI_AppInd_Opt_ComSel_Caption"));
    // A device path is taken as well as a number.
    labels.notice = m_codec.toQString(texts.line("GI_AppInd_Opt_ComSel_Ports", 2));
    labels.ok = m_codec.toQString(texts.line("GI_AppInd_Opt_ComSel_Buttons", 0));
    labels.cancel = m_codec.toQString(texts.line("GI_AppInd_Opt_ComSel_Buttons", 1));
    labels.sizeOfButtons = m_codec.toQString(texts.firstLine("GI_AppInd_Opt_ComSel_SizeOfButtons"));
    PortNumberDialog dialog(labels, tableFont("CellModel_BasicDialog"), m_codec.toQString(text),
                            isVisible() ? this : nullptr);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return m_codec.fromQString(dialog.edit()->text());
}

std::optional<std::size_t> TForm1::chooseBackup(const std::vector<RadioBackup>& backups) {
    cmcGTex& texts = m_controller.texts();
    BackupsDialog::Texts labels;
    labels.caption = m_codec.toQString(texts.firstLine("GI_App_Backups_Caption"));
    for (int i = 0; i < 4; ++i) {
        labels.columns << m_codec.toQString(texts.line("GI_App_Backups_Columns", i));
    }
    labels.open = m_codec.toQString(texts.line("GI_App_Backups_Buttons", 0));
    labels.cancel = m_codec.toQString(texts.line("GI_App_Backups_Buttons", 1));
    std::vector<QStringList> rows;
    for (const RadioBackup& b : backups) {
        rows.push_back({QString::fromStdString(b.date), m_codec.toQString(b.comment),
                        QString::fromStdString(b.destination), QString::number(b.size)});
    }
    BackupsDialog dialog(labels, tableFont("CellModel_BasicDialog"), rows,
                         isVisible() ? this : nullptr);
    if (dialog.exec() != QDialog::Accepted || dialog.chosenRow() < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(dialog.chosenRow());
}

std::optional<ChannelImportOptions> TForm1::askChannelImportPlacement(bool hasLocation,
                                                                      int suggestedFrom) {
    cmcGTex& texts = m_controller.texts();
    const auto line = [&](int i) {
        return m_codec.toQString(texts.line("GI_App_ChannelImport_Form", i));
    };
    const ChannelImportDialog::Texts labels{line(0), line(1), line(2), line(3), line(4)};
    ChannelImportDialog dialog(labels, tableFont("CellModel_BasicDialog"), hasLocation,
                               suggestedFrom, imagemap::kMemoryChannelCount - 1,
                               isVisible() ? this : nullptr);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    ChannelImportOptions options;
    options.appendFrom = dialog.appendFrom();
    return options;
}

void TForm1::openInitialSetup() {
    indInitialSetup* setup = m_controller.initialSetup();
    if (setup == nullptr) {
        return;
    }
    delete m_setup.data();
    m_setup = new TForm2(*setup, m_controller, m_codec, tableFont("CellModel_InitialDialog"));
    m_setup->setAttribute(Qt::WA_DeleteOnClose);
    m_setup->setWindowIcon(AppIcons::application());
    m_setup->show();
}

void TForm1::setInitialSetupEnabled(bool enabled) {
    if (m_setup) {
        m_setup->setEnabled(enabled);
    }
}

void TForm1::closeInitialSetup() {
    if (m_setup) {
        m_setup->closeFromSession();
    }
}

void TForm1::showCloneInformation(cuiSheet& sheet, const std::string& caption) {
    SheetDialog frame(sheet, sheetServices(), m_codec.toQString(caption), this);
    frame.exec();
}

void TForm1::openProgress() {
    m_cloning->start();
}

void TForm1::paintProgress(const CloningProgress& progress) {
    m_cloning->paint(progress);
}

void TForm1::closeProgress() {
    m_cloning->finish();
}

void TForm1::printSheets(bool all) {
    if (m_print && m_print->running()) {
        return;
    }
    m_print.reset();
    m_sheetPrinter = std::make_unique<SheetPrinter>(
        m_controller.sheetEnvironment(), m_look,
        [this](cmcCellCapsule& request) { return m_controller.dispatch().dispatch(request); });
    PrintServices services;
    services.window = this;
    services.tableText = [this](std::string_view key, int line) {
        return m_controller.texts().line(key, line);
    };
    services.toQString = [this](const std::string& bytes) { return m_codec.toQString(bytes); };
    services.prompt = &m_controller.prompt();
    services.scheduler = &m_controller.scheduler();
    services.currentCallString = [this] {
        const cuiSheet* sheet = m_controller.currentSheet();
        return sheet != nullptr ? sheet->callString() : std::string();
    };
    services.treeCallStrings = [this] { return m_controller.treeCallStrings(); };
    services.bankPreset = [this] { return bankChannelsPreset(m_controller.document().current()); };
    services.fontPoints = [this] { return m_controller.settings().printerFontSize; };
    services.storeFontPoints = [this](int points) {
        m_controller.settings().printerFontSize = points;
    };
    services.workArea = [this] { return m_workArea; };
    if (m_printAnswer) {
        services.askPrinter = m_printAnswer;
    }
    m_print = std::make_unique<PrintController>(std::move(services), *m_sheetPrinter);
    if (all) {
        m_print->printAll();
    } else {
        m_print->printCurrent();
    }
}

// --- window events ---------------------------------------------------------------------------

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    // A click on a node goes on into its sheet; a key keeps the user in the tree.
    if (watched == m_tree->viewport() && event->type() == QEvent::MouseButtonPress) {
        m_treeWalkedByKeys = false;
    }
    if (watched == m_tree && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                           key->modifiers() == Qt::NoModifier;
        const bool tab = key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier;
        m_treeWalkedByKeys = true;
        if ((enter || tab) && m_sheet != nullptr) {
            m_sheet->grid().setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::showEvent(QShowEvent* event) {
    setTitle(m_controller.document().windowTitle());
    QMainWindow::showEvent(event);
}

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_closed) {
        m_controller.windowActivated();
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (m_closed) {
        event->accept();
        return;
    }
    // The restored bounds, so that a maximised window reopens at its normal size.
    std::optional<ScreenRect> bounds;
    if (const QRect r = normalGeometry(); r.isValid()) {
        bounds = ScreenRect{r.x(), r.y(), r.width(), r.height()};
    }
    if (!m_controller.closeQuery(bounds, m_tree->width())) {
        event->ignore();
        return;
    }
    event->accept();
    m_closed = true;
    m_controller.windowClosed();
    emit closed();
}

void TForm1::openHandedFile(const std::string& path) {
    if (m_closed) {
        return;
    }
    if (isVisible()) {
        if (isMinimized()) {
            showNormal();
        }
        raiseMainWindow();
    }
    if (path.empty()) {
        return;
    }
    // Not inside a question, a dialog or a transfer: try again when they are over.
    if (QApplication::activeModalWidget() != nullptr || !isVisible() || !isEnabled() ||
        m_controller.cloneCommands().Running()) {
        QTimer::singleShot(200, this, [this, path] { openHandedFile(path); });
        return;
    }
    QTimer::singleShot(0, this, [this, path] {
        if (!m_closed) {
            m_controller.openDocument(path);
        }
    });
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedCloneFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void TForm1::dropEvent(QDropEvent* event) {
    const QStringList files = droppedCloneFiles(event->mimeData());
    if (files.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    // Not inside the drop: the save-changes question must not hold the dragging program.
    const std::string path = QFile::encodeName(files.constFirst()).toStdString();
    QTimer::singleShot(0, this, [this, path] { m_controller.openDocument(path); });
}

} // namespace qx
