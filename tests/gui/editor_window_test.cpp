// The editor window as a user meets it: the first start, the menus, the tree, the close check,
// clone reads against trsim, and files given on the command line or dropped on the window.
#include "app/app_icons.h"
#include "app/channel_import_dialog.h"
#include "app/cloning_window.h"
#include "app/code_page_text.h"
#include "app/editor_application.h"
#include "app/environ.h"
#include "app/initial_setup_dialog.h"
#include "app/instance_channel.h"
#include "app/main_controller.h"
#include "app/main_window.h"
#include "app/qt_file_dialog.h"
#include "app/radio_backups.h"
#include "app/ui_item.h"
#include "base/text_metrics.h"
#include "qt_scheduler.h"
#include "radio/bank_link_table.h"
#include "radio/cell_link_names.h"
#include "radio/channel_record.h"
#include "sheet/cell_layout.h"
#include "sheet/sheet_dialog.h"
#include "sheet/sheet_grid.h"
#include "sheet/sheet_script.h"
#include "sheet/sheet_widget.h"

#include "editor_session.h"
#include "fake_device_tree.h"
#include "link/serial_port_catalogue.h"
#include "temp_folder.h"
#include "window_driving.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <QtTest>

#include <algorithm>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace qx;
using test::EditorSession;
using test::storeFinishedSetup;
using test::Transceiver;
using test::treeItem;
using test::whenModal;
using test::whenModalOf;

namespace {

const std::string kRoot = indEnviron::kRegistryRoot;

// Types a path into the file dialog and confirms it with Enter.
void typeIntoFileDialog(QWidget* modal, const QString& path) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    QVERIFY(dialog != nullptr);
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit != nullptr);
    // Set rather than typed: typing opens the completer, which takes the Enter.
    edit->setText(path);
    QTest::keyClick(edit, Qt::Key_Return);
}

QAction* topMenu(TForm1& window, const QString& caption) {
    for (QAction* action : window.menuBar()->actions()) {
        if (action->text() == caption) {
            return action;
        }
    }
    return nullptr;
}

QList<QAction*> itemsOf(QAction* menuAction) {
    return menuAction != nullptr && menuAction->menu() != nullptr ? menuAction->menu()->actions()
                                                                  : QList<QAction*>();
}

QAction* itemByText(QAction* menuAction, const QString& caption) {
    for (QAction* action : itemsOf(menuAction)) {
        if (action->text() == caption) {
            return action;
        }
    }
    return nullptr;
}

// Alt+letter opens the menu; the next letters pick items in the menus that open.
void chooseByKeys(TForm1& window, Qt::Key menuKey, std::initializer_list<Qt::Key> keys) {
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, menuKey, Qt::AltModifier);
    for (const Qt::Key key : keys) {
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QTest::keyClick(QApplication::activePopupWidget(), key);
    }
}

void clickTreeItem(TForm1& window, QTreeWidgetItem* item) {
    QTreeWidget* tree = window.treeView();
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
}

// A.icf open with changes, B.icf saved beside it: opening B must ask about A first.
void editModifiedBesideAnother(EditorSession& s, const std::string& a, const std::string& b) {
    QVERIFY(s.controller.document().saveFile(b));
    QVERIFY(s.controller.document().saveFile(a));
    s.controller.document().markModified();
}

} // namespace

class EditorWindowTest : public QObject {
    Q_OBJECT

    test::MemorySettingsStore m_store;
    std::set<std::string> m_taken;

private slots:
    void init() { m_store = {}; }

    void aFirstStartAsksForTheSetupAndKeepsTheWindowHidden() {
        {
            EditorSession s(m_store, m_taken);
            TForm2* setup = s.window.initialSetupDialog();
            QVERIFY(setup != nullptr);
            QVERIFY(QTest::qWaitForWindowExposed(setup));
            QCOMPARE(setup->windowTitle(), QStringLiteral("Initial Setup"));
            QVERIFY(setup->COM1->isChecked());
            QVERIFY(setup->Memo1->toPlainText().startsWith(
                QStringLiteral("Thank you for purchasing the Orsa QX-5130 cloning software.")));
            QVERIFY(!s.window.isVisible());
            // The window does not appear on its own while the dialog waits.
            QTest::qWait(150);
            QVERIFY(!s.window.isVisible());

            QTest::mouseClick(setup->Button2, Qt::LeftButton);
            QTRY_VERIFY(s.window.isVisible());
            QTRY_VERIFY(s.window.initialSetupDialog() == nullptr);
            QCOMPARE(s.window.windowTitle(), QStringLiteral("Untitled - QX-5130"));
            QVERIFY(s.window.close());
        }
        // Every section was written when the run ended.
        for (const auto& [section, value] :
             std::vector<std::pair<std::string, std::string>>{{"Global", "BBT"},
                                                              {"Global", "ComPort"},
                                                              {"Recent File List", "Recent9"},
                                                              {"View Option", "Toolbar Visible"},
                                                              {"Window Position", "SplitterV"},
                                                              {"Setup", "Etc Data"}}) {
            QVERIFY2(m_store.user.count({kRoot + "\\" + section, value}) == 1, value.c_str());
        }

        // With a destination stored, the window shows at once.
        storeFinishedSetup(m_store, m_taken);
        EditorSession again(m_store, m_taken);
        QVERIFY(again.window.isVisible());
        QVERIFY(again.window.initialSetupDialog() == nullptr);
    }

    void theSetupDialogStartsFromTheStoredPortAndRefusesBadNumbers() {
        storeFinishedSetup(m_store, m_taken);
        m_store.user[{kRoot + "\\Global", "ComPort"}] = 7;
        EditorSession s(m_store, m_taken, {"qx5130", "/SETUP"});
        TForm2* setup = s.window.initialSetupDialog();
        QVERIFY(setup != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(setup));
        QVERIFY(!s.window.isVisible());
        QVERIFY(setup->COMMore->isChecked());
        QCOMPARE(setup->Edit1->text(), QStringLiteral("7"));
        QTest::mouseClick(setup->COM2, Qt::LeftButton);
        setup->Edit1->selectAll();
        QTest::keyClicks(setup->Edit1, QStringLiteral("257"));
        QVERIFY(setup->COMMore->isChecked());
        QTest::mouseClick(setup->Button1, Qt::LeftButton);
        QCOMPARE(s.prompt.asked.size(), std::size_t{1});
        QCOMPARE(s.prompt.asked[0].text, std::string("The numerical value is outside the range."));
        QVERIFY(setup->isVisible());
        QCOMPARE(s.env.comPort, 7);
    }

