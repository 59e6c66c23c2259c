#include "output/sheet_printer.h"

#include "app/code_page_text.h"
#include "base/text_lines.h"
#include "sheet/cell_layout.h"
#include "sheet/cell_painter.h"
#include "sheet/sheet_look.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPolygon>

#include <charconv>

namespace qx {

namespace {

QRect toQRect(const PrintRect& r) {
    return {r.left, r.top, r.width(), r.height()};
}

int firstNumber(const std::string& text, int fallback) {
    int value = fallback;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// Warning and error marks on paper: filled shapes half the cell tall, a triangle and a disc.
void paintMark(QPainter& painter, const DrawnCell& cell) {
    const int size = std::max(2, (cell.rect.bottom - cell.rect.top) / 2);
    const int left = cell.markRect.left;
    const int bottom = cell.rect.bottom - 1;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    if (cell.mark == 5) {
        painter.drawEllipse(QRect(left, bottom - size, size, size));
    } else {
        painter.drawPolygon(QPolygon({QPoint(left + size / 2, bottom - size),
                                      QPoint(left + size, bottom), QPoint(left, bottom)}));
    }
    painter.restore();
}

} // namespace

PagePainter::PagePainter(QPainter& painter, const SheetLook& look, std::function<void()> nextPage)
    : m_painter(painter), m_look(look), m_nextPage(std::move(nextPage)) {}

void PagePainter::newPage() {
    m_nextPage();
}

void PagePainter::drawFrame(const PageFrame& frame, const PageFrameTexts& texts) {
    QPainter& p = m_painter;
    const CodePageText& codec = m_look.codec();
    p.save();
    p.setFont(m_look.font(frame.font));
    p.setPen(Qt::black);
    const int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    p.drawText(toQRect(frame.header), flags | Qt::AlignRight, codec.toQString(texts.appTitle));
    p.drawText(toQRect(frame.header), flags | Qt::AlignLeft, codec.toQString(texts.title));
    p.drawText(toQRect(frame.footer), flags | Qt::AlignRight, codec.toQString(texts.maker));
    p.fillRect(toQRect(frame.headerRule), Qt::black);
    p.fillRect(toQRect(frame.footerRule), Qt::black);
    p.restore();
}

void PagePainter::drawBlock(cuiSheet& sheet, const PrintBlock& block, const PrintRect& body) {
    QPainter& p = m_painter;
    const cmcCellLayout layout(sheet, m_look);
    LayoutState state;
    state.printing = true;
    state.scale = sheet.printScale();

    std::vector<int> xs;
    int x = body.left;
    for (const int c : block.columns) {
        xs.push_back(x);
        x += sheet.columnWidth(c);
    }
    const auto count = static_cast<int>(block.columns.size());
    int y = body.top;
    p.save();
    for (const int r : block.rows) {
        const int height = sheet.rowHeight(r);
        for (int i = 0; i < count; ++i) {
            const int c = block.columns[static_cast<std::size_t>(i)];
            // A `+` cell beside its left neighbour on the page is drawn with that neighbour.
            const bool joined = i > 0 && block.columns[static_cast<std::size_t>(i - 1)] == c - 1;
            if (height == 0 || (sheet.cell(c, r).span && joined)) {
                continue;
            }
            int content = c;
            while (content > 0 && sheet.cell(content, r).span) {
                --content;
            }
            int end = i + 1;
            while (end < count &&
                   block.columns[static_cast<std::size_t>(end)] ==
                       block.columns[static_cast<std::size_t>(end - 1)] + 1 &&
                   sheet.cell(block.columns[static_cast<std::size_t>(end)], r).span) {
                ++end;
            }
            const int left = xs[static_cast<std::size_t>(i)];
            const int right = xs[static_cast<std::size_t>(end - 1)] +
                              sheet.columnWidth(block.columns[static_cast<std::size_t>(end - 1)]);
            if (right <= left) {
                continue;
            }
            const DrawnCell cell = layout.drawCell(content, r, {left, y, right, y + height}, state);
            p.setClipRect(toQRect(cell.rect));
            paintCellBody(p, m_look, cell);
            if (cell.mark != 0) {
                paintMark(p, cell);
            }
        }
        y += height;
    }
    p.restore();
}

PrintSetup printSetupOf(const QPaintDevice& device, TextLines& text, int fontPoints) {
    PrintSetup setup;
    setup.pageWidth = device.width();
    setup.pageHeight = device.height();
    setup.dpi = device.logicalDpiY();
    setup.fontPoints = fontPoints;
    setup.margins = text.line("GI_Sys_Printer_Margins", 0);
    setup.framePoints = firstNumber(text.line("GI_Sys_Printer_FrameFont", 0), 14);
    return setup;
}

SheetPrinter::SheetPrinter(const SheetEnvironment& environment, const SheetLook& look,
                           cuiSheet::Dispatcher dispatcher)
    : m_env(environment), m_look(look), m_dispatcher(std::move(dispatcher)) {
    m_env.metrics = &m_look;
    m_env.bus = nullptr;
}

std::unique_ptr<cmcPrintJob> SheetPrinter::job(const QPaintDevice& device,
                                               const PrintOrder& order) const {
    auto job =
        std::make_unique<cmcPrintJob>(m_env, printSetupOf(device, *m_env.text, order.fontPoints));
    job->setDispatcher(m_dispatcher);
    job->setPrintAllChoices(order.memoryBlocks, order.banks);
    return job;
}

int SheetPrinter::print(QPagedPaintDevice& device, const PrintOrder& order) {
    const auto printJob = job(device, order);
    QPainter painter(&device);
    PagePainter pages(painter, m_look, [&device] { device.newPage(); });
    for (const std::string& call : order.callStrings) {
        printJob->printSheet(call, &pages, order.printAll);
    }
    return printJob->pageCount();
}

std::vector<QPicture> SheetPrinter::pictures(const QPaintDevice& device, const PrintOrder& order) {
    const auto printJob = job(device, order);
    std::vector<QPicture> pictures(1);
    const QRect page(0, 0, device.width(), device.height());
    auto painter = std::make_unique<QPainter>(&pictures.back());
    const auto begin = [&] {
        pictures.back().setBoundingRect(page);
        painter->fillRect(page, Qt::white);
    };
    begin();
    PagePainter pages(*painter, m_look, [&] {
        painter->end();
        pictures.emplace_back();
        painter->begin(&pictures.back());
        begin();
    });
    for (const std::string& call : order.callStrings) {
        printJob->printSheet(call, &pages, order.printAll);
    }
    painter->end();
    if (printJob->pageCount() == 0) {
        pictures.clear();
    }
    return pictures;
}

} // namespace qx
