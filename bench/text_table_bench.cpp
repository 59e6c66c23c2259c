#include "text/text_table.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// Keys of the English table in file order, read from the raw lines.
std::vector<std::string> tableKeys() {
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < qx::kTextTable_en.count; ++i) {
        const std::string line = qx::kTextTable_en.lines[i];
        if (line.size() >= 2 && line[0] == '#') {
            keys.push_back(line.substr(1));
        }
    }
    return keys;
}

// The worst first lookup: a fresh store scans the whole table to reach its last block.
void BM_FirstLookupOfLastKey(benchmark::State& state) {
    const std::vector<std::string> keys = tableKeys();
    const std::string& last = keys.at(keys.size() - 2); // the block before "#End_Of_Ovl"
    for (auto _ : state) {
        qx::cmcGTex store;
        store.attachSource(qx::kTextTable_en);
        benchmark::DoNotOptimize(store.firstLine(last));
    }
    state.counters["lines"] = static_cast<double>(qx::kTextTable_en.count);
}
BENCHMARK(BM_FirstLookupOfLastKey);

// Every line of every block in order, as sheet building and message boxes read them.
void BM_ReadEveryBlockInOrder(benchmark::State& state) {
    const std::vector<std::string> keys = tableKeys();
    std::size_t lines = 0;
    for (auto _ : state) {
        qx::cmcGTex store;
        store.attachSource(qx::kTextTable_en);
        lines = 0;
        for (const auto& key : keys) {
            if (key == "End_Of_Ovl") {
                continue;
            }
            for (std::int32_t n = 0;; ++n) {
                const std::string text = store.line(key, n);
                if (!text.empty() && text[0] == '#') {
                    break;
                }
                ++lines;
                benchmark::DoNotOptimize(text);
            }
        }
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_ReadEveryBlockInOrder);

} // namespace
