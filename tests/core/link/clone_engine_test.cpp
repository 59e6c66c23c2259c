#include "link/clone_engine.h"
#include "manual_scheduler.h"
#include "radio_frames.h"
#include "scripted_serial_device.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace qx {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A transceiver on the scripted line, written here independently of the engine's frame code.
class Peer {
public:
    explicit Peer(std::shared_ptr<test::ScriptedSerialDevice::Line> line) : m_line(line) {
        line->peer = [this](const std::uint8_t* b, int n) { take(b, n); };
        image.assign(256, 0);
        for (std::size_t i = 0; i < image.size(); ++i) {
            image[i] = static_cast<std::uint8_t>(i * 7 + 3);
        }
    }

    // What the transceiver answers with.
    Bytes infoReply = {0xFE, 0xFE, 0xEF, 0xEE, 0xE1, 0x29, 0x70, 0x00, 0x01, 'c', 'o', 'm', 0xFD};
    Bytes image;
    int readEnd = 0x7F;     // last address served by a read
    int badChecksumAt = -1; // data frame index with a wrong checksum
    int extraAddress = -1;  // an extra frame served for this address
    int counterSkew = 0;    // added to the end frame's counter
    int ackStatus = 0x00;   // -1: no acknowledgement
    bool silent = false;
    bool echo = false;        // the cable returns every byte
    int answerOnlyAtBaud = 0; // answer only when the line runs at this speed (0: any)
    std::string noise;        // sent before every reply

    std::vector<Bytes> frames;     // every complete frame received
    std::vector<Bytes> dataFrames; // the E4 frames of a write
    Bytes written = Bytes(256, 0); // what a write stored

private:
    void send(const Bytes& b) { m_line->feed(b); }

    void take(const std::uint8_t* b, int n) {
        if (echo) {
            send(Bytes(b, b + n));
        }
        for (int i = 0; i < n; ++i) {
            if (b[i] == 0xFE) {
                m_current = Bytes{0xFE};
            } else if (!m_current.empty() && b[i] == 0xFD) {
                frames.push_back(m_current);
                react(m_current);
                m_current.clear();
            } else if (!m_current.empty()) {
                m_current.push_back(b[i]);
            }
        }
    }

    void react(const Bytes& f) {
        if (silent || f.size() < 4) {
            return;
        }
        if (answerOnlyAtBaud != 0 && m_line->configured.back().baud != answerOnlyAtBaud) {
            return;
        }
        const std::uint8_t cmd = f[3];
        if (cmd != 0xE4 && !noise.empty()) {
            send(Bytes(noise.begin(), noise.end()));
        }
        if (cmd == 0xE0) {
            send(infoReply);
        } else if (cmd == 0xE2) {
            int frameCount = 0;
            for (int a = 0; a <= readEnd; a += 32) {
                serveFrame(a, std::min(32, readEnd - a + 1), frameCount++);
            }
            if (extraAddress >= 0) {
                serveFrame(extraAddress, 16, frameCount++);
            }
            send(test::radio_frames::endFrame(frameCount + counterSkew));
        } else if (cmd == 0xE4) {
            dataFrames.push_back(f);
            const std::string text(f.begin() + 4, f.end());
            const int address = std::stoi(text.substr(0, 4), nullptr, 16);
            const int count = std::stoi(text.substr(4, 2), nullptr, 16);
            for (int i = 0; i < count; ++i) {
                written[static_cast<std::size_t>(address + i)] =
                    static_cast<std::uint8_t>(std::stoi(text.substr(6 + 2 * i, 2), nullptr, 16));
            }
        } else if (cmd == 0xE5 && ackStatus >= 0) {
            send({0xFE, 0xFE, 0xEF, 0xEE, 0xE6, static_cast<std::uint8_t>(ackStatus), 0xFD});
        }
    }

    void serveFrame(int address, int count, int index) {
        Bytes data;
        for (int i = 0; i < count; ++i) {
            data.push_back(image[static_cast<std::size_t>(address + i) % image.size()]);
        }
        send(test::radio_frames::dataFrame(address, data.data(), count,
                                           index == badChecksumAt ? 1 : 0));
    }

    std::shared_ptr<test::ScriptedSerialDevice::Line> m_line;
    Bytes m_current;
};

class CloneEngineTest : public ::testing::Test {
protected:
    CloneEngineTest()
        : line(std::make_shared<test::ScriptedSerialDevice::Line>()), peer(line),
          engine(clock, clock, std::make_unique<test::ScriptedSerialDevice>(line)) {
        engine.SetSleeper([](int) {});
        engine.SetIdentification(0x2970, 0);
        engine.SetImageSize(256);
        engine.SetBytesPerFrame(32);
        engine.SetConnectionTypeHandler([this](int t) { learned = t; });
    }

