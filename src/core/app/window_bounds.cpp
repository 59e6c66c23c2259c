#include "app/window_bounds.h"

namespace qx {

ScreenRect reachableWindowBounds(ScreenRect bounds, const ScreenRect& workArea) {
    constexpr int kCorner = 16;
    if (bounds.left > workArea.right() - kCorner) {
        bounds.left = workArea.right() - kCorner;
    }
    if (bounds.top > workArea.bottom() - kCorner) {
        bounds.top = workArea.bottom() - kCorner;
    }
    if (bounds.left + bounds.width < workArea.left + kCorner) {
        bounds.left = workArea.left + kCorner - bounds.width;
    }
    if (bounds.top < workArea.top) {
        bounds.top = workArea.top;
    }
    return bounds;
}

} // namespace qx
