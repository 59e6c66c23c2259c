#include "radio/row_label.h"

#include <cstdio>

namespace qx {
namespace {

constexpr std::int32_t kCallSignMemories = 60;

std::string formatted(const char* format, std::int32_t value) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, format, static_cast<int>(value));
    return buffer;
}

} // namespace

std::string dtmfRowLabel(std::int32_t row) {
    if (row == 14) {
        return "d*";
    }
    if (row == 15) {
        return "d#";
    }
    return formatted("d%X", row);
}

std::string pagerRowLabel(std::int32_t row) {
    return formatted("C%X", row);
}

std::string txMessageRowLabel(std::int32_t row) {
    return formatted("0%X", row);
}

std::string myCallSignRowLabel(std::int32_t row) {
    return formatted("M%02X", row + 1);
}

std::string yourCallSignRowLabel(std::int32_t row) {
    return row >= 0 && row < kCallSignMemories ? formatted("U%02d", row + 1) : "U--";
}

std::string repeaterCallSignRowLabel(std::int32_t row) {
    return row >= 0 && row < kCallSignMemories ? formatted("R%02d", row + 1) : "R--";
}

std::string receivedCallStatusText(std::uint8_t status) {
    switch (status & 0x07) {
    case 1:
        return "RPT?";
    case 2:
        return "UR?";
    default:
        break;
    }
    return (status & 0x40) != 0 ? "RPT UP" : "";
}

std::string receivedCallBreakInText(std::uint8_t status) {
    return (status & 0x20) != 0 ? "*" : "";
}

std::string receivedCallEmergencyText(std::uint8_t status) {
    return (status & 0x08) != 0 ? "*" : "";
}

} // namespace qx
