#pragma once

#include "base/system_info.h"
#include "output/print_dialogs.h"
#include "output/sheet_printer.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPrinter;
class QPainter;
class QWidget;

namespace qx {

class PreviewWindow;
class Scheduler;
class UserPrompt;
class cmcPrintAllRun;

// What printing needs from the editor around it.
struct PrintServices {
    QWidget* window = nullptr; // owner of the dialogs, disabled while a job runs
    // Line n of a block of the text table, in its code page, and the same for widgets.
    std::function<std::string(std::string_view key, int line)> tableText;
    std::function<QString(const std::string&)> toQString;
    UserPrompt* prompt = nullptr;
    Scheduler* scheduler = nullptr;
    std::function<std::string()> currentCallString;
    std::function<std::vector<std::string>()> treeCallStrings;
    std::function<bool()> bankPreset;
    std::function<int()> fontPoints;          // the stored printer font size
    std::function<void(int)> storeFontPoints; // 8..12
    std::function<ScreenRect()> workArea;
    // The system's print dialog; false for Cancel. Tests answer it themselves.
    std::function<bool(QPrinter&)> askPrinter;
};

// Print Current and Print All: the Print All dialog, the system print dialog, the preview,
// and the print job, in the background for Print All.
class PrintController {
public:
    PrintController(PrintServices services, SheetPrinter& printer);
    ~PrintController();
    PrintController(const PrintController&) = delete;
    PrintController& operator=(const PrintController&) = delete;

    void printCurrent();
    void printAll();

    // Whether this toolkit can print at all: a system printer or a PDF file.
    static bool canPrint();
    bool running() const;
    // While a job or its preview runs (for the tests).
    PreviewWindow* preview() const { return m_preview; }
    PrintingDialog* printingDialog() const { return m_printing.data(); }
    PrintAllDialog* printAllDialog() const { return m_printAll; }

private:
    void print(PrintOrder order);
    void finish();

    PrintServices m_services;
    UiText m_text;
    SheetPrinter& m_printer;
    PreviewWindow* m_preview = nullptr;
    PrintAllDialog* m_printAll = nullptr;
    QPointer<PrintingDialog> m_printing;
    // The running job of Print All.
    std::unique_ptr<QPrinter> m_device;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<cmcPrintJob> m_job;
    std::unique_ptr<PagePainter> m_pages;
    std::unique_ptr<cmcPrintAllRun> m_run;
};

} // namespace qx
