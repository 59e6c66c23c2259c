#pragma once

#include "base/task.h"
#include "link/byte_buffer.h"
#include "link/serial_device.h"

#include <functional>
#include <memory>
#include <string>

namespace qx {

// Reads a line-settings string such as "9600,N,8,1": baud, parity letter, byte size, stop bits.
LineSettings parseLineSettings(const std::string& text);

// One serial port. Reads never wait; writes are queued and handed to the system in slices by a
// drain task, so the single thread stays responsive during a transfer.
class cmcComm {
public:
    static constexpr int kInputQueueSize = 32000;
    static constexpr int kOutputQueueSize = 1024; // also the largest slice of one write
    static constexpr int kDrainIntervalMs = 10;

    // Maps a port number to the device to open (the saved port map, or a path given by the
    // user).
    using DeviceResolver = std::function<std::string(int portNumber)>;

    cmcComm(Scheduler& scheduler, std::unique_ptr<SerialDevice> device);
    ~cmcComm();
    cmcComm(const cmcComm&) = delete;
    cmcComm& operator=(const cmcComm&) = delete;

    void SetDeviceResolver(DeviceResolver resolver) { m_resolver = std::move(resolver); }

    // Callers close first; a failed open leaves the port closed.
    bool Open(int portNumber, const std::string& settings);
    void Close();
    bool IsOpen() const { return m_device->isOpen(); }
    // The system's reason why the last Open failed, where it gave one.
    std::error_code OpenError() const { return m_device->openError(); }

    // Dropped silently while the port is closed.
    void Write(const std::uint8_t* bytes, int n);
    int Read(std::uint8_t* buffer, int max);
    int InputCount();
    int OutputQueueCount();
    // Everything written but not yet on the wire.
    int PendingOutput() { return OutputQueueCount() + m_output.Size(); }
    bool HasWriteFault() const { return m_writeFault; }

    int PortNumber() const { return m_portNumber; }
    const LineSettings& Settings() const { return m_settings; }
    std::string DevicePath(int portNumber) const;

private:
    void drain();

    std::unique_ptr<SerialDevice> m_device;
    DeviceResolver m_resolver;
    TaskHolder m_drainTask;
    cmcBuff m_output;
    LineSettings m_settings;
    int m_portNumber = 1;
    bool m_writeFault = false;
};

} // namespace qx
