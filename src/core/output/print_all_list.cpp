#include "output/print_all_list.h"

#include "base/text_lines.h"
#include "radio/cell_link_names.h"
#include "radio/channel_record.h"
#include "radio/image_map.h"
#include "sheet/cell_parser.h"

#include <algorithm>

namespace qx {

namespace {

constexpr std::uint32_t kOneGigahertz = 1000000000;

// Whether a node with this optional-node flag stays in the tree.
bool shown(const cmcCellObj& node, const TreeVariant& variant) {
    const bool dv = variant.digitalUnit && !variant.dvInhibit;
    return !(node.userFlag(0) && variant.pagerInhibit) &&
           !(node.userFlag(1) && !variant.digitalUnit) &&
           !((node.userFlag(2) || node.userFlag(3) || node.userFlag(4)) && !dv);
}

} // namespace

std::vector<std::string> treeCallStrings(TextLines& text, const TreeVariant& variant,
                                         bool shiftJis) {
    const cmcCellParser parser(text, shiftJis);
    cmcCellObj basic;
    {
        const std::string line = text.line("GI_Tree_Main_BasicCell", 0);
        std::string_view rest = line;
        parser.parseCell(basic, rest, nullptr, nullptr);
    }
    std::vector<std::string> calls;
    std::size_t removedDepth = std::string::npos; // depth of a removed node while in its subtree
    for (int n = 0;; ++n) {
        const std::string line = text.line("GI_Tree_Main_Body", n);
        if (!line.empty() && line.front() == '#') {
            break;
        }
        const std::size_t plus = line.find('+');
        const std::size_t depth = plus == std::string::npos ? line.size() : plus;
        if (removedDepth != std::string::npos) {
            if (depth > removedDepth) {
                continue;
            }
            removedDepth = std::string::npos;
        }
        cmcCellObj node;
        std::string_view rest =
            std::string_view(line).substr(plus == std::string::npos ? 0 : plus + 1);
        parser.parseCell(node, rest, nullptr, &basic);
        if (!shown(node, variant)) {
            removedDepth = depth;
            continue;
        }
        if (node.link == CallSheet && node.linkParameter &&
            std::find(calls.begin(), calls.end(), *node.linkParameter) == calls.end()) {
            calls.push_back(*node.linkParameter);
        }
    }
    return calls;
}

bool bankChannelsPreset(cmcEeprom& image) {
    ChannelRecord record(image);
    for (int channel = 0; channel < imagemap::kMemoryChannelCount; ++channel) {
        if (record.load(kKindChannel, channel) && record.used && record.frequency < kOneGigahertz &&
            record.bankGroup != imagemap::kNoBank) {
            return true;
        }
    }
    return false;
}

} // namespace qx
