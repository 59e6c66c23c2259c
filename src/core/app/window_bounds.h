#pragma once

#include "base/system_info.h"

namespace qx {

// Moves stored window bounds so that at least a 16-pixel corner lies inside the work area:
// a screen may have shrunk or gone since the bounds were saved.
ScreenRect reachableWindowBounds(ScreenRect bounds, const ScreenRect& workArea);

} // namespace qx
