#include "catalogue_call_strings.h"
#include "radio/cell_link_names.h"
#include "radio/channel_record.h"
#include "sheet/flector.h"
#include "sheet/in_place_editor.h"
#include "sheet/masked_entry_popup.h"
#include "sheet/sheet_accessible.h"
#include "sheet/sheet_dialog.h"
#include "sheet_test_world.h"
#include "temp_folder.h"

#include <QAccessible>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

using namespace qx;

namespace {

const std::string kBlock0 = "[St_ColCut]GI_Sheet_MemoryCH,0,0";

std::string quoted(const std::string& text) {
    std::string q = "'";
    for (const char c : text) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

// Runs the command line tool in `dir` with its own settings; returns its standard output.
std::string runCli(const std::string& dir, const std::string& arguments, int* status = nullptr) {
    const std::string command = "cd " + quoted(dir) +
                                " && XDG_CONFIG_HOME=" + quoted(dir + "/.config") +
                                " HOME=" + quoted(dir) + " " + quoted(QX5130_CLI_PATH) + " " +
                                arguments + " > " + quoted(dir + "/.out") + " 2>/dev/null";
    const int raw = std::system(command.c_str());
    if (status != nullptr) {
        *status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    return test::TempFolder::read(dir + "/.out");
}

std::string withoutBlanks(std::string s) {
    std::erase(s, ' ');
    return s;
}

// What the widget drew in each cell: the texts of its lines, attributed to the cell (the
// start of a `+` run) they were drawn in, joined by blanks.
std::map<std::pair<int, int>, std::string> drawnTexts(test::SheetTestWorld& w) {
    test::TextRecorder recorder;
    recorder.setSize(w.viewport()->size());
    w.viewport()->render(&recorder);
    std::map<std::pair<int, int>, std::string> out;
    for (const auto& d : recorder.drawn()) {
        const std::string text = w.codec.fromQString(d.text);
        const auto cell = w.grid().layout().cellAt(static_cast<int>(d.at.x()) + 1,
                                                   static_cast<int>(d.at.y()) - 2);
        if (!cell) {
            continue;
        }
        int c = cell->first;
        while (c > 0 && w.sheet->cell(c, cell->second).span) {
            --c;
        }
        std::string& slot = out[{c, cell->second}];
        slot += (slot.empty() ? "" : " ") + text;
    }
    return out;
}

// Keys go to the widget that has the focus, as a keyboard's do.
void typeText(const char* text) {
    for (const char* c = text; *c != 0; ++c) {
        QTest::keyClicks(QApplication::focusWidget(), QString(QLatin1Char(*c)));
    }
}
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

QColor pixel(QWidget* widget, QPoint at) {
    return widget->grab().toImage().pixelColor(at);
}

} // namespace

class SheetWidgetTest : public QObject {
    Q_OBJECT

    // A filled channel 0 so that its fields take entries.
    static void useChannel(test::SheetTestWorld& w, int channel, std::uint32_t hz) {
        ChannelRecord r(w.document.images().current());
        r.load(kKindChannel, channel);
        r.used = true;
        r.frequency = hz;
        r.store();
    }
    static void clickCell(test::SheetTestWorld& w, int column, int row) {
        QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, w.centre(column, row));
    }
    static std::pair<int, int> cellOf(test::SheetTestWorld& w, std::int32_t link,
                                      std::int32_t index) {
        const auto found = w.sheet->findCell(CT_Conv, link, index);
        return found ? *found : std::pair{-1, -1};
    }

private slots:
    void initTestCase() { installSheetAccessibility(); }

    void drawnTextOfEveryCatalogueSheetIsWhatTheLinksShow() {
        test::SheetTestWorld w;
        for (const std::string& call : test::catalogueCallStrings()) {
            w.open(call);
            const QSize content(w.sheet->contentWidth(), w.sheet->contentHeight());
            w.widget->resize(content + QSize(40, 80));
            w.grid().sheetChanged();
            const auto drawn = drawnTexts(w);
            int compared = 0;
            for (int r = 0; r < w.sheet->rowCount(); ++r) {
                for (int c = 0; c < w.sheet->columnCount(); ++c) {
                    const auto rect = w.grid().cellRect(c, r);
                    if (w.sheet->rowHeight(r) < 2 || w.sheet->columnWidth(c) < 2 || !rect ||
                        w.sheet->cell(c, r).span || rect->bottom() >= w.viewport()->height()) {
                        continue;
                    }
                    std::string expected = w.text(c, r);
                    std::replace(expected.begin(), expected.end(), '\n', ' ');
                    const auto found = drawn.find({c, r});
                    const std::string got = found == drawn.end() ? "" : found->second;
                    QVERIFY2(withoutBlanks(got) == withoutBlanks(expected),
                             (call + " cell " + std::to_string(c) + "," + std::to_string(r) +
                              ": drew '" + got + "', links show '" + expected + "'")
                                 .c_str());
                    ++compared;
                }
            }
            QVERIFY2(compared > 0, call.c_str());
        }
    }

    void memoryChannelSheetIsDrawnAsTheCommandLinePrintsIt() {
        test::TempFolder folder;
        const std::string dir = folder.path().string();
        int status = -1;
        runCli(dir, "--destination 0 new -o new.icf", &status);
        QCOMPARE(status, 0);
        for (const std::string& call : {kBlock0, std::string("[St_Common]GI_Sheet_Common,0")}) {
            const std::string printed =
                runCli(dir, "--destination 0 sheet new.icf " + quoted(call), &status);
            QCOMPARE(status, 0);
            test::SheetTestWorld w;
            QVERIFY(w.document.openFile(dir + "/new.icf"));
            w.rebuildLinks();
            w.open(call, {3000, 4000});
            const auto drawn = drawnTexts(w);
            std::istringstream lines(printed);
            std::string line;
            for (int r = 0; r < w.sheet->rowCount(); ++r) {
                if (w.sheet->rowHeight(r) < 2) {
                    continue;
                }
                QVERIFY(std::getline(lines, line));
                std::string mine;
                bool first = true;
                for (int c = 0; c < w.sheet->columnCount(); ++c) {
                    if (w.sheet->columnWidth(c) < 2) {
                        continue;
                    }
                    mine += first ? "" : "\t";
                    first = false;
                    const auto found = drawn.find({c, r});
                    if (found != drawn.end() && !w.sheet->cell(c, r).span) {
                        mine += found->second;
                    }
                }
                QCOMPARE(QString::fromStdString(withoutBlanks(mine)),
                         QString::fromStdString(withoutBlanks(line)));
            }
        }
    }

    void typingAFrequencySavesWhatTheCommandLineSets() {
        test::TempFolder folder;
        const std::string dir = folder.path().string();
        int status = -1;
        runCli(dir, "--destination 0 new -o new.icf", &status);
        runCli(dir,
               "--destination 0 set new.icf " + quoted(kBlock0) +
                   " CL_Mch_Freq 0 146.01 -o cli.icf",
               &status);
        QCOMPARE(status, 0);

        test::SheetTestWorld w;
        QVERIFY(w.document.openFile(dir + "/new.icf"));
        w.rebuildLinks();
        w.open(kBlock0, {2600, 600});
        const auto [fc, fr] = cellOf(w, CL_Mch_Freq, 0);
        clickCell(w, fc, fr);
        typeText("1");
        QVERIFY(w.grid().editorVisible());
        typeText("46.01");
        press(Qt::Key_Return);
        QVERIFY(!w.grid().editorVisible());
        QVERIFY(w.document.saveFile(dir + "/gui.icf"));
        QCOMPARE(test::TempFolder::read(dir + "/gui.icf"),
                 test::TempFolder::read(dir + "/cli.icf"));
        const std::string shown = w.text(fc, fr);

        // Esc changes nothing.
        typeText("147");
        QVERIFY(w.grid().editorVisible());
        press(Qt::Key_Escape);
        QVERIFY(!w.grid().editorVisible());
        QCOMPARE(w.text(fc, fr), shown);

        // Clicking another cell commits, and the cursor goes there.
        typeText("1");
        typeText("47.5");
        const auto [nc, nr] = cellOf(w, CL_Mch_Name, 3);
        clickCell(w, nc, nr);
        QVERIFY(!w.grid().editorVisible());
        QCOMPARE(QString::fromStdString(w.text(fc, fr)), QStringLiteral("147.500000"));
        QCOMPARE(w.sheet->currentRow(), nr);

        // A refused entry reopens the editor with the text typed (bank channels go to 99).
        {
            ChannelRecord r(w.document.images().current());
            r.load(kKindChannel, 0);
            r.bankGroup = 0;
            r.store();
        }
        const auto [bc, br] = cellOf(w, CL_Mch_Bank_ChNo, 0);
        clickCell(w, bc, br);
        typeText("150");
        press(Qt::Key_Return);
        QVERIFY(w.grid().editorVisible());
        QCOMPARE(w.grid().editor()->toPlainText(), QStringLiteral("150"));
        press(Qt::Key_Escape);
        clickCell(w, fc, fr);
        typeText("1");

        // A pending entry is committed before any document command.
        w.grid().editor()->setPlainText(QStringLiteral("145.5"));
        w.bus.send(MessageId::DocumentWillChange);
        QVERIFY(!w.grid().editorVisible());
        QCOMPARE(QString::fromStdString(w.text(fc, fr)), QStringLiteral("145.500000"));
    }

    void dupListOpensUnderTheCellWrapsAndSpaceSteps() {
        test::SheetTestWorld w;
        useChannel(w, 0, 145000000);
        useChannel(w, 20, 145000000);
        w.open(kBlock0, {1200, 500});
        const auto [dc, dr] = cellOf(w, CL_Mch_Dup, 0);
        clickCell(w, dc, dr);
        press(Qt::Key_Return);
        cuiFlector* list = w.grid().openFlector();
        QVERIFY(list != nullptr);
        const QRect cell = *w.grid().cellRect(dc, dr);
        const QPoint cellTopLeft = w.viewport()->mapToGlobal(cell.topLeft());
        QCOMPARE(list->geometry().left(), cellTopLeft.x() + 8);
        QCOMPARE(list->geometry().top(), cellTopLeft.y() + cell.height());
        cuiSheet& items = list->sheet();
        QCOMPARE(items.currentCell().index, 0); // Simplex preselected
        // Down past the last item wraps to the first.
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        QCOMPARE(items.currentCell().index, 2);
        press(Qt::Key_Down);
        QCOMPARE(items.currentCell().index, 0);
        press(Qt::Key_Down);
        press(Qt::Key_Return); // picks -DUP
        QTRY_VERIFY(w.grid().openFlector() == nullptr);
        QCOMPARE(QString::fromStdString(w.text(dc, dr)), QStringLiteral("-DUP"));

        // Esc closes without a pick.
        press(Qt::Key_Return);
        QVERIFY(w.grid().openFlector() != nullptr);
        press(Qt::Key_Escape);
        QTRY_VERIFY(w.grid().openFlector() == nullptr);
        QCOMPARE(QString::fromStdString(w.text(dc, dr)), QStringLiteral("-DUP"));

        // Space steps Simplex -> -DUP -> +DUP -> Simplex.
        press(Qt::Key_Space);
        QCOMPARE(QString::fromStdString(w.text(dc, dr)), QStringLiteral("+DUP"));
        press(Qt::Key_Space);
        QCOMPARE(QString::fromStdString(w.text(dc, dr)), QStringLiteral("Simplex"));
        press(Qt::Key_Space);
        QCOMPARE(QString::fromStdString(w.text(dc, dr)), QStringLiteral("-DUP"));
        press(Qt::Key_Backspace);
        QCOMPARE(QString::fromStdString(w.text(dc, dr)), QStringLiteral("Simplex"));

        // On the last line of the work area the list opens above the cell.
        const auto [lc, lr] = cellOf(w, CL_Mch_Dup, 20);
        w.grid().sheet().select(lc, lr);
        w.grid().layout().scrollToCurrent(w.viewport()->width(), w.viewport()->height());
        w.grid().sheetChanged();
        const QRect last = *w.grid().cellRect(lc, lr);
        const QPoint lastTop = w.viewport()->mapToGlobal(last.topLeft());
        w.workArea = {0, 0, 1280, lastTop.y() + last.height() + 5};
        press(Qt::Key_Return);
        list = w.grid().openFlector();
        QVERIFY(list != nullptr);
        QCOMPARE(list->geometry().bottom() + 1, lastTop.y());
        QCOMPARE(list->geometry().left(), lastTop.x() + 8);
        list->close();
    }

    void gpsDateEntryAcceptsOnlyTheGpsEra() {
        test::SheetTestWorld w(0, [] {
            FeatureFlags f;
            f.digitalUnit = true;
            return f;
        }());
        cmcEeprom& image = w.document.images().current();
        image.setByte(31440, 0); // one GPS memory
        w.rebuildLinks();
        w.open("[St_ChGps]GI_Sheet_GPS_Memory,35");
        const auto cell = w.sheet->findCell(CT_Gps, CL_Gps_Date, 0);
        QVERIFY(cell.has_value());
        clickCell(w, cell->first, cell->second);
        press(Qt::Key_Return);
        MaskedEntryPopup* entry = w.grid().openMaskedEntry();
        QVERIFY(entry != nullptr);
        QVERIFY(w.grid().editor() == nullptr || !w.grid().editorVisible());
        QLineEdit* edit = entry->edit();
        QCOMPARE(edit->displayText(), QStringLiteral("__/__/20__"));
        press(Qt::Key_Home);
        typeText("123105"); // the century is fixed
        QCOMPARE(edit->text(), QStringLiteral("12/31/2005"));
        QVERIFY(!entry->okButton()->isEnabled());
        press(Qt::Key_Home);
        typeText("x010106"); // letters other than N S E W never arrive
        QCOMPARE(edit->text(), QStringLiteral("01/01/2006"));
        QVERIFY(entry->okButton()->isEnabled());
        press(Qt::Key_End);
        QCOMPARE(edit->cursorPosition(), 10);
        press(Qt::Key_Right);
        QCOMPARE(edit->cursorPosition(), 10);
        QTest::mouseClick(entry->okButton(), Qt::LeftButton);
        QTRY_VERIFY(w.grid().openMaskedEntry() == nullptr);
        QCOMPARE(QString::fromStdString(w.text(cell->first, cell->second)),
                 QStringLiteral("01/01/2006"));

        // A digit opens it too and takes the first place; Esc cancels.
        press(Qt::Key_0);
        entry = w.grid().openMaskedEntry();
        QVERIFY(entry != nullptr);
        QCOMPARE(entry->edit()->text(), QStringLiteral("01/01/2006"));
        QCOMPARE(entry->edit()->cursorPosition(), 1);
        typeText("2");
        press(Qt::Key_Escape);
        QTRY_VERIFY(w.grid().openMaskedEntry() == nullptr);
        QCOMPARE(QString::fromStdString(w.text(cell->first, cell->second)),
                 QStringLiteral("01/01/2006"));
    }

    void shiftDownMarksLinesAndRightClickOpensTheCellsMenu() {
        test::SheetTestWorld w;
        w.open(kBlock0, {1200, 700});
        const auto [fc, fr] = cellOf(w, CL_Mch_Freq, 5);
        clickCell(w, fc, fr);
        for (int i = 0; i < 3; ++i) {
            press(Qt::Key_Down, Qt::ShiftModifier);
        }
        const auto range = w.sheet->selectedRange();
        QVERIFY(range.has_value());
        QCOMPARE(range->first, 5);
        QCOMPARE(range->second, 8);
        for (int r = fr; r <= fr + 3; ++r) {
            QVERIFY(w.sheet->isSelected(fc + 2, r));
        }
        QVERIFY(!w.sheet->isSelected(fc, fr + 4));

        // A right click on another row: the range stays (the menu works on it).
        const auto [oc, orow] = cellOf(w, CL_Mch_Name, 12);
        QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, w.centre(oc, orow));
        QTest::mouseClick(w.viewport(), Qt::RightButton, {}, w.centre(oc, orow + 2));
        QCOMPARE(w.sheet->currentRow(), orow + 2);
        QMenu* menu = w.grid().popupMenu();
        QVERIFY(menu != nullptr);
        QTRY_VERIFY(menu->isVisible());
        QStringList captions;
        for (QAction* a : menu->actions()) {
            if (!a->isSeparator()) {
                captions << a->text();
            }
        }
        QStringList expected;
        for (int i = 0;; ++i) {
            const std::string line = w.table.line("GI_PMenu_Channel_NO_TX_Body", i);
            if (!line.empty() && line.front() == '#') {
                break;
            }
            const std::size_t close = line.find('}');
            const std::string caption = line.substr(close == std::string::npos ? 1 : close + 1);
            if (caption != "-") {
                expected << QString::fromStdString(caption);
            }
        }
        QCOMPARE(captions, expected);
        menu->close();
    }

