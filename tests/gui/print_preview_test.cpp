#include "app/code_page_text.h"
#include "headless_sheets.h"
#include "output/preview_window.h"
#include "output/print_all_list.h"
#include "output/print_controller.h"
#include "output/sheet_printer.h"
#include "qt_scheduler.h"
#include "radio/bank_link_table.h"
#include "radio/channel_record.h"
#include "recording_prompt.h"
#include "sheet/sheet_look.h"
#include "temp_folder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>

namespace qx {

namespace {

int pdfPages(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string pdf = bytes.str();
    static const std::regex page(R"(/Type\s*/Page[^s])");
    return static_cast<int>(
        std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

// Runs `step` once the next modal dialog is up.
void whenModal(std::function<void(QWidget*)> step) {
    QTimer::singleShot(0, [step = std::move(step)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            whenModal(step);
            return;
        }
        step(modal);
    });
}

} // namespace

class PrintPreviewTest : public QObject {
    Q_OBJECT

    // The editor's printing around a new document with channel 3 in bank A.
    struct World {
        World() {
            cmcEeprom& image = sheets.images.current();
            usePrintRulesOf(sheets.env, image);
            ChannelRecord record(image);
            record.load(kKindChannel, 3);
            record.used = true;
            record.frequency = 145000000;
            record.bankGroup = 0;
            record.bankChannel = 0;
            record.store();
            banklink::rebuild(image);

            PrintServices services;
            services.window = &window;
            services.tableText = [this](std::string_view key, int line) {
                return sheets.table.line(key, line);
            };
            services.toQString = [this](const std::string& bytes) {
                return codec.toQString(bytes);
            };
            services.prompt = &prompt;
            services.scheduler = &scheduler;
            services.currentCallString = [] { return "[St_ColCut]GI_Sheet_MemoryCH,0,0"; };
            services.treeCallStrings = [this] { return sheets.controller.treeCallStrings(); };
            services.bankPreset = [this] { return bankChannelsPreset(sheets.images.current()); };
            services.fontPoints = [this] { return fontPoints; };
            services.storeFontPoints = [this](int points) { fontPoints = points; };
            services.workArea = [] { return ScreenRect{0, 0, 1280, 1000}; };
            services.askPrinter = [this](QPrinter& device) {
                device.setOutputFormat(QPrinter::PdfFormat);
                device.setOutputFileName(QString::fromStdString(pdfPath));
                device.setPageSize(QPageSize(QPageSize::A4));
                return true;
            };
            controller = std::make_unique<PrintController>(services, printer);
            window.show();
        }
        test::HeadlessSheets sheets;
        CodePageText codec;
        SheetLook look{codec, QApplication::palette()};
        SheetPrinter printer{sheets.env, look, [this](cmcCellCapsule& request) {
                                 return sheets.dispatch->dispatch(request);
                             }};
        QWidget window;
        test::RecordingPrompt prompt;
        QtScheduler scheduler;
        test::TempFolder folder;
        std::string pdfPath = (folder.path() / "pages.pdf").string();
        int fontPoints = 10;
        std::unique_ptr<PrintController> controller;
    };

private slots:
    void previewPagesThroughSettingAndPrintsToPdf() {
        World world;
        int pages = 0;
        whenModal([&](QWidget*) {
            PreviewWindow* preview = world.controller->preview();
            QVERIFY(preview != nullptr);
            QVERIFY(!world.window.isEnabled());
            pages = preview->pageCount();
            QVERIFY(pages >= 2);
            QCOMPARE(preview->statusLabel()->text(), QString::asprintf(" 1 / %d", pages));
            QTest::mouseClick(preview->nextButton(), Qt::LeftButton);
            QCOMPARE(preview->statusLabel()->text(), QString::asprintf(" 2 / %d", pages));
            QCOMPARE(preview->pageBox()->text(), QStringLiteral("2"));
            QTest::mouseClick(preview->lastButton(), Qt::LeftButton);
            QCOMPARE(preview->currentPage(), pages - 1);
            // A page number typed in the box and Enter jumps there.
            preview->pageBox()->selectAll();
            QTest::keyClicks(preview->pageBox(), "1");
            QTest::keyClick(preview->pageBox(), Qt::Key_Return);
            QCOMPARE(preview->statusLabel()->text(), QString::asprintf(" 1 / %d", pages));
            QTest::mouseClick(preview->zoomButton(), Qt::LeftButton);
            QVERIFY(preview->zoomButton()->isChecked());
            QCOMPARE(preview->pageView()->size(),
                     preview->pageView()->page()->boundingRect().size());

            // Setting: choice "1" is 8 points, stored, and lays the pages out again.
            whenModal([&](QWidget* dialog) {
                auto* setting = qobject_cast<PreviewSettingDialog*>(dialog);
                QVERIFY(setting != nullptr);
                QCOMPARE(setting->choices()->currentText(), QStringLiteral("3"));
                setting->choices()->setCurrentIndex(0);
                setting->accept();
            });
            QTest::mouseClick(preview->settingButton(), Qt::LeftButton);
            QCOMPARE(world.fontPoints, 8);
            QVERIFY(preview->pageCount() <= pages);
            pages = preview->pageCount();
            QCOMPARE(preview->statusLabel()->text(), QString::asprintf(" 1 / %d", pages));
            QTest::mouseClick(preview->printButton(), Qt::LeftButton);
        });
        world.controller->printCurrent();
        QCOMPARE(pdfPages(world.pdfPath), pages);
        QVERIFY(world.window.isEnabled());
    }

    void closingThePreviewPrintsNothing() {
        World world;
        whenModal([](QWidget* preview) { qobject_cast<QDialog*>(preview)->reject(); });
        world.controller->printCurrent();
        QVERIFY(!std::filesystem::exists(world.pdfPath));
        QVERIFY(world.window.isEnabled());
    }

    void printAllStartsWithBankListsAndPrintsInTheBackground() {
        World world;
        int pages = 0;
        whenModal([&](QWidget* dialog) {
            auto* choice = world.controller->printAllDialog();
            QVERIFY(choice == dialog);
            QVERIFY(choice->bankBox()->isChecked());
            QVERIFY(!choice->allBox()->isChecked());
            whenModal([&](QWidget*) {
                pages = world.controller->preview()->pageCount();
                QTest::mouseClick(world.controller->preview()->printButton(), Qt::LeftButton);
            });
            choice->accept();
        });
        world.controller->printAll();
        QVERIFY(world.controller->running());
        QVERIFY(world.controller->printingDialog()->isVisible());
        QVERIFY(!world.window.isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!world.controller->running(), 60000);
        QVERIFY(world.window.isEnabled());
        QVERIFY(pages > 1);
        QCOMPARE(pdfPages(world.pdfPath), pages);
    }
};

} // namespace qx

QTEST_MAIN(qx::PrintPreviewTest)
#include "print_preview_test.moc"
