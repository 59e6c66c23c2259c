#pragma once

#include "output/print_job.h"
#include "sheet/sheet.h"
#include "sheet/sheet_environment.h"

#include <QPicture>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace qx {

class SheetLook;
class TextLines;

// Paints pages in printer pixels: the frame and the cells of a page's block, as the sheets'
// layout draws them on screen, at the printer's scale.
class PagePainter : public PageSink {
public:
    // `nextPage` starts a new page on the device (and may hand a new painter).
    PagePainter(QPainter& painter, const SheetLook& look, std::function<void()> nextPage);

    void newPage() override;
    void drawFrame(const PageFrame& frame, const PageFrameTexts& texts) override;
    void drawBlock(cuiSheet& sheet, const PrintBlock& block, const PrintRect& body) override;

private:
    QPainter& m_painter;
    const SheetLook& m_look;
    std::function<void()> m_nextPage;
};

// The printer of a device as the job sees it: its printable area and vertical resolution,
// the margins and frame font of the text table, the chosen font size.
PrintSetup printSetupOf(const QPaintDevice& device, TextLines& text, int fontPoints);

// What to print.
struct PrintOrder {
    std::vector<std::string> callStrings;
    bool printAll = false; // only the sheets that belong to a print-all job
    bool memoryBlocks = true;
    bool banks = true;
    int fontPoints = 10;
};

// Sheets laid out and painted for one printer. The environment's metrics are replaced by
// the look's, which measures in the printer's pixels.
class SheetPrinter {
public:
    SheetPrinter(const SheetEnvironment& environment, const SheetLook& look,
                 cuiSheet::Dispatcher dispatcher);

    // Paints every page onto the device; the count of pages printed.
    int print(QPagedPaintDevice& device, const PrintOrder& order);
    // The pages as pictures at the device's resolution, for the preview.
    std::vector<QPicture> pictures(const QPaintDevice& device, const PrintOrder& order);

    // A job for the device, to print sheet by sheet.
    std::unique_ptr<cmcPrintJob> job(const QPaintDevice& device, const PrintOrder& order) const;
    const SheetLook& look() const { return m_look; }

private:
    SheetEnvironment m_env;
    const SheetLook& m_look;
    cuiSheet::Dispatcher m_dispatcher;
};

} // namespace qx
