#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <system_error>

namespace qx {

enum class StopBits { One, OneAndHalf, Two };

// Line settings as the port hands them to the system.
struct LineSettings {
    int baud = 9600;
    bool parityCheck = false; // parity mode itself is always "none"
    int byteSize = 8;
    StopBits stopBits = StopBits::One;
};

// Why a device could not be used, in the terms the user is told.
enum class SerialFailure {
    None,
    Missing,   // no such device: not plugged in, or another name meant
    Denied,    // the user may not open it
    Busy,      // another program holds it
    NotSerial, // it is there but is no serial port
    Lost,      // it went away or hung up while in use
    Other,
};

// The failure a system reason stands for.
SerialFailure serialFailureOf(std::error_code reason);

// What the serial port driver needs from the operating system: one device, opened by name,
// never blocking on reads.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // Opens the device for reading and writing, exclusively. False when it cannot be opened.
    virtual bool open(const std::string& path) = 0;
    // The system's reason why the last open failed, where it gave one.
    virtual std::error_code openError() const { return {}; }
    // The group that owns the device, when the last open was refused for lack of permission.
    virtual std::string openGroup() const { return {}; }
    // The system's reason why the open device stopped working (unplugged, hung up).
    virtual std::error_code lineError() const { return {}; }
    // Queue sizes, purge of both directions, binary raw line with RTS on and DTR off, then the
    // line settings. False when the device refuses them.
    virtual bool configure(const LineSettings& settings, int inputQueue, int outputQueue) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Reads what has arrived, at most max bytes; 0 when nothing is waiting, -1 on failure.
    // Failures of read, inputCount, outputCount and write mean the device is gone.
    virtual int read(std::uint8_t* buffer, int max) = 0;
    // Bytes waiting to be read, and bytes handed over but not yet on the wire; -1 on failure.
    virtual int inputCount() = 0;
    virtual int outputCount() = 0;
    // Hands n bytes to the system, waiting at most timeoutMs for room; returns how many it
    // took (fewer than n is a short write), -1 on failure.
    virtual int write(const std::uint8_t* bytes, int n, int timeoutMs) = 0;
};

// The device of this operating system.
std::unique_ptr<SerialDevice> createSystemSerialDevice();

// Device path for a port number when the settings map none: /dev/ttyS<n-1> up to 32,
// /dev/ttyUSB<n-33> above.
std::string defaultSerialDevicePath(int portNumber);

} // namespace qx