    // Runs the engine until it hands over its result; returns the milliseconds it took.
    std::uint64_t run(const std::function<bool(cmcCloneDrv::Callback)>& start) {
        result.reset();
        const std::uint64_t t0 = clock.now();
        EXPECT_TRUE(start([this](CloneResult& r) {
            result.emplace();
            result->mode = r.mode;
            result->error = r.error;
            result->word0 = r.word0;
            result->word1 = r.word1;
            result->info = r.info;
            result->image = r.image;
        }));
        for (int i = 0; i < 5000 && !result; ++i) {
            clock.advance(10);
        }
        EXPECT_TRUE(result.has_value());
        EXPECT_FALSE(engine.IsBusy());
        return clock.now() - t0;
    }
    std::uint64_t information() {
        return run([this](auto cb) { return engine.StartInformation(cb); });
    }
    std::uint64_t read(int end = 0x7F) {
        return run([this, end](auto cb) { return engine.StartRead({{0, end}, {1, 0}}, cb); });
    }
    std::uint64_t write(const ImageRangeList& ranges) {
        cmcEeprom image(256);
        for (int i = 0; i < 256; ++i) {
            image.setByte(i, static_cast<std::uint8_t>(255 - i));
        }
        return run([&](auto cb) { return engine.StartWrite(image, ranges, cb); });
    }

    test::ManualScheduler clock;
    std::shared_ptr<test::ScriptedSerialDevice::Line> line;
    Peer peer;
    cmcCloneDrv engine;
    std::optional<CloneResult> result;
    int learned = -1;
};

TEST_F(CloneEngineTest, InformationReplyAfterNoiseAndPreambleIsAccepted) {
    peer.noise = "xyz\xFE\xFE\xFE";
    information();
    EXPECT_EQ(result->error, kCloneOk);
    EXPECT_EQ(result->word0, 0x2970);
    EXPECT_EQ(result->word1, 0x0001);
    ASSERT_EQ(result->info.Size(), 3);
    EXPECT_EQ(*result->info.At(0), 'c');
    const Bytes request = {0xFE, 0xEE, 0xEF, 0xE0, 0x29, 0x70, 0x00, 0x00};
    EXPECT_EQ(peer.frames.front(), request);
    EXPECT_EQ(learned, -1); // found on the first variant: nothing learned
    EXPECT_FALSE(line->isOpen);
}

TEST_F(CloneEngineTest, InformationReplyWithNonDecimalWordsIsIllegal) {
    peer.infoReply = {0xFE, 0xFE, 0xEF, 0xEE, 0xE1, 0x29, 0x7A, 0x00, 0x01, 0xFD};
    information();
    EXPECT_EQ(result->error, kCloneIllegalData);
}

TEST_F(CloneEngineTest, InformationCyclesThroughTheLineVariants) {
    peer.silent = true;
    const std::uint64_t ms = information();
    EXPECT_EQ(result->error, kCloneNoAnswer);
    ASSERT_EQ(line->configured.size(), 3u);
    EXPECT_EQ(line->configured[0].baud, 9600);
    EXPECT_EQ(line->configured[1].baud, 9600);
    EXPECT_EQ(line->configured[2].baud, 4800);
    EXPECT_GE(ms, 3000u);
    EXPECT_LT(ms, 3300u);
    EXPECT_EQ(learned, -1);
}

TEST_F(CloneEngineTest, InformationAnsweredAt4800LearnsConnectionTypeTwo) {
    peer.answerOnlyAtBaud = 4800;
    information();
    EXPECT_EQ(result->error, kCloneOk);
    EXPECT_EQ(learned, 2);
}

TEST_F(CloneEngineTest, EchoThatNeverComesBackIsError4AfterTheTimeOut) {
    engine.SetEcho(true);
    engine.SetLineSettings("9600,N,8,1");
    peer.silent = true;
    const std::uint64_t ms = read();
    EXPECT_EQ(result->error, kCloneEcho);
    EXPECT_GE(ms, 1000u);
    EXPECT_LT(ms, 1200u);
}

TEST_F(CloneEngineTest, EchoThatDiffersIsError4AtOnce) {
    engine.SetEcho(true);
    peer.noise = "";
    line->peer = [this](const std::uint8_t*, int) { line->feed({0xFE, 0x00}); };
    const std::uint64_t ms = read();
    EXPECT_EQ(result->error, kCloneEcho);
    EXPECT_LT(ms, 500u);
}

TEST_F(CloneEngineTest, ReadThroughAnEchoingCable) {
    engine.SetEcho(true);
    peer.echo = true;
    read();
    ASSERT_EQ(result->error, kCloneOk);
    Bytes got(128);
    result->image.readBlock(0, got.data(), 128);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), peer.image.begin()));
}

TEST_F(CloneEngineTest, ReadFillsTheImageAndCountsTheFrames) {
    read();
    ASSERT_EQ(result->error, kCloneOk);
    for (int a = 0; a < 256; ++a) {
        EXPECT_EQ(result->image.getByte(a), a <= 0x7F ? peer.image[a] : 0) << a;
    }
    EXPECT_EQ(engine.DataFrames(), 4);
    EXPECT_EQ(engine.DataBytes(), 128);
}

