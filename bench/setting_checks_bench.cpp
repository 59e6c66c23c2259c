#include "radio/bank_link_table.h"
#include "radio/cell_link_dispatch.h"
#include "radio/channel_record.h"
#include "radio/image_set.h"
#include "radio/setting_checks.h"
#include "sheet/gtex_lines.h"
#include "sheet/warning_check_list.h"
#include "text/text_source.h"
#include "text/text_table.h"

#include <benchmark/benchmark.h>

namespace {

// Every memory channel and scan edge in use and in a bank, some of them flagged: the check
// list has the most channels to load.
qx::ImageSet& fullImages() {
    static qx::ImageSet images = [] {
        qx::ImageSet set;
        set.setDestination(2);
        qx::ChannelRecord channel(set.current());
        for (int index = 0; index < 520; ++index) {
            channel.load(qx::kKindChannel, index);
            channel.used = true;
            channel.frequency = index % 7 == 0 ? 150000000 : 145000000 + 12500 * (index % 80);
            channel.mode = index % 11 == 0 ? qx::kModeDv : qx::kModeFm;
            channel.bankGroup = index % 26;
            channel.bankChannel = index / 26;
            channel.store();
        }
        qx::banklink::rebuild(set.current());
        return set;
    }();
    return images;
}

void BM_RunCheckList(benchmark::State& state) {
    qx::ImageSet& images = fullImages();
    qx::cmcGTex table;
    table.attachSource(qx::kTextTable_en);
    qx::GTexLines lines(table);
    qx::LinkEnvironment environment;
    environment.image = &images.current();
    environment.destination = images.destination();
    qx::cmcCellLinkDispatch dispatch(environment);
    for (auto _ : state) {
        const qx::CheckListResult result = qx::runWarningCheckList(lines, dispatch);
        benchmark::DoNotOptimize(result.errorCount() + result.warningCount());
    }
    state.SetItemsProcessed(state.iterations() * 63); // sheets checked
}
BENCHMARK(BM_RunCheckList)->Unit(benchmark::kMillisecond);

void BM_CheckMemoryChannelSheet(benchmark::State& state) {
    qx::ImageSet& images = fullImages();
    const qx::SettingChecks checks(images.current(), images.destination(), qx::FeatureFlags{});
    for (auto _ : state) {
        benchmark::DoNotOptimize(checks.verdict(qx::CL_Check_MemoryCH2));
    }
    state.SetItemsProcessed(state.iterations() * 100); // channels
}
BENCHMARK(BM_CheckMemoryChannelSheet);

} // namespace
