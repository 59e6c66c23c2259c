#include "output/received_call_export.h"
#include "radio/eeprom.h"
#include "radio/image_map.h"
#include "sheet/gtex_lines.h"
#include "text/text_source.h"
#include "text/text_table.h"

#include <benchmark/benchmark.h>

namespace {

// A full log: twenty calls, shown in reverse record order.
void BM_ReceivedCallCsv(benchmark::State& state) {
    using namespace qx::imagemap;
    qx::cmcEeprom image(kImageSize);
    for (int record = 0; record < kReceivedCallCount; ++record) {
        const std::int32_t base = kReceivedCalls + record * kReceivedCallSize;
        const char text[] = "JA1ABC  3100JP1YIU BJP1YIU GCQCQCQ  ";
        image.writeBlock(base, reinterpret_cast<const std::uint8_t*>(text), 36);
        const std::uint8_t when[] = {0x24, 0x12, 0x09, 0x21, 0x05, 0x59};
        image.writeBlock(base + 36, when, 6);
        image.setByte(kReceivedCallOrder + record,
                      static_cast<std::uint8_t>(kReceivedCallCount - 1 - record));
        image.setByte(kReceivedCallStatus + record, 0x60);
    }
    qx::cmcGTex table;
    table.attachSource(qx::kTextTable_en);
    qx::GTexLines lines(table);
    const qx::ReceivedCallExport exporter(image, lines);
    for (auto _ : state) {
        benchmark::DoNotOptimize(exporter.csv(',', qx::DateOrder::MonthDayYear));
    }
    state.SetItemsProcessed(state.iterations() * kReceivedCallCount);
}
BENCHMARK(BM_ReceivedCallCsv);

} // namespace
