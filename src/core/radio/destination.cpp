#include "radio/destination.h"

#include <initializer_list>

namespace qx {

namespace {

constexpr std::array<const char*, kDestinationCount> kNames = {
    "USA_0000", "USA_0001", "AUS_0010", "SEA_0011", "EUR_0100", "EUR_0101", "EUR_0110", "EUR_0111",
    "EUR_1000", "EUR_1001", "KOR_1010", "TPE_1011", "ITA_1100", "JPN_1101", "JPN_1110", "JPN_1111"};

bool isKnown(DestinationCode code) {
    return code >= 0 && code < kDestinationCount;
}

} // namespace

const char* destinationName(DestinationCode code) {
    return isKnown(code) ? kNames[static_cast<std::size_t>(code)] : "Unknown";
}

int defaultBlockOf(DestinationCode code) {
    return isKnown(code) ? code : kFallbackDefaultBlock;
}

bool isUsaDestination(DestinationCode code) {
    return code == 0 || code == 1;
}

bool isJpnDestination(DestinationCode code) {
    return code >= 13 && code <= 15;
}

bool isJpnOrKorDestination(DestinationCode code) {
    return code == 10 || isJpnDestination(code);
}

FrequencyRangeTable FrequencyRangeTable::forDestination(DestinationCode code) {
    FrequencyRangeTable table;
    const auto set = [&table](std::initializer_list<FrequencyRange> list) {
        std::size_t i = 0;
        for (const FrequencyRange& range : list) {
            table.m_ranges[i++] = range;
        }
    };
    switch (code) {
    case 0:
    case 1:
        set({{824000000, 848999999}, {869000000, 893999999}});
        break;
    case 2:
        set({{118000000, 143999999}, {148000001, 429999999}, {440000001, 999990000}});
        break;
    case 3:
    case 7:
    case 8:
    case 9:
        break;
    case 4:
        set({{118000000, 143999999}, {146000001, 431999999}, {438000001, 999990000}});
        break;
    case 5:
    case 6:
    case 10:
        set({{118000000, 143999999}, {146000001, 429999999}, {440000001, 999990000}});
        break;
    case 11:
        set({{118000000, 143999999}, {146000001, 429999999}, {432000001, 999990000}});
        break;
    case 12:
        set({{118000000, 143999999},
             {146000001, 429999999},
             {434000001, 434999999},
             {438000001, 999990000}});
        break;
    default:
        set({{252900000, 255099999},
             {261900000, 266099999},
             {270900000, 275099999},
             {379900000, 382099999},
             {411900000, 415099999},
             {810000000, 834099999},
             {859900000, 889099999},
             {914900000, 960099999}});
        break;
    }
    return table;
}

bool FrequencyRangeTable::contains(std::uint32_t frequency) const {
    for (const FrequencyRange& range : m_ranges) {
        if (range.isUsed() && frequency >= range.low && frequency <= range.high) {
            return true;
        }
    }
    return false;
}

} // namespace qx
