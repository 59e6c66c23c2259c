#include "output/image_diff.h"
#include "radio/image_map.h"
#include "sheet_fixture.h"

#include <benchmark/benchmark.h>

namespace {

// The widest difference there is: every byte of the transceiver part differs, as between an
// all-0xFF and an all-0x00 clone file.
void BM_DiffAllFfAgainstAllZero(benchmark::State& state) {
    bench::SheetFixture fixture(0);
    qx::cmcEeprom ff = fixture.images.current();
    qx::cmcEeprom zero = ff;
    for (std::int32_t a = 0; a < qx::imagemap::kTransceiverSize; ++a) {
        ff.setByte(a, 0xFF);
        zero.setByte(a, 0x00);
    }
    for (auto _ : state) {
        qx::ImageDiff diff(fixture.env, *fixture.dispatch, fixture.tables);
        diff.compare(ff, zero);
        benchmark::DoNotOptimize(diff.cells().size() + diff.bytes().size());
    }
}
BENCHMARK(BM_DiffAllFfAgainstAllZero)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
