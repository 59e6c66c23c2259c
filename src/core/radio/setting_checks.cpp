#include "radio/setting_checks.h"

#include "radio/bank_link_table.h"
#include "radio/channel_record.h"
#include "radio/frequency_band.h"
#include "radio/image_map.h"
#include "radio/settings_table.h"

namespace qx {

namespace {

constexpr int kTuningStep5k = 0;
constexpr int kTuningStep6_25k = 1;
constexpr int kTuningStep15k = 4;
constexpr std::int32_t kGpsAlarmRx = 1;

int bandSide(const ChannelRecord& channel) {
    // A function memory band in VFO mode can only tune its own band.
    if (channel.kind == kKindFunction && channel.memoryMode == kMemoryModeVfo) {
        return channel.index % 2 == 0 ? frequency::kSideLeft : frequency::kSideRight;
    }
    return frequency::kSideEither;
}

} // namespace

SettingChecks::SettingChecks(cmcEeprom& image, DestinationCode destination,
                             const FeatureFlags& flags)
    : m_image(image), m_destination(destination), m_flags(flags),
      m_ranges(FrequencyRangeTable::forDestination(destination)) {}

bool SettingChecks::isAllowed(const ChannelRecord& channel) const {
    return !frequency::isFlagged(channel.frequency, bandSide(channel), m_ranges, m_flags);
}

bool SettingChecks::isWarning(const ChannelRecord& channel) const {
    return channel.used && m_destination >= 0 && m_destination < kDestinationCount &&
           !isAllowed(channel);
}

bool SettingChecks::isError(const ChannelRecord& channel) const {
    if (!channel.used) {
        return false;
    }
    if (channel.frequency >= frequency::kNoFrequency) {
        return true;
    }
    if (frequency::bandOf(channel.frequency) == 7 && isAllowed(channel)) {
        if (channel.offset % 10000 != 0 && channel.offset % 12500 != 0) {
            return true;
        }
        if (channel.tuningStep == kTuningStep5k || channel.tuningStep == kTuningStep6_25k ||
            channel.tuningStep == kTuningStep15k) {
            return true;
        }
    }
    if (channel.mode == kModeDv && !m_flags.hasUsableDv()) {
        return true;
    }
    if (channel.kind == kKindChannel && channel.index < imagemap::kBankableChannelCount &&
        channel.bankGroup < imagemap::kBankCount &&
        channel.bankChannel < imagemap::kBankSlotCount &&
        banklink::slot(m_image, channel.bankGroup, channel.bankChannel) ==
            imagemap::kBankSlotConflict) {
        return true;
    }
    return false;
}

std::uint8_t SettingChecks::channelVerdict(const ChannelRecord& channel) const {
    return static_cast<std::uint8_t>((isWarning(channel) ? kVerdictWarning : 0) |
                                     (isError(channel) ? kVerdictError : 0));
}

std::uint8_t SettingChecks::channelRange(int first, int last) const {
    ChannelRecord channel(m_image);
    std::uint8_t bits = 0;
    for (int index = first; index <= last; ++index) {
        if (channel.load(kKindChannel, index)) {
            bits |= channelVerdict(channel);
        }
    }
    return bits;
}

std::uint8_t SettingChecks::functionMemory(int memory) const {
    ChannelRecord channel(m_image);
    bool warningScan = true;
    std::uint8_t bits = 0;
    for (int index = memory * 2; index <= memory * 2 + 1; ++index) {
        if (!channel.load(kKindFunction, index)) {
            continue;
        }
        // The US weather channels lie outside the transmit ranges on purpose.
        if (warningScan && isUsaDestination(m_destination) &&
            channel.memoryMode == kMemoryModeWeather) {
            warningScan = false;
            bits &= static_cast<std::uint8_t>(~kVerdictWarning);
        }
        if (warningScan && isWarning(channel)) {
            bits |= kVerdictWarning;
        }
        if (isError(channel)) {
            bits |= kVerdictError;
        }
    }
    return bits;
}

std::uint8_t SettingChecks::bank(int bankNumber) const {
    ChannelRecord channel(m_image);
    std::uint8_t bits = 0;
    for (int slot = 0; slot < imagemap::kBankSlotCount; ++slot) {
        // Empty slots and slots that two channels claim name no channel.
        const std::uint16_t index = banklink::slot(m_image, bankNumber, slot);
        if (index >= imagemap::kFirstCallChannel) {
            continue;
        }
        if (channel.load(kKindChannel, index)) {
            bits |= channelVerdict(channel);
        }
    }
    return bits;
}

bool SettingChecks::gpsAlarmConflict() const {
    if (!m_flags.digitalUnit || !m_flags.dvInhibit) {
        return false;
    }
    const SettingEntry* alarm = findSetting(CL_Common_Gps_Alarm, m_destination);
    if (alarm == nullptr) {
        return false;
    }
    const std::optional<std::int32_t> value = readSetting(m_image, SettingsBlock::Main, *alarm);
    return value && *value == kGpsAlarmRx;
}

std::uint8_t SettingChecks::gpsMemories(int gpsBank) const {
    const int count = ChannelRecord::gpsMemoryCount(m_image);
    bool any = false;
    if (gpsBank < 0) {
        any = count > 0;
    } else {
        ChannelRecord memory(m_image);
        for (int index = 0; index < count && !any; ++index) {
            // Bank group 0 is OFF, 1-26 are banks A-Z.
            any = memory.load(kKindGps, index) && memory.gpsBankGroup == gpsBank + 1;
        }
    }
    return any && gpsAlarmConflict() ? kVerdictError : 0;
}

std::uint8_t SettingChecks::common() const {
    return gpsAlarmConflict() ? kVerdictError : 0;
}

std::uint8_t SettingChecks::verdict(CellLinkId link) const {
    if (link >= CL_Check_MemoryCH0 && link <= CL_Check_MemoryCH4) {
        const int first = (link - CL_Check_MemoryCH0) * 100;
        return channelRange(first, first + 99);
    }
    if (link >= CL_Check_BankCHA && link <= CL_Check_BankCHZ) {
        return bank(link - CL_Check_BankCHA);
    }
    if (link >= CL_Check_GpsBankCHA && link <= CL_Check_GpsBankCHZ) {
        return gpsMemories(link - CL_Check_GpsBankCHA);
    }
    switch (link) {
    case CL_Check_MemoryCHS:
        return channelRange(imagemap::kFirstScanEdge,
                            imagemap::kFirstScanEdge + imagemap::kScanEdgeCount - 1);
    case CL_Check_MemoryCHC:
        return channelRange(imagemap::kFirstCallChannel,
                            imagemap::kFirstCallChannel + imagemap::kCallChannelCount - 1);
    case CL_Check_Func1CH:
        return functionMemory(0);
    case CL_Check_Func2CH:
        return functionMemory(1);
    case CL_Check_GpsMemory:
        return gpsMemories(-1);
    case CL_Check_Common:
        return common();
    default:
        return 0;
    }
}

} // namespace qx
