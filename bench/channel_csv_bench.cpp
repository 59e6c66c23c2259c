#include "output/channel_csv.h"
#include "output/channel_csv_import.h"
#include "output/image_diff.h"
#include "radio/channel_record.h"
#include "radio/frequency_band.h"
#include "radio/image_map.h"
#include "sheet_fixture.h"

#include <benchmark/benchmark.h>

namespace {

using namespace qx::imagemap;

// Every memory channel in use, as a full channel list: each made from its band's default
// record, as entering its frequency makes it.
void fillChannels(qx::cmcEeprom& image) {
    qx::ChannelRecord rec(image);
    for (int ch = 0; ch < kMemoryChannelCount; ++ch) {
        const std::uint32_t frequency = 144000000 + static_cast<std::uint32_t>(ch) * 12500U;
        rec.load(qx::kKindBandDefault, qx::frequency::bandOf(frequency));
        rec.used = true;
        rec.frequency = frequency;
        rec.name = qx::ChannelRecord::toText8("CH" + std::to_string(ch));
        rec.bankGroup = kNoBank;
        rec.bankChannel = 0;
        rec.store(qx::kKindChannel, ch);
    }
}

void BM_ChannelCsvExport(benchmark::State& state) {
    bench::SheetFixture fixture(0);
    fillChannels(fixture.images.current());
    const qx::ChannelCsvExport exporter(fixture.images.current(), fixture.tables, false);
    for (auto _ : state) {
        benchmark::DoNotOptimize(exporter.csv());
    }
    state.SetItemsProcessed(state.iterations() * kMemoryChannelCount);
}
BENCHMARK(BM_ChannelCsvExport)->Unit(benchmark::kMillisecond);

// Five hundred lines entered through the cell links into channels that are all in use.
void BM_ChannelCsvImport(benchmark::State& state) {
    bench::SheetFixture fixture(0);
    fillChannels(fixture.images.current());
    const std::string csv =
        qx::ChannelCsvExport(fixture.images.current(), fixture.tables, false).csv();
    qx::ChannelCsvImport import(fixture.dispatch->environment());
    for (auto _ : state) {
        benchmark::DoNotOptimize(import.prepare(csv));
    }
    if (import.refusedCount() != 0) {
        state.SkipWithError("not every line was taken");
    }
    state.SetItemsProcessed(state.iterations() * kMemoryChannelCount);
}
BENCHMARK(BM_ChannelCsvImport)->Unit(benchmark::kMillisecond);

// Two files that differ in one name, and in the call signs of a channel that no column shows.
void BM_ImageDiff(benchmark::State& state) {
    bench::SheetFixture fixture(0);
    qx::SheetEnvironment env = fixture.env;
    env.digitalUnit = false;
    fixture.dispatch->environment().features.digitalUnit = false;
    const qx::cmcEeprom a = fixture.images.current();
    qx::cmcEeprom b = a;
    qx::ChannelRecord rec(b);
    rec.load(qx::kKindChannel, 1);
    rec.name = qx::ChannelRecord::toText8("HOME");
    rec.yourCall = qx::ChannelRecord::toText8("JA1ABC");
    rec.store();
    for (auto _ : state) {
        qx::ImageDiff diff(env, *fixture.dispatch, fixture.tables);
        diff.compare(a, b);
        benchmark::DoNotOptimize(diff.lines());
    }
}
BENCHMARK(BM_ImageDiff)->Unit(benchmark::kMillisecond);

} // namespace