    void draggedWidthSurvivesARestartAndCancellerColumnsFollowTheDestination() {
        test::SheetTestWorld w;
        w.open(kBlock0, {1400, 500});
        const auto [nc, nr] = cellOf(w, CL_Mch_Name, 0);
        const int before = w.sheet->columnWidth(nc);
        const QRect header = *w.grid().cellRect(nc, w.sheet->fixedRows() - 1);
        const QPoint edge(header.right() + 1, header.center().y());
        QTest::mousePress(w.viewport(), Qt::LeftButton, {}, edge);
        QTest::mouseMove(w.viewport(), edge + QPoint(37, 0));
        QTest::mouseRelease(w.viewport(), Qt::LeftButton, {}, edge + QPoint(37, 0));
        QCOMPARE(w.sheet->columnWidth(nc), before + 37);
        w.widget.reset();
        w.sheet.reset();
        w.open(kBlock0); // a new sheet reads the widths the settings kept
        QCOMPARE(w.sheet->columnWidth(nc), before + 37);
        // A double click on the edge fits the column to its widest text again.
        const QRect again = *w.grid().cellRect(nc, w.sheet->fixedRows() - 1);
        QTest::mouseDClick(w.viewport(), Qt::LeftButton, {},
                           QPoint(again.right() - 1, again.center().y()));
        QVERIFY(w.sheet->columnWidth(nc) < before + 37);

        const auto headers = [](test::SheetTestWorld& world) {
            QStringList all;
            for (const auto& [cell, text] : drawnTexts(world)) {
                if (cell.second < world.sheet->fixedRows()) {
                    all << QString::fromStdString(text);
                }
            }
            return all;
        };
        w.open(kBlock0, {3000, 300});
        QVERIFY(!headers(w).contains(QStringLiteral("Train")));
        test::SheetTestWorld japan(14);
        japan.open(kBlock0, {3000, 300});
        QVERIFY(headers(japan).contains(QStringLiteral("Train")));
    }

