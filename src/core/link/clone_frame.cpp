#include "link/clone_frame.h"

#include "base/hex_digits.h"

#include <cstdio>

namespace qx::clone_frame {

namespace {

void appendHexByte(cmcBuff& out, std::uint8_t b) {
    out.AppendByte(static_cast<std::uint8_t>(kHexDigits[b >> 4]));
    out.AppendByte(static_cast<std::uint8_t>(kHexDigits[b & 0x0F]));
}

} // namespace

void appendHexText(cmcBuff& out, std::string_view text) {
    int high = -1;
    for (const char c : text) {
        const int v = hexValue(c);
        if (v < 0) {
            continue;
        }
        if (high < 0) {
            high = v;
        } else {
            out.AppendByte(static_cast<std::uint8_t>(high << 4 | v));
            high = -1;
        }
    }
    if (high >= 0) {
        out.AppendByte(static_cast<std::uint8_t>(high << 4));
    }
}

void appendRequest(cmcBuff& out, std::uint8_t code, std::uint16_t word0, std::uint16_t word1,
                   int preamble) {
    out.AppendFill(kPreamble, preamble);
    const std::uint8_t frame[] = {kPreamble,
                                  kPreamble,
                                  0xEE,
                                  0xEF,
                                  code,
                                  static_cast<std::uint8_t>(word0 >> 8),
                                  static_cast<std::uint8_t>(word0 & 0xFF),
                                  static_cast<std::uint8_t>(word1 >> 8),
                                  static_cast<std::uint8_t>(word1 & 0xFF),
                                  kEnd};
    out.Append(frame, static_cast<std::int32_t>(sizeof frame));
}

std::uint8_t dataChecksum(std::uint16_t address, const std::uint8_t* data, int count) {
    unsigned sum = (address >> 8) + (address & 0xFFu) + static_cast<unsigned>(count);
    for (int i = 0; i < count; ++i) {
        sum += data[i];
    }
    return static_cast<std::uint8_t>((256 - sum % 256) % 256);
}

void appendDataFrame(cmcBuff& out, std::uint16_t address, const std::uint8_t* data, int count,
                     int preamble) {
    out.AppendFill(kPreamble, preamble);
    const std::uint8_t head[] = {kPreamble, kPreamble, 0xEE, 0xEF, kData};
    out.Append(head, static_cast<std::int32_t>(sizeof head));
    appendHexByte(out, static_cast<std::uint8_t>(address >> 8));
    appendHexByte(out, static_cast<std::uint8_t>(address & 0xFF));
    appendHexByte(out, static_cast<std::uint8_t>(count));
    for (int i = 0; i < count; ++i) {
        appendHexByte(out, data[i]);
    }
    appendHexByte(out, dataChecksum(address, data, count));
    out.AppendByte(kEnd);
}

void appendEndFrame(cmcBuff& out, bool withCounter, std::int32_t frames) {
    appendHexText(out, "FEFE EE EF E5 4F 72 73 61 20 4C 74 64 2E");
    if (withCounter) {
        appendHexByte(out, static_cast<std::uint8_t>(frames & 0xFF));
    }
    out.AppendByte(kEnd);
}

} // namespace qx::clone_frame
