#pragma once

#include "base/system_info.h"

namespace qx {

// Fits stored window bounds to the work area: a size that is not positive takes the default, one
// larger than the work area shrinks to it, and the window then moves so that at least a 16-pixel
// corner lies inside the work area (a screen may have shrunk or gone since the bounds were
// saved). Any stored numbers, however large, are computed without overflow.
ScreenRect reachableWindowBounds(ScreenRect bounds, const ScreenRect& workArea);

// The left pane's width within a window of the given width: at least 8, and leaving the right
// pane its 8 pixels beside the 3-pixel splitter.
int fittedSplitter(int splitterV, int windowWidth);

} // namespace qx
