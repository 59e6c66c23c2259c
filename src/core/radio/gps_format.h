#pragma once

#include "radio/value_format.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qx {

// UTC offset in minutes: "+5:30", "-5:30", "0:00".
std::string formatUtcOffset(std::int32_t minutes);
// Keeps digits and "+-:"; a leading '-' makes it negative; "hh:mm" of at most five characters;
// minutes are rounded to fives and the result must lie within twelve hours.
ParseResult<std::int32_t> parseUtcOffset(std::string_view text);

// Position area: minutes and seconds, "mm'ss" followed by the seconds sign.
struct PositionArea {
    std::uint8_t minutes = 0;
    std::uint8_t seconds = 0;
    bool operator==(const PositionArea&) const = default;
};
std::string formatPositionArea(PositionArea area);
// From 5 seconds to 59'59.
ParseResult<PositionArea> parsePositionArea(std::string_view text);

// GPS date: BCD day, month, year - 2000. GPS time: BCD hours, minutes, seconds.
using BcdDate = std::array<std::uint8_t, 3>;
using BcdTime = std::array<std::uint8_t, 3>;
// A date or time whose bytes are no valid BCD value of the field shows as dashes.
std::string formatGpsDate(std::span<const std::uint8_t, 3> stored, DateOrder order);
std::string formatGpsTime(std::span<const std::uint8_t, 3> stored);
// The text in the given order, separated by '/'; accepted from 2006/01/01 to 2099/12/30.
ParseResult<BcdDate> parseGpsDate(std::string_view text, DateOrder order);
// "hh:mm:ss" of a real time of day.
ParseResult<BcdTime> parseGpsTime(std::string_view text);

// Positions: latitude BCD degrees, minutes, seconds and 'N'/'S'; longitude BCD hundreds of
// degrees, degrees, minutes, seconds and 'E'/'W'. The degree sign is 0xB0 in Windows-1252 and
// the half-width 0xDF in Shift-JIS.
using Latitude = std::array<std::uint8_t, 4>;
using Longitude = std::array<std::uint8_t, 5>;
std::string formatLatitude(std::span<const std::uint8_t, 4> stored, CodePage codePage);
std::string formatLongitude(std::span<const std::uint8_t, 5> stored, CodePage codePage);
// The digits of the shown form (blanks or '_' count as 0) and the hemisphere letter; degrees,
// minutes and seconds written together may not pass 900000 (latitude) or 1800000 (longitude),
// and minutes and seconds stay below 60.
ParseResult<Latitude> parseLatitude(std::string_view text);
ParseResult<Longitude> parseLongitude(std::string_view text);

// A received call's date and time as one text, date in the order of the system.
std::string formatReceivedDateTime(std::span<const std::uint8_t, 3> date,
                                   std::span<const std::uint8_t, 3> time, DateOrder order);

} // namespace qx
