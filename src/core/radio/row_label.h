#pragma once

#include <cstdint>
#include <string>

namespace qx {

// Row labels of the memory sheets, formed from the row index.
// DTMF memories "d0" ... "dD", then "d*" and "d#".
std::string dtmfRowLabel(std::int32_t row);
// Pager memories "C0" ...
std::string pagerRowLabel(std::int32_t row);
// TX messages "00" ... "04".
std::string txMessageRowLabel(std::int32_t row);
// My call signs "M01" ... "M06" (hexadecimal of row + 1).
std::string myCallSignRowLabel(std::int32_t row);
// Destination and repeater call signs "U01" ... "U60", "R01" ... "R60"; a row outside the 60
// memories (the empty pick) shows "U--" or "R--".
std::string yourCallSignRowLabel(std::int32_t row);
std::string repeaterCallSignRowLabel(std::int32_t row);

// The status column of a received call: "RPT?", "UR?", "RPT UP" or nothing.
std::string receivedCallStatusText(std::uint8_t status);
// The break-in and emergency columns: "*" when the bit is set.
std::string receivedCallBreakInText(std::uint8_t status);
std::string receivedCallEmergencyText(std::uint8_t status);

} // namespace qx
