// Opening the common settings sheet and the full GPS memory list and asking every cell for its
// text, and one entry into a settings cell: what the settings and GPS sheets cost per paint
// and per change.
#include "radio/image_map.h"
#include "sheet_fixture.h"

#include <benchmark/benchmark.h>

namespace {

struct Fixture : bench::SheetFixture {
    Fixture() : SheetFixture(13) {
        // All hundred GPS memories in use.
        for (int i = 0; i < qx::imagemap::kGpsMemoryCount; ++i) {
            images.current().setByte(qx::imagemap::kGpsSlotList + i, static_cast<std::uint8_t>(i));
        }
    }
};

void BM_CommonSettingsSheetPrint(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.printed("[St_Common]GI_Sheet_Common,0"));
    }
}
BENCHMARK(BM_CommonSettingsSheetPrint)->Unit(benchmark::kMicrosecond);

void BM_GpsMemorySheetPrint(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.printed("[St_ChGps]GI_Sheet_GPS_Memory,35"));
    }
}
BENCHMARK(BM_GpsMemorySheetPrint)->Unit(benchmark::kMicrosecond);

void BM_SettingEntry(benchmark::State& state) {
    Fixture f;
    auto sheet = qx::createSheet(f.env, "[St_Common]GI_Sheet_LR_Band,0");
    sheet->show();
    qx::cmcSheetScript script(*sheet, *f.dispatch, f.tables);
    const char* const texts[] = {"ACEGI", "BDFHJ"};
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(script.enter("CL_Common_BankLink_AJ", 0, texts[i++ & 1]));
    }
}
BENCHMARK(BM_SettingEntry)->Unit(benchmark::kMicrosecond);

} // namespace
