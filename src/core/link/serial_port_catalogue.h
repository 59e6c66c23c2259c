#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace qx {

// One serial port that the system offers.
struct SerialPortInfo {
    std::string device;      // the device node, e.g. /dev/ttyUSB0
    std::string stableName;  // a name that survives reboots and other USB sockets; may be empty
    std::string description; // what the system says it is, e.g. "Prolific PL2303 (ttyUSB0)"

    // What to remember: the stable name where there is one.
    const std::string& path() const { return stableName.empty() ? device : stableName; }
};

// The serial ports of this system, found afresh on every call.
class SerialPortCatalogue {
public:
    virtual ~SerialPortCatalogue() = default;
    virtual std::vector<SerialPortInfo> ports() const = 0;
};

// Linux: USB and ACM adapters, and legacy ttyS ports that have a UART behind them, with their
// /dev/serial/by-id names. Reads root/dev and root/sys, so that tests can hand it a fake tree.
class LinuxSerialPortCatalogue : public SerialPortCatalogue {
public:
    explicit LinuxSerialPortCatalogue(std::filesystem::path root = "/") : m_root(std::move(root)) {}
    std::vector<SerialPortInfo> ports() const override;

private:
    std::filesystem::path m_root;
};

// macOS: the call-out devices root/dev/cu.*.
class DarwinSerialPortCatalogue : public SerialPortCatalogue {
public:
    explicit DarwinSerialPortCatalogue(std::filesystem::path root = "/")
        : m_root(std::move(root)) {}
    std::vector<SerialPortInfo> ports() const override;

private:
    std::filesystem::path m_root;
};

// The catalogue of this operating system.
std::unique_ptr<SerialPortCatalogue> createSystemSerialPortCatalogue();

// The found port that a path means: its device node or stable name, or a link to either.
const SerialPortInfo* findSerialPort(const std::vector<SerialPortInfo>& ports,
                                     const std::string& path);

} // namespace qx