    void theMenusShowTheTablesCaptionsAndShortcuts() {
        storeFinishedSetup(m_store, m_taken);
        EditorSession s(m_store, m_taken);
        QStringList top;
        for (QAction* action : s.window.menuBar()->actions()) {
            top << action->text();
        }
        QCOMPARE(top, (QStringList{"&File", "&Edit", "&View", "COM &Port", "&Clone", "&Help"}));

        struct Item {
            const char* menu;
            const char* caption;
            const char* shortcut;
        };
        for (const Item& item :
             {Item{"&File", "&New", "Ctrl+N"}, Item{"&File", "&Open...", "Ctrl+O"},
              Item{"&File", "&Save", "Ctrl+S"}, Item{"&File", "Save &As...", ""},
              Item{"&File", "E&xit", "Alt+F4"}, Item{"&Edit", "&Undo", "Ctrl+Z"},
              Item{"&Edit", "&Redo", "Ctrl+Y; Ctrl+Shift+Z"}, Item{"&View", "&Toolbar", ""},
              Item{"COM &Port", "COM &1", ""}, Item{"COM &Port", "&More...", ""},
              Item{"COM &Port", "&High Speed", ""}, Item{"&Clone", "&Read <- TR", ""},
              Item{"&Clone", "&Write -> TR", ""}, Item{"&Clone", "&Information", ""},
              Item{"&Help", "&Contents", "F1"}, Item{"&Help", "&About QX-5130", ""}}) {
            QAction* action = itemByText(topMenu(s.window, QLatin1String(item.menu)),
                                         QLatin1String(item.caption));
            QVERIFY2(action != nullptr, item.caption);
            QCOMPARE(QKeySequence::listToString(action->shortcuts(), QKeySequence::PortableText),
                     QLatin1String(item.shortcut));
        }
        QStringList fonts;
        for (QAction* action : itemsOf(itemByText(topMenu(s.window, "&View"), "Font &Size"))) {
            fonts << action->text();
        }
        QCOMPARE(fonts, (QStringList{"&1   60% (Small)", "&2   80%", "&3  100% (Standard)",
                                     "&4  120%", "&5  150% (Big)"}));
        // Without the digital unit there is nothing to export.
        QVERIFY(!itemByText(topMenu(s.window, "&File"), "&Export...")->isVisible());
        // The toolbar: New, Open, Save, a gap, the three clone buttons.
        QStringList hints;
        for (QAction* action : s.window.toolBar()->actions()) {
            if (!action->toolTip().isEmpty() && action->icon().isNull() == false) {
                hints << action->toolTip();
            }
        }
        QCOMPARE(hints,
                 (QStringList{"New", "Open", "Save", "Clone Read", "Clone Write", "Clone Info."}));
    }

    void theRecentListShowsWhatWasOpened() {
        test::TempFolder folder;
        storeFinishedSetup(m_store, m_taken);
        EditorSession s(m_store, m_taken);
        QAction* file = topMenu(s.window, "&File");
        auto recentItems = [&] {
            QList<QAction*> found;
            for (QAction* action : itemsOf(file)) {
                if (action->text() == "Recent File" || action->text().startsWith("&1 ") ||
                    action->text().startsWith("&2 ")) {
                    found << action;
                }
            }
            return found;
        };
        QList<QAction*> recent = recentItems();
        QCOMPARE(recent.size(), 4);
        QVERIFY(recent[0]->isVisible() && !recent[0]->isEnabled());
        for (int i = 1; i < 4; ++i) {
            QVERIFY(!recent[i]->isVisible());
        }

        const std::string a = folder.file("A.icf");
        QVERIFY(s.controller.document().saveFile(a));
        s.controller.document().newDocument();
        // File > Open... with the real dialog; the path is typed and confirmed with Enter.
        whenModal(&s.window,
                  [&](QWidget* modal) { typeIntoFileDialog(modal, QString::fromStdString(a)); });
        QApplication::setActiveWindow(&s.window);
        QVERIFY(QTest::qWaitForWindowActive(&s.window));
        QTest::keyClick(&s.window, Qt::Key_O, Qt::ControlModifier);
        QTRY_COMPARE(s.window.windowTitle(), QStringLiteral("A.icf - QX-5130"));
        recent = recentItems();
        QCOMPARE(recent[0]->text(), QStringLiteral("&1 A.icf"));
        QVERIFY(recent[0]->isEnabled());
    }

    void aFontSizeItemIsCheckedAloneAndKeptAfterExit() {
        storeFinishedSetup(m_store, m_taken);
        {
            EditorSession s(m_store, m_taken);
            chooseByKeys(s.window, Qt::Key_V, {Qt::Key_S, Qt::Key_1});
            QTRY_COMPARE(s.env.fontSizePercentage, 60);
            QStringList checked;
            for (QAction* action : itemsOf(itemByText(topMenu(s.window, "&View"), "Font &Size"))) {
                if (action->isChecked()) {
                    checked << action->text();
                }
            }
            QCOMPARE(checked, QStringList{"&1   60% (Small)"});
            QVERIFY(s.window.close());
        }
        QCOMPARE(
            std::get<std::int32_t>(m_store.user[{kRoot + "\\View Option", "FontSize Percentage"}]),
            60);
    }

