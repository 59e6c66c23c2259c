#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The transceiver's side of the wire frames, written apart from the editor's engine so that a
// fault in one cannot hide a fault in the other.
namespace trsim {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kFrameStart = 0xFE;
constexpr std::uint8_t kFrameEnd = 0xFD;

// Addresses of the two ends: the computer and the transceiver.
constexpr std::uint8_t kComputer = 0xEE;
constexpr std::uint8_t kRadio = 0xEF;

// FE FE EF EE code payload FD: a frame from the transceiver.
Bytes radioFrame(std::uint8_t code, const Bytes& payload);

// An E4 data frame of the transceiver; checksumSkew spoils the checksum.
Bytes dataFrame(int address, const std::uint8_t* data, int count, int checksumSkew = 0);

// The E5 end frame carrying the frame count.
Bytes endFrame(int frames);

// A frame from the computer, without its FE FE and FD: address bytes, command, payload.
struct ComputerFrame {
    std::uint8_t command = 0;
    Bytes payload; // everything after the command byte
};

// Splits bytes into frames: every FE starts a frame, FD ends it.
class FrameSplitter {
public:
    // Feeds one byte; true when it completed a frame from the computer (into frame).
    bool feed(std::uint8_t b, ComputerFrame& frame, bool& malformed);

private:
    Bytes m_current;
    bool m_inFrame = false;
};

// A decoded E4 data frame from the computer.
struct DataRecord {
    int address = 0;
    Bytes data;
};

// Decodes the ASCII text of an E4 frame; false when the text, count or checksum is wrong.
bool decodeData(const Bytes& text, DataRecord& record);

std::string hexByte(int value);

} // namespace trsim
