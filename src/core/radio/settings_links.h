#pragma once

#include "radio/cell_link_dispatch.h"
#include "radio/link_event.h"

#include <cstdint>
#include <optional>

namespace qx {

// The settings cells that need more than a byte and a list: the GPS alarm with its memory,
// the bank link selections, the GPS sentence combinations and the gray rules of the APRS
// texts. Returns the dispatch result when the cell is handled here; nothing when the plain
// settings handling is to go on (after a gray rule has set the text colour, for instance).
std::optional<std::int32_t> dispatchSettingLink(LinkEnvironment& env, const LinkEvent& event);

// The selection list of such a cell, and of the selection-row cells ("S"): nothing when the
// plain settings handling decides, an empty list for a cell handled here that takes typed
// entries instead of a list.
std::optional<std::optional<CellList>> settingLinkList(const LinkEnvironment& env,
                                                       const cmcCellObj& cell);

} // namespace qx
