#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace qx::test {

// A /dev and /sys tree as Linux lays it out for serial ports, under a folder of the test's.
class FakeDeviceTree {
public:
    explicit FakeDeviceTree(std::filesystem::path root) : m_root(std::move(root)) {
        std::filesystem::create_directories(m_root / "dev");
        std::filesystem::create_directories(m_root / "sys/class/tty");
    }

    const std::filesystem::path& root() const { return m_root; }
    std::string dev(const std::string& name) const { return (m_root / "dev" / name).string(); }
    std::string byId(const std::string& name) const {
        return (m_root / "dev/serial/by-id" / name).string();
    }

    // A USB serial adapter (usb-serial: the tty hangs two levels below the USB device). The
    // node is an empty file, or a link to `node` (a pseudo-terminal standing in for it).
    void addUsb(const std::string& name, const std::string& manufacturer,
                const std::string& product, const std::string& serial, const std::string& driver,
                const std::string& stableName, const std::string& node = {}) {
        const auto usb = m_root / "sys/devices/pci0000:00/usb1" / ("1-" + name);
        const auto port = usb / (name + "-if") / name;
        addTty(name, port, usb, manufacturer, product, serial, driver, stableName, node);
    }

    // A CDC ACM modem: the tty's device is the USB interface itself.
    void addAcm(const std::string& name, const std::string& manufacturer,
                const std::string& product, const std::string& stableName) {
        const auto usb = m_root / "sys/devices/pci0000:00/usb2" / ("2-" + name);
        addTty(name, usb / (name + "-if"), usb, manufacturer, product, "", "cdc_acm", stableName,
               {});
    }

    // A legacy port; type 0 is what the kernel reports where no UART answered.
    void addLegacy(const std::string& name, int uartType) {
        const auto device = m_root / "sys/devices/platform/serial8250";
        const auto tty = device / "tty" / name;
        std::filesystem::create_directories(tty);
        write(tty / "type", std::to_string(uartType) + "\n");
        link(device, tty / "device");
        link(m_root / "sys/bus/platform/drivers/serial8250", device / "driver");
        link(tty, m_root / "sys/class/tty" / name);
        write(m_root / "dev" / name, "");
    }

    // A by-id link whose adapter has gone.
    void addDanglingById(const std::string& stableName, const std::string& name) {
        std::filesystem::create_directories(m_root / "dev/serial/by-id");
        std::filesystem::create_symlink("../../" + name, byId(stableName));
    }

    // Something in /dev that is no serial port.
    void addOther(const std::string& name) { write(m_root / "dev" / name, ""); }

private:
    static void write(const std::filesystem::path& file, const std::string& text) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << text;
    }
    static void link(const std::filesystem::path& target, const std::filesystem::path& at) {
        std::filesystem::create_directories(at.parent_path());
        std::filesystem::create_directories(target);
        if (!std::filesystem::is_symlink(at)) {
            std::filesystem::create_symlink(target, at);
        }
    }

    void addTty(const std::string& name, const std::filesystem::path& device,
                const std::filesystem::path& usb, const std::string& manufacturer,
                const std::string& product, const std::string& serial, const std::string& driver,
                const std::string& stableName, const std::string& node) {
        std::filesystem::create_directories(device);
        if (!manufacturer.empty()) {
            write(usb / "manufacturer", manufacturer + "\n");
        }
        if (!product.empty()) {
            write(usb / "product", product + "\n");
        }
        if (!serial.empty()) {
            write(usb / "serial", serial + "\n");
        }
        link(m_root / "sys/bus/usb/drivers" / driver, device / "driver");
        const auto tty = device / "tty" / name;
        std::filesystem::create_directories(tty);
        link(device, tty / "device");
        link(tty, m_root / "sys/class/tty" / name);
        if (node.empty()) {
            write(m_root / "dev" / name, "");
        } else {
            std::filesystem::create_symlink(node, m_root / "dev" / name);
        }
        if (!stableName.empty()) {
            std::filesystem::create_directories(m_root / "dev/serial/by-id");
            std::filesystem::create_symlink("../../" + name, byId(stableName));
        }
    }

    std::filesystem::path m_root;
};

} // namespace qx::test
