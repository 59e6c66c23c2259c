#pragma once

#include "radio/value_format.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qx {

// Names may hold half-width katakana only for Japanese destinations on a Japanese system.
bool halfWidthKanaNamesAllowed(std::int32_t destination, bool japaneseSystem);

// A fixed-width character field as shown: characters outside 32-126 (and, with kana allowed,
// outside 0xA1-0xDF) show as spaces; trailing blanks are not shown.
std::string formatTextField(std::string_view stored, bool kanaAllowed);

// The bytes to store for a committed text: its first `width` characters, space padded. With
// kana allowed the text is first turned into half-width kana and every character that is
// neither printable ASCII nor half-width kana is removed; without, such characters become
// spaces, as they would show.
std::string parseTextField(std::string_view committed, std::size_t width, bool kanaAllowed);

// Call signs: '0'-'9', 'A'-'Z' and '/' are kept, lower-case letters are raised, anything else
// becomes a space. The same rule applies to stored bytes when they are shown.
inline constexpr std::size_t kCallSignWidth = 8;
inline constexpr std::size_t kCallSignNoteWidth = 4;
inline constexpr std::string_view kCqCallSign = "CQCQCQ  ";
std::string formatCallSign(std::string_view stored);
std::string parseCallSign(std::string_view committed, std::size_t width = kCallSignWidth);

// DTMF memories: 24 digit bytes 0-15, 0xFF after the last digit.
inline constexpr std::size_t kDtmfDigits = 24;
using DtmfCode = std::array<std::uint8_t, kDtmfDigits>;
std::string formatDtmfCode(std::span<const std::uint8_t> stored);
// Keeps digits and "abcdefABCDEF*#"; '*' and 'E' are digit 14, '#' and 'F' digit 15. Digits
// past the 24th are dropped; an empty text clears the memory.
DtmfCode parseDtmfCode(std::string_view committed);

// Pager memories: three bytes, one decimal digit in the low half of each.
inline constexpr std::int32_t kPagerRows = 6;
using PagerCode = std::array<std::uint8_t, 3>;
// Rows past the pager memories show "---"; bytes that hold no decimal digit show nothing.
std::string formatPagerCode(std::span<const std::uint8_t, 3> stored, std::int32_t row);
// Needs at least three characters; the decimal digits among the first three are stored one a
// byte from the first, the rest of the bytes 0xFF.
ParseResult<PagerCode> parsePagerCode(std::string_view committed);

} // namespace qx
