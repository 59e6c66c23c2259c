#include "base/user_prompt.h"
#include "edit/channel_list_editor.h"
#include "edit/edit_history.h"
#include "radio/channel_record.h"
#include "radio/image_set.h"
#include "text/text_table.h"

#include <benchmark/benchmark.h>

namespace {

using namespace qx;

class AlwaysOk : public UserPrompt {
public:
    PromptAnswer ask(const std::string&, const std::string&, PromptIcon, PromptButtons) override {
        return PromptAnswer::Ok;
    }
};

struct Session {
    Session() {
        texts.attachSource(kTextTable_en);
        images.setDestination(0);
        ChannelRecord record(images.current());
        for (int i = 0; i < 100; ++i) {
            record.load(kKindChannel, i);
            record.used = true;
            record.frequency = 144000000 + static_cast<std::uint32_t>(i) * 12500;
            record.bankGroup = i % 26;
            record.bankChannel = i;
            record.name = ChannelRecord::toText8("BENCH");
            record.store();
        }
        images.rebuildBankLinks();
        history.reset();
        editor.setHistory(&history);
    }
    void run(ListOperation operation, int low, int high) {
        editor.run(operation, {kKindChannel, low, true, low, high, 0, 99, 0});
    }

    cmcGTex texts;
    ImageSet images;
    AlwaysOk prompt;
    cmcEditHistory history{images.current()};
    indChannelListEditor editor{images, texts, prompt, nullptr};
};

// Undo of a Delete of a whole 100-channel list (the redo between the rounds is not timed).
void BM_UndoHundredRowDelete(benchmark::State& state) {
    Session session;
    session.run(ListOperation::Delete, 0, 99);
    for (auto _ : state) {
        session.history.undo();
        state.PauseTiming();
        session.history.redo();
        state.ResumeTiming();
    }
    state.counters["step_bytes"] = static_cast<double>(session.history.memoryBytes());
}
BENCHMARK(BM_UndoHundredRowDelete)->Unit(benchmark::kMicrosecond);

// What 1000 steps of history hold: single cell entries, and list operations on ten rows.
void BM_ThousandStepHistory(benchmark::State& state) {
    const bool listOperations = state.range(0) != 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        Session session;
        for (int step = 0; step < 1000; ++step) {
            if (listOperations) {
                session.run(step % 2 == 0 ? ListOperation::Insert : ListOperation::Delete,
                            step % 90, step % 90 + 9);
            } else {
                session.images.current().setByte(0x6960 + step % 16,
                                                 static_cast<std::uint8_t>('A' + step % 26));
                session.history.record(EditAction::Entry);
            }
        }
        bytes = session.history.memoryBytes();
        benchmark::DoNotOptimize(bytes);
    }
    // The history also keeps one copy of the image (70704 bytes) however long it is.
    state.counters["history_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ThousandStepHistory)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
