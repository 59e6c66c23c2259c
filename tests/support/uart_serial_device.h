#pragma once

#include "base/scheduler.h"
#include "link/serial_device.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace qx::test {

// A serial port as a UART driver presents it, on the test clock. A write returns at once into a
// kernel queue of 4096 bytes; the queue goes onto the wire at the line speed and what is left of
// it is the pending output. Bytes from the far end arrive at the line speed as well, into an input
// queue of 4096 bytes that loses what does not fit. Opening at a new speed purges both queues.
class UartSerialDevice : public SerialDevice {
public:
    static constexpr std::size_t kQueueSize = 4096;

    struct Line {
        explicit Line(Clock& c) : clock(c) {}

        Clock& clock;
        bool isOpen = false;
        int baud = 9600;
        // The far end: every byte as it leaves the wire, with the speed it was sent at.
        std::function<void(std::uint8_t b, int baud)> farEnd;
        long lostInput = 0;
        // Time the bytes of both directions spent on the wire.
        double wireMicros = 0;

        // The far end sends: the bytes follow whatever it is still sending.
        void send(const std::vector<std::uint8_t>& bytes) {
            double at = std::max(m_inFreeAt, now());
            for (const std::uint8_t b : bytes) {
                at += byteMicros();
                m_inWire.push_back({b, at});
            }
            m_inFreeAt = at;
        }

        // Brings the wire up to the clock: bytes sent arrive at the far end, bytes received
        // land in the input queue.
        void settle() {
            const double t = now();
            while (!m_out.empty() && m_out.front().at <= t) {
                const Timed sent = m_out.front();
                m_out.pop_front();
                wireMicros += 10e6 / sent.baud;
                if (farEnd) {
                    farEnd(sent.b, sent.baud);
                }
            }
            while (!m_inWire.empty() && m_inWire.front().at <= t) {
                wireMicros += byteMicros();
                if (m_input.size() < kQueueSize) {
                    m_input.push_back(m_inWire.front().b);
                } else {
                    ++lostInput;
                }
                m_inWire.pop_front();
            }
        }

    private:
        friend class UartSerialDevice;
        struct Timed {
            std::uint8_t b;
            double at; // microseconds: when the byte has left the wire
            int baud = 0;
        };

        double now() const { return static_cast<double>(clock.microseconds()); }
        double byteMicros() const { return 10e6 / baud; }

        std::deque<Timed> m_out; // the kernel's output queue
        double m_outFreeAt = 0;
        std::deque<Timed> m_inWire;
        double m_inFreeAt = 0;
        std::deque<std::uint8_t> m_input;
    };

    explicit UartSerialDevice(std::shared_ptr<Line> line) : m_line(std::move(line)) {}

    bool open(const std::string&) override {
        m_line->isOpen = true;
        return true;
    }
    bool configure(const LineSettings& settings, int, int) override {
        m_line->settle();
        m_line->baud = settings.baud;
        m_line->m_out.clear();
        m_line->m_outFreeAt = 0;
        m_line->m_input.clear();
        return true;
    }
    void close() override {
        m_line->isOpen = false;
        m_line->m_out.clear();
        m_line->m_outFreeAt = 0;
    }
    bool isOpen() const override { return m_line->isOpen; }

    int read(std::uint8_t* buffer, int max) override {
        m_line->settle();
        int n = 0;
        for (; n < max && !m_line->m_input.empty(); ++n) {
            buffer[n] = m_line->m_input.front();
            m_line->m_input.pop_front();
        }
        return n;
    }
    int inputCount() override {
        m_line->settle();
        return static_cast<int>(m_line->m_input.size());
    }
    int outputCount() override {
        m_line->settle();
        return static_cast<int>(m_line->m_out.size());
    }
    // Takes what fits at once; for the rest it waits for room, as a write with a time-out does.
    int write(const std::uint8_t* bytes, int n, int timeoutMs) override {
        Line& l = *m_line;
        if (!l.isOpen) {
            return -1;
        }
        const double deadline = l.now() + timeoutMs * 1000.0;
        int done = 0;
        for (;;) {
            l.settle();
            for (; done < n && l.m_out.size() < kQueueSize; ++done) {
                l.m_outFreeAt = std::max(l.m_outFreeAt, l.now()) + l.byteMicros();
                l.m_out.push_back({bytes[done], l.m_outFreeAt, l.baud});
            }
            if (done == n || l.now() >= deadline) {
                return done;
            }
            const double wait = std::min(l.m_out.front().at, deadline) - l.now();
            l.clock.pause(static_cast<std::uint64_t>(std::max(1.0, wait)));
        }
    }

private:
    std::shared_ptr<Line> m_line;
};

} // namespace qx::test
