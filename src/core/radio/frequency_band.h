#pragma once

#include "radio/destination.h"
#include "radio/feature_flags.h"

#include <cstdint>

namespace qx {

// Bands, grids and coverage of the transceiver's frequencies (Hz).
namespace frequency {

inline constexpr std::uint32_t kBand7Start = 810000000;
// Placeholder of a channel that has no valid frequency yet.
inline constexpr std::uint32_t kNoFrequency = 1000000000;
inline constexpr std::uint32_t kMaxOffset = 159995000;

// 0-7: how many of the edges 136, 137, 174, 322, 400, 470 and 810 MHz lie at or below f.
int bandOf(std::uint32_t frequency);

// Snaps to the nearer of the two channel grids of the band (5 / 6.25 kHz, in band 7 10 / 12.5
// kHz). A value that would leave the 32-bit range is kept as it is.
std::uint32_t snap(std::uint32_t value, bool band7);
std::uint32_t snapFrequency(std::uint32_t frequency);
// The offset follows the grid of its channel's frequency and stays within kMaxOffset.
std::uint32_t snapOffset(std::uint32_t offset, std::uint32_t channelFrequency);

struct Grids {
    int frequencyGrid = 0; // 0 = multiple of 5 (10) kHz, 1 = of 6.25 (12.5) kHz
    int offsetGrid = 0;
};
Grids selectGrids(std::uint32_t frequency, std::uint32_t offset);

// Which band a record may use: a function memory in VFO mode is tied to its band.
inline constexpr int kSideLeft = 0;
inline constexpr int kSideRight = 1;
inline constexpr int kSideEither = 2;

// 0 = in one of the destination's ranges (needs receive expansion), 1 = not allowed at all,
// 2 = allowed.
inline constexpr int kClassRestricted = 0;
inline constexpr int kClassNotAllowed = 1;
inline constexpr int kClassAllowed = 2;
int classify(std::uint32_t frequency, int side, const FrequencyRangeTable& ranges,
             const FeatureFlags& flags);

// True when the frequency draws a warning on this transceiver.
bool isFlagged(std::uint32_t frequency, int side, const FrequencyRangeTable& ranges,
               const FeatureFlags& flags);

} // namespace frequency
} // namespace qx
