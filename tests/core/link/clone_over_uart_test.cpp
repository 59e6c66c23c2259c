// Whole clone reads and writes through the engine on a line that behaves like a UART: writes
// return at once into the kernel's queue, which drains at the line speed on the test clock.
#include "app/clone_commands.h"
#include "link/clone_manager.h"
#include "manual_scheduler.h"
#include "radio/image_map.h"
#include "radio_frames.h"
#include "recording_prompt.h"
#include "text/text_source.h"
#include "text/text_table.h"
#include "uart_serial_device.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace qx {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::radio_frames::hex2;

// The transceiver at the far end, written here on its own: it hears only bytes sent at its own
// speed and follows the line-speed frame.
class Transceiver {
public:
    Transceiver(test::UartSerialDevice::Line& line, int startSpeed)
        : speed(startSpeed), m_line(line) {
        line.farEnd = [this](std::uint8_t b, int baud) { take(b, baud); };
        for (std::size_t a = 0; a < memory.size(); ++a) {
            memory[a] = static_cast<std::uint8_t>(a * 13 + a / 256);
        }
    }

    Bytes memory = Bytes(imagemap::kTransceiverSize);
    int speed;
    int framesWritten = 0;
    bool badFrame = false;
    std::string endText;
    bool acknowledged = false;

private:
    void take(std::uint8_t b, int baud) {
        if (baud != speed) {
            m_frame.clear(); // noise at another speed
            return;
        }
        if (b == 0xFE) {
            m_frame = {0xFE};
        } else if (!m_frame.empty() && b == 0xFD) {
            react();
            m_frame.clear();
        } else if (!m_frame.empty()) {
            m_frame.push_back(b);
        }
    }

    void react() {
        const Bytes& f = m_frame;
        if (f.size() < 4 || f[1] != 0xEE || f[2] != 0xEF) {
            badFrame = true;
            return;
        }
        const std::string text(f.begin() + 4, f.end());
        switch (f[3]) {
        case 0xE8:
            speed = f.back() == 0x01 ? 38400 : 9600;
            break;
        case 0xE2:
            serveRead();
            break;
        case 0xE3:
            framesWritten = 0;
            break;
        case 0xE4:
            store(text);
            break;
        case 0xE5:
            endText = text;
            acknowledged = !badFrame && text == "Orsa Ltd." + hex2(framesWritten);
            m_line.send({0xFE, 0xFE, 0xEF, 0xEE, 0xE6,
                         static_cast<std::uint8_t>(acknowledged ? 0x00 : 0x01), 0xFD});
            break;
        default:
            badFrame = true;
        }
    }

    void store(const std::string& text) {
        const int count = text.size() >= 8 ? std::stoi(text.substr(4, 2), nullptr, 16) : -1;
        if (text.size() != static_cast<std::size_t>(8 + 2 * count)) {
            badFrame = true;
            return;
        }
        const int address = std::stoi(text.substr(0, 4), nullptr, 16);
        int sum = (address >> 8) + (address & 0xFF) + count;
        Bytes data;
        for (int i = 0; i <= count; ++i) {
            data.push_back(
                static_cast<std::uint8_t>(std::stoi(text.substr(6 + 2 * i, 2), nullptr, 16)));
            sum += data.back();
        }
        if (sum % 256 != 0) {
            badFrame = true;
            return;
        }
        std::copy_n(data.begin(), count, memory.begin() + address);
        ++framesWritten;
    }

    void serveRead() {
        int frames = 0;
        for (int a = 0; a < imagemap::kTransceiverSize; a += 32, ++frames) {
            m_line.send(test::radio_frames::dataFrame(a, memory.data() + a, 32));
        }
        m_line.send(test::radio_frames::endFrame(frames));
    }

    test::UartSerialDevice::Line& m_line;
    Bytes m_frame;
};

struct Speed {
    const char* name;
    int transceiverSpeed; // where the transceiver listens before the transfer
    CloneLinkSettings settings;
};

