// Editing channel lists in the editor window: the popup menu of a channel sheet, its items and
// their shortcuts, undo and redo from the keyboard, and the desktop clipboard.
#include "app/environ.h"
#include "app/main_controller.h"
#include "app/main_window.h"
#include "radio/cell_link_names.h"
#include "radio/channel_record.h"
#include "radio/image_map.h"
#include "sheet/sheet.h"
#include "sheet/sheet_grid.h"
#include "sheet/sheet_widget.h"

#include "editor_session.h"
#include "temp_folder.h"
#include "window_driving.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QScrollBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <QtTest>

#include <set>
#include <string>

using namespace qx;
using test::EditorSession;
using test::storeFinishedSetup;
using test::treeItem;

namespace {

const char* const kBlock0 = "[St_ColCut]GI_Sheet_MemoryCH,0,0";

std::uint32_t frequencyOf(int channel) {
    return 145000000U + static_cast<std::uint32_t>(channel) * 10000U;
}

void useChannels(EditorSession& s, int first, int last) {
    for (int channel = first; channel <= last; ++channel) {
        ChannelRecord record(s.controller.document().current());
        QVERIFY(record.load(kKindChannel, channel));
        record.used = true;
        record.frequency = frequencyOf(channel);
        QVERIFY(record.store());
    }
}

std::uint32_t storedFrequency(EditorSession& s, int channel) {
    ChannelRecord record(s.controller.document().current());
    record.load(kKindChannel, channel);
    return record.used ? record.frequency : 0;
}

// Channels first .. last in use, saved under `path` and opened again: the file a user starts
// the session with.
void startFrom(EditorSession& s, const std::string& path, int first, int last) {
    useChannels(s, first, last);
    QVERIFY(s.controller.document().saveFile(path));
    QVERIFY(s.controller.openDocument(path));
}

// Memory channels 0-99, opened from the tree.
void openBlock0(EditorSession& s, SheetGrid*& grid) {
    test::openFromTree(s.window, "Memory CH", "  0 -  99", kBlock0, grid);
}

// The centre of the channel's frequency cell, scrolled into view.
QPoint channelCell(SheetGrid& grid, int channel) {
    cuiSheet& sheet = grid.sheet();
    const auto cell = sheet.findCell(CT_Conv, CL_Mch_Freq, channel);
    if (!cell) {
        return {};
    }
    grid.verticalScrollBar()->setValue(cell->second - sheet.fixedRows() - 2);
    const auto rect = grid.cellRect(cell->first, cell->second);
    return rect ? rect->center() : QPoint();
}

void click(SheetGrid& grid, int channel, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(grid.viewport(), button, {}, channelCell(grid, channel));
}

QMenu* rightClick(SheetGrid& grid, int channel) {
    click(grid, channel, Qt::RightButton);
    QMenu* menu = grid.popupMenu();
    return menu != nullptr && QTest::qWaitForWindowExposed(menu) ? menu : nullptr;
}

void choose(QMenu* menu, const QString& caption) {
    for (QAction* action : menu->actions()) {
        if (action->text() == caption) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
            return;
        }
    }
    QFAIL(qPrintable("no item " + caption));
}

QString statusText(EditorSession& s) {
    return s.window.statusPanel(0)->text();
}

// What `qx5130-cli sheet` prints for memory channels 0-99 of a file, by channel number.
QMap<int, QString> printedChannels(const std::string& path) {
    QProcess cli;
    cli.start(QStringLiteral(QX5130_CLI_PATH),
              {"--destination", "3", "sheet", QString::fromStdString(path), kBlock0});
    QMap<int, QString> rows;
    if (!cli.waitForFinished(60000) || cli.exitCode() != 0) {
        return rows;
    }
    for (const QString& line : QString::fromUtf8(cli.readAllStandardOutput()).split('\n')) {
        bool number = false;
        const int channel = line.section('\t', 0, 0).trimmed().toInt(&number);
        if (number) {
            rows[channel] = line;
        }
    }
    return rows;
}

// A printed row without its channel number.
QString fields(const QMap<int, QString>& rows, int channel) {
    return rows.value(channel).section('\t', 1);
}

} // namespace

class ListEditingTest : public QObject {
    Q_OBJECT

    test::MemorySettingsStore m_store;
    std::set<std::string> m_taken;

private slots:
    void init() {
        m_store = {};
        storeFinishedSetup(m_store, m_taken);
    }