    void selectionAndSelectLineColours() {
        test::SheetTestWorld w;
        w.open(kBlock0, {1200, 500});
        const auto [fc, fr] = cellOf(w, CL_Mch_Freq, 2);
        clickCell(w, fc, fr);
        const QPalette palette = QApplication::palette();
        const QRect cell = *w.grid().cellRect(fc, fr);
        QCOMPARE(pixel(w.viewport(), cell.topLeft() + QPoint(1, 1)),
                 palette.color(QPalette::Active, QPalette::Highlight));
        // Another cell of the cursor row: (window text + 7 window + 4) / 8 per channel.
        const auto [nc, nr] = cellOf(w, CL_Mch_Name, 2);
        const QRect other = *w.grid().cellRect(nc, nr);
        const QColor text = palette.color(QPalette::Text);
        const QColor base = palette.color(QPalette::Base);
        const auto mix = [](int t, int b) { return (t + 7 * b + 4) / 8; };
        const QColor line(mix(text.red(), base.red()), mix(text.green(), base.green()),
                          mix(text.blue(), base.blue()));
        QCOMPARE(pixel(w.viewport(), other.topLeft() + QPoint(1, 1)), line);
        // Without the focus the selection turns to (text + 3 window + 2) / 4.
        QLineEdit elsewhere;
        elsewhere.show();
        elsewhere.setFocus();
        QApplication::setActiveWindow(&elsewhere);
        QTRY_VERIFY(!w.grid().hasFocus());
        const auto mix4 = [](int t, int b) { return (t + 3 * b + 2) / 4; };
        QCOMPARE(pixel(w.viewport(), cell.topLeft() + QPoint(1, 1)),
                 QColor(mix4(text.red(), base.red()), mix4(text.green(), base.green()),
                        mix4(text.blue(), base.blue())));
    }

