#include "radio/correction_pass.h"

#include "radio/bank_link_table.h"
#include "radio/channel_record.h"
#include "radio/eeprom.h"
#include "radio/frequency_band.h"
#include "radio/image_map.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace qx {

namespace {

namespace map = imagemap;

// Offsets within a settings block.
constexpr std::int32_t kAutoRepeaterJpnKor = 0x16;
constexpr std::int32_t kAutoRepeaterUsa = 0x17;
constexpr std::int32_t kWeatherAlert = 0x62; // per band
constexpr std::int32_t kLanguage = 0x6E;
constexpr std::int32_t kDisplayByte = 0xA5;
constexpr std::int32_t kBandModeByte = 0xA7; // per band
constexpr std::int32_t kUnprotoAddress = 0x12E;
constexpr std::int32_t kAprsComment1 = 0x166;
constexpr std::int32_t kAprsComment2 = 0x191;
constexpr std::int32_t kOtherSymbol = 0x1B5;

constexpr std::array<std::int32_t, 3> kAllBlocks = {map::kMainSettings, map::kFunctionSettings1,
                                                    map::kFunctionSettings2};
constexpr std::array<std::int32_t, 2> kFunctionBlocks = {map::kFunctionSettings1,
                                                         map::kFunctionSettings2};

bool printable(std::uint8_t c) {
    return c >= 32 && c <= 126;
}

// Copies the bits of mask at address from the origin image.
class Restorer {
public:
    Restorer(cmcEeprom& image, const cmcEeprom& origin)
        : m_bytes(image.data()), m_origin(origin.data()) {}