    void insertOnChannel50AsksAboutTheLastRowAndPushesTheListDown() {
        test::TempFolder folder;
        EditorSession s(m_store, m_taken);
        const std::string path = folder.file("A.icf");
        startFrom(s, path, 50, 99);
        const QMap<int, QString> before = printedChannels(path);
        QCOMPARE(before.size(), 100);
        SheetGrid* grid = nullptr;
        openBlock0(s, grid);
        QVERIFY(grid != nullptr);
        const cmcEeprom start = s.controller.document().current();

        QMenu* menu = rightClick(*grid, 50);
        QVERIFY(menu != nullptr);
        QCOMPARE(grid->sheet().currentCell().index, 50);
        // The items and shortcuts the table describes.
        QStringList shown;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                shown << action->text() + "|" + action->shortcut().toString();
            }
        }
        QCOMPARE(shown,
                 (QStringList{"&Edit|", "&Copy|Ctrl+C", "&Paste|Ctrl+V", "&Up|Ctrl+Up",
                              "&Down|Ctrl+Down", "C&lear|", "De&lete|", "&Insert|", "&Help|"}));
        // Showing the menu asked its items for their states; none of them ran.
        QVERIFY(s.prompt.asked.empty());
        QVERIFY(s.controller.document().current() == start);

        s.prompt.answers = {PromptAnswer::Ok};
        choose(menu, "&Insert");
        QCOMPARE(s.prompt.asked.size(), std::size_t{1});
        QCOMPARE(s.prompt.asked[0].text,
                 std::string("CH overflow.\n"
                             "The channel contents at the bottom line in this sheet will be "
                             "deleted.\n"
                             "Are you sure?"));
        QCOMPARE(s.prompt.asked[0].buttons, PromptButtons::OkCancel);
        QCOMPARE(statusText(s), QStringLiteral(" Inserted"));

        QTest::keyClick(grid, Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(!s.controller.document().isModified());
        const QMap<int, QString> after = printedChannels(path);
        QCOMPARE(after.size(), 100);
        for (int channel = 50; channel <= 98; ++channel) {
            QCOMPARE(fields(after, channel + 1), fields(before, channel));
        }
        QVERIFY(QString(fields(after, 50)).remove('\t').isEmpty()); // an empty channel
        QCOMPARE(fields(after, 49), fields(before, 49));
    }

    void ctrlUpAndCtrlDownMoveTheSelectedRowsAndTheSelectionFollows() {
        EditorSession s(m_store, m_taken);
        useChannels(s, 4, 7);
        SheetGrid* grid = nullptr;
        openBlock0(s, grid);
        QVERIFY(grid != nullptr);
        cuiSheet& sheet = grid->sheet();
        const cmcEeprom start = s.controller.document().current();
        click(*grid, 5);
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(sheet.selectedRange(),
                 (std::optional<std::pair<std::int32_t, std::int32_t>>{std::pair{5, 7}}));

        struct Step {
            Qt::Key key;
            int low;
            int high;
            int cursor;
            int frequencyAt4; // the channel whose frequency channel 4 then holds
        };
        for (const Step& step : {Step{Qt::Key_Up, 4, 6, 4, 5}, Step{Qt::Key_Down, 5, 7, 7, 4}}) {
            QTest::keyClick(grid, step.key, Qt::ControlModifier);
            QCOMPARE(sheet.selectedRange(), (std::optional<std::pair<std::int32_t, std::int32_t>>{
                                                std::pair{step.low, step.high}}));
            QCOMPARE(sheet.currentCell().index, step.cursor);
            QCOMPARE(storedFrequency(s, 4), frequencyOf(step.frequencyAt4));
        }
        QVERIFY(s.controller.document().current() == start);
        QVERIFY(s.prompt.asked.empty());
    }

    void undoTakesADeleteBackByteForByteAndBothRedoKeysDeleteAgain() {
        test::TempFolder folder;
        EditorSession s(m_store, m_taken);
        startFrom(s, folder.file("A.icf"), 2, 9);
        SheetGrid* grid = nullptr;
        openBlock0(s, grid);
        QVERIFY(grid != nullptr);
        const cmcEeprom saved = s.controller.document().current();

        click(*grid, 5);
        QMenu* menu = rightClick(*grid, 5);
        QVERIFY(menu != nullptr);
        s.prompt.answers = {PromptAnswer::Ok};
        choose(menu, "De&lete");
        QCOMPARE(statusText(s), QStringLiteral(" Deleted"));
        QCOMPARE(storedFrequency(s, 5), frequencyOf(6));
        const cmcEeprom deleted = s.controller.document().current();
        QVERIFY(s.controller.document().isModified());

        for (const QKeyCombination redo : {Qt::ControlModifier | Qt::Key_Y,
                                           Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z}) {
            QTest::keySequence(&s.window, QKeySequence(Qt::ControlModifier | Qt::Key_Z));
            QVERIFY(s.controller.document().current() == saved);
            QVERIFY(!s.controller.document().isModified());
            QTest::keySequence(&s.window, QKeySequence(redo));
            QVERIFY(s.controller.document().current() == deleted);
            QVERIFY(s.controller.document().isModified());
        }
        // Undo builds the sheet again from the image; back at the saved state the window
        // closes without the save question.
        QTest::keySequence(&s.window, QKeySequence(Qt::ControlModifier | Qt::Key_Z));
        QCOMPARE(s.window.windowTitle(), QStringLiteral("A.icf - QX-5130"));
        QVERIFY(s.window.close());
        QCOMPARE(s.prompt.asked.size(), std::size_t{1});
    }

    void copyPutsTheRowsOnTheDesktopClipboardAndPasteTakesTheEditorsOwn() {
        test::TempFolder folder;
        EditorSession s(m_store, m_taken);
        const std::string path = folder.file("A.icf");
        startFrom(s, path, 5, 6);
        const QMap<int, QString> printed = printedChannels(path);
        SheetGrid* grid = nullptr;
        openBlock0(s, grid);
        QVERIFY(grid != nullptr);

        click(*grid, 5);
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QMenu* menu = rightClick(*grid, 6);
        QVERIFY(menu != nullptr);
        choose(menu, "&Copy");
        QCOMPARE(statusText(s), QStringLiteral(" Copied"));
        const QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied, printed.value(5) + "\n" + printed.value(6) + "\n");
        QVERIFY(printed.value(5).count('\t') >= 10);
        QVERIFY(printed.value(5).contains(QStringLiteral("145.050")));

        // Another program's text on the desktop clipboard does not reach the channels.
        QGuiApplication::clipboard()->setText(QStringLiteral("not a channel"));
        click(*grid, 20);
        QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(statusText(s), QStringLiteral(" Pasted"));
        QCOMPARE(storedFrequency(s, 20), frequencyOf(5));
        QCOMPARE(storedFrequency(s, 21), frequencyOf(6));
        QVERIFY(s.prompt.asked.empty());
    }
    void afterAPasteTheMarkedRowsAreTheOnesTheNextClearClears() {
        EditorSession s(m_store, m_taken);
        useChannels(s, 8, 16);
        SheetGrid* grid = nullptr;
        openBlock0(s, grid);
        QVERIFY(grid != nullptr);
        cuiSheet& sheet = grid->sheet();
        click(*grid, 10);
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        // The cursor is on 12: the copy goes to 12-14, over used rows.
        s.prompt.answers = {PromptAnswer::Ok};
        QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(statusText(s), QStringLiteral(" Pasted"));
        const auto marked = [&](int channel) {
            const auto at = sheet.findCell(CT_Conv, CL_Mch_Freq, channel);
            return at && sheet.drawnSelected(at->first, at->second);
        };
        for (int channel = 8; channel <= 16; ++channel) {
            QCOMPARE(marked(channel), channel >= 12 && channel <= 14);
        }
        QMenu* menu = rightClick(*grid, 13);
        QVERIFY(menu != nullptr);
        s.prompt.answers = {PromptAnswer::Ok};
        choose(menu, "C&lear");
        for (int channel = 8; channel <= 16; ++channel) {
            const bool cleared = channel >= 12 && channel <= 14;
            QCOMPARE(storedFrequency(s, channel), cleared ? 0U : frequencyOf(channel));
        }
    }
    void insertIntoAnEmptyGpsListShowsTheMemoryAndTakesTyping() {
        EditorSession s(m_store, m_taken);
        cmcEeprom& image = s.controller.document().current();
        for (int i = 0; i < imagemap::kGpsMemoryCount; ++i) {
            image.setByte(imagemap::kGpsSlotList + i, imagemap::kGpsSlotFree);
        }
        QApplication::setActiveWindow(&s.window);
        QVERIFY(QTest::qWaitForWindowActive(&s.window));
        s.controller.openSheet("[St_ChGps]GI_Sheet_GPS_Memory,35");
        const auto shown = [&s] { return qobject_cast<SheetWidget*>(s.window.sheetWidget()); };
        QTRY_VERIFY(shown() != nullptr);
        SheetGrid& grid = shown()->grid();
        cuiSheet& sheet = grid.sheet();
        const auto nameCell = [&](int index) { return sheet.findCell(CT_Gps, CL_Gps_Name, index); };
        const auto visible = [&](int index) {
            const auto at = nameCell(index);
            return at && sheet.rowHeight(at->second) > 0;
        };
        QVERIFY(!visible(0));
        const auto empty = nameCell(100);
        QVERIFY(empty && grid.cellRect(empty->first, empty->second));
        QTest::mouseClick(grid.viewport(), Qt::RightButton, {},
                          grid.cellRect(empty->first, empty->second)->center());
        QMenu* menu = grid.popupMenu();
        QVERIFY(menu != nullptr && QTest::qWaitForWindowExposed(menu));
        choose(menu, "&Insert");
        QCOMPARE(ChannelRecord::gpsMemoryCount(image), 1);
        QVERIFY(visible(0));
        QCOMPARE(sheet.currentCell().index, 0);
        QCOMPARE(sheet.currentCell().link, static_cast<std::int32_t>(CL_Gps_Name));

        QCOMPARE(QApplication::focusWidget(), &grid);
        for (const char c : std::string("HOME")) {
            QTest::keyClicks(QApplication::focusWidget(), QString(QLatin1Char(c)));
        }
        QVERIFY(grid.editorVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        ChannelRecord memory(image);
        memory.load(kKindGps, 0);
        QCOMPARE(ChannelRecord::fromText8(memory.name), std::string("HOME    "));
    }
};

QTEST_MAIN(ListEditingTest)
#include "list_editing_test.moc"
