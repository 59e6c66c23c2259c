// A typed entry that was not confirmed with Enter, then a command: the entry reaches the file
// saved or the image written, and an entry the cell refuses stops the command.
#include "app/cloning_window.h"
#include "app/environ.h"
#include "app/main_controller.h"
#include "app/main_window.h"
#include "clonefile/icf_file.h"
#include "radio/cell_link_names.h"
#include "radio/channel_record.h"
#include "radio/image_map.h"
#include "sheet/in_place_editor.h"
#include "sheet/sheet.h"
#include "sheet/sheet_grid.h"
#include "sheet/sheet_widget.h"

#include "editor_session.h"
#include "temp_folder.h"
#include "window_driving.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <QtTest>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

using namespace qx;
using test::EditorSession;
using test::storeFinishedSetup;
using test::whenModal;

namespace {

const std::string kRoot = indEnviron::kRegistryRoot;
const char* const kBlock0 = "[St_ColCut]GI_Sheet_MemoryCH,0,0";
constexpr int kChannel = 4;
constexpr std::uint32_t kTyped = 148500000; // "148.5"

// The frequency of a used channel in an image, 0 when the channel is not in use.
std::uint32_t frequencyIn(cmcEeprom& image, int channel) {
    ChannelRecord record(image);
    record.load(kKindChannel, channel);
    return record.used ? record.frequency : 0;
}

// The frequency of a channel in a clone file on disk, 0 when unused or unreadable.
std::uint32_t frequencyInFile(const std::string& path) {
    cmcEeprom image(imagemap::kImageSize);
    cmcIcfFile file(image);
    file.setModel(imagemap::kModelCode, imagemap::kModelSubCode);
    if (file.read(path, nullptr) != FileErrorCode::Ok) {
        return 0;
    }
    return frequencyIn(image, kChannel);
}

QAction* menuItem(TForm1& window, const QString& menu, const QString& caption) {
    for (QAction* top : window.menuBar()->actions()) {
        if (top->text() != menu || top->menu() == nullptr) {
            continue;
        }
        for (QAction* item : top->menu()->actions()) {
            if (item->text() == caption) {
                return item;
            }
            if (item->menu() != nullptr) {
                for (QAction* sub : item->menu()->actions()) {
                    if (sub->text() == caption) {
                        return sub;
                    }
                }
            }
        }
    }
    return nullptr;
}

// Opens memory channels 0-99 from the tree and types `text` into a cell of channel 4 without
// confirming it: the in-place editor stays open with the text.
void typeWithoutEnter(EditorSession& s, CellLinkId link, const QString& text) {
    SheetGrid* shown = nullptr;
    test::openFromTree(s.window, "Memory CH", "  0 -  99", kBlock0, shown);
    QVERIFY(shown != nullptr);
    SheetGrid& grid = *shown;
    QTRY_VERIFY(grid.isVisible());
    const auto cell = grid.sheet().findCell(CT_Conv, link, kChannel);
    QVERIFY(cell.has_value());
    grid.verticalScrollBar()->setValue(0);
    const auto rect = grid.cellRect(cell->first, cell->second);
    QVERIFY(rect.has_value());
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, rect->center());
    for (const QChar c : text) {
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }
    QVERIFY(grid.editorVisible());
    QCOMPARE(grid.editor()->toPlainText(), text);
}

