#pragma once

#include <array>
#include <cstdint>

namespace qx {

// The transceiver's sales region, 0-15, taken from its clone information; 16 until known.
using DestinationCode = std::int32_t;

inline constexpr DestinationCode kDestinationCount = 16;
inline constexpr DestinationCode kDestinationUnset = 16;
// The built-in image used while the destination is unknown.
inline constexpr int kFallbackDefaultBlock = 13;

// "USA_0000" ... "JPN_1111" for 0-15, "Unknown" for anything else.
const char* destinationName(DestinationCode code);

// Which of the sixteen built-in images belongs to a destination.
int defaultBlockOf(DestinationCode code);

bool isUsaDestination(DestinationCode code);      // 0, 1
bool isJpnDestination(DestinationCode code);      // 13, 14, 15
bool isJpnOrKorDestination(DestinationCode code); // 10, 13, 14, 15

struct FrequencyRange {
    std::uint32_t low = 0xFFFFFFFF; // inclusive, Hz; all bits set when unused
    std::uint32_t high = 0xFFFFFFFF;
    bool isUsed() const { return low != 0xFFFFFFFF || high != 0xFFFFFFFF; }
};

// The frequencies of a destination that count as outside its normal coverage: a frequency in
// one of them needs the receive expansion of the transceiver.
class FrequencyRangeTable {
public:
    static constexpr int kCapacity = 10;

    FrequencyRangeTable() = default;
    static FrequencyRangeTable forDestination(DestinationCode code);

    bool contains(std::uint32_t frequency) const;
    const std::array<FrequencyRange, kCapacity>& ranges() const { return m_ranges; }

private:
    std::array<FrequencyRange, kCapacity> m_ranges{};
};

} // namespace qx