    void theComPortMenuSetsThePort() {
        storeFinishedSetup(m_store, m_taken);
        EditorSession s(m_store, m_taken);
        chooseByKeys(s.window, Qt::Key_P, {Qt::Key_3});
        QTRY_COMPARE(s.env.comPort, 3);
        QStringList checked;
        for (QAction* action : itemsOf(topMenu(s.window, "COM &Port"))) {
            if (action->isChecked()) {
                checked << action->text();
            }
        }
        QCOMPARE(checked, (QStringList{"COM &3", "&Normal Speed"}));

        // More... with 257: the box, then the dialog again with what was typed; Cancel keeps 3.
        QStringList seen;
        whenModal(&s.window, [&](QWidget* modal) {
            auto* edit = modal->findChild<QLineEdit*>();
            QVERIFY(edit != nullptr);
            QCOMPARE(edit->text(), QStringLiteral("3"));
            edit->selectAll();
            QTest::keyClicks(edit, QStringLiteral("257"));
            QTest::keyClick(edit, Qt::Key_Return);
            whenModal(&s.window, [&](QWidget* again) {
                seen << again->findChild<QLineEdit*>()->text();
                QTest::keyClick(again, Qt::Key_Escape);
            });
        });
        chooseByKeys(s.window, Qt::Key_P, {Qt::Key_M});
        QTRY_COMPARE(seen, QStringList{"257"});
        QCOMPARE(s.prompt.asked.size(), std::size_t{1});
        QCOMPARE(s.prompt.asked[0].text, std::string("The numerical value is outside the range."));
        QCOMPARE(s.env.comPort, 3);

        // More... with 12: stored, and More... is the checked item.
        whenModal(&s.window, [](QWidget* modal) {
            auto* edit = modal->findChild<QLineEdit*>();
            edit->selectAll();
            QTest::keyClicks(edit, QStringLiteral("12"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        chooseByKeys(s.window, Qt::Key_P, {Qt::Key_M});
        QTRY_COMPARE(s.env.comPort, 12);
        QTRY_VERIFY(itemByText(topMenu(s.window, "COM &Port"), "&More...")->isChecked());

        // More... with a device path, in a box wide enough for one: it gets a number of its own.
        test::TempFolder folder;
        const std::string cable = folder.write("cable", "");
        const QString path = QString::fromStdString(cable);
        bool wide = false;
        whenModal(&s.window, [&](QWidget* modal) {
            auto* edit = modal->findChild<QLineEdit*>();
            wide = edit->width() > edit->fontMetrics().horizontalAdvance(
                                       QStringLiteral("/dev/serial/by-id/usb-Prolific-if00"));
            edit->selectAll();
            QTest::keyClicks(edit, path);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        chooseByKeys(s.window, Qt::Key_P, {Qt::Key_M});
        QTRY_COMPARE(s.env.comPort, 5);
        QVERIFY(wide);
        QCOMPARE(s.controller.portDevice(5), cable);
        QCOMPARE(s.prompt.asked.size(), std::size_t{1});
    }

    void theTreeLeavesOutWhatTheTransceiverLacksAndWaitsForTheSelectionToRest() {
        storeFinishedSetup(m_store, m_taken);
        EditorSession s(m_store, m_taken);
        for (const char* missing : {"GPS Memory", "Message", "Call Sign", "Digital Setting"}) {
            QVERIFY2(treeItem(s.window, QLatin1String(missing)) == nullptr, missing);
        }
        QVERIFY(treeItem(s.window, "Common Setting") != nullptr);
        // The first sheet shows by itself.
        QTRY_VERIFY(s.window.sheetWidget() != nullptr);

        QStringList built;
        connect(&s.window, &TForm1::sheetShown, this,
                [&built](const QString& callString) { built << callString; });
        treeItem(s.window, "Memory CH")->setExpanded(true);
        QTreeWidgetItem* first = treeItem(s.window, "  0 -  99");
        QTreeWidgetItem* second = treeItem(s.window, "100 - 199");
        QVERIFY(first != nullptr && second != nullptr);
        clickTreeItem(s.window, first);
        clickTreeItem(s.window, second);
        QTRY_COMPARE(built, QStringList{"[St_ColCut]GI_Sheet_MemoryCH,1,100"});
        QTest::qWait(300);
        QCOMPARE(built.size(), 1);
        auto* shown = qobject_cast<SheetWidget*>(s.window.sheetWidget());
        QVERIFY(shown != nullptr);
        QVERIFY(shown->sheet().rowCount() > 100);
        // The window's sheet draws through the cell links: a channel number shows what the
        // command line prints for it.
        cuiSheet& sheet = shown->sheet();
        cmcSheetScript script(sheet, s.controller.dispatch(), s.controller.valueTables());
        bool drawn = false;
        for (int r = sheet.fixedRows(); r < sheet.rowCount() && !drawn; ++r) {
            for (int c = 0; c < sheet.columnCount() && !drawn; ++c) {
                if (sheet.cell(c, r).link == CL_Misc_ChNo_0Base) {
                    const std::string text = sheet.appearance(c, r, {}, false, false).text;
                    QVERIFY(!text.empty());
                    QCOMPARE(text, script.cellText(c, r));
                    drawn = true;
                }
            }
        }
        QVERIFY(drawn);
    }

    void closingAModifiedDocumentAsksAndSaveAsCancelKeepsTheWindow() {
        storeFinishedSetup(m_store, m_taken);
        EditorSession s(m_store, m_taken);
        s.controller.document().markModified();
        s.prompt.answers = {PromptAnswer::Yes};
        QString proposed;
        whenModal(&s.window, [&proposed](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog != nullptr);
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            proposed = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QVERIFY(!s.window.close());
        QVERIFY(s.window.isVisible());
        QCOMPARE(s.prompt.asked.size(), std::size_t{1});
        QCOMPARE(s.prompt.asked[0].text, std::string("Save changes to Untitled?"));
        QCOMPARE(proposed, QStringLiteral("Untitled"));
    }

    void aCloneReadFillsAnUntitledModifiedDocument() {
        storeFinishedSetup(m_store, m_taken);
        Transceiver trsim(m_store, {"--destination", "3", "--no-digital-unit"});
        EditorSession s(m_store, m_taken);
        bool sawDisabledWhileCloning = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (s.window.cloningWindow()->isVisible() && !s.window.isEnabled()) {
                sawDisabledWhileCloning = true;
            }
        });
        watch.start(5);
        chooseByKeys(s.window, Qt::Key_C, {Qt::Key_R});
        QTRY_VERIFY_WITH_TIMEOUT(sawDisabledWhileCloning || !s.prompt.asked.empty(), 60000);
        QVERIFY2(s.prompt.asked.empty(),
                 s.prompt.asked.empty() ? "" : s.prompt.asked[0].text.c_str());
        QVERIFY(sawDisabledWhileCloning);
        QTRY_VERIFY_WITH_TIMEOUT(!s.window.cloningWindow()->isVisible(), 60000);
        QTRY_VERIFY(s.window.isEnabled());
        QVERIFY2(s.prompt.asked.empty(),
                 s.prompt.asked.empty() ? "" : s.prompt.asked[0].text.c_str());
        QCOMPARE(s.window.windowTitle(), QStringLiteral("Untitled - QX-5130"));
        QVERIFY(s.controller.document().isModified());
        QCOMPARE(s.window.cloningWindow()->litSegments(), CloningWindow::kSegments);
        QVERIFY2(s.window.statusPanel(0)->text().startsWith(
                     QStringLiteral(" Read from the transceiver - Backup kept: ")),
                 qPrintable(s.window.statusPanel(0)->text()));
        // The image as it came is kept as a backup too.
        QCOMPARE(RadioBackups(s.system.backups).list().size(), std::size_t{1});
    }

    void closingTheWindowDuringAReadAsksAndCancelsIt() {
        storeFinishedSetup(m_store, m_taken);
        Transceiver trsim(m_store, {"--destination", "3", "--no-digital-unit", "--pace"});
        EditorSession s(m_store, m_taken);
        const std::vector<std::uint8_t> before(s.controller.document().current().data(),
                                               s.controller.document().current().data() +
                                                   s.controller.document().current().size());
        chooseByKeys(s.window, Qt::Key_C, {Qt::Key_R});
        CloningWindow* cloning = s.window.cloningWindow();
        QTRY_VERIFY_WITH_TIMEOUT(cloning->isVisible() || !s.prompt.asked.empty(), 30000);
        QVERIFY2(s.prompt.asked.empty(),
                 s.prompt.asked.empty() ? "" : s.prompt.asked[0].text.c_str());
        QTRY_VERIFY_WITH_TIMEOUT(cloning->litSegments() > 0, 30000);
        QCOMPARE(cloning->operationLabel()->text(), QStringLiteral("Reading from the transceiver"));
        QVERIFY2(cloning->amountLabel()->text().contains(QStringLiteral(" bytes)")),
                 qPrintable(cloning->amountLabel()->text()));
        QTRY_VERIFY_WITH_TIMEOUT(
            cloning->timeLeftLabel()->text().startsWith(QStringLiteral("About ")), 10000);
        QCOMPARE(cloning->cancelButton()->text(), QStringLiteral("Cancel"));

        // No keeps the transfer running and the window open.
        s.prompt.answers = {PromptAnswer::No};
        QVERIFY(!s.window.close());
        QCOMPARE(s.prompt.asked.size(), std::size_t{1});
        QCOMPARE(s.prompt.asked[0].text,
                 std::string("A clone is running.\nCancel it and close the window?"));
        QVERIFY(cloning->isVisible());
        QVERIFY(s.controller.cloneCommands().Running());

        s.prompt.answers = {PromptAnswer::Yes};
        QVERIFY(s.window.close());
        QCOMPARE(s.prompt.asked.size(), std::size_t{2});
        QVERIFY(!cloning->isVisible());
        QVERIFY(!s.controller.cloneCommands().Running());
        QVERIFY(!s.controller.document().isModified());
        QVERIFY(std::equal(before.begin(), before.end(), s.controller.document().current().data()));
    }

    void escapeInTheCloningWindowCancelsAReadAndKeepsTheDocument() {
        storeFinishedSetup(m_store, m_taken);
        Transceiver trsim(m_store, {"--destination", "3", "--no-digital-unit", "--pace"});
        EditorSession s(m_store, m_taken);
        chooseByKeys(s.window, Qt::Key_C, {Qt::Key_R});
        CloningWindow* cloning = s.window.cloningWindow();
        QTRY_VERIFY_WITH_TIMEOUT(cloning->litSegments() > 0 || !s.prompt.asked.empty(), 30000);
        QVERIFY(s.prompt.asked.empty());
        QVERIFY(!s.window.isEnabled());
        QTest::keyClick(cloning, Qt::Key_Escape);
        QTRY_VERIFY(!cloning->isVisible());
        QTRY_VERIFY(s.window.isEnabled());
        // A stop the user asked for is no error.
        QVERIFY2(s.prompt.asked.empty(),
                 s.prompt.asked.empty() ? "" : s.prompt.asked[0].text.c_str());
        QVERIFY(!s.controller.document().isModified());
        QCOMPARE(s.window.windowTitle(), QStringLiteral("Untitled - QX-5130"));
        QCOMPARE(s.window.statusPanel(0)->text(), QStringLiteral(" Clone cancelled"));
    }

    void cancellingAWriteWarnsOfPartialData() {
        storeFinishedSetup(m_store, m_taken);
        Transceiver trsim(m_store, {"--destination", "3", "--no-digital-unit", "--pace"});
        EditorSession s(m_store, m_taken);
        chooseByKeys(s.window, Qt::Key_C, {Qt::Key_W});
        CloningWindow* cloning = s.window.cloningWindow();
        QTRY_VERIFY_WITH_TIMEOUT(cloning->litSegments() > 0 || s.prompt.asked.size() > 1, 30000);
        // Only the confirmation was asked.
        QCOMPARE(s.prompt.asked.size(), std::size_t{1});
        QCOMPARE(s.prompt.asked[0].text, std::string("Write to transceiver. Are you sure?"));
        QCOMPARE(cloning->operationLabel()->text(), QStringLiteral("Writing to the transceiver"));
        QTest::mouseClick(cloning->cancelButton(), Qt::LeftButton);
        QTRY_VERIFY(!cloning->isVisible());
        QCOMPARE(s.prompt.asked.size(), std::size_t{2});
        QCOMPARE(s.prompt.asked[1].text,
                 std::string("The write did not finish: the transceiver may now hold part of the "
                             "new data. Repeat the write before using the radio."));
        QCOMPARE(s.prompt.asked[1].icon, PromptIcon::Warning);
        QTRY_VERIFY(s.window.isEnabled());
        QCOMPARE(s.window.statusPanel(0)->text(), QStringLiteral(" Clone cancelled"));
    }

    void aCableFoundByNameIsChosenInTheSetupAndStaysChosen() {
        // trsim's pseudo-terminal, presented by a device tree as a USB cable.
        Transceiver trsim(m_store, {"--destination", "3", "--comment", "FOUND RIG"}, false);
        QVERIFY(!trsim.device().empty());
        test::TempFolder folder;
        test::FakeDeviceTree tree(folder.path());
        const std::string stable = "usb-Orsa_Cloning_Cable_0001-if00-port0";
        tree.addUsb("ttyUSB0", "Orsa", "Cloning Cable", "", "pl2303", stable, trsim.device());
        LinuxSerialPortCatalogue catalogue(folder.path());
        {
            EditorSession s(m_store, m_taken, {}, &catalogue);
            TForm2* setup = s.window.initialSetupDialog();
            QVERIFY(setup != nullptr);
            QVERIFY(QTest::qWaitForWindowExposed(setup));
            QCOMPARE(setup->FoundPorts.size(), std::size_t{1});
            QCOMPARE(setup->FoundPorts[0]->text(), QStringLiteral("Orsa Cloning Cable (ttyUSB0)"));
            // The numbers say which device each one opens.
            QCOMPARE(setup->COM1->text(), QStringLiteral("COM 1  (/dev/ttyS0)"));
            QVERIFY(setup->COM1->isChecked());
            QTest::mouseClick(setup->FoundPorts[0], Qt::LeftButton);
            QVERIFY(setup->FoundPorts[0]->isChecked());
            QVERIFY(!setup->COM1->isChecked());
            QTest::mouseClick(setup->Button1, Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(s.window.isVisible(), 30000);
            QVERIFY2(s.prompt.asked.empty(),
                     s.prompt.asked.empty() ? "" : s.prompt.asked[0].text.c_str());
            QCOMPARE(s.env.destination, 3);
            // What was found is said.
            const QString note =
                QString::fromStdString("Found on COM 5 (" + tree.byId(stable) + "): \"FOUND RIG");
            QStringList shown;
            for (QLabel* label : s.window.statusBar()->findChildren<QLabel*>()) {
                shown << label->text();
            }
            QVERIFY2(!shown.filter(note).isEmpty(), qPrintable(shown.join('|')));
            QVERIFY(s.window.close());
        }
        // The stable name is kept under the number, for the next start.
        QCOMPARE(m_store.readNumber(kRoot + "\\Global", "ComPort"), std::optional<std::int32_t>(5));
        QCOMPARE(m_store.readText(kRoot + "\\Ports", "COM5"),
                 std::optional<std::string>(tree.byId(stable)));

        EditorSession again(m_store, m_taken, {}, &catalogue);
        QVERIFY(again.window.isVisible());
        QMenu* portMenu = nullptr;
        QAction* top = nullptr;
        for (QAction* action : again.window.menuBar()->actions()) {
            if (action->text() == QStringLiteral("COM &Port")) {
                top = action;
                portMenu = action->menu();
            }
        }
        QVERIFY(portMenu != nullptr);
        QApplication::setActiveWindow(&again.window);
        QVERIFY(QTest::qWaitForWindowActive(&again.window));
        QTest::mouseClick(again.window.menuBar(), Qt::LeftButton, {},
                          again.window.menuBar()->actionGeometry(top).center());
        QTRY_VERIFY(portMenu->isVisible());
        QStringList checked;
        QAction* cable = nullptr;
        for (QAction* action : portMenu->actions()) {
            // The speed items are checked on their own.
            if (action->isChecked() && !action->text().contains(QStringLiteral("Speed"))) {
                checked << action->text();
            }
            if (action->text().startsWith(QStringLiteral("Orsa Cloning Cable (ttyUSB0)"))) {
                cable = action;
            }
        }
        QVERIFY(cable != nullptr);
        QVERIFY2(checked == QStringList{cable->text()}, qPrintable(checked.join('|')));
        QVERIFY(portMenu->actions().front()->text().endsWith(QStringLiteral("\t/dev/ttyS0")));
        // Choosing COM 2 from the same menu moves the check there.
        QAction* com2 = nullptr;
        for (QAction* action : portMenu->actions()) {
            if (action->text().startsWith(QStringLiteral("COM &2"))) {
                com2 = action;
            }
        }
        QVERIFY(com2 != nullptr);
        QTest::mouseClick(portMenu, Qt::LeftButton, {}, portMenu->actionGeometry(com2).center());
        QTRY_COMPARE(again.env.comPort, 2);
    }

    void aSilentTransceiverGivesTheNoAnswerBox() {
        storeFinishedSetup(m_store, m_taken);
        Transceiver trsim(m_store, {"--destination", "3", "--fault", "silent"});
        EditorSession s(m_store, m_taken);
        chooseByKeys(s.window, Qt::Key_C, {Qt::Key_R});
        QTRY_VERIFY_WITH_TIMEOUT(!s.prompt.asked.empty(), 60000);
        QVERIFY(s.prompt.asked[0].text.rfind("No answer from transceiver.", 0) == 0);
        QTRY_VERIFY(s.window.isEnabled());
        QVERIFY(!s.controller.document().isModified());
    }

    void theCloneInformationShowsWhatTheTransceiverSaidTheFirstTime() {
        storeFinishedSetup(m_store, m_taken);
        // The variant the settings already know: nothing is rebuilt before the dialog shows.
        Transceiver trsim(m_store,
                          {"--destination", "3", "--no-digital-unit", "--comment", "SHACK RIG"});
        EditorSession s(m_store, m_taken);
        // Both keys close it; each time the dialog paints what the transceiver said.
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            QStringList texts;
            QString caption;
            bool okHadFocus = false;
            bool closed = false;
            whenModal(&s.window, [&](QWidget* modal) {
                caption = modal->windowTitle();
                auto* frame = qobject_cast<SheetDialog*>(modal);
                QVERIFY(frame != nullptr);
                okHadFocus = frame->focusWidget() == frame->okButton();
                // What the dialog's grid paints, cell by cell.
                SheetGrid& grid = frame->sheetWidget().grid();
                for (const DrawnCell& cell : grid.layout().visibleCells(grid.layoutState())) {
                    for (const DrawnLine& line : cell.lines) {
                        if (!QString::fromStdString(line.text).trimmed().isEmpty()) {
                            texts << QString::fromStdString(line.text).trimmed();
                        }
                    }
                }
                QTest::keyClick(frame->focusWidget(), key);
                closed = !frame->isVisible();
            });
            chooseByKeys(s.window, Qt::Key_C, {Qt::Key_I});
            QTRY_VERIFY_WITH_TIMEOUT(!texts.isEmpty() || !s.prompt.asked.empty(), 60000);
            QVERIFY2(s.prompt.asked.empty(),
                     s.prompt.asked.empty() ? "" : s.prompt.asked[0].text.c_str());
            QCOMPARE(caption, QStringLiteral("QX-5130"));
            QVERIFY(okHadFocus);
            QVERIFY2(texts.contains("Clone Information"), qPrintable(texts.join('|')));
            QVERIFY2(texts.contains("SHACK RIG"), qPrintable(texts.join('|')));
            QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
            QVERIFY(closed);
            QTRY_VERIFY(s.window.isEnabled());
        }
    }

    void theTreeIsWalkedWithTheArrowKeysAndEnterMovesIntoTheSheet() {
        storeFinishedSetup(m_store, m_taken);
        EditorSession s(m_store, m_taken);
        QApplication::setActiveWindow(&s.window);
        QVERIFY(QTest::qWaitForWindowActive(&s.window));
        QTreeWidget* tree = s.window.treeView();
        tree->setFocus();
        QTRY_VERIFY(tree->hasFocus());
        QStringList shown;
        connect(&s.window, &TForm1::sheetShown, this,
                [&shown](const QString& callString) { shown << callString; });
        // Some nodes only group others; walk until three sheets have shown.
        for (int step = 0; step < 12 && shown.size() < 3; ++step) {
            const qsizetype before = shown.size();
            QTest::keyClick(tree, Qt::Key_Down);
            QTest::qWait(400); // longer than the tree's change delay
            QVERIFY2(tree->hasFocus(), qPrintable(shown.join('|')));
            if (shown.size() > before) {
                QVERIFY(s.window.sheetWidget() != nullptr);
            }
        }
        QCOMPARE(shown.size(), 3);
        auto* sheet = qobject_cast<SheetWidget*>(s.window.sheetWidget());
        QVERIFY(sheet != nullptr);
        QTest::keyClick(tree, Qt::Key_Return);
        QVERIFY(sheet->grid().hasFocus());
        // Back in the tree, Tab moves into the sheet as well.
        tree->setFocus();
        QTRY_VERIFY(tree->hasFocus());
        QTest::keyClick(tree, Qt::Key_Tab);
        QVERIFY(sheet->grid().hasFocus());
    }

    void theTreeFollowsTheFontSize() {
        storeFinishedSetup(m_store, m_taken);
        m_store.user[{kRoot + "\\View Option", "FontSize Percentage"}] = 150;
        EditorSession s(m_store, m_taken);
        const QFont big = s.window.treeView()->font();
        const QFont basic = s.window.font();
        const auto size = [](const QFont& f) {
            return f.pixelSize() > 0 ? double(f.pixelSize()) : f.pointSizeF();
        };
        QVERIFY2(std::abs(size(big) - 1.5 * size(basic)) <= 1.0,
                 qPrintable(QStringLiteral("%1 %2").arg(size(big)).arg(size(basic))));
        QCOMPARE(big.family(), basic.family());
    }

    void theStatusLineForgetsOldNewsOnAnotherSheetAndOnUndo() {
        storeFinishedSetup(m_store, m_taken);
        EditorSession s(m_store, m_taken);
        QApplication::setActiveWindow(&s.window);
        QVERIFY(QTest::qWaitForWindowActive(&s.window));
        QTreeWidget* tree = s.window.treeView();
        tree->setFocus();
        QString last;
        connect(&s.window, &TForm1::sheetShown, this,
                [&last](const QString& callString) { last = callString; });
        QTest::keyClick(tree, Qt::Key_Down);
        QTRY_VERIFY(!last.isEmpty());
        s.window.setStatusText(0, " Inserted");
        const QString first = last;
        for (int step = 0; step < 12 && last == first; ++step) {
            QTest::keyClick(tree, Qt::Key_Down);
            QTest::qWait(400);
        }
        QVERIFY(last != first);
        QCOMPARE(s.window.statusPanel(0)->text(), QString());

        {
            ChannelRecord record(s.controller.document().current());
            QVERIFY(record.load(kKindChannel, 7));
            record.used = true;
            record.frequency = 145500000;
            QVERIFY(record.store());
        }
        QVERIFY(s.controller.document().history().record(EditAction::Insert));
        s.controller.document().checkModified();
        s.bus.send(MessageId::RefreshMenuStates);
        s.window.setStatusText(0, " Inserted");
        QAction* undo = nullptr;
        for (QAction* action : itemsOf(topMenu(s.window, QStringLiteral("&Edit")))) {
            if (action->text().startsWith(QStringLiteral("&Undo"))) {
                undo = action;
            }
        }
        QVERIFY(undo != nullptr);
        undo->trigger();
        QCOMPARE(s.window.statusPanel(0)->text(), QString());
    }

    void theAboutBoxNamesTheRevision() {
        storeFinishedSetup(m_store, m_taken);
        EditorSession s(m_store, m_taken);
        QString caption;
        QStringList labels;
        whenModal(&s.window, [&](QWidget* modal) {
            caption = modal->windowTitle();
            for (QLabel* label : modal->findChildren<QLabel*>()) {
                labels << label->text();
            }
            QTest::keyClick(modal, Qt::Key_Return);
        });
        chooseByKeys(s.window, Qt::Key_H, {Qt::Key_A});
        QTRY_COMPARE(caption, QStringLiteral("About QX-5130"));
        QVERIFY(labels.contains("QX-5130 Revision 1.2"));
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void aDigitalChannelWithoutTheUnitMarksItsNodeWithTheErrorImage() {
        test::TempFolder folder;
        storeFinishedSetup(m_store, m_taken);
        EditorSession s(m_store, m_taken);
        {
            ChannelRecord record(s.controller.document().current());
            QVERIFY(record.load(kKindChannel, 42));
            record.used = true;
            record.frequency = 145000000;
            record.mode = kModeDv;
            QVERIFY(record.store());
        }
        const std::string path = folder.file("dv.icf");
        QVERIFY(s.controller.document().saveFile(path));
        s.controller.document().newDocument();
        QVERIFY(s.controller.openDocument(path));
        QTreeWidgetItem* block = treeItem(s.window, "  0 -  99");
        QVERIFY(block != nullptr);
        const QIcon error = AppIcons::treeImage(cuiItem::kTreeError);
        QTRY_COMPARE(block->icon(0).pixmap(16).toImage(), error.pixmap(16).toImage());
        QVERIFY(treeItem(s.window, "100 - 199")->icon(0).pixmap(16).toImage() !=
                error.pixmap(16).toImage());
    }

    void aDroppedCloneFileAsksAboutChangesThenOpens() {
        test::TempFolder folder;
        storeFinishedSetup(m_store, m_taken);
        EditorSession s(m_store, m_taken);
        const std::string a = folder.file("A.icf");
        const std::string b = folder.file("B.icf");
        editModifiedBesideAnother(s, a, b);

        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(b))});
        const QPoint at = s.window.rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&s.window, &enter);
        QVERIFY(enter.isAccepted());
        s.prompt.answers = {PromptAnswer::No};
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&s.window, &drop);
        QTRY_COMPARE(s.window.windowTitle(), QStringLiteral("B.icf - QX-5130"));
        QCOMPARE(s.prompt.asked.size(), std::size_t{1});
        QCOMPARE(s.prompt.asked[0].text, std::string("Save changes to A.icf?"));

        // Anything but a clone file is not taken.
        QMimeData other;
        other.setUrls({QUrl::fromLocalFile(QString::fromStdString(folder.file("notes.txt")))});
        QDragEnterEvent refused(at, Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
        refused.setAccepted(false);
        QApplication::sendEvent(&s.window, &refused);
        QVERIFY(!refused.isAccepted());
    }

    void ctrlSAsksBeforeReplacingAFileTheCommandLineChangedAndTheWindowSaysSo() {
        test::TempFolder folder;
        storeFinishedSetup(m_store, m_taken);
        EditorSession s(m_store, m_taken);
        const std::string path = folder.file("A.icf");
        QVERIFY(s.controller.document().saveFile(path));
        QApplication::setActiveWindow(&s.window);
        QVERIFY(QTest::qWaitForWindowActive(&s.window));
        // The editor's own change, not saved yet.
        s.controller.document().current().setByte(0x6960, 'E');
        s.controller.document().checkModified();

        // Meanwhile the command line changes the file.
        QProcess cli;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", QString::fromStdString(folder.file(".config")));
        environment.insert("HOME", QString::fromStdString(folder.path().string()));
        cli.setProcessEnvironment(environment);
        cli.start(QStringLiteral(QX5130_CLI_PATH),
                  {"--destination", "3", "set", QString::fromStdString(path),
                   "[St_ColCut]GI_Sheet_MemoryCH,0,0", "CL_Mch_Freq", "5", "145.010"});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
        const std::string changed = test::TempFolder::read(path);

        // Back in the window, the user is told, once.
        QWidget other;
        other.resize(200, 100);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        const auto focus = [](QWidget& window) {
            window.activateWindow();
            QApplication::setActiveWindow(&window);
            return QTest::qWaitForWindowActive(&window);
        };
        const auto refocus = [&] {
            QVERIFY(focus(other));
            QVERIFY(!s.window.isActiveWindow());
            QVERIFY(focus(s.window));
        };
        refocus();
        QTRY_COMPARE(s.window.statusPanel(0)->text(),
                     QStringLiteral(" A.icf has been changed by another program"));
        s.window.setStatusText(0, "");
        refocus();
        QCOMPARE(s.window.statusPanel(0)->text(), QString());

        // Ctrl+S asks; Cancel leaves the command line's file as it is.
        s.prompt.answers = {PromptAnswer::Cancel};
        QTest::keyClick(&s.window, Qt::Key_S, Qt::ControlModifier);
        QTRY_COMPARE(s.prompt.asked.size(), std::size_t{1});
        QCOMPARE(s.prompt.asked[0].text,
                 std::string("A.icf has been changed by another program since it was opened or "
                             "saved here.\nOverwrite it, save as another file, or cancel?"));
        QCOMPARE(s.prompt.asked[0].choices,
                 (std::vector<std::string>{"&Overwrite", "Save &As...", "Cancel"}));
        QCOMPARE(test::TempFolder::read(path), changed);
        QVERIFY(s.controller.document().isModified());

        // Asked again, Overwrite puts the editor's copy there.
        s.prompt.answers = {PromptAnswer::Overwrite};
        QTest::keyClick(&s.window, Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(!s.controller.document().isModified());
        QCOMPARE(s.prompt.asked.size(), std::size_t{2});
        QCOMPARE(test::TempFolder::read(path).substr(0, 13), std::string("29700001\r\n#E\r"));
    }

    void aFileSentToTheRunningCopyOpensThereAfterTheSaveQuestion() {
        test::TempFolder folder;
        storeFinishedSetup(m_store, m_taken);
        EditorSession s(m_store, m_taken);
        const std::string a = folder.file("A.icf");
        const std::string b = folder.file("B.icf");
        editModifiedBesideAnother(s, a, b);

        const QString name = QString::fromStdString(folder.file("channel.socket"));
        InstanceChannel channel(name);
        QVERIFY(channel.listen([&s](const std::vector<std::string>& files) {
            s.window.openHandedFile(files.empty() ? std::string() : files.front());
        }));
        // A second start hands its file over as the program does before it ends.
        s.prompt.answers = {PromptAnswer::No};
        QVERIFY(InstanceChannel::send(name, {b}));
        QTRY_COMPARE(s.window.windowTitle(), QStringLiteral("B.icf - QX-5130"));
        QCOMPARE(s.prompt.asked.size(), std::size_t{1});
        QCOMPARE(s.prompt.asked[0].text, std::string("Save changes to A.icf?"));
        // Nobody listens on another name.
        QVERIFY(
            !InstanceChannel::send(QString::fromStdString(folder.file("none.socket")), {a}, 200));
    }

    void fileNamesKeepTheirLettersAndErrorsNameTheFile() {
        test::TempFolder folder;
        storeFinishedSetup(m_store, m_taken);
        EditorSession s(m_store, m_taken);
        const QString umlaut = QString::fromUtf8("\xC3\x9C"
                                                 "ber&1.icf");
        const std::string path =
            QFile::encodeName(QString::fromStdString(folder.file("x")).chopped(1) + umlaut)
                .toStdString();
        QVERIFY(s.controller.document().saveFile(path));
        s.controller.document().newDocument();
        QVERIFY(s.controller.openDocument(path));
        QCOMPARE(s.window.windowTitle(), umlaut + QStringLiteral(" - QX-5130"));
        QAction* recent = itemByText(topMenu(s.window, QStringLiteral("&File")),
                                     QStringLiteral("&1 ") + QString(umlaut).replace("&", "&&"));
        QVERIFY(recent != nullptr);
        s.controller.document().markModified();
        s.prompt.answers = {PromptAnswer::Cancel};
        QVERIFY(!s.controller.openDocument(path + "x"));
        // The boxes get texts in the table's code page.
        QCOMPARE(s.codec.toQString(s.prompt.asked.back().text),
                 QStringLiteral("Save changes to %1?").arg(umlaut));

        // A broken file: the box says which file, which line and why.
        const std::string broken = folder.file("broken.icf");
        {
            std::ofstream out(broken, std::ios::binary);
            out << "29700001\r\n#Comment=\r\nZZZZ\r\n";
        }
        s.controller.document().markSaved();
        s.prompt.asked.clear();
        QVERIFY(!s.controller.openDocument(broken));
        QCOMPARE(s.prompt.asked.size(), std::size_t{1});
        const QString text = QString::fromStdString(s.prompt.asked[0].text);
        QVERIFY2(text.startsWith(QStringLiteral("File error.\n\n")), qPrintable(text));
        QVERIFY2(text.contains(QString::fromStdString(broken) + QStringLiteral(": line ")),
                 qPrintable(text));
        s.prompt.asked.clear();
        QVERIFY(!s.controller.openDocument(folder.file("none.icf")));
        QCOMPARE(s.prompt.asked.size(), std::size_t{1});
        QVERIFY2(QString::fromStdString(s.prompt.asked[0].text)
                     .endsWith(QString::fromStdString(folder.file("none.icf")) +
                               QStringLiteral(": No such file or directory")),
                 s.prompt.asked[0].text.c_str());
    }

    void channelListsGoOutAndComeBackThroughTheFileMenu() {
        test::TempFolder folder;
        storeFinishedSetup(m_store, m_taken);
        EditorSession s(m_store, m_taken);
        cmcEeprom& image = s.controller.document().current();
        const auto frequencyOf = [&image](int channel) {
            ChannelRecord record(image);
            return record.load(kKindChannel, channel) && record.used ? record.frequency : -1;
        };

        // File > Export Channels writes the channels in use.
        const QString exported = QString::fromStdString(folder.file("list.csv"));
        whenModalOf<QFileDialog>(&s.window, [&](QFileDialog* dialog) {
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            typeIntoFileDialog(dialog, exported);
        });
        chooseByKeys(s.window, Qt::Key_F, {Qt::Key_C});
        QTRY_VERIFY(QFile::exists(exported));
        QFile file(exported);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QVERIFY(lines.front().startsWith("Location,Name,Frequency,Duplex,Offset,Tone"));
        const int channels = static_cast<int>(lines.size()) - 2; // header and the empty tail
        QVERIFY(channels > 0);
        QCOMPARE(s.window.statusPanel(0)->text(),
                 QStringLiteral(" %1 channels exported").arg(channels));

        // File > Import Channels, appended from channel 300 on: the new channel goes into the
        // first empty one there and is one step to undo.
        const std::string appended = folder.file("one.csv");
        {
            std::ofstream out(appended, std::ios::binary);
            out << "\xEF\xBB\xBF"
                   "Frequency;Name\r\n146.01;\"Club\"\r\n";
        }
        QCOMPARE(frequencyOf(300), -1);
        s.prompt.asked.clear();
        whenModalOf<QFileDialog>(&s.window, [&](QFileDialog* dialog) {
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
            typeIntoFileDialog(dialog, QString::fromStdString(appended));
            whenModalOf<ChannelImportDialog>(&s.window, [](ChannelImportDialog* placement) {
                // The file has no Location column: only appending is offered.
                QVERIFY(!placement->locationButton()->isEnabled());
                QVERIFY(placement->appendButton()->isChecked());
                placement->fromBox()->setValue(300);
                QTest::keyClick(placement, Qt::Key_Return);
            });
        });
        chooseByKeys(s.window, Qt::Key_F, {Qt::Key_I});
        QTRY_COMPARE(frequencyOf(300), 146010000);
        QCOMPARE(s.prompt.asked.size(), std::size_t{1});
        QCOMPARE(s.prompt.asked[0].text, std::string("1 lines taken, 0 refused."));
        QCOMPARE(s.prompt.asked[0].details, std::string("Line 2: channel 300 taken."));
        QCOMPARE(s.window.statusPanel(0)->text(), QStringLiteral(" 1 channels imported"));
        QVERIFY(s.window.windowTitle().startsWith(QLatin1Char('*')) ||
                s.controller.document().isModified());
        QAction* undo =
            itemByText(topMenu(s.window, QStringLiteral("&Edit")), QStringLiteral("&Undo Import"));
        QVERIFY(undo != nullptr);
        undo->trigger();
        QCOMPARE(frequencyOf(300), -1);

        // The exported list at its own places: every channel is already there, so the import
        // asks before it overwrites, and No changes nothing.
        const std::vector<std::uint8_t> before(image.data(), image.data() + image.size());
        s.prompt.asked.clear();
        s.prompt.answers = {PromptAnswer::No};
        whenModalOf<QFileDialog>(&s.window, [&](QFileDialog* dialog) {
            typeIntoFileDialog(dialog, exported);
            whenModalOf<ChannelImportDialog>(&s.window, [](ChannelImportDialog* placement) {
                QVERIFY(placement->locationButton()->isChecked());
                QTest::keyClick(placement, Qt::Key_Return);
            });
        });
        chooseByKeys(s.window, Qt::Key_F, {Qt::Key_I});
        QTRY_COMPARE(s.prompt.asked.size(), std::size_t{1});
        QVERIFY(s.prompt.asked[0].text.rfind("These channels hold data and will be overwritten: 0",
                                             0) == 0);
        QVERIFY(std::equal(before.begin(), before.end(), image.data()));
    }

    void theCommandLineNamesTheFilesToOpen() {
        QCOMPARE(filesToOpen({"qx5130", "/Setup", "/home/u/A.icf"}),
                 (std::vector<std::string>{"/home/u/A.icf"}));
        QVERIFY(filesToOpen({"qx5130"}).empty());
        QCOMPARE(QString::fromStdString(filesToOpen({"qx5130", "B.icf"}).at(0)),
                 QDir::current().absoluteFilePath("B.icf"));
    }

    void theWindowKeepsItsBoundsReachableAndHandsThemBack() {
        storeFinishedSetup(m_store, m_taken);
        m_store.user[{kRoot + "\\Window Position", "Left"}] = 5000;
        m_store.user[{kRoot + "\\Window Position", "SplitterV"}] = 3;
        {
            EditorSession s(m_store, m_taken);
            QCOMPARE(s.window.geometry().x(), 1024 - 16);
            QVERIFY(QTest::qWaitForWindowExposed(&s.window));
            QCOMPARE(s.window.treeView()->width(), 8);
            QCOMPARE(s.window.splitter()->handleWidth(), 3);
            s.window.setGeometry(100, 80, 640, 480);
            s.window.splitter()->setSizes({150, 487});
            QVERIFY(s.window.close());
            QCOMPARE(s.env.windowLeft, 100);
            QCOMPARE(s.env.windowWidth, 640);
            QCOMPARE(s.env.splitterV, 150);
        }
    }

    void hugeStoredBoundsOpenAndAreStoredFittedToTheScreen() {
        constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
        constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
        const std::pair<const char*, std::int32_t> stored[] = {
            {"Left", 100}, {"Top", kMin}, {"Width", kMax}, {"Height", kMax}, {"SplitterV", kMax}};
        storeFinishedSetup(m_store, m_taken);
        for (const auto& [name, value] : stored) {
            m_store.user[{kRoot + "\\Window Position", name}] = value;
        }
        EditorSession s(m_store, m_taken);
        const QRect r = s.window.geometry();
        QVERIFY2(
            r.width() <= 1024 && r.height() <= 768 && r.y() >= 0,
            qPrintable(QStringLiteral("%1x%2 at %3").arg(r.width()).arg(r.height()).arg(r.y())));
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));
        QVERIFY(s.window.close());
        QVERIFY(s.env.windowWidth <= 1024 && s.env.windowHeight <= 768);
        QVERIFY(s.env.windowTop >= 0);
        QVERIFY(s.env.splitterV <= s.env.windowWidth - 11);
    }
};

QTEST_MAIN(EditorWindowTest)
#include "editor_window_test.moc"
