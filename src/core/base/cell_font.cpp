#include "base/cell_font.h"

namespace qx {

namespace {
constexpr std::int32_t kPixelsPerInch = 96;

// a * b / c rounded to nearest, as the platform's MulDiv does.
std::int32_t mulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    const std::int64_t p = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = c / 2;
    return static_cast<std::int32_t>(p >= 0 ? (p + half) / c : (p - half) / c);
}
} // namespace

std::int32_t cmcFont::size() const {
    return -mulDiv(height, 72, kPixelsPerInch);
}

void cmcFont::setSize(std::int32_t points) {
    height = -mulDiv(points, kPixelsPerInch, 72);
}

} // namespace qx
