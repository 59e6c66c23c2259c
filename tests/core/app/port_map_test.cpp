#include "app/initial_setup.h"
#include "app/port_map.h"

#include "fake_device_tree.h"
#include "memory_settings_store.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

const std::string kPorts = "Software\\Orsa\\QX-5130\\Ports";

class PortMapTest : public ::testing::Test {
protected:
    std::string stored(int n) {
        return store.readText(kPorts, "COM" + std::to_string(n)).value_or("");
    }

    test::MemorySettingsStore store;
    indPortMap map{&store};
};

TEST_F(PortMapTest, APortChosenByNameGetsANumberThatKeepsItsStableName) {
    const std::vector<SerialPortInfo> found = {
        {"/dev/ttyUSB0", "/dev/serial/by-id/usb-Prolific-if00-port0", "Prolific PL2303 (ttyUSB0)"},
        {"/dev/ttyACM0", "/dev/serial/by-id/usb-Orsa-if00", "Cloning Cable (ttyACM0)"},
        {"/dev/ttyUSB1", "", "ch341-uart (ttyUSB1)"},
    };
    struct Case {
        const char* path;
        int port;
        const char* kept; // under Ports/COM<port>; empty: nothing stored
    };
    const Case cases[] = {
        // ttyUSB0 is COM 33 by default, but it is kept by its stable name.
        {"/dev/ttyUSB0", 33, "/dev/serial/by-id/usb-Prolific-if00-port0"},
        // Either of its names finds the same number again.
        {"/dev/serial/by-id/usb-Prolific-if00-port0", 33,
         "/dev/serial/by-id/usb-Prolific-if00-port0"},
        // No default number means ttyACM0: the first free one above COM 4.
        {"/dev/ttyACM0", 5, "/dev/serial/by-id/usb-Orsa-if00"},
        // Its default number opens it as it is: nothing to store.
        {"/dev/ttyUSB1", 34, ""},
        {"/dev/ttyS1", 2, ""},
        // A path that is not among the found ports (a link trsim made) is kept as given.
        {"/tmp/trsim-link", 6, "/tmp/trsim-link"},
        {"/tmp/trsim-link", 6, "/tmp/trsim-link"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(map.assign(c.path, found), c.port) << c.path;
        EXPECT_EQ(stored(c.port), c.kept) << c.path;
        EXPECT_EQ(map.devicePath(c.port), *c.kept ? c.kept : c.path) << c.path;
    }
    // COM 1 to 4 keep their meaning.
    EXPECT_EQ(map.devicePath(1), "/dev/ttyS0");
}

TEST_F(PortMapTest, ACableInAnotherSocketIsFoundUnderItsOldNumber) {
    store.writeText(kPorts, "COM7", "/dev/serial/by-id/usb-Prolific-if00-port0");
    // Moved from ttyUSB0 to ttyUSB3: the stable name is the same.
    const std::vector<SerialPortInfo> found = {
        {"/dev/ttyUSB3", "/dev/serial/by-id/usb-Prolific-if00-port0", "Prolific (ttyUSB3)"}};
    EXPECT_EQ(map.assign("/dev/ttyUSB3", found), 7);
    EXPECT_EQ(stored(7), "/dev/serial/by-id/usb-Prolific-if00-port0");
}

TEST(PortText, TellsADevicePathFromANumber) {
    EXPECT_TRUE(indInitialSetup::isDevicePath(" /dev/ttyUSB0 "));
    EXPECT_TRUE(indInitialSetup::isDevicePath("./radio"));
    EXPECT_FALSE(indInitialSetup::isDevicePath(" 12 "));
    EXPECT_FALSE(indInitialSetup::isDevicePath("twelve"));
    EXPECT_EQ(indInitialSetup::trimmed("  /dev/ttyACM0\t"), "/dev/ttyACM0");
}

} // namespace
} // namespace qx
