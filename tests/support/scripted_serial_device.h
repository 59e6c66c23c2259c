#pragma once

#include "link/serial_device.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace qx::test {

// A serial device driven by the test: it records what was opened, configured and written,
// hands out the bytes the test queued, and can refuse to open or fail a write mid-transfer.
// The state lives in a shared Line so the test keeps it after the device is handed over.
class ScriptedSerialDevice : public SerialDevice {
public:
    struct Line {
        std::vector<std::string> opened;
        std::vector<LineSettings> configured;
        std::vector<std::uint8_t> written;
        std::deque<std::uint8_t> input;
        std::vector<int> writeSizes;
        bool isOpen = false;
        int closes = 0;
        // Paths that refuse to open; empty path list and refuseAll false opens everything.
        std::vector<std::string> refused;
        bool refuseAll = false;
        bool refuseConfigure = false;
        // The system's reason for a refused open, and the group that owns the device.
        std::error_code openError;
        std::string group;
        // The device has gone (unplugged): every call fails with this reason.
        std::error_code hungUp;
        // Total bytes the device takes before every further write comes up short; -1 = no end.
        long acceptLimit = -1;
        // Bytes reported as still in the system's output queue.
        int outputQueue = 0;
        // The far end: called with every chunk handed to the system.
        std::function<void(const std::uint8_t*, int)> peer;

        void feed(const std::vector<std::uint8_t>& bytes) {
            input.insert(input.end(), bytes.begin(), bytes.end());
        }
    };

    explicit ScriptedSerialDevice(std::shared_ptr<Line> line) : m_line(std::move(line)) {}

    bool open(const std::string& path) override {
        m_line->opened.push_back(path);
        for (const auto& r : m_line->refused) {
            if (r == path) {
                return false;
            }
        }
        if (m_line->refuseAll) {
            return false;
        }
        m_line->hungUp.clear();
        m_line->isOpen = true;
        return true;
    }
    bool configure(const LineSettings& settings, int, int) override {
        m_line->configured.push_back(settings);
        return !m_line->refuseConfigure;
    }
    void close() override {
        if (m_line->isOpen) {
            ++m_line->closes;
        }
        m_line->isOpen = false;
    }
    bool isOpen() const override { return m_line->isOpen; }
    std::error_code openError() const override { return m_line->openError; }
    std::string openGroup() const override { return m_line->group; }
    std::error_code lineError() const override { return m_line->hungUp; }
    int read(std::uint8_t* buffer, int max) override {
        if (m_line->hungUp) {
            return -1;
        }
        int n = 0;
        while (n < max && !m_line->input.empty()) {
            buffer[n++] = m_line->input.front();
            m_line->input.pop_front();
        }
        return n;
    }
    int inputCount() override {
        return m_line->hungUp ? -1 : static_cast<int>(m_line->input.size());
    }
    int outputCount() override { return m_line->outputQueue; }
    int write(const std::uint8_t* bytes, int n, int) override {
        if (m_line->hungUp) {
            return -1;
        }
        m_line->writeSizes.push_back(n);
        int take = n;
        if (m_line->acceptLimit >= 0) {
            const long room = m_line->acceptLimit - static_cast<long>(m_line->written.size());
            take = static_cast<int>(room < 0 ? 0 : (room < n ? room : n));
        }
        m_line->written.insert(m_line->written.end(), bytes, bytes + take);
        if (m_line->peer && take > 0) {
            m_line->peer(bytes, take);
        }
        return take;
    }

private:
    std::shared_ptr<Line> m_line;
};

} // namespace qx::test
