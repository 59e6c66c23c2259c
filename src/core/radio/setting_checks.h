#pragma once

#include "radio/cell_link_names.h"
#include "radio/destination.h"
#include "radio/feature_flags.h"

#include <cstdint>

namespace qx {

class ChannelRecord;
class cmcEeprom;

// Verdict bits of a check, the same bits the cell request carries as its marks.
inline constexpr std::uint8_t kVerdictWarning = 4;
inline constexpr std::uint8_t kVerdictError = 8;

// What the connected transceiver allows, checked against the channel data of one image: each
// check link gives the verdict of one sheet. Errors block a clone write, warnings need a
// confirmation.
class SettingChecks {
public:
    // The image is only read; its bank link table must be current.
    SettingChecks(cmcEeprom& image, DestinationCode destination, const FeatureFlags& flags);

    // A used channel whose frequency this transceiver may not use, or may use only with its
    // receive expansion. Never while the destination is unknown.
    bool isWarning(const ChannelRecord& channel) const;
    // A used channel the transceiver cannot take: no valid frequency, an offset or tuning step
    // off the 810 MHz band's grid, DV without a usable digital unit, or a bank slot that two
    // channels claim.
    bool isError(const ChannelRecord& channel) const;
    // Both tests as verdict bits.
    std::uint8_t channelVerdict(const ChannelRecord& channel) const;

    static bool isCheckLink(CellLinkId link) {
        return link >= CL_Check_MemoryCH0 && link <= CL_Check_Common;
    }
    // The verdict of the sheet a check link stands for; 0 for any other link.
    std::uint8_t verdict(CellLinkId link) const;

    // The sheets one at a time.
    std::uint8_t channelRange(int first, int last) const; // memory, scan edge, call channels
    std::uint8_t functionMemory(int memory) const;        // 0 = F-1, 1 = F-2
    std::uint8_t bank(int bank) const;                    // 0-25
    // GPS memories of one GPS bank (0-25), or all of them (-1).
    std::uint8_t gpsMemories(int gpsBank) const;
    std::uint8_t common() const;

private:
    // The frequency needs no warning (the band-7 grid rules apply only then).
    bool isAllowed(const ChannelRecord& channel) const;
    bool gpsAlarmConflict() const;

    cmcEeprom& m_image;
    DestinationCode m_destination;
    FeatureFlags m_flags;
    FrequencyRangeTable m_ranges;
};

} // namespace qx
