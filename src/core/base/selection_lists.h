#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

// One item of a selection list: the value it stands for and its text.
struct SelectionItem {
    std::int32_t value = 0;
    std::string text;
    std::int32_t line = 0;     // line index in the list's cells block
    std::int32_t position = 0; // cell position within that line
};

// The value tables of the selection lists, as the cell links see them.
class SelectionLists {
public:
    virtual ~SelectionLists() = default;
    // The list's items bound to itemLink, in position order (down each column, then the next).
    virtual const std::vector<SelectionItem>& items(std::string_view listKey,
                                                    std::int32_t itemLink) = 0;
    // The text of the item with that value; none when no item has it.
    virtual std::optional<std::string> valueText(std::string_view listKey, std::int32_t itemLink,
                                                 std::int32_t value) = 0;
    // The value delta positions further in position order, wrapping around; a value no item
    // has steps to the first item.
    virtual std::int32_t stepValue(std::string_view listKey, std::int32_t itemLink,
                                   std::int32_t value, std::int32_t delta) = 0;
};

} // namespace qx
