#pragma once

#include "radio/cell_link_names.h"
#include "radio/feature_flags.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace qx {

// The 29 bytes the transceiver answers an information request with: its comment, destination
// and the switches of its optional units.
struct CloneInformation {
    static constexpr std::size_t kSize = 29;
    std::array<std::uint8_t, kSize> bytes{};

    // False when the bytes are not exactly 29: nothing is taken.
    bool assign(std::span<const std::uint8_t> received);

    std::string comment() const; // 16 characters as stored
    std::int32_t destination() const { return bytes[16]; }
    bool dvInhibit() const { return (bytes[17] & 0x01) != 0; }
    bool pagerInhibit() const { return (bytes[19] & 0x04) != 0; }
    bool rxExpansion() const { return (bytes[20] & 0x01) != 0; }
    bool fccInhibit() const { return (bytes[20] & 0x02) != 0; }
    bool digitalUnit() const { return (bytes[20] & 0x04) != 0; }
    FeatureFlags features() const;
};

// What a clone information cell shows: the comment, the destination name, or "Normal",
// "Inhibit" or "Expansion" for the switches. Empty for any other link.
std::string cloneInformationText(CellLinkId link, const CloneInformation& information);

} // namespace qx
