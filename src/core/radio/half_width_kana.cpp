#include "radio/half_width_kana.h"

#include <array>
#include <cstdint>
#include <optional>

namespace qx {
namespace {

// Half-width form of the 83 kana shared by hiragana (0x829F...) and katakana (0x8340...), in
// code order: the second byte is 0xDE (voiced) or 0xDF (semi-voiced), 0 when none. Small wa,
// wi and we have no half-width form and take the nearest one.
struct HalfWidth {
    std::uint8_t base;
    std::uint8_t mark;
};

constexpr std::uint8_t kV = 0xDE;
constexpr std::uint8_t kP = 0xDF;

constexpr std::array<HalfWidth, 83> kKana{{
    // a i u e o, small and normal
    {0xA7, 0},
    {0xB1, 0},
    {0xA8, 0},
    {0xB2, 0},
    {0xA9, 0},
    {0xB3, 0},
    {0xAA, 0},
    {0xB4, 0},
    {0xAB, 0},
    {0xB5, 0},
    // ka ga ki gi ku gu ke ge ko go
    {0xB6, 0},
    {0xB6, kV},
    {0xB7, 0},
    {0xB7, kV},
    {0xB8, 0},
    {0xB8, kV},
    {0xB9, 0},
    {0xB9, kV},
    {0xBA, 0},
    {0xBA, kV},
    // sa za shi ji su zu se ze so zo
    {0xBB, 0},
    {0xBB, kV},
    {0xBC, 0},
    {0xBC, kV},
    {0xBD, 0},
    {0xBD, kV},
    {0xBE, 0},
    {0xBE, kV},
    {0xBF, 0},
    {0xBF, kV},
    // ta da chi di small-tsu tsu du te de to do
    {0xC0, 0},
    {0xC0, kV},
    {0xC1, 0},
    {0xC1, kV},
    {0xAF, 0},
    {0xC2, 0},
    {0xC2, kV},
    {0xC3, 0},
    {0xC3, kV},
    {0xC4, 0},
    {0xC4, kV},
    // na ni nu ne no
    {0xC5, 0},
    {0xC6, 0},
    {0xC7, 0},
    {0xC8, 0},
    {0xC9, 0},
    // ha ba pa hi bi pi fu bu pu he be pe ho bo po
    {0xCA, 0},
    {0xCA, kV},
    {0xCA, kP},
    {0xCB, 0},
    {0xCB, kV},
    {0xCB, kP},
    {0xCC, 0},
    {0xCC, kV},
    {0xCC, kP},
    {0xCD, 0},
    {0xCD, kV},
    {0xCD, kP},
    {0xCE, 0},
    {0xCE, kV},
    {0xCE, kP},
    // ma mi mu me mo
    {0xCF, 0},
    {0xD0, 0},
    {0xD1, 0},
    {0xD2, 0},
    {0xD3, 0},
    // small ya, ya, small yu, yu, small yo, yo
    {0xAC, 0},
    {0xD4, 0},
    {0xAD, 0},
    {0xD5, 0},
    {0xAE, 0},
    {0xD6, 0},
    // ra ri ru re ro
    {0xD7, 0},
    {0xD8, 0},
    {0xD9, 0},
    {0xDA, 0},
    {0xDB, 0},
    // small wa, wa, wi, we, wo, n
    {0xDC, 0},
    {0xDC, 0},
    {0xB2, 0},
    {0xB4, 0},
    {0xA6, 0},
    {0xDD, 0},
}};

constexpr std::uint16_t kHiraganaFirst = 0x829F;
constexpr std::uint16_t kKatakanaFirst = 0x8340;
constexpr std::uint16_t kKatakanaGap = 0x837F; // not a character: the codes skip it

// Punctuation and the katakana past "n".
struct Pair {
    std::uint16_t code;
    HalfWidth halfWidth;
};
constexpr std::array<Pair, 17> kOthers{{
    {0x8140, {0x20, 0}},  // ideographic space
    {0x8141, {0xA4, 0}},  // ideographic comma
    {0x8142, {0xA1, 0}},  // ideographic full stop
    {0x8145, {0xA5, 0}},  // middle dot
    {0x814A, {0xDE, 0}},  // voiced mark
    {0x814B, {0xDF, 0}},  // semi-voiced mark
    {0x815B, {0xB0, 0}},  // prolonged sound mark
    {0x8175, {0xA2, 0}},  // left corner bracket
    {0x8176, {0xA3, 0}},  // right corner bracket
    {0x8394, {0xB3, kV}}, // vu
    {0x8395, {0xB6, 0}},  // small ka
    {0x8396, {0xB9, 0}},  // small ke
    {0x8144, {'.', 0}},
    {0x8146, {':', 0}},
    {0x815E, {'/', 0}},
    {0x817C, {'-', 0}},
    {0x817B, {'+', 0}},
}};

std::optional<HalfWidth> halfWidthOf(std::uint16_t code) {
    if (code >= kHiraganaFirst && code < kHiraganaFirst + kKana.size()) {
        return kKana[code - kHiraganaFirst];
    }
    if (code >= kKatakanaFirst && code <= 0x8393 && code != kKatakanaGap) {
        const std::size_t position = code - kKatakanaFirst - (code > kKatakanaGap ? 1 : 0);
        return kKana[position];
    }
    // Full-width digits, upper-case and lower-case letters.
    if (code >= 0x824F && code <= 0x8258) {
        return HalfWidth{static_cast<std::uint8_t>('0' + code - 0x824F), 0};
    }
    if (code >= 0x8260 && code <= 0x8279) {
        return HalfWidth{static_cast<std::uint8_t>('A' + code - 0x8260), 0};
    }
    if (code >= 0x8281 && code <= 0x829A) {
        return HalfWidth{static_cast<std::uint8_t>('a' + code - 0x8281), 0};
    }
    for (const Pair& pair : kOthers) {
        if (pair.code == code) {
            return pair.halfWidth;
        }
    }
    return std::nullopt;
}

} // namespace

std::string toHalfWidthKana(std::string_view shiftJis) {
    std::string result;
    result.reserve(shiftJis.size());
    for (std::size_t i = 0; i < shiftJis.size(); ++i) {
        const auto lead = static_cast<unsigned char>(shiftJis[i]);
        if (!isShiftJisLeadByte(lead)) {
            result.push_back(shiftJis[i]);
            continue;
        }
        if (i + 1 >= shiftJis.size()) {
            break;
        }
        const auto trail = static_cast<unsigned char>(shiftJis[i + 1]);
        ++i;
        const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
        if (const std::optional<HalfWidth> half = halfWidthOf(code)) {
            result.push_back(static_cast<char>(half->base));
            if (half->mark != 0) {
                result.push_back(static_cast<char>(half->mark));
            }
        } else {
            result.push_back(static_cast<char>(lead));
            result.push_back(static_cast<char>(trail));
        }
    }
    return result;
}

} // namespace qx
