#pragma once

#include "base/cell_capsule.h"

#include <cstdint>
#include <functional>

namespace qx {

// Operations of a menu, toolbar or tree cell: the state query and the execution.
inline constexpr std::int32_t kItemStateQuery = 0;
inline constexpr std::int32_t kItemExecute = 13;

// Runs one item cell through the cell link dispatch.
using CellEvaluator = std::function<std::int32_t(cmcCellCapsule&)>;

} // namespace qx
