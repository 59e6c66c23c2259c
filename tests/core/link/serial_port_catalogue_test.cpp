#include "link/serial_port_catalogue.h"

#include "fake_device_tree.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

class CatalogueTest : public ::testing::Test {
protected:
    test::TempFolder folder;
    test::FakeDeviceTree tree{folder.path()};
    LinuxSerialPortCatalogue catalogue{folder.path()};
};

TEST_F(CatalogueTest, FindsAdaptersByTheirStableNamesAndDescribesThem) {
    tree.addUsb("ttyUSB0", "Prolific Technology Inc.", "USB-Serial Controller", "", "pl2303",
                "usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0");
    tree.addUsb("ttyUSB1", "FTDI", "FT232R USB UART", "A1B2C3", "ftdi_sio",
                "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0");
    tree.addAcm("ttyACM0", "", "Cloning Cable", "usb-Orsa_Cloning_Cable-if00");
    tree.addUsb("ttyUSB10", "", "", "", "ch341-uart", "");
    tree.addOther("ttyUSBx");
    tree.addOther("null");

    const auto ports = catalogue.ports();
    struct Want {
        const char* device;
        const char* stable;
        const char* description;
    };
    const Want want[] = {
        {"ttyUSB0", "usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0",
         "Prolific Technology Inc. USB-Serial Controller (ttyUSB0)"},
        {"ttyUSB1", "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0",
         "FTDI FT232R USB UART A1B2C3 (ttyUSB1)"},
        {"ttyUSB10", "", "ch341-uart (ttyUSB10)"}, // numbers in order, not as text
        {"ttyACM0", "usb-Orsa_Cloning_Cable-if00", "Cloning Cable (ttyACM0)"},
    };
    ASSERT_EQ(ports.size(), std::size(want));
    for (std::size_t i = 0; i < ports.size(); ++i) {
        EXPECT_EQ(ports[i].device, tree.dev(want[i].device)) << i;
        EXPECT_EQ(ports[i].stableName, *want[i].stable ? tree.byId(want[i].stable) : "") << i;
        EXPECT_EQ(ports[i].description, want[i].description) << i;
        // What is remembered is the stable name where there is one.
        EXPECT_EQ(ports[i].path(), *want[i].stable ? ports[i].stableName : ports[i].device);
    }
}

TEST_F(CatalogueTest, OffersLegacyPortsOnlyWhereAUartAnswered) {
    tree.addLegacy("ttyS0", 4); // a 16550A
    tree.addLegacy("ttyS1", 0);
    tree.addLegacy("ttyS2", 0);
    tree.addOther("ttyS3"); // no sysfs entry at all
    tree.addUsb("ttyUSB0", "Prolific", "PL2303", "", "pl2303", "");

    const auto ports = catalogue.ports();
    ASSERT_EQ(ports.size(), 2u);
    // Adapters first: that is where a cloning cable is.
    EXPECT_EQ(ports[0].device, tree.dev("ttyUSB0"));
    EXPECT_EQ(ports[1].device, tree.dev("ttyS0"));
    EXPECT_EQ(ports[1].description, "serial8250 (ttyS0)");
    EXPECT_EQ(ports[1].stableName, "");
}

TEST_F(CatalogueTest, NoPortsAndDanglingLinksGiveNothing) {
    EXPECT_TRUE(catalogue.ports().empty());
    tree.addDanglingById("usb-Gone_Cable-if00-port0", "ttyUSB3");
    tree.addLegacy("ttyS0", 0);
    EXPECT_TRUE(catalogue.ports().empty());

    // A node whose by-id link dangles toward another node keeps no stable name from it.
    tree.addUsb("ttyUSB0", "Prolific", "PL2303", "", "pl2303", "");
    const auto ports = catalogue.ports();
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].stableName, "");

    // A root that is not there at all.
    EXPECT_TRUE(LinuxSerialPortCatalogue(folder.path() / "missing").ports().empty());
}

TEST_F(CatalogueTest, APathFindsItsPortByEitherNameOrThroughALink) {
    tree.addUsb("ttyUSB0", "Prolific", "PL2303", "", "pl2303", "usb-Prolific-if00-port0");
    tree.addUsb("ttyUSB1", "FTDI", "FT232R", "", "ftdi_sio", "usb-FTDI-if00-port0");
    const auto ports = catalogue.ports();
    ASSERT_EQ(ports.size(), 2u);
    std::filesystem::create_symlink(tree.dev("ttyUSB1"), folder.path() / "radio");

    EXPECT_EQ(findSerialPort(ports, tree.dev("ttyUSB0")), &ports[0]);
    EXPECT_EQ(findSerialPort(ports, tree.byId("usb-FTDI-if00-port0")), &ports[1]);
    EXPECT_EQ(findSerialPort(ports, folder.file("radio")), &ports[1]);
    EXPECT_EQ(findSerialPort(ports, folder.file("nothing")), nullptr);
    EXPECT_EQ(findSerialPort(ports, "/dev/null"), nullptr);
}

} // namespace
} // namespace qx
