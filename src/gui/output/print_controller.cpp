#include "output/print_controller.h"

#include "base/user_prompt.h"
#include "output/preview_window.h"
#include "output/print_all_run.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace qx {

namespace {

// Lets the printing dialog's Cancel through while a page is being made.
void processEventsFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, ms);
    } while (timer.elapsed() < ms);
}

} // namespace

PrintController::PrintController(PrintServices services, SheetPrinter& printer)
    : m_services(std::move(services)), m_text([this](std::string_view key, int line) {
          return m_services.toQString(m_services.tableText(key, line));
      }),
      m_printer(printer) {
    if (!m_services.askPrinter) {
        m_services.askPrinter = [this](QPrinter& device) {
            QPrintDialog dialog(&device, m_services.window);
            return dialog.exec() == QDialog::Accepted;
        };
    }
}

PrintController::~PrintController() {
    if (m_painter && m_painter->isActive()) {
        m_painter->end();
    }
}

bool PrintController::canPrint() {
    if (!QPrinterInfo::availablePrinters().isEmpty()) {
        return true;
    }
    QPrinter pdf;
    pdf.setOutputFormat(QPrinter::PdfFormat);
    return pdf.outputFormat() == QPrinter::PdfFormat;
}

bool PrintController::running() const {
    return m_run && m_run->running();
}

void PrintController::printCurrent() {
    if (running()) {
        return;
    }
    std::string current = m_services.currentCallString();
    if (current.empty()) {
        return; // no sheet is shown
    }
    PrintOrder order;
    order.callStrings = {std::move(current)};
    order.memoryBlocks = true;
    order.banks = true;
    print(std::move(order));
}

void PrintController::printAll() {
    if (running()) {
        return;
    }
    PrintAllDialog dialog(m_services.window, m_text, m_services.bankPreset());
    m_printAll = &dialog;
    const int result = dialog.exec();
    m_printAll = nullptr;
    if (result != QDialog::Accepted) {
        return;
    }
    PrintOrder order;
    order.printAll = true;
    order.memoryBlocks = dialog.memoryBlocks();
    order.banks = dialog.banks();
    order.callStrings = m_services.treeCallStrings();
    print(std::move(order));
}

void PrintController::print(PrintOrder order) {
    if (!canPrint()) {
        const auto& line = m_services.tableText;
        const std::string key = "GI_Sys_Printer_NoPrinter";
        if (m_services.prompt != nullptr) {
            m_services.prompt->ask(line(key, 0) + '\n' + line(key, 1), line("GI_Sys_AppTitle", 0),
                                   PromptIcon::Error, PromptButtons::Ok);
        }
        return;
    }
    auto device = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!m_services.askPrinter(*device)) {
        return;
    }
    QWidget* window = m_services.window;
    if (window != nullptr) {
        window->setEnabled(false);
    }
    m_printing = new PrintingDialog(window, m_text, [this] {
        if (m_job) {
            m_job->abort();
        }
    });
    order.fontPoints = m_services.fontPoints();

    PreviewWindow preview(window, m_text, m_printer.pictures(*device, order), order.fontPoints,
                          [this, &device, &order](int points) {
                              m_services.storeFontPoints(points);
                              order.fontPoints = points;
                              return m_printer.pictures(*device, order);
                          });
    const ScreenRect area = m_services.workArea();
    preview.resize(std::min(preview.width(), area.width), std::min(preview.height(), area.height));
    preview.move(area.left + (area.width - preview.width()) / 2,
                 area.top + (area.height - preview.height()) / 2);
    m_preview = &preview;
    const bool print = preview.pageCount() > 0 && preview.exec() == QDialog::Accepted;
    m_preview = nullptr;
    if (!print) {
        finish();
        return;
    }

    m_device = std::move(device);
    m_job = m_printer.job(*m_device, order);
    m_painter = std::make_unique<QPainter>();
    m_printing->show();
    if (!order.printAll) {
        processEventsFor(10);
        if (m_painter->begin(m_device.get())) {
            PagePainter pages(*m_painter, m_printer.look(), [this] {
                m_device->newPage();
                processEventsFor(0);
            });
            m_job->printSheet(order.callStrings.front(), &pages, false);
            m_painter->end();
        }
        finish();
        return;
    }
    m_pages = std::make_unique<PagePainter>(*m_painter, m_printer.look(),
                                            [this] { m_device->newPage(); });
    m_run = std::make_unique<cmcPrintAllRun>(*m_services.scheduler, *m_job, *m_pages);
    m_run->start(order.callStrings, {[this] { m_painter->begin(m_device.get()); },
                                     [this] {
                                         if (m_painter->isActive()) {
                                             m_painter->end();
                                         }
                                         finish();
                                     }});
}

void PrintController::finish() {
    if (m_printing) {
        m_printing->close();
        m_printing->deleteLater();
    }
    if (QWidget* window = m_services.window) {
        window->setEnabled(true);
        window->raise();
        window->activateWindow();
    }
}

} // namespace qx
