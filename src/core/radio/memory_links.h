#pragma once

#include "radio/cell_link_dispatch.h"
#include "radio/link_event.h"

#include <cstdint>
#include <optional>

namespace qx {

// The cells of the other memories that the dispatch leaves to this family: the repeater
// gateway mark, the clone information and the pager skip of the first row.
// Returns the dispatch result when the cell's link is one of them, nothing otherwise.
std::optional<std::int32_t> dispatchMemoryLink(LinkEnvironment& env, const LinkEvent& event);

// The selection list of such a cell whose value comes from a list.
std::optional<CellList> memoryLinkList(const LinkEnvironment& env, const cmcCellObj& cell);

} // namespace qx
