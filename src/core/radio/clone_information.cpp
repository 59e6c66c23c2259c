#include "radio/clone_information.h"

#include "radio/destination.h"

#include <algorithm>

namespace qx {

bool CloneInformation::assign(std::span<const std::uint8_t> received) {
    if (received.size() != kSize) {
        return false;
    }
    std::copy(received.begin(), received.end(), bytes.begin());
    return true;
}

std::string CloneInformation::comment() const {
    std::string text(bytes.begin(), bytes.begin() + 16);
    // The comment is shown like the other text fields: characters outside 32-126 as blanks.
    std::replace_if(
        text.begin(), text.end(),
        [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E;
        },
        ' ');
    return text;
}

FeatureFlags CloneInformation::features() const {
    FeatureFlags flags;
    flags.rxExpansion = rxExpansion();
    flags.fccInhibit = fccInhibit();
    flags.digitalUnit = digitalUnit();
    flags.dvInhibit = dvInhibit();
    flags.pagerInhibit = pagerInhibit();
    return flags;
}

std::string cloneInformationText(CellLinkId link, const CloneInformation& information) {
    const auto normalUnless = [](bool inhibited) {
        return std::string(inhibited ? "Inhibit" : "Normal");
    };
    switch (link) {
    case CL_CloneInfo_Comment: {
        std::string text = information.comment();
        text.erase(text.find_last_not_of(' ') + 1);
        return text;
    }
    case CL_CloneInfo_Destination:
        return destinationName(information.destination());
    case CL_CloneInfo_Rx_Expansion:
        return information.rxExpansion() ? "Expansion" : "Inhibit";
    case CL_CloneInfo_FccInh:
        return normalUnless(information.fccInhibit());
    case CL_CloneInfo_DigitalU:
        return normalUnless(!information.digitalUnit());
    case CL_CloneInfo_DvInh:
        return normalUnless(information.dvInhibit());
    case CL_CloneInfo_Pgr:
        return normalUnless(information.pagerInhibit());
    default:
        break;
    }
    return {};
}

} // namespace qx