    void bytes(std::int32_t first, std::int32_t last) const {
        std::memcpy(m_bytes + first, m_origin + first, static_cast<std::size_t>(last - first + 1));
    }
    void byte(std::int32_t address) const { bytes(address, address); }
    void bits(std::int32_t address, std::uint8_t mask) const {
        m_bytes[address] =
            static_cast<std::uint8_t>((m_bytes[address] & ~mask) | (m_origin[address] & mask));
    }

private:
    std::uint8_t* m_bytes;
    const std::uint8_t* m_origin;
};

void correctChannels(cmcEeprom& image, DestinationCode destination) {
    const bool japan = isJpnDestination(destination);
    ChannelRecord record(image);
    record.setRaw(true);
    const auto correct = [&](int kind, int index) {
        record.load(kind, index);
        record.frequency = frequency::snapFrequency(record.frequency);
        record.offset = frequency::snapOffset(record.offset, record.frequency);
        if (record.toneMode != 0 && record.decodeRx != 0) {
            record.toneMode = 0;
        }
        if (!japan) {
            for (char& c : record.name) {
                c = printable(static_cast<std::uint8_t>(c)) ? c : ' ';
            }
            record.airFrequency = kDefaultAirFrequency;
        }
        record.airFrequency = std::clamp((record.airFrequency + 5) / 10 * 10, 300, 3000);
        record.store();
    };
    for (int index = 0; index < map::kChannelCount; ++index) {
        correct(kKindChannel, index);
    }
    for (int index = 0; index < map::kFunctionRecordCount; ++index) {
        correct(kKindFunction, index);
    }
}

void cleanText(std::uint8_t* text, std::int32_t length) {
    for (std::int32_t i = 0; i < length; ++i) {
        if (!printable(text[i])) {
            text[i] = ' ';
        }
    }
}

void cleanTextFields(cmcEeprom& image) {
    std::uint8_t* bytes = image.data();
    cleanText(bytes + map::kScanEdgeNames, map::kScanEdgePairCount * map::kNameSize);
    cleanText(bytes + map::kBankNames, map::kBankCount * map::kNameSize);
    cleanText(bytes + map::kGpsBankNames, map::kBankCount * map::kNameSize);
    cleanText(bytes + map::kTxMessages, map::kTxMessageCount * map::kTxMessageSize);
    cleanText(bytes + map::kGpsMessage, map::kGpsMessageSize);
    for (int n = 0; n < map::kGpsMemoryCount; ++n) {
        if (bytes[map::kGpsSlotList + n] < 255) {
            cleanText(bytes + map::kGpsMemories + n * map::kGpsRecordSize + 15, map::kNameSize);
        }
    }
}

// A text setting padded with 0xFF: cleaned, trailing blanks dropped, padded again.
void cleanPaddedText(std::uint8_t* field, std::int32_t length) {
    for (std::int32_t i = 0; i < length; ++i) {
        if (field[i] == 0xFF || !printable(field[i])) {
            field[i] = ' ';
        }
    }
    std::int32_t kept = length;
    while (kept > 0 && field[kept - 1] == ' ') {
        --kept;
    }
    std::fill(field + kept, field + length, static_cast<std::uint8_t>(0xFF));
}

void cleanTextSettings(cmcEeprom& image) {
    for (std::int32_t base : kAllBlocks) {
        std::uint8_t* block = image.data() + base;
        cleanPaddedText(block + kUnprotoAddress, 56);
        cleanPaddedText(block + kAprsComment1, 43);
        cleanPaddedText(block + kAprsComment2, 36);
        std::uint8_t* symbol = block + kOtherSymbol;
        if (symbol[0] == '\\' || symbol[0] == '/') {
            symbol[1] = symbol[1] == 0xFF || !printable(symbol[1]) ? ' ' : symbol[1];
        } else {
            symbol[0] = 0xFF;
            symbol[1] = 0xFF;
        }
    }
}

void restoreSettings(cmcEeprom& image, const Restorer& restore, DestinationCode destination,
                     const FeatureFlags& flags) {
    for (std::int32_t b : kAllBlocks) {
        restore.bytes(b + 0x00, b + 0x11);
        restore.bytes(b + 0x26, b + 0x27);
        restore.bytes(b + 0x64, b + 0x65);
        restore.byte(b + 0xA6);
        restore.bytes(b + 0xA9, b + 0xAC);
        if (!isJpnOrKorDestination(destination)) {
            restore.byte(b + kAutoRepeaterJpnKor);
        }
        if (!isUsaDestination(destination)) {
            restore.byte(b + kAutoRepeaterUsa);
            restore.bytes(b + kWeatherAlert, b + kWeatherAlert + 1);
        }
        if (!isJpnDestination(destination)) {
            restore.byte(b + kLanguage);
        }
    }
    for (std::int32_t b : kFunctionBlocks) {
        restore.bytes(b + 0x66, b + 0x67);
        restore.bytes(b + 0x8B, b + 0x8C);
        restore.bytes(b + 0xAD, b + 0xAE);
        restore.bytes(b + 0xB1, b + 0xEC);
        restore.bytes(b + 0xF5, b + 0x128);
    }
    const std::int32_t m = map::kMainSettings;
    restore.bytes(m + 0xA2, m + 0xA4);
    restore.bytes(m + 0xAD, m + 0xAE);
    restore.bytes(m + 0xB1, m + 0xF2);
    restore.bytes(m + 0xF5, m + 0x106);
    restore.bytes(m + 0x121, m + 0x127);

    // Display byte: bit 3 (GPS time) is the user's, bit 5 says whether the receiver is expanded.
    std::uint8_t* bytes = image.data();
    for (std::int32_t b : kAllBlocks) {
        restore.bits(b + kDisplayByte, 0x53);
        if (b == m) {
            restore.bits(b + kDisplayByte, 0x84);
        }
        bytes[b + kDisplayByte] = static_cast<std::uint8_t>((bytes[b + kDisplayByte] & ~0x20) |
                                                            (flags.rxExpansion ? 0x20 : 0x00));
    }

    // Band mode bytes: RF power (bits 1-0) is the user's everywhere.
    for (int band = 0; band < 2; ++band) {
        restore.bits(m + kBandModeByte + band, 0x1C);
        for (std::int32_t b : kAllBlocks) {
            restore.bits(b + kBandModeByte + band, 0xE0);
        }
        if (isUsaDestination(destination)) {
            continue;
        }
        // Only USA transceivers have the weather channel mode.
        for (std::size_t f = 0; f < kFunctionBlocks.size(); ++f) {
            const std::int32_t at = kFunctionBlocks[f] + kBandModeByte + band;
            if (((bytes[at] >> 2) & 3) == kMemoryModeWeather) {
                restore.bits(at, 0x1C);
                const std::int32_t record =
                    (f == 0 ? map::kFunctionMemory1 : map::kFunctionMemory2) +
                    band * map::kChannelRecordSize;
                restore.bytes(record, record + map::kChannelRecordSize - 1);
            }
        }
    }
}

} // namespace

bool runCorrectionPass(cmcEeprom& image, const cmcEeprom& origin, const cmcEeprom& defaults,
                       DestinationCode destination, const FeatureFlags& flags) {
    if (image.size() < map::kTransceiverSize || origin.size() < map::kTransceiverSize ||
        defaults.size() < map::kTransceiverSize) {
        return false;
    }
    const bool japan = isJpnDestination(destination);
    const Restorer restore(image, origin);

    correctChannels(image, destination);
    banklink::rebuild(image);
    if (!japan) {
        cleanTextFields(image);
    }
    restore.bytes(map::kFixedData, map::kFixedData + map::kFixedDataSize - 1);
    restore.byte(map::kFixedByte);
    restore.bytes(map::kBandDefaults, map::kBandDefaults + map::kBandDefaultsSize - 1);
    if (!japan) {
        cleanTextSettings(image);
    }
    restoreSettings(image, restore, destination, flags);
    Restorer(image, defaults)
        .bytes(map::kMapFormatTag, map::kMapFormatTag + map::kMapFormatTagSize - 1);
    return true;
}

} // namespace qx
