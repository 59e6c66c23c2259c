#include "link/serial_port_catalogue.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <system_error>

namespace qx {

namespace fs = std::filesystem;

namespace {

enum class TtyKind { None, Usb, Acm, Legacy };

// "ttyUSB12" -> Usb with number 12; anything else that is not a serial node -> None.
TtyKind ttyKind(const std::string& name, long& number) {
    static const std::pair<const char*, TtyKind> kPrefixes[] = {
        {"ttyUSB", TtyKind::Usb}, {"ttyACM", TtyKind::Acm}, {"ttyS", TtyKind::Legacy}};
    for (const auto& [prefix, kind] : kPrefixes) {
        const std::string p = prefix;
        if (name.size() > p.size() && name.compare(0, p.size(), p) == 0 &&
            std::all_of(name.begin() + static_cast<long>(p.size()), name.end(),
                        [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
            number = std::stol(name.substr(p.size()));
            return kind;
        }
    }
    return TtyKind::None;
}

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line)) {
        return {};
    }
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())) != 0) {
        line.pop_back();
    }
    return line;
}

// The serial_core "type" of a legacy port: 0 (PORT_UNKNOWN) when no UART answered there.
bool hasUart(const fs::path& sysTty) {
    const std::string type = firstLine(sysTty / "type");
    return !type.empty() && type != "0";
}

// Manufacturer, product and serial number of the USB device above a tty, and its driver.
std::string describe(const fs::path& sysTty, const std::string& name) {
    std::error_code ec;
    const fs::path device = fs::canonical(sysTty / "device", ec);
    std::string text;
    std::string driver;
    if (!ec) {
        // Newer kernels put generic "port" and "ctrl" devices of serial-base between a legacy
        // port and the driver that found it.
        for (fs::path at = device; driver.empty() && at.has_relative_path();
             at = at.parent_path()) {
            std::error_code none;
            const std::string found = fs::read_symlink(at / "driver", none).filename().string();
            if (!found.empty() && found != "port" && found != "ctrl") {
                driver = found;
            }
            if (at.parent_path() == at || at == device.parent_path().parent_path().parent_path()) {
                break;
            }
        }
        fs::path at = device;
        // The USB device sits one (ACM) or two (usb-serial) levels above the tty's device.
        for (int up = 0; up < 4 && !at.empty() && at != at.root_path(); ++up) {
            const std::string manufacturer = firstLine(at / "manufacturer");
            const std::string product = firstLine(at / "product");
            if (!manufacturer.empty() || !product.empty()) {
                text = manufacturer;
                if (!product.empty()) {
                    text += (text.empty() ? "" : " ") + product;
                }
                const std::string serial = firstLine(at / "serial");
                if (!serial.empty()) {
                    text += " " + serial;
                }
                break;
            }
            at = at.parent_path();
        }
    }
    if (text.empty()) {
        text = driver;
    }
    return text.empty() ? name : text + " (" + name + ")";
}

int kindRank(TtyKind kind) {
    return kind == TtyKind::Legacy ? 1 : 0;
}

} // namespace

std::vector<SerialPortInfo> LinuxSerialPortCatalogue::ports() const {
    const fs::path dev = m_root / "dev";
    const fs::path sysClass = m_root / "sys" / "class" / "tty";
    std::error_code ec;

    // Stable names by the node they lead to; a dangling link leads nowhere.
    std::map<std::string, std::string> stable;
    const fs::path byId = dev / "serial" / "by-id";
    for (fs::directory_iterator it(byId, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(it->path(), linkError);
        if (linkError || !fs::exists(it->path(), linkError)) {
            continue;
        }
        const fs::path node = (byId / target).lexically_normal();
        auto& name = stable[node.filename().string()];
        // Several links to one node: keep the first by name, the same on every run.
        if (name.empty() || it->path().string() < name) {
            name = it->path().string();
        }
    }

    struct Found {
        TtyKind kind;
        long number;
        SerialPortInfo info;
    };
    std::vector<Found> found;
    for (fs::directory_iterator it(dev, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        long number = 0;
        const TtyKind kind = ttyKind(name, number);
        if (kind == TtyKind::None) {
            continue;
        }
        const fs::path sysTty = sysClass / name;
        if (kind == TtyKind::Legacy && !hasUart(sysTty)) {
            continue;
        }
        SerialPortInfo info;
        info.device = (dev / name).string();
        if (const auto s = stable.find(name); s != stable.end()) {
            info.stableName = s->second;
        }
        info.description = describe(sysTty, name);
        found.push_back({kind, number, std::move(info)});
    }
    // Adapters first, then legacy ports; each in number order.
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (kindRank(a.kind) != kindRank(b.kind)) {
            return kindRank(a.kind) < kindRank(b.kind);
        }
        if (a.kind != b.kind) {
            return a.kind < b.kind;
        }
        return a.number < b.number;
    });
    std::vector<SerialPortInfo> out;
    out.reserve(found.size());
    for (auto& f : found) {
        out.push_back(std::move(f.info));
    }
    return out;
}

std::vector<SerialPortInfo> DarwinSerialPortCatalogue::ports() const {
    const fs::path dev = m_root / "dev";
    std::vector<SerialPortInfo> out;
    std::error_code ec;
    for (fs::directory_iterator it(dev, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > 3 && name.compare(0, 3, "cu.") == 0) {
            out.push_back({it->path().string(), {}, name.substr(3)});
        }
    }
    std::sort(out.begin(), out.end(),
              [](const SerialPortInfo& a, const SerialPortInfo& b) { return a.device < b.device; });
    return out;
}

std::unique_ptr<SerialPortCatalogue> createSystemSerialPortCatalogue() {
#if defined(__APPLE__)
    return std::make_unique<DarwinSerialPortCatalogue>();
#else
    return std::make_unique<LinuxSerialPortCatalogue>();
#endif
}

const SerialPortInfo* findSerialPort(const std::vector<SerialPortInfo>& ports,
                                     const std::string& path) {
    std::error_code ec;
    const fs::path wanted = fs::canonical(path, ec);
    for (const auto& p : ports) {
        if (p.device == path || p.stableName == path) {
            return &p;
        }
    }
    if (ec) {
        return nullptr;
    }
    for (const auto& p : ports) {
        std::error_code e;
        if (fs::canonical(p.device, e) == wanted && !e) {
            return &p;
        }
    }
    return nullptr;
}

} // namespace qx
