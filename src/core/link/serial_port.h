#pragma once

#include "base/task.h"
#include "link/byte_buffer.h"
#include "link/serial_device.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace qx {

// Reads a line-settings string such as "9600,N,8,1": baud, parity letter, byte size, stop bits.
LineSettings parseLineSettings(const std::string& text);

// One serial port. Reads never wait; writes are queued and handed to the system in slices by a
// drain task. A slice counts as sent once it is on the wire, but for the last few milliseconds
// that keep the line busy while the thread wakes, or once its write time-out has passed: a write
// returns when its first slice has gone out, whatever the device reports, and the clone engine
// paces itself on that. A UART's driver tells how much it still holds; pseudo-terminals and some
// USB adapters tell less, so the port also times the line itself at 10 bits a byte.
class cmcComm {
public:
    static constexpr int kInputQueueSize = 32000;
    static constexpr int kOutputQueueSize = 1024; // also the largest slice of one write
    static constexpr int kDrainIntervalMs = 10;
    // Line time left to go when a slice counts as sent: the next slice is queued behind it before
    // the line falls idle, even when the thread wakes late on a busy machine. At 38400 baud it is
    // under the four frames' worth of pending output that the clone engine sends on.
    static constexpr std::uint64_t kLeadMicros = 50000;

    // Maps a port number to the device to open (the saved port map, or a path given by the
    // user).
    using DeviceResolver = std::function<std::string(int portNumber)>;

    cmcComm(Scheduler& scheduler, Clock& clock, std::unique_ptr<SerialDevice> device);
    ~cmcComm();
    cmcComm(const cmcComm&) = delete;
    cmcComm& operator=(const cmcComm&) = delete;

    void SetDeviceResolver(DeviceResolver resolver) { m_resolver = std::move(resolver); }
    // Every port number opens this device: a path the user gave instead of a number.
    void SetFixedDevice(const std::string& path);
    bool DeviceFixed() const { return m_fixedDevice; }

    // Callers close first; a failed open leaves the port closed.
    bool Open(int portNumber, const std::string& settings);
    void Close();
    bool IsOpen() const { return m_device->isOpen(); }
    // The system's reason why the last Open failed, where it gave one.
    std::error_code OpenError() const { return m_device->openError(); }
    // The group owning the device when the open was refused for lack of permission.
    std::string OpenGroup() const { return m_device->openGroup(); }
    // The open device failed (unplugged, hung up): nothing more will pass.
    bool Lost() const { return m_lost; }
    std::error_code LostError() const { return m_device->lineError(); }

    // Dropped silently while the port is closed.
    void Write(const std::uint8_t* bytes, int n);
    int Read(std::uint8_t* buffer, int max);
    int InputCount();
    int OutputQueueCount();
    // Everything written but not yet on the wire: the larger of what the system reports and
    // what the line cannot have sent yet, plus what waits for the drain.
    int PendingOutput() { return std::max(OutputQueueCount(), LineBacklog()) + m_output.Size(); }
    // Bytes handed to the system that the line cannot have sent yet at its speed.
    int LineBacklog() const;
    bool HasWriteFault() const { return m_writeFault; }

    int PortNumber() const { return m_portNumber; }
    const LineSettings& Settings() const { return m_settings; }
    std::string DevicePath(int portNumber) const;

private:
    void drain();
    // A failed device call: the device is gone.
    int noteFailure(int result);
    void noteHandedOver(int n, std::uint64_t at);
    // Blocks until what the system holds is on the wire but for the lead, or until the deadline.
    void awaitWire(std::uint64_t deadline);
    // Line time still needed by what the system holds, by its count or by the line's own time.
    std::uint64_t lineMicrosLeft();
    std::uint64_t byteMicros(std::uint64_t n) const;

    std::unique_ptr<SerialDevice> m_device;
    DeviceResolver m_resolver;
    Clock& m_clock;
    TaskHolder m_drainTask;
    cmcBuff m_output;
    LineSettings m_settings;
    int m_portNumber = 1;
    bool m_writeFault = false;
    bool m_lost = false;
    bool m_fixedDevice = false;
    std::uint64_t m_lineFreeAt = 0; // microseconds of m_clock
};

} // namespace qx
