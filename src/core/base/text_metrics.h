#pragma once

#include "base/cell_font.h"

#include <string_view>

namespace qx {

// Sizes of one line of text in a font, for the sizing pass of sheets and for pagination.
class TextMetrics {
public:
    virtual ~TextMetrics() = default;
    virtual int textWidth(const cmcFont& font, std::string_view line) const = 0;
    virtual int textHeight(const cmcFont& font, std::string_view line) const = 0;
};

// Metrics without a window system: every character is half the font's pixel height wide and
// a line is the pixel height tall. Good enough to lay out sheets for printing as text.
class FixedTextMetrics : public TextMetrics {
public:
    int textWidth(const cmcFont& font, std::string_view line) const override;
    int textHeight(const cmcFont& font, std::string_view line) const override;
};

} // namespace qx
