#pragma once

#include <cstdint>
#include <string_view>

// Where everything lies in the configuration image. Multi-byte numbers are big-endian; flag
// bitmaps number their bits least significant first (bit b in byte b / 8 at position b % 8).
namespace qx::imagemap {

// Whole image and identity.
inline constexpr std::int32_t kImageSize = 70704;
inline constexpr std::int32_t kTransceiverStart = 0x0000;
inline constexpr std::int32_t kTransceiverEnd = 0xACBF; // inclusive
inline constexpr std::int32_t kTransceiverSize = kTransceiverEnd - kTransceiverStart + 1;
inline constexpr std::uint16_t kModelCode = 0x2970;
inline constexpr std::uint16_t kModelSubCode = 0x0001;

// Channel records (kind 1: 500 memory channels, 20 scan edges, 2 call channels).
inline constexpr std::int32_t kChannelRecordSize = 48;
inline constexpr std::int32_t kMemoryChannels = 0x0000;
inline constexpr int kMemoryChannelCount = 500;
inline constexpr std::int32_t kScanEdges = 0x5DC0;
inline constexpr int kScanEdgeCount = 20;
inline constexpr int kScanEdgePairCount = 10;
inline constexpr int kFirstScanEdge = 500;
inline constexpr std::int32_t kCallChannels = 0x6180;
inline constexpr int kCallChannelCount = 2;
inline constexpr int kFirstCallChannel = 520;
inline constexpr int kChannelCount = 522;
// Channels that have flags, skip bits and bank bytes: memory channels and scan edges.
inline constexpr int kBankableChannelCount = 520;

// Flag bitmaps and bank bytes.
inline constexpr std::int32_t kEmptyBitmap = 0x61E0;
inline constexpr std::int32_t kEmptyBitmapSize = 66;
inline constexpr std::int32_t kSkipBitmap = 0x6222;
inline constexpr std::int32_t kPSkipBitmap = 0x6263;
inline constexpr std::int32_t kSkipBitmapSize = 65;
// Call channels use the empty bit of their index + 1; bit 520 is never used.
inline constexpr int kCallChannelEmptyBitShift = 1;
inline constexpr std::int32_t kBankAssignments = 0x62A4; // group, number per channel 0-519
inline constexpr int kBankCount = 26;
inline constexpr int kBankSlotCount = 100;
inline constexpr std::uint8_t kNoBank = 255;

// Names, call signs and memories.
inline constexpr std::int32_t kNameSize = 8;
inline constexpr std::int32_t kBankNames = 0x66C0;
inline constexpr std::int32_t kScanEdgeNames = 0x6790;
inline constexpr std::int32_t kDtmfMemories = 0x67E0;
inline constexpr int kDtmfMemoryCount = 16;
inline constexpr std::int32_t kDtmfMemorySize = 24;
inline constexpr std::int32_t kCloneComment = 0x6960;
inline constexpr std::int32_t kCloneCommentSize = 16;
inline constexpr std::int32_t kMyCallSigns = 0x6970;
inline constexpr int kMyCallSignCount = 6;
inline constexpr std::int32_t kMyCallSignSize = 12; // 8 characters and a 4-character note
inline constexpr std::int32_t kYourCallSigns = 0x69B8;
inline constexpr std::int32_t kRepeaterCallSigns = 0x6B98;
inline constexpr int kCallSignListCount = 60;
inline constexpr std::int32_t kCallSignSize = 8;
inline constexpr std::int32_t kReceivedCalls = 0x6D78;
inline constexpr int kReceivedCallCount = 20;
inline constexpr std::int32_t kReceivedCallSize = 42;
inline constexpr std::int32_t kReceivedCallOrder = 0x70C0;
inline constexpr std::int32_t kReceivedCallStatus = 0x70D4;
inline constexpr std::int32_t kTxMessages = 0x70E8;
inline constexpr int kTxMessageCount = 5;
inline constexpr std::int32_t kTxMessageSize = 20;
inline constexpr std::int32_t kGpsMessage = 0x714C;
inline constexpr std::int32_t kGpsMessageSize = 20;

// GPS memories: 24-byte records and one slot byte each.
inline constexpr std::int32_t kGpsMemories = 0x7170;
inline constexpr int kGpsMemoryCount = 100;
inline constexpr std::int32_t kGpsRecordSize = 24;
inline constexpr std::int32_t kGpsSlotList = 0x7AD0;
inline constexpr std::uint8_t kGpsSlotFree = 0xFF;
inline constexpr std::int32_t kGpsBankNames = 0x7B34;
// The own-position record keeps the GPS memory layout; it lies in the otherwise unnamed area
// after the GPS bank names.
inline constexpr std::int32_t kOwnPosition = 0x7C20;

// Function memories F-1 and F-2: left and right band records, then a settings block.
inline constexpr std::int32_t kFunctionMemory1 = 0xA1B7;
inline constexpr std::int32_t kFunctionMemory2 = 0xA3CE;
inline constexpr std::int32_t kFunctionMemorySize = 535;
inline constexpr std::int32_t kFunctionSettings1 = 0xA217;
inline constexpr std::int32_t kFunctionSettings2 = 0xA42E;
inline constexpr int kFunctionRecordCount = 4;

// Areas the user never edits: always taken from the default image.
inline constexpr std::int32_t kFixedData = 0xA5E5;
inline constexpr std::int32_t kFixedDataSize = 432;
inline constexpr std::int32_t kBandDefaults = 0xA7C0;
inline constexpr std::int32_t kBandDefaultsSize = 704;
inline constexpr std::int32_t kBandDefaultRecordSize = 40;
inline constexpr std::int32_t kBand7Default = 0xA9C8;
inline constexpr int kBandCount = 8;
inline constexpr std::int32_t kFixedByte = 0xAC37;

// Settings blocks (main and the copies of F-1 and F-2 share offsets).
inline constexpr std::int32_t kMainSettings = 0xAA80;
inline constexpr std::int32_t kSettingsBlockSize = 439;

// Map format tag: the last 16 bytes of the transceiver part.
inline constexpr std::int32_t kMapFormatTag = 0xACB0;
inline constexpr std::int32_t kMapFormatTagSize = 16;
inline constexpr std::string_view kMapFormatTagText = "OrsaCloneFormat3";

// Bank link table: derived on this side only, never cloned or saved.
inline constexpr std::int32_t kBankLinkTable = 0xFFE0;
inline constexpr std::int32_t kBankLinkTableSize = kBankCount * kBankSlotCount * 2;
inline constexpr std::uint16_t kBankSlotEmpty = 0xFFFF;
inline constexpr std::uint16_t kBankSlotConflict = 0xFFFE;

static_assert(kMapFormatTag + kMapFormatTagSize - 1 == kTransceiverEnd);
static_assert(kBankLinkTable + kBankLinkTableSize == kImageSize);
static_assert(kFunctionSettings1 + kSettingsBlockSize == kFunctionMemory2);
static_assert(kFunctionSettings2 + kSettingsBlockSize == kFixedData);
static_assert(kMapFormatTagText.size() == kMapFormatTagSize);

} // namespace qx::imagemap
