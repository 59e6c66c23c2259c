#include "base/event_manager.h"
#include "link/clone_manager.h"
#include "manual_scheduler.h"
#include "recording_prompt.h"
#include "scripted_serial_device.h"
#include "text/text_table.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace qx {
namespace {

class CloneManagerTest : public ::testing::Test {
protected:
    CloneManagerTest()
        : line(std::make_shared<test::ScriptedSerialDevice::Line>()), bus(clock),
          clone(clock, clock, std::make_unique<test::ScriptedSerialDevice>(line), prompt, texts,
                &bus) {
        texts.attachSource(kTextTable_en);
        clone.Engine().SetSleeper([](int) {});
        clone.SetSettingsSource([this] { return settings; });
    }

    void runToEnd() {
        for (int i = 0; i < 2000 && clone.IsBusy(); ++i) {
            clock.advance(10);
        }
        ASSERT_FALSE(clone.IsBusy());
    }

    test::ManualScheduler clock;
    std::shared_ptr<test::ScriptedSerialDevice::Line> line;
    test::RecordingPrompt prompt;
    cmcGTex texts;
    cmcEvMan bus;
    indCloneMan clone;
    CloneLinkSettings settings;
};

TEST_F(CloneManagerTest, ErrorTextsJoinTheHeadAndTheCheckLines) {
    settings.port = 5;
    line->refuseAll = true;
    int code = -1;
    ASSERT_TRUE(clone.Read({{0, 0xF}}, [&](CloneResult& r) { code = r.error; }));
    runToEnd();
    EXPECT_EQ(code, kClonePortOpen);
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, "Cannot access COM 5.\n\nCheck the following:\n"
                                    " - The COM port settings.\n - Cloning cable connections.\n"
                                    " - transceiver power is ON.");
    EXPECT_EQ(prompt.asked[0].caption, "QX-5130");
    EXPECT_EQ(prompt.asked[0].icon, PromptIcon::Error);

    EXPECT_EQ(clone.ErrorText(kCloneModel),
              "Connected transceiver is not compatible model.\n\nCheck the following:\n"
              " - Appropriate cloning software for the transceiver is being used.\n"
              " - The revision number of the transceiver.");
    EXPECT_EQ(clone.ErrorText(kCloneVersion),
              "Transceiver version does not match.\n\nThe transceiver cannot be programmed with "
              "the current setting.\nPlease run the 'Initial Setup' again.");
    EXPECT_EQ(clone.ErrorText(kCloneOk), "");
}

TEST_F(CloneManagerTest, ProgressLightsASegmentPerThirtyThirdOfTheData) {
    EXPECT_EQ(indCloneMan::LitSegments(22112, 44224), 16);
    EXPECT_EQ(indCloneMan::LitSegments(0, 44224), 0);
    EXPECT_EQ(indCloneMan::LitSegments(44224 * 32 / 33, 44224), 31);
    EXPECT_EQ(indCloneMan::LitSegments(44224 * 32 / 33 + 1, 44224), 32);
    EXPECT_EQ(indCloneMan::LitSegments(44224, 44224), 32);
    EXPECT_EQ(indCloneMan::LitSegments(5, 0), 0);
}

TEST_F(CloneManagerTest, HighSpeedSendsTheLineSpeedFrameFirst) {
    struct Case {
        bool highSpeed;
        int type;
        std::vector<int> bauds; // the line settings, in the order they were opened
        int speedByte;          // -1: no line-speed frame
    };
    const Case cases[] = {
        {true, 0, {9600, 38400}, 0x01},
        {true, 2, {4800, 38400}, 0x01},
        {false, 2, {4800, 9600}, 0x00},
        {false, 1, {9600}, -1},
    };
    for (const auto& c : cases) {
        line->configured.clear();
        line->written.clear();
        settings.highSpeed = c.highSpeed;
        settings.connectionType = c.type;
        clone.SetImageSize(64);
        ASSERT_TRUE(clone.Read({{0, 0xF}}, [](CloneResult&) {}));
        runToEnd();
        std::vector<int> bauds;
        for (const auto& s : line->configured) {
            bauds.push_back(s.baud);
        }
        EXPECT_EQ(bauds, c.bauds) << c.type;
        if (c.speedByte >= 0) {
            // 20 preamble bytes, EE EF E8, word0, 00 01, 00 00, 02, speed, FD.
            ASSERT_GE(line->written.size(), 47u);
            EXPECT_EQ(line->written[20], 0xEE);
            EXPECT_EQ(line->written[22], 0xE8);
            EXPECT_EQ(line->written[23], 0x29);
            EXPECT_EQ(line->written[30], c.speedByte);
            EXPECT_EQ(line->written[31], 0xFD);
            // The read request then carries 12 more 0xFE bytes.
            EXPECT_EQ(line->written[32 + 13], 0xFE);
            EXPECT_EQ(line->written[32 + 14], 0xEE);
        } else {
            // The command preamble of the earlier high-speed runs stays.
            EXPECT_EQ(line->written[12 + 2], 0xEE);
        }
    }
}

TEST_F(CloneManagerTest, InformationUsesTheConnectionTypeAndChecksTheResult) {
    settings.connectionType = 2;
    settings.highSpeed = true; // never for information
    line->peer = [this](const std::uint8_t*, int) {
        line->feed({0xFE, 0xFE, 0xEF, 0xEE, 0xE1, 0x29, 0x70, 0x00, 0x01, 0xFD});
    };
    int code = -1;
    ASSERT_TRUE(clone.Information([&](CloneResult& r) { code = r.error; }));
    EXPECT_FALSE(clone.Information([](CloneResult&) {})); // busy
    runToEnd();
    EXPECT_EQ(line->configured.front().baud, 4800);
    EXPECT_EQ(code, kCloneIllegalInfo); // no information check installed
    clone.SetInformationCheck([](CloneResult& r) { r.error = kCloneModel; });
    ASSERT_TRUE(clone.Information([&](CloneResult& r) { code = r.error; }));
    runToEnd();
    EXPECT_EQ(code, kCloneModel);
    EXPECT_EQ(prompt.asked.size(), 2u);
}

} // namespace
} // namespace qx

