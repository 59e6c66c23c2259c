// The memory channel sheet on screen, offscreen: opening a block and painting it the first
// time, and paging through all 500 channels with a paint after every page.
#include "app/code_page_text.h"
#include "radio/cell_link_dispatch.h"
#include "radio/image_set.h"
#include "sheet/gtex_lines.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/sheet_grid.h"
#include "sheet/sheet_look.h"
#include "sheet/sheet_widget.h"
#include "sheet/value_tables.h"
#include "sheet_fixture.h"
#include "text/text_source.h"
#include "text/text_table.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct World {
    World() {
        table.attachSource(qx::kTextTable_en);
        images.setDestination(0);
        bench::fillChannels(images.current(), 0, 500);
        env.text = &lines;
        env.metrics = &look;
        env.image = &images.current();
        env.destination = 0;
        env.digitalUnit = true;
        qx::LinkEnvironment links;
        links.image = &images.current();
        links.destination = 0;
        links.features.digitalUnit = true;
        links.lists = &tables;
        dispatch = std::make_unique<qx::cmcCellLinkDispatch>(links);
    }
    qx::SheetServices services() {
        qx::SheetServices s;
        s.look = &look;
        s.dispatch = [this](qx::cmcCellCapsule& r) { return dispatch->dispatch(r); };
        s.environment = env;
        return s;
    }
    std::unique_ptr<qx::cuiSheet> sheet(const std::string& call) {
        auto s = qx::createSheet(env, call);
        s->setDispatcher([this](qx::cmcCellCapsule& r) { return dispatch->dispatch(r); });
        s->show();
        return s;
    }

    qx::cmcGTex table;
    qx::GTexLines lines{table};
    qx::cmcValueTables tables{lines};
    qx::ImageSet images;
    qx::CodePageText codec;
    qx::SheetLook look{codec, QApplication::palette()};
    qx::SheetEnvironment env;
    std::unique_ptr<qx::cmcCellLinkDispatch> dispatch;
};

// Paints the grid as the window system would ask it to.
void paint(qx::SheetWidget& widget, QImage& target) {
    widget.grid().viewport()->render(&target);
}

void BM_MemoryChannelSheetOpenAndFirstPaint(benchmark::State& state) {
    World world;
    QImage target(1200, 800, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        auto sheet = world.sheet("[St_ColCut]GI_Sheet_MemoryCH,1,100");
        qx::SheetWidget widget(*sheet, world.services());
        widget.resize(1200, 800);
        widget.grid().sheetChanged();
        paint(widget, target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_MemoryChannelSheetOpenAndFirstPaint)->Unit(benchmark::kMillisecond);

void BM_MemoryChannelsPageDownAndPaint(benchmark::State& state) {
    World world;
    std::vector<std::unique_ptr<qx::cuiSheet>> sheets;
    std::vector<std::unique_ptr<qx::SheetWidget>> widgets;
    for (int block = 0; block < 5; ++block) {
        sheets.push_back(world.sheet("[St_ColCut]GI_Sheet_MemoryCH," + std::to_string(block) + "," +
                                     std::to_string(block * 100)));
        widgets.push_back(std::make_unique<qx::SheetWidget>(*sheets.back(), world.services()));
        widgets.back()->resize(1200, 800);
        widgets.back()->grid().sheetChanged();
    }
    QImage target(1200, 800, QImage::Format_ARGB32_Premultiplied);
    std::size_t block = 0;
    std::int64_t pages = 0;
    for (auto _ : state) {
        qx::SheetWidget& w = *widgets[block];
        const int row = w.sheet().currentRow();
        QKeyEvent key(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
        QApplication::sendEvent(&w.grid(), &key);
        paint(w, target);
        ++pages;
        if (w.sheet().currentRow() == row) { // the end of this block: on to the next one
            state.PauseTiming();
            w.sheet().select(w.sheet().firstSelectableColumn(), w.sheet().firstSelectableRow());
            w.sheet().setTopRow(0);
            w.grid().sheetChanged();
            block = (block + 1) % widgets.size();
            state.ResumeTiming();
        }
    }
    state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(BM_MemoryChannelsPageDownAndPaint)->Unit(benchmark::kMillisecond);

} // namespace

// main() with the application object is in editor_start_bench.cpp.
