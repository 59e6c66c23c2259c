#pragma once

#include "app/views.h"
#include "code_page_text.h"
#include "initial_setup_dialog.h"
#include "menu_actions.h"
#include "sheet/sheet_look.h"

#include <QHash>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QPrinter;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace qx {

class CloningWindow;
class PrintController;
class SheetPrinter;
class MainController;
class SheetWidget;
struct SheetServices;
struct cuiItem;

// The main window: menu, toolbar, tree, splitter, sheet area and status bar. It draws what the
// controller's builders describe and hands every click, selection and close back to it.
class TForm1 : public QMainWindow, public Views {
    Q_OBJECT
public:
    // Builds the window hidden, lets the controller fill it, then shows it at once when the
    // setup was done before, else opens the initial setup and stays hidden.
    TForm1(MainController& controller, const CodePageText& codec, const ScreenRect& workArea,
           QWidget* parent = nullptr);
    ~TForm1() override;

    // False when the self-check failed: the window is not usable and the run ends.
    bool built() const { return m_built; }

    // Views
    bool mainWindowVisible() const override;
    void showMainWindow() override;
    void setMainWindowEnabled(bool enabled) override;
    void raiseMainWindow() override;
    void closeMainWindow() override;
    void setTitle(const std::string& title) override;
    void setStatusText(int panel, const std::string& text) override;
    void setClipboardText(const std::string& text) override;
    void setBusyCursor(bool busy) override;
    void showAbout(const std::string& caption, const std::string& text,
                   const std::string& button) override;
    void menuStatesChanged() override;
    void toolBarStatesChanged() override;
    void setToolBarVisible(bool visible) override;
    void treeRebuilt() override;
    void treeItemsChanged() override;
    void sheetOpened(cuiSheet& sheet) override;
    void sheetClosing(cuiSheet& sheet) override;
    std::optional<std::string> askPortNumber(const std::string& text) override;
    std::optional<std::size_t> chooseBackup(const std::vector<RadioBackup>& backups) override;
    std::optional<ChannelImportOptions> askChannelImportPlacement(bool hasLocation,
                                                                  int suggestedFrom) override;
    void openInitialSetup() override;
    void setInitialSetupEnabled(bool enabled) override;
    void closeInitialSetup() override;
    void showCloneInformation(cuiSheet& sheet, const std::string& caption) override;
    void openProgress() override;
    void paintProgress(const CloningProgress& progress) override;
    void closeProgress() override;
    void printSheets(bool all) override;

    // A file another start of the editor handed over (or none: only come to the front). The
    // window comes to the front and opens it with the usual save question, once no dialog or
    // transfer holds the window.
    void openHandedFile(const std::string& path);

    // Parts for the tests and the screenshots.
    PrintController* printController() const { return m_print.get(); }
    // Answers the system print dialog instead of showing it (tests).
    void setPrintDialogAnswer(std::function<bool(QPrinter&)> answer) {
        m_printAnswer = std::move(answer);
    }
    QToolBar* toolBar() const { return m_toolBar; }
    QTreeWidget* treeView() const { return m_tree; }
    QSplitter* splitter() const { return m_splitter; }
    QLabel* statusPanel(int panel) const;
    CloningWindow* cloningWindow() const { return m_cloning; }
    TForm2* initialSetupDialog() const { return m_setup; }
    QWidget* sheetWidget() const;
    // The menu action drawn for an item of the main menu, or nullptr.
    QAction* actionOf(const cuiItem& item) const;

signals:
    // The window closed for good (the close check let it go).
    void closed();
    // A sheet appeared in the sheet area.
    void sheetShown(const QString& callString);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenu();
    // The COM Port menu as it opens: the device of each COM number, the ports found and Refresh.
    void showPortMenu(QMenu* menu, QAction* more);
    void buildToolBar();
    void addTreeItems(QTreeWidgetItem* parent, cuiItem& node);
    void applyTreeItem(QTreeWidgetItem* item, const cuiItem& node);
    cuiItem* nodeOf(QTreeWidgetItem* item) const;
    bool treeMatches(QTreeWidgetItem* parent, const cuiItem& node) const;
    QFont tableFont(const char* key) const;
    void applyTreeFont();

    MainController& m_controller;
    CodePageText m_codec;
    // Fonts and colours of the table's descriptions, for the sheets on screen, the printer and
    // the dialogs alike.
    SheetLook m_look;
    std::vector<MenuAction> m_menuEntries;
    std::vector<QAction*> m_portActions; // the found ports and Refresh, made as the menu opens
    std::vector<MenuAction> m_toolEntries;
    QToolBar* m_toolBar = nullptr;
    QSplitter* m_splitter = nullptr;
    QTreeWidget* m_tree = nullptr;
    QWidget* m_sheetArea = nullptr;
    SheetWidget* m_sheet = nullptr;
    SheetServices sheetServices();
    QLabel* m_status[2] = {nullptr, nullptr};
    CloningWindow* m_cloning = nullptr;
    QPointer<TForm2> m_setup;
    QHash<QTreeWidgetItem*, cuiItem*> m_treeNodes;
    bool m_treeUpdating = false;
    bool m_treeWalkedByKeys = false;
    // The tree's font at 100 %.
    QFont m_treeFont;
    int m_busy = 0;
    bool m_closed = false;
    bool m_built = false;
    ScreenRect m_workArea;
    // Printing: laid out anew for every job from the controller's current sheet environment.
    std::unique_ptr<SheetPrinter> m_sheetPrinter;
    std::unique_ptr<PrintController> m_print;
    std::function<bool(QPrinter&)> m_printAnswer;
};

} // namespace qx
