#include "radio/channel_record.h"

#include "radio/bank_link_table.h"
#include "radio/eeprom.h"
#include "radio/frequency_band.h"
#include "radio/image_map.h"

#include <algorithm>
#include <cstring>

namespace qx {

using namespace imagemap;

namespace {

// Offsets in a function memory's settings block.
constexpr std::int32_t kDisplayByte = 0xA5;    // bit 7 dual watch, bit 2 right band is main
constexpr std::int32_t kBandModeByte = 0xA7;   // per band: bits 1-0 RF power, 3-2 mode, 4 VFO
constexpr std::int32_t kBandChannel = 0xED;    // per band: 16-bit channel number
constexpr std::int32_t kBandSelection = 0xF1;  // per band: call channel selection
constexpr std::int32_t kWeatherChannel = 0xF3; // per band: weather channel 0-9

constexpr std::int32_t kBandDefaultCount = 7; // bands 0-6 in a row; band 7 apart

bool bit(const std::uint8_t* bytes, std::int32_t base, int number) {
    return ((bytes[base + number / 8] >> (number % 8)) & 1) != 0;
}

void setBit(std::uint8_t* bytes, std::int32_t base, int number, bool value) {
    const auto mask = static_cast<std::uint8_t>(1u << (number % 8));
    std::uint8_t& b = bytes[base + number / 8];
    b = static_cast<std::uint8_t>(value ? (b | mask) : (b & ~mask));
}

std::uint32_t readBe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

void writeBe32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

ChannelRecord::Text8 readText8(const std::uint8_t* p) {
    ChannelRecord::Text8 text{};
    std::memcpy(text.data(), p, text.size());
    return text;
}

void writeText8(std::uint8_t* p, const ChannelRecord::Text8& text) {
    std::memcpy(p, text.data(), text.size());
}

ChannelRecord::Text8 blankText8() {
    ChannelRecord::Text8 text{};
    text.fill(' ');
    return text;
}

std::uint8_t low(int value, unsigned mask) {
    return static_cast<std::uint8_t>(static_cast<unsigned>(value) & mask);
}

// Where a record of a kind lies, or -1 when the kind has no record at that index.
std::int32_t recordAddress(int kind, int index) {
    switch (kind) {
    case kKindChannel:
        if (index >= 0 && index < kFirstScanEdge) {
            return kMemoryChannels + index * kChannelRecordSize;
        }
        if (index >= kFirstScanEdge && index < kFirstCallChannel) {
            return kScanEdges + (index - kFirstScanEdge) * kChannelRecordSize;
        }
        if (index >= kFirstCallChannel && index < kChannelCount) {
            return kCallChannels + (index - kFirstCallChannel) * kChannelRecordSize;
        }
        return -1;
    case kKindFunction:
        if (index == 0 || index == 1) {
            return kFunctionMemory1 + index * kChannelRecordSize;
        }
        if (index == 2 || index == 3) {
            return kFunctionMemory2 + (index - 2) * kChannelRecordSize;
        }
        return -1;
    case kKindGps:
        return index >= 0 && index < kGpsMemoryCount ? kGpsMemories + index * kGpsRecordSize : -1;
    case kKindBandDefault:
    case kKindBandDefaultSkip:
        if (index >= 0 && index < kBandDefaultCount) {
            return kBandDefaults + index * kBandDefaultRecordSize;
        }
        return index == kBandDefaultCount ? kBand7Default : -1;
    case kKindOwnPosition:
        return index == 0 ? kOwnPosition : -1;
    default:
        return -1;
    }
}

std::int32_t functionSettings(int index) {
    return index < 2 ? kFunctionSettings1 : kFunctionSettings2;
}

int emptyBitOf(int index) {
    return index >= kFirstCallChannel ? index + kCallChannelEmptyBitShift : index;
}

} // namespace

std::uint32_t weatherChannelFrequency(int channel) {
    static constexpr std::array<std::uint32_t, 10> kWeather = {
        162550000, 162400000, 162475000, 162425000, 162450000,
        162500000, 162525000, 161650000, 161775000, 163275000};
    return channel >= 0 && channel < 10 ? kWeather[static_cast<std::size_t>(channel)] : 0;
}

ChannelRecord::Text8 ChannelRecord::toText8(std::string_view text) {
    Text8 out = blankText8();
    std::copy_n(text.begin(), std::min(text.size(), out.size()), out.begin());
    return out;
}

std::string ChannelRecord::fromText8(const Text8& text) {
    return {text.begin(), text.end()};
}

void ChannelRecord::clearFields(int recordKind, int recordIndex) {
    cmcEeprom* image = m_image;
    const bool raw = m_raw;
    *this = ChannelRecord();
    m_image = image;
    m_raw = raw;
    kind = recordKind;
    index = recordIndex;
    used = true;
}

bool ChannelRecord::load(int recordKind, int recordIndex) {
    clearFields(recordKind, recordIndex);
    const std::int32_t address = recordAddress(recordKind, recordIndex);
    if (m_image == nullptr || address < 0 || m_image->size() < kTransceiverSize) {
        return false;
    }
    const cmcEeprom& image = *m_image;
    const std::uint8_t* bytes = image.trackedData();
    const std::uint8_t* record = bytes + address;
    switch (recordKind) {
    case kKindChannel:
        image.noteRead(address, kChannelRecordSize);
        image.noteRead(kEmptyBitmap + emptyBitOf(recordIndex) / 8, 1);
        unpackChannel(record, true);
        used = !bit(bytes, kEmptyBitmap, emptyBitOf(recordIndex));
        bankGroup = kNoBank;
        if (recordIndex < kBankableChannelCount) {
            image.noteRead(kPSkipBitmap + recordIndex / 8, 1);
            image.noteRead(kSkipBitmap + recordIndex / 8, 1);
            image.noteRead(kBankAssignments + recordIndex * 2, 2);
            skip = bit(bytes, kPSkipBitmap, recordIndex)  ? 3
                   : bit(bytes, kSkipBitmap, recordIndex) ? 1
                                                          : 0;
            bankGroup = bytes[kBankAssignments + recordIndex * 2];
            bankChannel = bytes[kBankAssignments + recordIndex * 2 + 1];
            if (bankGroup >= kBankCount) {
                bankGroup = kNoBank;
                bankChannel = 0;
            }
        }
        break;
    case kKindFunction:
        image.noteRead(address, kChannelRecordSize);
        image.noteRead(functionSettings(recordIndex), kSettingsBlockSize);
        unpackChannel(record, true);
        used = frequency != 0;
        bankGroup = kNoBank;
        loadFunctionExtras(bytes + functionSettings(recordIndex));
        if (memoryMode == kMemoryModeWeather && !m_raw) {
            showWeatherChannel();
        }
        break;
    case kKindBandDefault:
    case kKindBandDefaultSkip:
        image.noteRead(address, kBandDefaultRecordSize);
        unpackChannel(record, false);
        bankGroup = kNoBank;
        skip = recordKind == kKindBandDefaultSkip ? 1 : 0;
        break;
    case kKindGps:
        image.noteRead(address, kGpsRecordSize);
        image.noteRead(kGpsSlotList + recordIndex, 1);
        unpackGps(record);
        slot = bytes[kGpsSlotList + recordIndex];
        used = slot < kGpsMemoryCount;
        break;
    case kKindOwnPosition:
        image.noteRead(address, kGpsRecordSize);
        unpackGps(record);
        slot = kGpsSlotFree;
        break;
    default:
        break;
    }
    return true;
}

bool ChannelRecord::store(int recordKind, int recordIndex) {
    if (recordKind == kKindLastLoaded) {
        recordKind = kind;
    }
    const std::int32_t address = recordAddress(recordKind, recordIndex);
    if (m_image == nullptr || address < 0 || m_image->size() < kTransceiverSize) {
        return false;
    }
    std::uint8_t* bytes = m_image->data();
    std::uint8_t* record = bytes + address;
    ChannelRecord packed = *this;
    packed.kind = recordKind;
    packed.index = recordIndex;
    switch (recordKind) {
    case kKindChannel: {
        setBit(bytes, kEmptyBitmap, emptyBitOf(recordIndex), !packed.used);
        if (!packed.used) {
            packed.bankGroup = kNoBank;
            packed.bankChannel = kNoBank;
            packed.name = blankText8();
        }
        packed.packChannel(record, true);
        if (recordIndex < kBankableChannelCount) {
            setBit(bytes, kPSkipBitmap, recordIndex, (packed.skip & 2) != 0);
            setBit(bytes, kSkipBitmap, recordIndex, (packed.skip & 1) != 0);
            const bool inBank = packed.bankGroup >= 0 && packed.bankGroup < kBankCount;
            bytes[kBankAssignments + recordIndex * 2] = low(packed.bankGroup, 0xFF);
            bytes[kBankAssignments + recordIndex * 2 + 1] =
                inBank ? low(packed.bankChannel, 0xFF) : 0;
        }
        break;
    }
    case kKindFunction: {
        // In weather channel mode the fields show the weather channel, not the record: the
        // band's own record stays as it is.
        const std::uint8_t* settings = bytes + functionSettings(recordIndex);
        const int band = recordIndex % 2;
        const std::uint8_t modeByte = settings[kBandModeByte + band];
        const bool weather = (modeByte & 0x10) == 0 && ((modeByte >> 2) & 3) == kMemoryModeWeather;
        if (!weather || m_raw) {
            // The grids follow the record's frequency; an unused memory keeps frequency 0.
            packed.packChannel(record, true);
            if (!packed.used) {
                writeBe32(record, 0);
            }
        }
        break;
    }
    case kKindBandDefault:
    case kKindBandDefaultSkip:
        packed.packChannel(record, false);
        break;
    case kKindGps:
        packed.packGps(record);
        bytes[kGpsSlotList + recordIndex] = low(packed.slot, 0xFF);
        break;
    case kKindOwnPosition:
        packed.packGps(record);
        break;
    default:
        return false;
    }
    return load(recordKind, recordIndex);
}

bool ChannelRecord::loadBankSlot(int bank, int slotNumber) {
    const int channel = m_image != nullptr ? banklink::slot(*m_image, bank, slotNumber) : 0xFFFF;
    if (channel < kBankableChannelCount && load(kKindChannel, channel)) {
        return true;
    }
    clearFields(kKindBankChannel, slotNumber);
    used = false;
    bankGroup = kNoBank;
    return false;
}

int ChannelRecord::gpsMemoryCount(const cmcEeprom& image) {
    if (image.size() < kTransceiverSize) {
        return 0;
    }
    image.noteRead(kGpsSlotList, kGpsMemoryCount);
    const std::uint8_t* slots = image.trackedData() + kGpsSlotList;
    int count = 0;
    while (count < kGpsMemoryCount && slots[count] < kGpsMemoryCount) {
        ++count;
    }
    return count;
}

void ChannelRecord::unpackChannel(const std::uint8_t* record, bool withName) {
    frequency = readBe32(record);
    offset = readBe32(record + 4);
    yourCall = readText8(record + 8);
    repeater1Call = readText8(record + 16);
    repeater2Call = readText8(record + 24);
    const std::uint8_t* f = record + 32;
    airFrequency = ((f[0] << 1) | (f[1] >> 7)) * 10;
    duplex = (f[1] >> 5) & 3;
    toneMode = (f[1] >> 2) & 7;
    decodeRx = f[1] & 3;
    tsqlIndex = f[2] >> 2;
    toneIndex = ((f[2] & 3) << 4) | (f[3] >> 4);
    tuningStep = f[3] & 0xF;
    dtcsIndex = f[4] >> 1;
    mode = ((f[4] & 1) << 2) | (f[5] >> 6);
    frequencyGrid = (f[5] >> 3) & 7;
    offsetGrid = f[5] & 7;
    digitalCode = f[6] >> 1;
    digitalSquelch = ((f[6] & 1) << 2) | (f[7] >> 6);
    dtcsPolarity = (f[7] >> 4) & 3;
    name = withName ? readText8(record + 40) : blankText8();
}

void ChannelRecord::packChannel(std::uint8_t* record, bool withName) const {
    const frequency::Grids grids = frequency::selectGrids(frequency, offset);
    writeBe32(record, frequency);
    writeBe32(record + 4, offset);
    writeText8(record + 8, yourCall);
    writeText8(record + 16, repeater1Call);
    writeText8(record + 24, repeater2Call);
    const int air = std::clamp(airFrequency / 10, 0, 511);
    std::uint8_t* f = record + 32;
    f[0] = low(air >> 1, 0xFF);
    f[1] = static_cast<std::uint8_t>(low(air, 1) << 7 | low(duplex, 3) << 5 |
                                     low(toneMode, 7) << 2 | low(decodeRx, 3));
    f[2] = static_cast<std::uint8_t>(low(tsqlIndex, 0x3F) << 2 | low(toneIndex >> 4, 3));
    f[3] = static_cast<std::uint8_t>(low(toneIndex, 0xF) << 4 | low(tuningStep, 0xF));
    f[4] = static_cast<std::uint8_t>(low(dtcsIndex, 0x7F) << 1 | low(mode >> 2, 1));
    f[5] = static_cast<std::uint8_t>(low(mode, 3) << 6 | low(grids.frequencyGrid, 7) << 3 |
                                     low(grids.offsetGrid, 7));
    f[6] = static_cast<std::uint8_t>(low(digitalCode, 0x7F) << 1 | low(digitalSquelch >> 2, 1));
    f[7] = static_cast<std::uint8_t>(low(digitalSquelch, 3) << 6 | low(dtcsPolarity, 3) << 4);
    if (withName) {
        writeText8(record + 40, name);
    }
}

void ChannelRecord::loadFunctionExtras(const std::uint8_t* settings) {
    const int band = index % 2;
    const std::uint8_t modeByte = settings[kBandModeByte + band];
    memoryMode = (modeByte & 0x10) != 0 ? kMemoryModeVfo : (modeByte >> 2) & 3;
    wxChannel = settings[kWeatherChannel + band];
    channelSelection = settings[kBandSelection + band];
    memoryChannel = settings[kBandChannel + band * 2] << 8 | settings[kBandChannel + band * 2 + 1];
    bandFlags = settings[kDisplayByte] & 0x84;
}

void ChannelRecord::showWeatherChannel() {
    frequency = weatherChannelFrequency(wxChannel);
    used = true;
    duplex = 0;
    offset = 0;
    frequencyGrid = 1;
    offsetGrid = 1;
    tuningStep = 6;
    mode = kModeFm;
    name = blankText8();
    toneMode = 0;
    toneIndex = 8;
    tsqlIndex = 8;
    dtcsIndex = 0;
    dtcsPolarity = 0;
    decodeRx = 0;
    airFrequency = kDefaultAirFrequency;
    digitalSquelch = 0;
    digitalCode = 0;
    yourCall = blankText8();
    repeater1Call = blankText8();
    repeater2Call = blankText8();
}

void ChannelRecord::unpackGps(const std::uint8_t* record) {
    std::copy_n(record, latitude.size(), latitude.begin());
    std::copy_n(record + 4, longitude.size(), longitude.begin());
    std::copy_n(record + 9, date.size(), date.begin());
    std::copy_n(record + 12, time.size(), time.begin());
    name = readText8(record + 15);
    gpsBankGroup = record[23];
}

void ChannelRecord::packGps(std::uint8_t* record) const {
    std::copy_n(latitude.begin(), latitude.size(), record);
    std::copy_n(longitude.begin(), longitude.size(), record + 4);
    std::copy_n(date.begin(), date.size(), record + 9);
    std::copy_n(time.begin(), time.size(), record + 12);
    writeText8(record + 15, name);
    record[23] = low(gpsBankGroup, 0xFF);
}

} // namespace qx