    void cloneInformationDialogShowsTheComment() {
        test::SheetTestWorld w;
        std::array<std::uint8_t, CloneInformation::kSize> bytes{};
        const std::string comment = "X-comment here  ";
        std::copy(comment.begin(), comment.end(), bytes.begin());
        QVERIFY(w.information.assign(bytes));
        auto sheet = createSheet(w.env, "GI_Sheet_CloneInfo");
        sheet->setDispatcher([&w](cmcCellCapsule& r) { return w.dispatch->dispatch(r); });
        sheet->show();
        SheetDialog dialog(*sheet, w.services(), QStringLiteral("QX-5130"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        test::TextRecorder recorder;
        dialog.sheetWidget().grid().viewport()->render(&recorder);
        bool found = false;
        for (const auto& d : recorder.drawn()) {
            found = found || d.text.startsWith(QStringLiteral("X-comment here"));
        }
        QVERIFY(found);
        QCOMPARE(dialog.okButton()->text(), QStringLiteral("OK"));
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }

    void gridIsATableForAssistiveTools() {
        test::SheetTestWorld w;
        w.open(kBlock0);
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&w.grid());
        QVERIFY(table != nullptr);
        QAccessibleTableInterface* t = table->tableInterface();
        QVERIFY(t != nullptr);
        QCOMPARE(t->rowCount(), w.sheet->rowCount());
        int fr = 0;
        while (fr + 1 < w.sheet->rowCount() && (w.sheet->cell(0, fr).link != CL_Misc_ChNo_0Base ||
                                                w.sheet->cell(0, fr).index != 7)) {
            ++fr;
        }
        QCOMPARE(t->cellAt(fr, 0)->text(QAccessible::Name), QStringLiteral("7"));
        const auto [qc, qr] = cellOf(w, CL_Mch_Freq, 7);
        clickCell(w, qc, qr);
        QAccessibleInterface* focus = table->focusChild();
        QVERIFY(focus != nullptr);
        QCOMPARE(focus->tableCellInterface()->rowIndex(), qr);
        QVERIFY(focus->state().focused);
        QCOMPARE(table->text(QAccessible::Name), QStringLiteral("Memory Channel"));
    }
};

QTEST_MAIN(SheetWidgetTest)
#include "sheet_widget_test.moc"
