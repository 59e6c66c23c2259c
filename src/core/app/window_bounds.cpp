#include "app/window_bounds.h"

#include <algorithm>
#include <cstdint>

namespace qx {

namespace {

constexpr std::int64_t kCorner = 16;
constexpr int kMinimumPane = 8;
constexpr int kSplitterWidth = 3;

// The default size (nine tenths of the area, at most `largest`) for a size that is not
// positive, the area's own for one beyond it.
int fittedSize(int size, int area, int largest) {
    const std::int64_t room = std::max(area, 1);
    if (size <= 0) {
        return static_cast<int>(
            std::max<std::int64_t>(1, std::min<std::int64_t>(room * 9 / 10, largest)));
    }
    return static_cast<int>(std::min<std::int64_t>(size, room));
}

} // namespace

ScreenRect reachableWindowBounds(ScreenRect bounds, const ScreenRect& workArea) {
    bounds.width = fittedSize(bounds.width, workArea.width, 800);
    bounds.height = fittedSize(bounds.height, workArea.height, 600);
    const std::int64_t areaLeft = workArea.left;
    const std::int64_t areaTop = workArea.top;
    const std::int64_t areaRight = areaLeft + workArea.width;
    const std::int64_t areaBottom = areaTop + workArea.height;
    std::int64_t left = bounds.left;
    std::int64_t top = bounds.top;
    left = std::min(left, areaRight - kCorner);
    top = std::min(top, areaBottom - kCorner);
    if (left + bounds.width < areaLeft + kCorner) {
        left = areaLeft + kCorner - bounds.width;
    }
    top = std::max(top, areaTop);
    // Both now lie within a width or height of the area's edges, well inside int's range.
    bounds.left = static_cast<int>(left);
    bounds.top = static_cast<int>(top);
    return bounds;
}

int fittedSplitter(int splitterV, int windowWidth) {
    const int widest = std::max(kMinimumPane, windowWidth - kSplitterWidth - kMinimumPane);
    return std::clamp(splitterV, kMinimumPane, widest);
}

} // namespace qx