TEST_F(CloneEngineTest, ReadFaultsEndWithTheirCodes) {
    struct Case {
        const char* name;
        std::function<void(Peer&)> setup;
        int code;
    };
    const Case cases[] = {
        {"checksum", [](Peer& p) { p.badChecksumAt = 2; }, kCloneIllegalData},
        {"counter", [](Peer& p) { p.counterSkew = 1; }, kCloneCounter},
        {"missing", [](Peer& p) { p.readEnd = 0x7E; }, kCloneNotEnoughData},
        {"outside", [](Peer& p) { p.extraAddress = 0xC0; }, kCloneDataOverflow},
        {"silent", [](Peer& p) { p.silent = true; }, kCloneNoAnswer},
    };
    for (const auto& c : cases) {
        Peer fresh(line);
        c.setup(fresh);
        read();
        EXPECT_EQ(result->error, c.code) << c.name;
    }
}

TEST_F(CloneEngineTest, DataFrameAtTheImageEndIsOverflow) {
    engine.SetImageSize(0x90);
    peer.extraAddress = 0x88; // 0x88 + 16 runs past the 0x90-byte image
    read();
    EXPECT_EQ(result->error, kCloneDataOverflow);
}

TEST_F(CloneEngineTest, WriteCutsFramesAtFrameMultiplesAndRangeEnds) {
    write({{0x00, 0x3F}, {0x40, 0x4F}, {0x50, 0x9F}, {1, 0}});
    ASSERT_EQ(result->error, kCloneOk);
    std::vector<std::string> heads;
    for (const Bytes& f : peer.dataFrames) {
        heads.emplace_back(f.begin() + 4, f.begin() + 10);
    }
    const std::vector<std::string> expected = {"000020", "002020", "004010",
                                               "005010", "006020", "008020"};
    EXPECT_EQ(heads, expected);
    for (int a = 0; a <= 0x9F; ++a) {
        EXPECT_EQ(peer.written[a], 255 - a) << a;
    }
    const Bytes end = {0xFE, 0xEE, 0xEF, 0xE5, 'O', 'r', 's', 'a',
                       ' ',  'L',  't',  'd',  '.', '0', '6'};
    EXPECT_EQ(peer.frames.back(), end);
}

TEST_F(CloneEngineTest, WriteNotAcknowledged) {
    peer.ackStatus = 0x01;
    write({{0, 0x1F}, {1, 0}});
    EXPECT_EQ(result->error, kCloneWriteFailed);

    peer.ackStatus = -1;
    engine.SetWriteAckTimeout(10000);
    const std::uint64_t ms = write({{0, 0x1F}, {1, 0}});
    EXPECT_EQ(result->error, kCloneNoAnswer);
    EXPECT_GE(ms, 10000u);
    EXPECT_LT(ms, 10500u);
}

TEST_F(CloneEngineTest, AShortWriteMidTransferIsError17) {
    line->acceptLimit = 300;
    write({{0, 0xFF}, {1, 0}});
    EXPECT_EQ(result->error, kCloneWriteFault);
    EXPECT_FALSE(line->isOpen);
}

TEST_F(CloneEngineTest, PreCommandReopensTheLineAndSendsItsBytes) {
    engine.SetPort(4);
    engine.SetLineSettings("38400,N,8,1");
    engine.SetPreCommand("(4800,N,8,1)FEFE EEEF E8 29700001 0000 02 01 FD");
    engine.SetStartDelay(200);
    const std::uint64_t ms = information();
    EXPECT_EQ(result->error, kCloneOk);
    ASSERT_GE(line->configured.size(), 2u);
    EXPECT_EQ(line->configured[0].baud, 4800);
    EXPECT_EQ(line->configured[1].baud, 38400);
    const Bytes e8 = {0xFE, 0xEE, 0xEF, 0xE8, 0x29, 0x70, 0x00, 0x01, 0x00, 0x00, 0x02, 0x01};
    EXPECT_EQ(peer.frames.front(), e8);
    EXPECT_TRUE(engine.PreCommand().empty());
    EXPECT_GE(ms, 200u);

    // The start delay is used once.
    const std::uint64_t again = information();
    EXPECT_LT(again, 100u);
}

TEST_F(CloneEngineTest, PortThatCannotOpenIsError2) {
    line->refuseAll = true;
    information();
    EXPECT_EQ(result->error, kClonePortOpen);
    engine.SetPreCommand("(9600,N,8,1)FEFE");
    read();
    EXPECT_EQ(result->error, kClonePortOpen);
    EXPECT_TRUE(engine.PreCommand().empty());
}

TEST_F(CloneEngineTest, ACallbackMayStartTheNextOperation) {
    bool second = false;
    ASSERT_TRUE(engine.StartInformation([&](CloneResult& r) {
        EXPECT_EQ(r.error, kCloneOk);
        EXPECT_FALSE(engine.IsBusy());
        EXPECT_TRUE(engine.StartRead({{0, 0x7F}, {1, 0}}, [&](CloneResult& r2) {
            EXPECT_EQ(r2.error, kCloneOk);
            second = true;
        }));
    }));
    EXPECT_FALSE(engine.StartInformation({})); // busy
    for (int i = 0; i < 500 && !second; ++i) {
        clock.advance(10);
    }
    EXPECT_TRUE(second);
}

} // namespace
} // namespace qx
