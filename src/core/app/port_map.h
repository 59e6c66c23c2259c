#pragma once

#include "link/serial_port_catalogue.h"

#include <string>
#include <vector>

namespace qx {

class SettingsStore;

// The editor's map from COM numbers to devices: "Ports", value COM<n>, a device path; a number
// without one opens its default device. A port chosen by its name gets a number, and the map
// keeps its stable name, so that a cable moved to another USB socket is still found.
class indPortMap {
public:
    static constexpr int kFirstFree = 5; // COM 1 to 4 keep their legacy meaning

    explicit indPortMap(SettingsStore* store) : m_store(store) {}

    // The path stored for the number; empty when none is.
    std::string mapped(int port) const;
    // The device the number opens.
    std::string devicePath(int port) const;
    // The number that opens path from now on, storing the path where its number's default is
    // another device; 0 when every number is taken.
    int assign(const std::string& path, const std::vector<SerialPortInfo>& found);

private:
    static std::string key();

    SettingsStore* m_store;
};

} // namespace qx
