#pragma once

#include "radio/value_format.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qx {

// A decimal editor over an integer in base units: 10^exponent base units make one shown unit.
struct ScaledDecimalFormat {
    std::int32_t exponent = 6;
    std::int32_t fractionDigits = 6;
    std::int64_t minimum = 0; // base units
    std::int64_t maximum = 0;
    std::int32_t step = 1;
};

// Frequencies and offsets in Hz, shown in MHz with six fraction digits.
ScaledDecimalFormat frequencyFormat();
// The offset limit is 159.99 MHz for channels at or above 810 MHz, 159.995 MHz below.
ScaledDecimalFormat offsetFormat(std::uint32_t channelFrequency);

// "%3d.%06d" for six fraction digits: 146010000 shows as "146.010000".
std::string formatScaledDecimal(std::int64_t value, const ScaledDecimalFormat& format);

// Keeps digits, '.' and '-' (at most nine of them), reads the number, rounds it half away from
// zero to base units, drops the remainder of the step and clamps to the limits.
ParseResult<std::int64_t> parseScaledDecimal(std::string_view text,
                                             const ScaledDecimalFormat& format);

std::string formatFrequency(std::uint32_t hz);
// Parsed, clamped to 0.495-999.99 MHz and snapped to the channel grid of its band:
// "146.01" gives 146010000, "145.0062" 145006250.
ParseResult<std::uint32_t> parseFrequency(std::string_view text);
// Snapped on the grid of the channel's band and held within the offset limit.
ParseResult<std::uint32_t> parseOffset(std::string_view text, std::uint32_t channelFrequency);

// Air (train) frequency: a whole number, rounded to tens and clamped to 300-3000.
std::string formatAirFrequency(std::int32_t value);
ParseResult<std::int32_t> parseAirFrequency(std::string_view text);

// Plain whole numbers (digital code 0-127, bank channel 0-99, Wx channel 0-9).
std::string formatWholeNumber(std::int32_t value);
ParseResult<std::int32_t> parseWholeNumber(std::string_view text, std::int32_t minimum,
                                           std::int32_t maximum);

} // namespace qx
