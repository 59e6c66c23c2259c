#pragma once

#include <string>
#include <string_view>

namespace qx {

// Shift-JIS text with full-width katakana, hiragana, the kana punctuation and full-width
// letters, digits and space turned into their single-byte (half-width) forms. Voiced and
// semi-voiced kana become two bytes (base + 0xDE or 0xDF). Other characters pass unchanged;
// a lead byte without its trail byte is dropped.
std::string toHalfWidthKana(std::string_view shiftJis);

// True for the first byte of a Shift-JIS double-byte character.
constexpr bool isShiftJisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// True for a half-width katakana byte (0xA1-0xDF).
constexpr bool isHalfWidthKana(unsigned char c) {
    return c >= 0xA1 && c <= 0xDF;
}

} // namespace qx
