#include "radio/channel_record.h"
#include "radio/correction_pass.h"
#include "radio/image_map.h"
#include "radio/image_set.h"

#include <benchmark/benchmark.h>

namespace {

using namespace qx;

// A default image with every memory channel in use, so the pass has real work everywhere.
ImageSet fullDocument() {
    ImageSet set;
    set.setDestination(0);
    ChannelRecord record(set.current());
    for (int index = 0; index < imagemap::kChannelCount; ++index) {
        record.load(kKindChannel, index);
        record.used = true;
        record.frequency = 144000000 + static_cast<std::uint32_t>(index) * 12345;
        record.offset = 600000;
        record.bankGroup = index % 26;
        record.bankChannel = index % 100;
        record.name = ChannelRecord::toText8("BENCH");
        record.store();
    }
    set.markUnmodified();
    return set;
}

void BM_CorrectionPass(benchmark::State& state) {
    ImageSet set = fullDocument();
    const FeatureFlags flags;
    for (auto _ : state) {
        cmcEeprom image = set.saved();
        benchmark::DoNotOptimize(
            runCorrectionPass(image, set.defaults(), set.defaults(), 0, flags));
        benchmark::DoNotOptimize(image.data());
    }
}
BENCHMARK(BM_CorrectionPass);

void BM_LoadAllChannels(benchmark::State& state) {
    ImageSet set = fullDocument();
    ChannelRecord record(set.current());
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (int index = 0; index < imagemap::kChannelCount; ++index) {
            record.load(kKindChannel, index);
            sum += record.frequency;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * imagemap::kChannelCount);
}
BENCHMARK(BM_LoadAllChannels);

void BM_StoreAllChannels(benchmark::State& state) {
    ImageSet set = fullDocument();
    ChannelRecord record(set.current());
    for (auto _ : state) {
        for (int index = 0; index < imagemap::kChannelCount; ++index) {
            record.load(kKindChannel, index);
            record.store();
        }
        benchmark::DoNotOptimize(set.current().data());
    }
    state.SetItemsProcessed(state.iterations() * imagemap::kChannelCount);
}
BENCHMARK(BM_StoreAllChannels);

} // namespace
