#include "output/print_job.h"

#include "base/text_lines.h"
#include "sheet/cell_parser.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/sheet_kinds.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace qx {

namespace {

constexpr int kMaxRebuilds = 3;

// The widest and the tallest page of a sheet.
std::pair<int, int> largestBlock(const cuiSheet& sheet, const SheetPagination& pages) {
    int width = 0;
    int height = 0;
    for (std::size_t c = 0; c < pages.columnsPerPage.size(); ++c) {
        width = std::max(width, pageBlock(sheet, pages, static_cast<int>(c), 0).width);
    }
    for (std::size_t r = 0; r < pages.rowsPerPage.size(); ++r) {
        height = std::max(height, pageBlock(sheet, pages, 0, static_cast<int>(r)).height);
    }
    return {width, height};
}

} // namespace

cmcPrintJob::cmcPrintJob(const SheetEnvironment& environment, const PrintSetup& setup)
    : m_env(environment), m_setup(setup) {
    m_area = marginRect(setup.pageWidth, setup.pageHeight, setup.dpi, setup.margins);
    cmcFont frameFont;
    frameFont.height = printFontHeight(setup.framePoints, setup.dpi);
    frameFont.face = cmcCellParser(*m_env.text, m_env.shiftJis, m_env.japaneseSystem).defaultFace();
    m_frame = pageFrame(m_area, frameFont, *m_env.metrics);
    m_texts.appTitle = m_env.text->line("GI_Sys_AppTitleRev", 0);
    m_texts.maker = m_env.text->line("GI_Sys_Maker", 0);
}

std::unique_ptr<cuiSheet> cmcPrintJob::createPrintSheet(std::string_view callString,
                                                        int fontHeight) const {
    auto sheet = createSheet(m_env, callString);
    sheet->setPrinting(printScale(m_setup.dpi), fontHeight);
    if (m_dispatcher) {
        sheet->setDispatcher(m_dispatcher);
    }
    if (auto* channels = dynamic_cast<iuiSh_ColCut_A*>(sheet.get())) {
        channels->setPrintAllChoices(m_printMemory, m_printBanks);
    }
    return sheet;
}

int cmcPrintJob::printSheet(std::string_view callString, PageSink* sink, bool printAll) {
    int fontHeight = printFontHeight(m_setup.fontPoints, m_setup.dpi);
    const PrintRect& body = m_frame.body;
    std::unique_ptr<cuiSheet> sheet;
    SheetPagination pages;
    m_fit = {};
    for (int rebuild = 0;; ++rebuild) {
        sheet = createPrintSheet(callString, fontHeight);
        sheet->show();
        if (!(printAll ? sheet->includedInPrintAll() : sheet->printable())) {
            return 0;
        }
        pages = paginate(*sheet, body.width(), body.height());
        const auto [width, height] = largestBlock(*sheet, pages);
        m_fit.fontHeights.push_back(fontHeight);
        if ((width <= body.width() && height <= body.height()) || rebuild == kMaxRebuilds) {
            break;
        }
        const double factor = std::min(static_cast<double>(body.width()) / std::max(width, 1),
                                       static_cast<double>(body.height()) / std::max(height, 1));
        int scaled = static_cast<int>(std::lround(fontHeight * factor));
        // Rounding may give back the same height; a rebuild must shrink the font to help.
        if (std::abs(scaled) >= std::abs(fontHeight)) {
            scaled = fontHeight < 0 ? fontHeight + 1 : fontHeight - 1;
        }
        if (scaled == 0) {
            break; // the smallest font there is
        }
        fontHeight = scaled;
    }
    m_texts.title = sheet->titleText();
    int printed = 0;
    for (std::size_t r = 0; r < pages.rowsPerPage.size(); ++r) {
        for (std::size_t c = 0; c < pages.columnsPerPage.size(); ++c) {
            if (m_abort) {
                return printed;
            }
            if (sink != nullptr) {
                if (m_pages > 0) {
                    sink->newPage();
                }
                sink->drawFrame(m_frame, m_texts);
                sink->drawBlock(*sheet,
                                pageBlock(*sheet, pages, static_cast<int>(c), static_cast<int>(r)),
                                body);
            }
            ++m_pages;
            ++printed;
        }
    }
    return printed;
}

} // namespace qx
