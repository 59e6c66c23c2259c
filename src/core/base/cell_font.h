#pragma once

#include <cstdint>
#include <string>

namespace qx {

// Font styles, combinable.
enum FontStyle : std::uint8_t {
    kFontBold = 1,
    kFontItalic = 2,
    kFontUnderline = 4,
    kFontStrikeOut = 8,
};

// A font as the definitions describe it. Height is in pixels as the platform font takes it
// (negative = character height); the point size is derived from it at 96 pixels per inch.
struct cmcFont {
    std::int32_t charset = 1; // DEFAULT_CHARSET
    std::string face = "MS Sans Serif";
    std::uint32_t color = 0xFF000008; // clWindowText
    std::int32_t height = -11;
    std::uint8_t styles = 0;
    std::int32_t pitch = 0;

    std::int32_t size() const;
    void setSize(std::int32_t points);

    bool operator==(const cmcFont&) const = default;
};

} // namespace qx
