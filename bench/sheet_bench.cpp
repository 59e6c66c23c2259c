// Building the memory channel sheet (105 rows by 24 columns) and asking every cell for its
// display text: what opening a memory block costs before the first paint.
#include "radio/channel_record.h"
#include "sheet_fixture.h"

#include <benchmark/benchmark.h>

namespace {

struct Fixture : bench::SheetFixture {
    Fixture() : SheetFixture(0) {
        // A full block: every channel in use.
        for (int i = 100; i < 200; ++i) {
            qx::ChannelRecord r(images.current());
            r.load(qx::kKindChannel, i);
            r.used = true;
            r.frequency = 145000000 + 12500 * static_cast<std::uint32_t>(i);
            r.name = qx::ChannelRecord::toText8("BENCH");
            r.store();
        }
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
