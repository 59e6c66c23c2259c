#include "radio/default_images.h"
#include "radio/frequency_format.h"
#include "radio/image_map.h"
#include "radio/settings_table.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// Typed frequencies as users enter them: whole, short, grid and off-grid values, band 7.
const std::vector<std::string>& typedFrequencies() {
    static const std::vector<std::string> texts{"146.01",   "145.0062", "145.0031", "433.5",
                                                "851.0125", "2000",     "0.1",      "144.800000"};
    return texts;
}

void BM_ParseFrequency(benchmark::State& state) {
    const std::vector<std::string>& texts = typedFrequencies();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(qx::parseFrequency(texts[i]));
        i = (i + 1) % texts.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseFrequency);

void BM_FormatFrequency(benchmark::State& state) {
    const std::vector<std::uint32_t> values{146010000, 145006250, 433500000, 851012500, 495000};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(qx::formatFrequency(values[i]));
        i = (i + 1) % values.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatFrequency);

// Every numeric setting of one block (every band and element) and every text, through the
// table, from a built-in image.
void BM_ReadEverySettingOfABlock(benchmark::State& state) {
    qx::cmcEeprom image(qx::imagemap::kImageSize);
    image.writeBlock(0, qx::defaultImageBlock(13), qx::imagemap::kTransceiverSize);
    std::size_t reads = 0;
    for (auto _ : state) {
        reads = 0;
        for (const qx::SettingEntry& setting : qx::settingsTable()) {
            if (setting.encoding == qx::SettingEncoding::Text) {
                benchmark::DoNotOptimize(
                    qx::readSettingText(image, qx::SettingsBlock::Main, setting));
                ++reads;
                continue;
            }
            for (std::int32_t element = 0; element < setting.elementCount; ++element) {
                for (std::int32_t i = 0; i < setting.indexCount; ++i) {
                    benchmark::DoNotOptimize(qx::readSetting(
                        image, qx::SettingsBlock::Main, setting, setting.firstIndex + i, element));
                    ++reads;
                }
            }
        }
    }
    state.counters["settings"] = static_cast<double>(reads);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(reads));
}
BENCHMARK(BM_ReadEverySettingOfABlock);

} // namespace
