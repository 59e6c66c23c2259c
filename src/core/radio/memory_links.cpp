#include "radio/memory_links.h"

#include "radio/clone_information.h"
#include "radio/eeprom.h"
#include "radio/image_map.h"
#include "radio/list_choice.h"
#include "radio/text_format.h"

#include <string>
#include <string_view>

namespace qx {
namespace {

constexpr std::string_view kYesNoList = "GI_Sheet_Sel_Misc_YesNo";

// The gateway mark of a repeater call sign: its eighth character is 'G'.
std::int32_t repeaterGateway(LinkEnvironment& env, const LinkEvent& e) {
    cmcEeprom& image = *env.image;
    const std::int32_t n = e.req.cell->index;
    if (n < 0 || n >= imagemap::kCallSignListCount) {
        return kResultNone;
    }
    const std::int32_t address = imagemap::kRepeaterCallSigns + 8 * n;
    const std::string shown = formatCallSign(
        std::string_view(reinterpret_cast<const char*>(image.data() + address), kCallSignWidth));
    // An empty memory has no gateway to mark.
    if (shown.find_first_not_of(' ') == std::string::npos) {
        return kResultNone;
    }
    const std::uint8_t last = image.getByte(address + 7);
    const std::int32_t value = last == 'G' ? 1 : 0;
    const auto store = [&](std::int32_t gateway) {
        if (gateway == value || gateway < 0 || gateway > 1) {
            return false;
        }
        image.setByte(address + 7, gateway == 1 ? 'G' : ' ');
        return true;
    };
    return listChoice(e, *env.lists, CellList{std::string(kYesNoList), Flex0}, value, store);
}

} // namespace

std::optional<std::int32_t> dispatchMemoryLink(LinkEnvironment& env, const LinkEvent& event) {
    cmcCellCapsule& req = event.req;
    const std::int32_t link = req.cell->link;
    switch (link) {
    case CL_Repeater_Gateway:
        return repeaterGateway(env, event);
    case CL_CloneInfo_Comment:
    case CL_CloneInfo_Destination:
    case CL_CloneInfo_Rx_Expansion:
    case CL_CloneInfo_FccInh:
    case CL_CloneInfo_DigitalU:
    case CL_CloneInfo_DvInh:
    case CL_CloneInfo_Pgr:
        if (env.cloneInformation != nullptr) {
            req.displayText =
                cloneInformationText(static_cast<CellLinkId>(link), *env.cloneInformation);
        }
        return kResultNone;
    case CL_PGR_Memory_Skip:
        // The first pager memory is never skipped.
        if (req.cell->index == 0) {
            req.displayText = "---";
            return kResultNone;
        }
        break;
    default:
        break;
    }
    return std::nullopt;
}

std::optional<CellList> memoryLinkList(const LinkEnvironment& /*env*/, const cmcCellObj& cell) {
    switch (cell.link) {
    case CL_Repeater_Gateway:
        return CellList{std::string(kYesNoList), Flex0};
    default:
        break;
    }
    return std::nullopt;
}

} // namespace qx
