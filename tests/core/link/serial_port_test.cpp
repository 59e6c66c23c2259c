#include "link/serial_port.h"
#include "link/termios_serial_device.h"
#include "manual_scheduler.h"
#include "scripted_serial_device.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace qx {
namespace {

TEST(LineSettingsString, ReadsTheFourFields) {
    struct Case {
        const char* text;
        int baud;
        bool parity;
        int bits;
        StopBits stop;
    };
    const Case cases[] = {
        {"9600,N,8,1", 9600, false, 8, StopBits::One},
        {"9600,n,8,1", 9600, false, 8, StopBits::One},
        {" +38400,e,3,2", 38400, false, 4, StopBits::Two},
        {"4800,O,9,1.5", 4800, true, 8, StopBits::OneAndHalf},
        {"4800,m,7,1.50", 4800, true, 7, StopBits::One},
        {"1200x,Z,5", 1200, false, 5, StopBits::One},
        {"", 0, false, 4, StopBits::One},
    };
    for (const auto& c : cases) {
        const LineSettings s = parseLineSettings(c.text);
        EXPECT_EQ(s.baud, c.baud) << c.text;
        EXPECT_EQ(s.parityCheck, c.parity) << c.text;
        EXPECT_EQ(s.byteSize, c.bits) << c.text;
        EXPECT_EQ(s.stopBits, c.stop) << c.text;
    }
}

TEST(LineSettingsString, ACommaInsideADoubleByteCharacterDoesNotSplit) {
    // 0x81 0x2C is one double-byte character: field 1 is "\x81,O", field 2 "8", field 3 "2".
    const LineSettings s = parseLineSettings("9600,\x81,O,8,2");
    EXPECT_FALSE(s.parityCheck);
    EXPECT_EQ(s.byteSize, 8);
    EXPECT_EQ(s.stopBits, StopBits::Two);
}

TEST(DevicePath, PortNumbersMapToSerialAndUsbDevices) {
    EXPECT_EQ(defaultSerialDevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(defaultSerialDevicePath(12), "/dev/ttyS11");
    EXPECT_EQ(defaultSerialDevicePath(32), "/dev/ttyS31");
    EXPECT_EQ(defaultSerialDevicePath(33), "/dev/ttyUSB0");
    EXPECT_EQ(defaultSerialDevicePath(256), "/dev/ttyUSB223");
}

class SerialPortTest : public ::testing::Test {
protected:
    SerialPortTest()
        : line(std::make_shared<test::ScriptedSerialDevice::Line>()),
          port(clock, clock, std::make_unique<test::ScriptedSerialDevice>(line)) {}

    test::ManualScheduler clock;
    std::shared_ptr<test::ScriptedSerialDevice::Line> line;
    cmcComm port;
};

TEST_F(SerialPortTest, OpensTheMappedDeviceWithTheParsedSettings) {
    port.SetDeviceResolver([](int n) { return "/dev/fake" + std::to_string(n); });
    ASSERT_TRUE(port.Open(12, "38400,N,8,1"));
    EXPECT_EQ(line->opened.back(), "/dev/fake12");
    EXPECT_EQ(line->configured.back().baud, 38400);
    line->refuseConfigure = true;
    port.Close();
    EXPECT_FALSE(port.Open(3, "9600,N,8,1"));
    EXPECT_FALSE(port.IsOpen()); // a refused configuration closes the device again
}

TEST_F(SerialPortTest, DrainsInSlicesOf1024EveryTenMilliseconds) {
    ASSERT_TRUE(port.Open(1, "9600,N,8,1"));
    std::vector<std::uint8_t> bytes(3000, 0x55);
    port.Write(bytes.data(), 3000);
    EXPECT_EQ(line->writeSizes, std::vector<int>{1024});
    EXPECT_EQ(port.PendingOutput(), 3000 - 1024 + 48); // the rest, and the last 50 ms of the slice
    line->outputQueue = 100; // the system still holds 104 ms of bytes: no slice this time
    clock.advance(10);
    EXPECT_EQ(line->writeSizes.size(), 1u);
    line->outputQueue = 0;
    clock.advance(10);
    clock.advance(10);
    EXPECT_EQ(line->writeSizes, (std::vector<int>{1024, 1024, 952}));
    EXPECT_EQ(clock.activeTimers(), 0);
    clock.advance(50);
    EXPECT_EQ(port.PendingOutput(), 0);
}

TEST_F(SerialPortTest, AWriteReturnsOnceItsBytesAreOnTheWire) {
    ASSERT_TRUE(port.Open(1, "9600,N,8,1"));
    std::vector<std::uint8_t> bytes(96, 0x55);
    // A device that reports nothing pending: the line's own time at 10 bits a byte counts, and
    // the write returns with the last 50 ms (48 bytes) still to go.
    std::uint64_t t0 = clock.microseconds();
    port.Write(bytes.data(), 96);
    EXPECT_EQ(clock.microseconds() - t0, 50000u);
    EXPECT_EQ(port.PendingOutput(), 48);
    clock.advance(50);
    EXPECT_EQ(port.PendingOutput(), 0);

    // A device that still holds bytes when the line should have sent them: its count counts,
    // and the write gives up waiting at its time-out, 10 ms a byte plus 3 s at 9600 baud.
    line->peer = [this](const std::uint8_t*, int) { line->outputQueue = 300; };
    t0 = clock.microseconds();
    port.Write(bytes.data(), 96);
    EXPECT_EQ(clock.microseconds() - t0, (96 * 10 + 3000) * 1000u);
    EXPECT_EQ(port.PendingOutput(), 300);
    EXPECT_FALSE(port.HasWriteFault());
}

TEST_F(SerialPortTest, AShortWriteSetsTheFaultAndStopsDraining) {
    ASSERT_TRUE(port.Open(1, "9600,N,8,1"));
    line->acceptLimit = 1500;
    std::vector<std::uint8_t> bytes(3000, 0x11);
    port.Write(bytes.data(), 3000);
    EXPECT_FALSE(port.HasWriteFault());
    clock.advance(10);
    EXPECT_TRUE(port.HasWriteFault());
    EXPECT_EQ(line->written.size(), 1500u);
    EXPECT_GT(port.PendingOutput(), 1500); // the short slice is still on its way
    clock.advance(1000);
    EXPECT_EQ(port.PendingOutput(), 1500); // nothing went twice
    EXPECT_EQ(line->writeSizes.size(), 2u);
    port.Close();
    EXPECT_FALSE(port.HasWriteFault());
    EXPECT_EQ(port.PendingOutput(), 0);
}

TEST_F(SerialPortTest, ClosedPortDropsWritesAndReadsNothing) {
    const std::uint8_t b[] = {1, 2};
    port.Write(b, 2);
    line->feed({7, 8});
    std::uint8_t in[4];
    EXPECT_EQ(port.Read(in, 4), 0);
    EXPECT_EQ(port.InputCount(), 0);
    EXPECT_TRUE(line->written.empty());
}

// A real pseudo-terminal: the termios device talks to its master side.
class PtyTest : public ::testing::Test {
protected:
    void SetUp() override {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        path = ptsname(master);
    }
    void TearDown() override {
        if (master >= 0) {
            close(master);
        }
    }

    int master = -1;
    std::string path;
    test::ManualScheduler clock;
};

TEST_F(PtyTest, MovesBytesBothWaysWithoutBlocking) {
    cmcComm port(clock, clock, std::make_unique<TermiosSerialDevice>());
    port.SetDeviceResolver([this](int) { return path; });
    ASSERT_TRUE(port.Open(1, "4800,N,8,1"));

    termios t{};
    const int slave = open(path.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    ASSERT_EQ(tcgetattr(slave, &t), 0);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B4800));
    EXPECT_EQ(t.c_lflag & ECHO, 0u);
    close(slave);

    std::uint8_t in[16];
    EXPECT_EQ(port.Read(in, 16), 0); // nothing there: returns at once
    const std::uint8_t out[] = {0xFE, 0xFE, 0x00, 0x0A, 0x0D, 0xFD};
    port.Write(out, 6);
    std::uint8_t got[16];
    usleep(20000);
    ASSERT_EQ(read(master, got, sizeof got), 6); // raw: no line-end translation
    EXPECT_EQ(std::memcmp(got, out, 6), 0);
    ASSERT_EQ(write(master, out, 6), 6);
    usleep(20000);
    EXPECT_EQ(port.InputCount(), 6);
    EXPECT_EQ(port.Read(in, 4), 4);
    EXPECT_EQ(port.Read(in + 4, 16), 2);
    EXPECT_EQ(std::memcmp(in, out, 6), 0);
}

TEST_F(PtyTest, RefusesADeviceThatIsNotThereOrAPlainFile) {
    cmcComm port(clock, clock, std::make_unique<TermiosSerialDevice>());
    const std::pair<const char*, SerialFailure> cases[] = {
        {"/nonexistent/tty", SerialFailure::Missing},
        {"/dev/null", SerialFailure::NotSerial},
        {"/", SerialFailure::NotSerial},
    };
    for (const auto& [device, failure] : cases) {
        port.SetFixedDevice(device);
        EXPECT_FALSE(port.Open(5, "9600,N,8,1")) << device;
        EXPECT_FALSE(port.IsOpen());
        EXPECT_EQ(serialFailureOf(port.OpenError()), failure) << device;
    }
}

TEST_F(PtyTest, OneProgramAPortEvenForRoot) {
    cmcComm first(clock, clock, std::make_unique<TermiosSerialDevice>());
    cmcComm second(clock, clock, std::make_unique<TermiosSerialDevice>());
    first.SetFixedDevice(path);
    second.SetFixedDevice(path);
    ASSERT_TRUE(first.Open(1, "9600,N,8,1"));
    EXPECT_FALSE(second.Open(1, "9600,N,8,1"));
    EXPECT_EQ(serialFailureOf(second.OpenError()), SerialFailure::Busy);
    // The refused opener left the holder's claim alone: a third is refused as well.
    EXPECT_FALSE(second.Open(1, "9600,N,8,1"));
    EXPECT_EQ(serialFailureOf(second.OpenError()), SerialFailure::Busy);
    first.Close();
    EXPECT_TRUE(second.Open(1, "9600,N,8,1"));
}

TEST_F(PtyTest, AFarEndThatGoesAwayMarksThePortLost) {
    cmcComm port(clock, clock, std::make_unique<TermiosSerialDevice>());
    port.SetFixedDevice(path);
    ASSERT_TRUE(port.Open(1, "9600,N,8,1"));
    std::uint8_t in[4];
    EXPECT_EQ(port.Read(in, 4), 0);
    EXPECT_FALSE(port.Lost());
    close(master);
    master = -1;
    EXPECT_EQ(port.Read(in, 4), 0);
    EXPECT_TRUE(port.Lost());
    EXPECT_EQ(serialFailureOf(port.LostError()), SerialFailure::Lost);
    port.Close();
}

} // namespace
} // namespace qx