void PrintTo(const Speed& s, std::ostream* os) {
    *os << s.name;
}

class CloneOverUartTest : public ::testing::TestWithParam<Speed> {
protected:
    CloneOverUartTest()
        : line(std::make_shared<test::UartSerialDevice::Line>(clock)),
          radio(*line, GetParam().transceiverSpeed),
          clone(clock, clock, std::make_unique<test::UartSerialDevice>(line), prompt, texts) {
        texts.attachSource(kTextTable_en);
        clone.Engine().SetSleeper([this](int ms) { clock.pause(ms * 1000ULL); });
        clone.SetSettingsSource([this] { return GetParam().settings; });
        clone.SetReadCheck([](CloneResult&) {});
        clone.SetImageSize(imagemap::kImageSize);
    }

    // Runs the operation to its end; the error code, or -1 when it never ended.
    int run(const std::function<bool(indCloneMan::Completion)>& start) {
        std::optional<int> error;
        const std::uint64_t t0 = clock.microseconds();
        EXPECT_TRUE(start([&](CloneResult& r) {
            error = r.error;
            if (r.mode == CloneMode::Read) {
                readImage = r.image;
            }
        }));
        while (!error && clock.now() < 600000) {
            clock.advance(10);
        }
        elapsedMicros = static_cast<double>(clock.microseconds() - t0);
        return error.value_or(-1);
    }

    test::ManualScheduler clock;
    std::shared_ptr<test::UartSerialDevice::Line> line;
    Transceiver radio;
    test::RecordingPrompt prompt;
    cmcGTex texts;
    indCloneMan clone;
    cmcEeprom readImage;
    double elapsedMicros = 0;
};

// The wire time of the transfer, plus the 200 ms start delay and the two 100 ms waits that flush
// the input when the line opens, bounds how long a transfer may take.
constexpr double kFixedMicros = 400000;

TEST_P(CloneOverUartTest, WriteSendsEveryFrameAndIsAcknowledged) {
    cmcEeprom image(imagemap::kImageSize);
    for (int a = 0; a < imagemap::kImageSize; ++a) {
        image.setByte(a, static_cast<std::uint8_t>(a * 7 + 3));
    }
    const ImageRangeList ranges = CloneCommands::writeRanges();
    const int error = run([&](auto done) { return clone.Write(image, ranges, done); });
    ASSERT_EQ(error, kCloneOk) << radio.framesWritten << " frames arrived in "
                               << elapsedMicros / 1e6 << " s";
    EXPECT_EQ(radio.framesWritten, 1384);
    EXPECT_EQ(radio.endText, "Orsa Ltd.68");
    EXPECT_TRUE(radio.acknowledged);
    for (int a = 0; a < imagemap::kTransceiverSize; ++a) {
        if (ranges.contains(a, image.size())) {
            ASSERT_EQ(radio.memory[static_cast<std::size_t>(a)], image.getByte(a)) << a;
        }
    }
    EXPECT_LE(elapsedMicros, line->wireMicros * 1.02 + kFixedMicros);
}

TEST_P(CloneOverUartTest, ReadTakesEveryFrame) {
    const int error = run([&](auto done) { return clone.Read(CloneCommands::readRanges(), done); });
    ASSERT_EQ(error, kCloneOk);
    EXPECT_EQ(clone.Engine().DataFrames(), 1382);
    EXPECT_TRUE(std::equal(radio.memory.begin(), radio.memory.end(), readImage.data()));
    EXPECT_EQ(line->lostInput, 0);
    EXPECT_LE(elapsedMicros, line->wireMicros * 1.02 + kFixedMicros);
}

INSTANTIATE_TEST_SUITE_P(Speeds, CloneOverUartTest,
                         ::testing::Values(Speed{"4800", 4800, {1, false, 2}},
                                           Speed{"9600", 9600, {1, false, 0}},
                                           Speed{"38400", 9600, {1, true, 0}}),
                         [](const auto& p) { return std::string(p.param.name); });

} // namespace
} // namespace qx
