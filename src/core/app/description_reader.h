#pragma once

#include "app/ui_item.h"

#include <string>
#include <string_view>

namespace qx {

class cmcCellParser;
class TextLines;

// The lines of a description body up to the first line that begins with '#'.
std::vector<std::string> descriptionBody(TextLines& text, std::string_view bodyKey);

// The depth of a body line: the characters before its first '+' (its length without one).
int descriptionDepth(std::string_view line);

// Parses one body line of a menu or tree into an item under `parent`: the first cell is the
// item, a second cell after a tab carries the option flags of a tree node.
std::unique_ptr<cuiItem> parseDescriptionItem(const cmcCellParser& parser, std::string_view line,
                                              const cmcCellObj* basic);

// Reads the nesting of a menu or tree body into `parent`: the first line read fixes the depth
// of the level, deeper lines are children of the item made last, a shallower line ends the
// level. Returns the number of lines consumed from `first`.
std::size_t readDescriptionLevel(const cmcCellParser& parser, const std::vector<std::string>& body,
                                 std::size_t first, const cmcCellObj* basic, cuiItem& parent);

} // namespace qx
