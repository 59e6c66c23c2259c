#include "app/port_map.h"

#include "app/environ.h"
#include "base/settings_store.h"
#include "link/serial_device.h"

namespace qx {

std::string indPortMap::key() {
    return std::string(indEnviron::kRegistryRoot) + "\\Ports";
}

std::string indPortMap::mapped(int port) const {
    if (m_store == nullptr) {
        return {};
    }
    return m_store->readText(key(), "COM" + std::to_string(port)).value_or(std::string());
}

std::string indPortMap::devicePath(int port) const {
    const std::string path = mapped(port);
    return path.empty() ? defaultSerialDevicePath(port) : path;
}

int indPortMap::assign(const std::string& path, const std::vector<SerialPortInfo>& found) {
    const SerialPortInfo* port = findSerialPort(found, path);
    // Remember the stable name of a found port, whichever of its names was picked.
    const std::string remembered = port != nullptr ? port->path() : path;
    const std::string node = port != nullptr ? port->device : path;
    for (int n = 1; n <= 256; ++n) {
        const std::string m = mapped(n);
        if (m == remembered ||
            (!m.empty() && port != nullptr && findSerialPort(found, m) == port)) {
            if (m != remembered && m_store != nullptr) {
                m_store->writeText(key(), "COM" + std::to_string(n), remembered);
            }
            return n;
        }
    }
    auto take = [&](int n) {
        if (m_store != nullptr && remembered != defaultSerialDevicePath(n)) {
            m_store->writeText(key(), "COM" + std::to_string(n), remembered);
        }
        return n;
    };
    // The number whose default device this is (/dev/ttyUSB0 is COM 33), when it is free.
    for (int n = 1; n <= 256; ++n) {
        if (defaultSerialDevicePath(n) == node && mapped(n).empty()) {
            return take(n);
        }
    }
    // Otherwise the first free number that means no other found port.
    for (int n = kFirstFree; n <= 256; ++n) {
        if (!mapped(n).empty()) {
            continue;
        }
        bool other = false;
        for (const auto& f : found) {
            other = other || f.device == defaultSerialDevicePath(n);
        }
        if (!other && m_store != nullptr) {
            return take(n);
        }
    }
    return 0;
}

} // namespace qx
