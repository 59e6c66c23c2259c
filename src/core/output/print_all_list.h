#pragma once

#include <string>
#include <vector>

namespace qx {

class TextLines;
class cmcEeprom;

// The tree nodes a transceiver variant shows.
struct TreeVariant {
    bool digitalUnit = false;
    bool dvInhibit = false;
    bool pagerInhibit = false;
};

// The call strings of the navigation tree's sheets, in tree order, each once, without the
// nodes (and their descendants) that the variant does not show.
std::vector<std::string> treeCallStrings(TextLines& text, const TreeVariant& variant,
                                         bool shiftJis = false);

// The print-all choice the dialog starts with: the bank lists when a memory channel in use
// below 1 GHz belongs to a bank, else the blocks of 100 channels.
bool bankChannelsPreset(cmcEeprom& image);

} // namespace qx
