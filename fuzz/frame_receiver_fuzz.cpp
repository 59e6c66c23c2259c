// The clone engine's frame receiver on serial bytes: an information request, a read or a
// write runs against a scripted line that answers with the input, a few bytes per tick, as a
// transceiver (or noise on the cable) would. Whatever arrives, the operation must end with
// one result and a known error code, and never touch memory it does not own.
#include "fuzz_support.h"
#include "link/clone_engine.h"
#include "manual_scheduler.h"
#include "radio/image_map.h"
#include "scripted_serial_device.h"

#include <memory>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qx;
    fuzz::installDefectTrap(false);
    fuzz::ByteReader in(data, size);
    const std::uint8_t setup = in.byte();
    const int mode = (setup & 0x03) % 3; // information, read, write (3: information)
    const bool frameCounter = (setup & 0x04) == 0;
    const bool echo = (setup & 0x08) != 0;      // the cable returns every byte sent
    const bool fullImage = (setup & 0x10) != 0; // the real image size, else a small one
    const int chunk = 1 + in.byte() % 64;       // bytes arriving per 10 ms tick
    const std::uint8_t* payload = in.rest();
    const std::size_t payloadSize = in.remaining();

    test::ManualScheduler clock;
    auto line = std::make_shared<test::ScriptedSerialDevice::Line>();
    if (echo) {
        // A plain pointer: the line owns this callback, so a shared one would keep it alive.
        auto* cable = line.get();
        line->peer = [cable](const std::uint8_t* b, int n) { cable->feed({b, b + n}); };
    }
    cmcCloneDrv engine(clock, clock, std::make_unique<test::ScriptedSerialDevice>(line));
    engine.SetSleeper([](int) {});
    engine.SetIdentification(0x2970, 0);
    const std::int32_t imageSize = fullImage ? imagemap::kImageSize : 0x200;
    engine.SetImageSize(imageSize);
    engine.SetBytesPerFrame(32);
    engine.SetFrameCounter(frameCounter);
    engine.SetEcho(echo);

    int calls = 0;
    std::optional<CloneResult> result;
    auto done = [&](CloneResult& r) {
        ++calls;
        result.emplace();
        result->mode = r.mode;
        result->error = r.error;
        result->image = r.image;
        result->received = r.received;
    };
    const ImageRangeList ranges = fullImage ? ImageRangeList::transceiverPart()
                                            : ImageRangeList{{0x000, 0x0FF}, {0x140, 0x17F}};
    cmcEeprom image(imageSize);
    bool started = false;
    if (mode == 0) {
        started = engine.StartInformation(done);
    } else if (mode == 1) {
        started = engine.StartRead(ranges, done);
    } else {
        started = engine.StartWrite(image, ImageRangeList{{0x000, 0x03F}}, done);
    }
    FUZZ_CHECK(started);

    // The input arrives once the engine waits for an answer: after the information or read
    // request, or after the last data frame of a write.
    const int awaitState = mode == 0 ? 7 : (mode == 1 ? 9 : 13);
    std::size_t fed = 0;
    bool requestSeen = false;
    for (int tick = 0; tick < 200000 && engine.IsBusy(); ++tick) {
        requestSeen = requestSeen || engine.State() >= awaitState;
        if (requestSeen && fed < payloadSize) {
            const std::size_t n =
                std::min<std::size_t>(static_cast<std::size_t>(chunk), payloadSize - fed);
            line->feed({payload + fed, payload + fed + n});
            fed += n;
        }
        clock.advance(cmcCloneDrv::kTickMs);
    }
    FUZZ_CHECK(!engine.IsBusy());
    FUZZ_CHECK(calls == 1);
    if (std::getenv("QX5130_FUZZ_VERBOSE") != nullptr) {
        std::printf("mode %d error %d frames %d\n", mode, result->error, engine.DataFrames());
    }
    FUZZ_CHECK(result->error >= 0 && result->error <= 17);
    FUZZ_CHECK(!line->isOpen);
    if (mode == 1) {
        FUZZ_CHECK(result->image.size() == imageSize);
        if (result->error == kCloneOk) {
            // A good read received every address of the ranges and nothing else.
            for (std::int32_t a = 0; a < imageSize; ++a) {
                const bool got = a / 8 < result->received.Size() &&
                                 (*result->received.At(a / 8) >> (a % 8) & 1) != 0;
                FUZZ_CHECK(got == ranges.contains(a, imageSize));
            }
        }
    }
    return 0;
}
