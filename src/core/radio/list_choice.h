#pragma once

#include "radio/cell_link_dispatch.h"
#include "radio/link_event.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace qx {

class SelectionLists;

// A cell whose value is an entry of a selection list: it shows the entry's label ("error" for
// a value no entry has); Space and Backspace step in list order, Enter opens the list, a pick
// of the list's items stores the picked value. `store` answers whether the value was taken.
std::int32_t listChoice(const LinkEvent& event, SelectionLists& lists, const CellList& list,
                        std::int32_t value, const std::function<bool(std::int32_t)>& store);

// The entry whose label is the typed text, else the first whose label starts with it,
// ignoring case and blanks around it.
std::optional<std::int32_t> listEntryByLabel(SelectionLists& lists, const CellList& list,
                                             std::string_view typed);

} // namespace qx