namespace qx {
namespace {

class FixedCatalogue : public SerialPortCatalogue {
public:
    std::vector<SerialPortInfo> found;
    std::vector<SerialPortInfo> ports() const override { return found; }
};

TEST_F(CloneManagerTest, APortThatWillNotOpenIsNamedWithTheReasonAndTheRemedy) {
    FixedCatalogue catalogue;
    clone.SetPortCatalogue(&catalogue);
    clone.Engine().Port().SetDeviceResolver([](int) { return std::string("/dev/ttyUSB0"); });
    struct Case {
        int error;
        const char* group;
        bool found;
        std::string text;
    };
    const std::string by = "Cannot access COM 33 (/dev/ttyUSB0)";
    const Case cases[] = {
        {ENOENT, "", false,
         by + ": no such device.\n\nThe cloning cable is not connected, or another port is "
              "meant.\nNo serial port was found."},
        {ENODEV, "", true,
         by + ": no such device.\n\nThe cloning cable is not connected, or another port is "
              "meant.\nSerial ports found:\n    /dev/serial/by-id/usb-FTDI-if00  FTDI FT232R "
              "(ttyUSB1)\n    /dev/ttyS0  serial8250 (ttyS0)"},
        {EACCES, "dialout", false,
         by + ": permission denied.\n\nOnly members of the group dialout may use this port. To "
              "join it, run\n    sudo usermod -aG dialout $USER\nthen log out and log in again."},
        {EACCES, "", false,
         by + ": permission denied.\n\nThis user may not use the port. Ask the administrator of "
              "this computer for access."},
        {EBUSY, "", false,
         by + ": the port is in use.\n\nAnother program is using the port. Close it, then try "
              "again."},
        {ENOTTY, "", false, by + ": not a serial device.\n\nChoose the port of the cloning cable."},
        // A reason without advice keeps the checks of the transceiver's own text.
        {EINVAL, "", false,
         by + ".\n\nCheck the following:\n - The COM port settings.\n - Cloning cable "
              "connections.\n - transceiver power is ON."},
    };
    settings.port = 33;
    for (const auto& c : cases) {
        catalogue.found.clear();
        if (c.found) {
            catalogue.found = {
                {"/dev/ttyUSB1", "/dev/serial/by-id/usb-FTDI-if00", "FTDI FT232R (ttyUSB1)"},
                {"/dev/ttyS0", "", "serial8250 (ttyS0)"}};
        }
        line->refuseAll = true;
        line->openError = std::error_code(c.error, std::generic_category());
        line->group = c.group;
        prompt.asked.clear();
        int code = -1;
        ASSERT_TRUE(clone.Information([&](CloneResult& r) { code = r.error; }));
        runToEnd();
        EXPECT_EQ(code, kClonePortOpen);
        ASSERT_EQ(prompt.asked.size(), 1u);
        EXPECT_EQ(prompt.asked[0].text, c.text) << c.error;
    }

    // A device given by path is named by that path alone: there is no "COM 1" about it.
    clone.Engine().Port().SetFixedDevice("/tmp/radio");
    line->openError = std::error_code(EINVAL, std::generic_category());
    settings.port = 1;
    ASSERT_TRUE(clone.Information([](CloneResult&) {}));
    runToEnd();
    EXPECT_EQ(prompt.asked.back().text.rfind("Cannot access /tmp/radio.\n\n", 0), 0u)
        << prompt.asked.back().text;
    line->openError.clear();
    ASSERT_TRUE(clone.Information([](CloneResult&) {}));
    runToEnd();
    EXPECT_EQ(prompt.asked.back().text.rfind("Cannot access /tmp/radio.\n\n", 0), 0u);
}

TEST_F(CloneManagerTest, APortThatGoesAwayEndsTheTransferAtOnce) {
    clone.SetImageSize(70704);
    for (const CloneMode mode : {CloneMode::Read, CloneMode::Write}) {
        prompt.asked.clear();
        int code = -1;
        const auto done = [&](CloneResult& r) { code = r.error; };
        if (mode == CloneMode::Read) {
            ASSERT_TRUE(clone.Read({{0, 0xACBF}}, done));
        } else {
            const cmcEeprom image(70704);
            ASSERT_TRUE(clone.Write(image, {{0, 0xACBF}}, done));
        }
        clock.advance(300);
        ASSERT_TRUE(clone.IsBusy()) << static_cast<int>(mode) << " " << code;
        line->hungUp = std::error_code(EIO, std::generic_category());
        // Well before any time-out of the protocol.
        for (int i = 0; i < 5 && clone.IsBusy(); ++i) {
            clock.advance(10);
        }
        EXPECT_FALSE(clone.IsBusy());
        EXPECT_EQ(code, kClonePortLost);
        ASSERT_EQ(prompt.asked.size(), 1u);
        EXPECT_EQ(prompt.asked[0].text,
                  "The connection to COM 1 (/dev/ttyS0) was lost during the transfer.\n\nThe "
                  "cloning cable was unplugged or the port was closed; the transfer was stopped.");
    }
}

} // namespace
} // namespace qx
