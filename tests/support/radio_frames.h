#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Frames as a transceiver sends them, written for the test stand-ins independently of the
// engine's frame code, so that a fault in one cannot hide a fault in the other.
namespace qx::test::radio_frames {

using Bytes = std::vector<std::uint8_t>;

inline std::string hex2(int v) {
    char b[3];
    std::snprintf(b, sizeof b, "%02X", v & 0xFF);
    return b;
}

// FE FE EF EE, the command, the text, FD.
inline Bytes frame(std::uint8_t command, const std::string& text) {
    Bytes f = {0xFE, 0xFE, 0xEF, 0xEE, command};
    f.insert(f.end(), text.begin(), text.end());
    f.push_back(0xFD);
    return f;
}

// A data frame of count bytes at address; checksumSkew spoils the checksum.
inline Bytes dataFrame(int address, const std::uint8_t* data, int count, int checksumSkew = 0) {
    std::string text = hex2(address >> 8) + hex2(address) + hex2(count);
    int sum = (address >> 8) + (address & 0xFF) + count;
    for (int i = 0; i < count; ++i) {
        text += hex2(data[i]);
        sum += data[i];
    }
    return frame(0xE4, text + hex2(256 - sum % 256 + checksumSkew));
}

inline Bytes endFrame(int frameCount) {
    return frame(0xE5, "Orsa Ltd." + hex2(frameCount));
}

} // namespace qx::test::radio_frames
