// Building the memory channel sheet (105 rows by 24 columns) and asking every cell for its
// display text: what opening a memory block costs before the first paint.
#include "base/text_metrics.h"
#include "radio/cell_link_dispatch.h"
#include "radio/channel_record.h"
#include "radio/image_set.h"
#include "sheet/gtex_lines.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/sheet_script.h"
#include "sheet/value_tables.h"

#include <benchmark/benchmark.h>

namespace {

struct Fixture {
    Fixture() {
        table.attachSource(qx::kTextTable_en);
        images.setDestination(0);
        // A full block: every channel in use.
        for (int i = 100; i < 200; ++i) {
            qx::ChannelRecord r(images.current());
            r.load(qx::kKindChannel, i);
            r.used = true;
            r.frequency = 145000000 + 12500 * static_cast<std::uint32_t>(i);
            r.name = qx::ChannelRecord::toText8("BENCH");
            r.store();
        }
        env.text = &lines;
        env.metrics = &metrics;
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
    qx::cmcGTex table;
    qx::GTexLines lines{table};
    qx::FixedTextMetrics metrics;
    qx::cmcValueTables tables{lines};
    qx::ImageSet images;
    qx::SheetEnvironment env;
    std::unique_ptr<qx::cmcCellLinkDispatch> dispatch;
};

void BM_MemoryChannelSheetBuild(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        auto sheet = qx::createSheet(f.env, "[St_ColCut]GI_Sheet_MemoryCH,1,100");
        sheet->show();
        benchmark::DoNotOptimize(sheet->rowCount());
    }
}
BENCHMARK(BM_MemoryChannelSheetBuild)->Unit(benchmark::kMicrosecond);

void BM_MemoryChannelSheetBuildAndTexts(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        auto sheet = qx::createSheet(f.env, "[St_ColCut]GI_Sheet_MemoryCH,1,100");
        sheet->show();
        qx::cmcSheetScript script(*sheet, *f.dispatch, f.tables);
        std::size_t total = 0;
        for (int r = 0; r < sheet->rowCount(); ++r) {
            for (int c = 0; c < sheet->columnCount(); ++c) {
                total += script.cellText(c, r).size();
            }
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_MemoryChannelSheetBuildAndTexts)->Unit(benchmark::kMicrosecond);

} // namespace
