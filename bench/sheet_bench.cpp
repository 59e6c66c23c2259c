// Building the memory channel sheet (105 rows by 24 columns) and asking every cell for its
// display text: what opening a memory block costs before the first paint.
#include "sheet_fixture.h"

#include <benchmark/benchmark.h>

namespace {

struct Fixture : bench::SheetFixture {
    Fixture() : SheetFixture(0) {
        bench::fillChannels(images.current(), 100, 200); // a full block
    }
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
