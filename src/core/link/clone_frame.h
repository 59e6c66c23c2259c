#pragma once

#include "link/byte_buffer.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qx {

// The wire frames of the cloning protocol, as this side sends them.
namespace clone_frame {

inline constexpr std::uint8_t kPreamble = 0xFE;
inline constexpr std::uint8_t kEnd = 0xFD;
inline constexpr std::uint8_t kInformation = 0xE0;
inline constexpr std::uint8_t kInformationReply = 0xE1;
inline constexpr std::uint8_t kReadRequest = 0xE2;
inline constexpr std::uint8_t kWriteRequest = 0xE3;
inline constexpr std::uint8_t kData = 0xE4;
inline constexpr std::uint8_t kEndOfData = 0xE5;
inline constexpr std::uint8_t kWriteResult = 0xE6;
inline constexpr std::uint8_t kLineSpeed = 0xE8;

// The maker text that the end frame carries.
inline constexpr std::string_view kMakerText = "Orsa Ltd.";

// Hexadecimal text to bytes: pairs of digits (either case), every other character skipped, a
// final unpaired digit becoming the high half of a last byte.
void appendHexText(cmcBuff& out, std::string_view text);

// preamble extra 0xFE; FE FE EE EF code word0 word1 FD.
void appendRequest(cmcBuff& out, std::uint8_t code, std::uint16_t word0, std::uint16_t word1,
                   int preamble);

// The byte that makes address, count, data and itself add up to 0 modulo 256.
std::uint8_t dataChecksum(std::uint16_t address, const std::uint8_t* data, int count);

// preamble extra 0xFE; FE FE EE EF E4, then address, count, data and checksum as upper-case
// hexadecimal text; FD.
void appendDataFrame(cmcBuff& out, std::uint16_t address, const std::uint8_t* data, int count,
                     int preamble);

// FE FE EE EF E5 "Orsa Ltd.", with the counter the two hex digits of frames modulo 256; FD.
void appendEndFrame(cmcBuff& out, bool withCounter, std::int32_t frames);

} // namespace clone_frame

} // namespace qx
