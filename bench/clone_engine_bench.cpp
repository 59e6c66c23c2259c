// What the clone engine costs on its own: a full read and a full write against a device that
// answers at once, so only the engine's work is timed.
#include "base/timer_queue.h"
#include "link/clone_engine.h"
#include "link/clone_frame.h"

#include <benchmark/benchmark.h>

#include <deque>
#include <memory>

namespace qx {
namespace {

constexpr std::int32_t kImageSize = 70704;
constexpr std::int32_t kRadioEnd = 0xACBF;

// Serves a prepared read reply and acknowledges a write the moment its end frame is handed
// over; parses nothing else.
class InstantDevice : public SerialDevice {
public:
    explicit InstantDevice(const std::vector<std::uint8_t>& readReply) : m_readReply(readReply) {}

    bool open(const std::string&) override { return m_open = true; }
    bool configure(const LineSettings&, int, int) override { return true; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    int read(std::uint8_t* buffer, int max) override {
        int n = 0;
        while (n < max && !m_input.empty()) {
            buffer[n++] = m_input.front();
            m_input.pop_front();
        }
        return n;
    }
    int inputCount() override { return static_cast<int>(m_input.size()); }
    int outputCount() override { return 0; }
    int write(const std::uint8_t* bytes, int n, int) override {
        // Request frames end FD with the command at byte 4 after the two FE; watch for E2 and
        // E5, the only ones that need an answer here.
        for (int i = 0; i + 4 < n; ++i) {
            if (bytes[i] == 0xFE && bytes[i + 1] == 0xFE && bytes[i + 2] == 0xEE) {
                if (bytes[i + 4] == 0xE2) {
                    m_input.insert(m_input.end(), m_readReply.begin(), m_readReply.end());
                } else if (bytes[i + 4] == 0xE5) {
                    const std::uint8_t ack[] = {0xFE, 0xFE, 0xEF, 0xEE, 0xE6, 0x00, 0xFD};
                    m_input.insert(m_input.end(), std::begin(ack), std::end(ack));
                }
            }
        }
        return n;
    }

private:
    const std::vector<std::uint8_t>& m_readReply;
    std::deque<std::uint8_t> m_input;
    bool m_open = false;
};

std::vector<std::uint8_t> readReply() {
    cmcBuff out;
    std::vector<std::uint8_t> data(32, 0x5A);
    int frames = 0;
    for (std::int32_t a = 0; a <= kRadioEnd; a += 32, ++frames) {
        cmcBuff frame;
        clone_frame::appendDataFrame(frame, static_cast<std::uint16_t>(a), data.data(), 32, 0);
        // The transceiver's frames carry EF EE where ours carry EE EF.
        *frame.At(2) = 0xEF;
        *frame.At(3) = 0xEE;
        out.Append(frame);
    }
    cmcBuff end;
    clone_frame::appendEndFrame(end, true, frames);
    *end.At(2) = 0xEF;
    *end.At(3) = 0xEE;
    out.Append(end);
    return {out.Data(), out.Data() + out.Size()};
}

void run(benchmark::State& state, bool write) {
    const std::vector<std::uint8_t> reply = readReply();
    const cmcEeprom image(kImageSize);
    const ImageRangeList ranges{{0, kRadioEnd}};
    for (auto _ : state) {
        TimerQueue clock;
        cmcCloneDrv engine(clock, clock, std::make_unique<InstantDevice>(reply));
        engine.SetSleeper([](int) {});
        engine.SetImageSize(kImageSize);
        engine.SetBytesPerFrame(32);
        int error = -1;
        auto done = [&](CloneResult& r) { error = r.error; };
        if (write) {
            engine.StartWrite(image, ranges, done);
        } else {
            engine.StartRead(ranges, done);
        }
        while (engine.IsBusy()) {
            clock.advanceTo(clock.now() + 10);
        }
        if (error != 0) {
            state.SkipWithError("the transfer failed");
            break;
        }
        benchmark::DoNotOptimize(error);
    }
    state.SetBytesProcessed(state.iterations() * (kRadioEnd + 1));
}

void BM_CloneEngineFullRead(benchmark::State& state) {
    run(state, false);
}
BENCHMARK(BM_CloneEngineFullRead)->Unit(benchmark::kMillisecond);

void BM_CloneEngineFullWrite(benchmark::State& state) {
    run(state, true);
}
BENCHMARK(BM_CloneEngineFullWrite)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace qx
