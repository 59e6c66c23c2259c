#pragma once

#include "link/serial_device.h"

namespace qx {

// The serial device over POSIX termios. Works on serial ports and on pseudo-terminals; RTS
// and DTR requests that a device refuses as unsupported are ignored.
class TermiosSerialDevice : public SerialDevice {
public:
    TermiosSerialDevice() = default;
    ~TermiosSerialDevice() override;
    TermiosSerialDevice(const TermiosSerialDevice&) = delete;
    TermiosSerialDevice& operator=(const TermiosSerialDevice&) = delete;

    bool open(const std::string& path) override;
    std::error_code openError() const override { return m_openError; }
    std::string openGroup() const override { return m_openGroup; }
    std::error_code lineError() const override { return m_lineError; }
    bool configure(const LineSettings& settings, int inputQueue, int outputQueue) override;
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }
    int read(std::uint8_t* buffer, int max) override;
    int inputCount() override;
    int outputCount() override;
    int write(const std::uint8_t* bytes, int n, int timeoutMs) override;

private:
    int failLine();

    int m_fd = -1;
    bool m_exclusive = false;
    std::error_code m_openError;
    std::string m_openGroup;
    std::error_code m_lineError;
};

} // namespace qx
