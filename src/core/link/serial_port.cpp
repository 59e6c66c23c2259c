#include "link/serial_port.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace qx {

namespace {

bool isShiftJisLead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

std::vector<std::string> splitFields(const std::string& text) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (isShiftJisLead(c) && i + 1 < text.size()) {
            // A double-byte character: its second byte never splits, even when it is a comma.
            fields.back() += text.substr(i, 2);
            ++i;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += text[i];
        }
    }
    return fields;
}

int leadingNumber(const std::string& field) {
    return static_cast<int>(std::strtol(field.c_str(), nullptr, 10));
}

} // namespace

LineSettings parseLineSettings(const std::string& text) {
    const std::vector<std::string> f = splitFields(text);
    LineSettings s;
    s.baud = leadingNumber(f[0]);
    const char parity = f.size() > 1 && !f[1].empty() ? f[1][0] : '\0';
    s.parityCheck = parity == 'M' || parity == 'm' || parity == 'O' || parity == 'o';
    s.byteSize = std::clamp(f.size() > 2 ? leadingNumber(f[2]) : 0, 4, 8);
    s.stopBits = StopBits::One;
    if (f.size() > 3) {
        if (f[3] == "1.5") {
            s.stopBits = StopBits::OneAndHalf;
        } else if (f[3] == "2") {
            s.stopBits = StopBits::Two;
        }
    }
    return s;
}

cmcComm::cmcComm(Scheduler& scheduler, Clock& clock, std::unique_ptr<SerialDevice> device)
    : m_device(std::move(device)), m_clock(clock), m_drainTask(scheduler) {
    m_drainTask->setCallback([this](cmcTask&) { drain(); });
}

cmcComm::~cmcComm() {
    Close();
}

std::string cmcComm::DevicePath(int portNumber) const {
    if (m_resolver) {
        return m_resolver(portNumber);
    }
    return defaultSerialDevicePath(portNumber);
}

void cmcComm::SetFixedDevice(const std::string& path) {
    m_resolver = [path](int) { return path; };
    m_fixedDevice = true;
}

int cmcComm::noteFailure(int result) {
    if (result < 0) {
        m_lost = true;
    }
    return result;
}

bool cmcComm::Open(int portNumber, const std::string& settings) {
    m_portNumber = portNumber;
    m_writeFault = false;
    m_lost = false;
    m_lineFreeAt = 0;
    m_settings = parseLineSettings(settings);
    if (!m_device->open(DevicePath(portNumber))) {
        return false;
    }
    if (!m_device->configure(m_settings, kInputQueueSize, kOutputQueueSize)) {
        m_device->close();
        return false;
    }
    return true;
}

void cmcComm::Close() {
    m_drainTask->schedule(-1);
    m_device->close();
    m_output.SetSize(0);
    m_output.Compact();
    m_writeFault = false;
    m_lost = false;
    m_lineFreeAt = 0;
}

void cmcComm::Write(const std::uint8_t* bytes, int n) {
    if (!IsOpen() || n <= 0) {
        return;
    }
    m_drainTask->schedule(-1);
    m_output.Append(bytes, n);
    drain();
}

int cmcComm::Read(std::uint8_t* buffer, int max) {
    if (!IsOpen() || max <= 0) {
        return 0;
    }
    const int waiting = InputCount();
    const int n = std::min(max, waiting);
    if (n <= 0) {
        return 0;
    }
    return std::max(0, noteFailure(m_device->read(buffer, n)));
}

int cmcComm::InputCount() {
    return IsOpen() ? std::max(0, noteFailure(m_device->inputCount())) : 0;
}

int cmcComm::OutputQueueCount() {
    return IsOpen() ? std::max(0, noteFailure(m_device->outputCount())) : 0;
}

void cmcComm::drain() {
    if (!IsOpen()) {
        m_drainTask->schedule(-1);
        return;
    }
    const int n = std::min(kOutputQueueSize, m_output.Size());
    if (n <= 0) {
        m_drainTask->schedule(-1);
        return;
    }
    if (lineMicrosLeft() > kLeadMicros) {
        m_drainTask->schedule(kDrainIntervalMs);
        return;
    }
    // The system may take as long as the bytes need on the wire, plus a margin.
    const int baud = std::max(1, m_settings.baud);
    const int timeoutMs = (100000 / baud) * n + 3000;
    const std::uint64_t start = m_clock.microseconds();
    const int written = noteFailure(m_device->write(m_output.Data(), n, timeoutMs));
    noteHandedOver(written, start);
    if (written < n) {
        // What did go out must not be sent twice; the rest stays buffered.
        m_output.RemoveFront(std::max(0, written));
        m_writeFault = true;
        m_drainTask->schedule(-1);
        return;
    }
    awaitWire(start + static_cast<std::uint64_t>(timeoutMs) * 1000);
    if (n < m_output.Size()) {
        m_output.RemoveFront(n);
        m_drainTask->schedule(kDrainIntervalMs);
        return;
    }
    m_output.SetSize(0);
    m_output.Compact();
    m_drainTask->schedule(-1);
}

std::uint64_t cmcComm::byteMicros(std::uint64_t n) const {
    // 10 bits a byte: start bit, 8 data bits, stop bit.
    return n * 10000000 / static_cast<std::uint64_t>(std::max(1, m_settings.baud));
}

void cmcComm::noteHandedOver(int n, std::uint64_t at) {
    if (n > 0) {
        m_lineFreeAt = std::max(m_lineFreeAt, at) + byteMicros(static_cast<std::uint64_t>(n));
    }
}

int cmcComm::LineBacklog() const {
    if (!IsOpen()) {
        return 0;
    }
    const std::uint64_t now = m_clock.microseconds();
    if (m_lineFreeAt <= now) {
        return 0;
    }
    const auto baud = static_cast<std::uint64_t>(std::max(1, m_settings.baud));
    return static_cast<int>(((m_lineFreeAt - now) * baud + 9999999) / 10000000);
}

std::uint64_t cmcComm::lineMicrosLeft() {
    const std::uint64_t now = m_clock.microseconds();
    const std::uint64_t timed = m_lineFreeAt > now ? m_lineFreeAt - now : 0;
    const int held = OutputQueueCount();
    return std::max(timed, byteMicros(static_cast<std::uint64_t>(std::max(0, held))));
}

void cmcComm::awaitWire(std::uint64_t deadline) {
    for (;;) {
        const std::uint64_t left = lineMicrosLeft();
        const std::uint64_t now = m_clock.microseconds();
        if (left <= kLeadMicros || now >= deadline) {
            return;
        }
        m_clock.pause(std::min(left - kLeadMicros, deadline - now));
    }
}

} // namespace qx