void clickToolButton(TForm1& window, const QString& hint) {
    for (QAction* action : window.toolBar()->actions()) {
        if (action->toolTip() == hint) {
            QWidget* button = window.toolBar()->widgetForAction(action);
            QVERIFY(button != nullptr);
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    QFAIL(qPrintable("no tool button " + hint));
}

// trsim as COM 1, at high speed: writes take seconds, not minutes.
struct FastTransceiver : test::Transceiver {
    FastTransceiver(test::MemorySettingsStore& store, const QStringList& arguments)
        : Transceiver(store, arguments) {
        store.user[{kRoot + "\\Global", "ComPort"}] = 1;
        store.user[{kRoot + "\\Global", "ComSpeedHigh"}] = 1;
    }
};

} // namespace

class PendingEntryTest : public QObject {
    Q_OBJECT

    test::MemorySettingsStore m_store;
    std::set<std::string> m_taken;

private slots:
    void init() { m_store = {}; }

    // Commands that ask the save question save the entry with the file; the others keep it in
    // the image they go on with.
    void anEntryWithoutEnterReachesTheCommand_data() {
        QTest::addColumn<QString>("command");
        for (const char* command :
             {"save", "new", "open", "recent", "close", "font size", "clone read"}) {
            QTest::newRow(command) << QString::fromLatin1(command);
        }
    }
    void anEntryWithoutEnterReachesTheCommand() {
        QFETCH(QString, command);
        storeFinishedSetup(m_store, m_taken);
        test::TempFolder folder;
        const std::string path = (folder.path() / "rig.icf").string();
        const std::string other = (folder.path() / "other.icf").string();
        std::unique_ptr<FastTransceiver> trsim;
        if (command == "clone read") {
            trsim = std::make_unique<FastTransceiver>(m_store, QStringList{"--destination", "3"});
        }
        EditorSession s(m_store, m_taken);
        QVERIFY(s.controller.document().saveFile(other));
        QVERIFY(s.controller.document().saveFile(path));
        QCOMPARE(frequencyInFile(path), 0U);
        typeWithoutEnter(s, CL_Mch_Freq, QStringLiteral("148.5"));

        if (command == "save") {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        } else if (command == "new") {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
        } else if (command == "open") {
            whenModal(&s.window, [&other](QWidget* modal) {
                auto* dialog = qobject_cast<QFileDialog*>(modal);
                QVERIFY(dialog != nullptr);
                auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                QVERIFY(edit != nullptr);
                // Set rather than typed: typing opens the completer, which takes the Enter.
                edit->setText(QString::fromStdString(other));
                QTest::keyClick(edit, Qt::Key_Return);
            });
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::ControlModifier);
        } else if (command == "recent") {
            // Entry 1 is the file shown, entry 2 the other one.
            QAction* item = menuItem(s.window, "&File", "&2 other.icf");
            QVERIFY(item != nullptr);
            item->trigger();
        } else if (command == "close") {
            QVERIFY(s.window.close());
        } else if (command == "font size") {
            QAction* item = menuItem(s.window, "&View", "&4  120%");
            QVERIFY(item != nullptr);
            item->trigger();
        } else if (command == "clone read") {
            clickToolButton(s.window, "Clone Read");
            QTRY_VERIFY_WITH_TIMEOUT(s.window.cloningWindow()->isVisible(), 20000);
            QTRY_VERIFY_WITH_TIMEOUT(!s.window.cloningWindow()->isVisible(), 120000);
        }

        const bool asks = command == "new" || command == "open" || command == "recent" ||
                          command == "close" || command == "clone read";
        if (asks) {
            QVERIFY(!s.prompt.asked.empty());
            QCOMPARE(s.prompt.asked.front().text, std::string("Save changes to rig.icf?"));
        }
        if (command == "font size") {
            QCOMPARE(frequencyIn(s.controller.document().current(), kChannel), kTyped);
        } else {
            // Yes saved it; Save did without asking.
            QCOMPARE(frequencyInFile(path), kTyped);
        }
        QCOMPARE(frequencyInFile(other), 0U);
    }

    // Clone Write and Clone Information from the toolbar keep the entry in the image they use.
    void theCloneButtonsTakeTheEntryFirst() {
        storeFinishedSetup(m_store, m_taken);
        test::TempFolder folder;
        const std::string written = (folder.path() / "radio.icf").string();
        FastTransceiver trsim(m_store,
                              {"--destination", "3", "--save", QString::fromStdString(written)});
        EditorSession s(m_store, m_taken);

        typeWithoutEnter(s, CL_Mch_Freq, QStringLiteral("148.5"));
        bool informationShown = false;
        whenModal(&s.window, [&informationShown](QWidget* modal) {
            informationShown = true;
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        clickToolButton(s.window, "Clone Info.");
        QCOMPARE(frequencyIn(s.controller.document().current(), kChannel), kTyped);
        QTRY_VERIFY_WITH_TIMEOUT(informationShown, 60000);
        QTRY_VERIFY_WITH_TIMEOUT(
            s.window.isEnabled() && QApplication::activeModalWidget() == nullptr, 60000);

        // A second entry, then Clone Write: the radio gets it.
        typeWithoutEnter(s, CL_Mch_Freq, QStringLiteral("145.5"));
        clickToolButton(s.window, "Clone Write");
        QTRY_VERIFY_WITH_TIMEOUT(s.prompt.asked.size() == 2, 180000);
        QCOMPARE(s.prompt.asked[0].text, std::string("Write to transceiver. Are you sure?"));
        QVERIFY2(s.prompt.asked[1].text.rfind("Cloning is succeeded.", 0) == 0,
                 s.prompt.asked[1].text.c_str());
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(written), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(frequencyInFile(written), 145500000U, 20000);
    }

    // A text the cell refuses stays in its editor and the command does not happen.
    void aRefusedEntryStopsTheCommand() {
        storeFinishedSetup(m_store, m_taken);
        test::TempFolder folder;
        const std::string path = (folder.path() / "rig.icf").string();
        EditorSession s(m_store, m_taken);
        {
            ChannelRecord record(s.controller.document().current());
            QVERIFY(record.load(kKindChannel, kChannel));
            record.used = true;
            record.frequency = 145000000;
            record.bankGroup = 0;
            QVERIFY(record.store());
        }
        QVERIFY(s.controller.document().saveFile(path));
        const auto before = std::filesystem::last_write_time(path);
        // Bank channel numbers end at 99.
        typeWithoutEnter(s, CL_Mch_Bank_ChNo, QStringLiteral("150"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
        auto* widget = qobject_cast<SheetWidget*>(s.window.sheetWidget());
        QVERIFY(widget != nullptr);
        QVERIFY(widget->grid().editorVisible());
        QCOMPARE(widget->grid().editor()->toPlainText(), QStringLiteral("150"));
        QCOMPARE(s.window.windowTitle(), QStringLiteral("rig.icf - QX-5130"));
        QVERIFY(s.prompt.asked.empty());
        QVERIFY(std::filesystem::last_write_time(path) == before);
        // The window stays open too.
        QVERIFY(!s.window.close());
        QVERIFY(s.window.isVisible());
    }
};

QTEST_MAIN(PendingEntryTest)
#include "pending_entry_test.moc"
