#pragma once

#include "output/print_layout.h"
#include "sheet/sheet_environment.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class cuiSheet;
struct cmcCellCapsule;

// The printer a job lays its pages out for.
struct PrintSetup {
    int pageWidth = 0; // the printable area, in printer pixels
    int pageHeight = 0;
    int dpi = 600; // vertical resolution
    int fontPoints = 10;
    std::string margins = "15,10,5,5"; // millimetres: left, top, right, bottom
    int framePoints = 14;
};

// The texts of the page frame.
struct PageFrameTexts {
    std::string title;
    std::string appTitle; // right-aligned in the header
    std::string maker;    // right-aligned in the footer
};

// Where pages go: a printer, the preview's pages. A job without a sink only counts pages.
class PageSink {
public:
    virtual ~PageSink() = default;
    // Before every page of a job but the first.
    virtual void newPage() = 0;
    virtual void drawFrame(const PageFrame& frame, const PageFrameTexts& texts) = 0;
    // The block's cells, from the top left corner of `body`.
    virtual void drawBlock(cuiSheet& sheet, const PrintBlock& block, const PrintRect& body) = 0;
};

// Lays sheets out on the pages of one print job: sheets are built for the printer, shrunk
// until their pages fit, split into pages across first and framed.
class cmcPrintJob {
public:
    // `environment.metrics` measures in printer pixels; `environment.text` gives the sheets
    // and the frame texts.
    cmcPrintJob(const SheetEnvironment& environment, const PrintSetup& setup);

    // The cell links the printed sheets show their values through.
    void setDispatcher(std::function<std::int32_t(cmcCellCapsule&)> dispatcher) {
        m_dispatcher = std::move(dispatcher);
    }
    void setPrintAllChoices(bool memoryBlocks, bool banks) {
        m_printMemory = memoryBlocks;
        m_printBanks = banks;
    }
    // The sheet of a call string built for this printer; not shown. Its print-all answer
    // follows the choices.
    std::unique_ptr<cuiSheet> createPrintSheet(std::string_view callString, int fontHeight) const;

    // Prints the pages of one sheet (nothing for a sheet that is not printable, or not part
    // of a print-all job when `printAll`). Returns the pages it printed.
    int printSheet(std::string_view callString, PageSink* sink, bool printAll);

    // Pages printed since the job began; the next page after the first starts a new one.
    int pageCount() const { return m_pages; }
    void restart() {
        m_pages = 0;
        m_abort = false;
    }
    void abort() { m_abort = true; }
    bool aborted() const { return m_abort; }

    const PrintSetup& setup() const { return m_setup; }
    // The page inside the margins, and the body inside the frame.
    const PrintRect& marginArea() const { return m_area; }
    const PageFrame& frame() const { return m_frame; }

    // How the last sheet was fitted: the font heights it was built with, the last one printed.
    struct Fit {
        std::vector<int> fontHeights;
        int rebuilds() const { return static_cast<int>(fontHeights.size()) - 1; }
    };
    const Fit& lastFit() const { return m_fit; }

private:
    SheetEnvironment m_env;
    std::function<std::int32_t(cmcCellCapsule&)> m_dispatcher;
    PrintSetup m_setup;
    PrintRect m_area;
    PageFrame m_frame;
    PageFrameTexts m_texts;
    bool m_printMemory = true;
    bool m_printBanks = true;
    int m_pages = 0;
    bool m_abort = false;
    Fit m_fit;
};

} // namespace qx
