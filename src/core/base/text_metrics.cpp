#include "base/text_metrics.h"

#include <cstdlib>

namespace qx {

namespace {
int pixelHeight(const cmcFont& font) {
    const int h = std::abs(font.height);
    return h == 0 ? 1 : h;
}
} // namespace

int FixedTextMetrics::textWidth(const cmcFont& font, std::string_view line) const {
    const int charWidth = pixelHeight(font) / 2 > 0 ? pixelHeight(font) / 2 : 1;
    return charWidth * static_cast<int>(line.size());
}

int FixedTextMetrics::textHeight(const cmcFont& font, std::string_view /*line*/) const {
    return pixelHeight(font);
}

} // namespace qx
