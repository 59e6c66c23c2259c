#include "wire_frame.h"

#include <algorithm>

namespace trsim {

std::string hexByte(int value) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    s += digits[(value >> 4) & 0xF];
    s += digits[value & 0xF];
    return s;
}

Bytes radioFrame(std::uint8_t code, const Bytes& payload) {
    // Sized once: GCC 12 at -O2 misreads an insert after a brace-initialised vector as an
    // out-of-bounds copy.
    Bytes f(payload.size() + 6);
    f[0] = kFrameStart;
    f[1] = kFrameStart;
    f[2] = kRadio;
    f[3] = kComputer;
    f[4] = code;
    std::copy(payload.begin(), payload.end(), f.begin() + 5);
    f.back() = kFrameEnd;
    return f;
}

Bytes dataFrame(int address, const std::uint8_t* data, int count, int checksumSkew) {
    std::string text = hexByte(address >> 8) + hexByte(address & 0xFF) + hexByte(count);
    int sum = (address >> 8) + (address & 0xFF) + count;
    for (int i = 0; i < count; ++i) {
        text += hexByte(data[i]);
        sum += data[i];
    }
    text += hexByte((0x100 - (sum & 0xFF) + checksumSkew) & 0xFF);
    return radioFrame(0xE4, Bytes(text.begin(), text.end()));
}

Bytes endFrame(int frames) {
    const std::string text = "Orsa Ltd." + hexByte(frames & 0xFF);
    return radioFrame(0xE5, Bytes(text.begin(), text.end()));
}

bool FrameSplitter::feed(std::uint8_t b, ComputerFrame& frame, bool& malformed) {
    malformed = false;
    if (b == kFrameStart) {
        m_current.clear();
        m_inFrame = true;
        return false;
    }
    if (!m_inFrame) {
        return false;
    }
    if (b != kFrameEnd) {
        if (m_current.size() < 1024) {
            m_current.push_back(b);
        }
        return false;
    }
    m_inFrame = false;
    if (m_current.size() < 3 || m_current[0] != kComputer || m_current[1] != kRadio) {
        malformed = true;
        return false;
    }
    frame.command = m_current[2];
    frame.payload.assign(m_current.begin() + 3, m_current.end());
    return true;
}

namespace {
int digit(std::uint8_t c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}
} // namespace

bool decodeData(const Bytes& text, DataRecord& record) {
    if (text.size() < 8 || text.size() % 2 != 0) {
        return false;
    }
    Bytes raw;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = digit(text[i]);
        const int lo = digit(text[i + 1]);
        if (hi < 0 || lo < 0) {
            return false;
        }
        raw.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    int sum = 0;
    for (const std::uint8_t v : raw) {
        sum += v;
    }
    const int count = raw[2];
    if (count != static_cast<int>(raw.size()) - 4 || sum % 256 != 0) {
        return false;
    }
    record.address = raw[0] * 256 + raw[1];
    record.data.assign(raw.begin() + 3, raw.begin() + 3 + count);
    return true;
}

} // namespace trsim
