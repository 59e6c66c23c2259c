#pragma once

#include "base/cell_capsule.h"
#include "radio/cell_link_names.h"
#include "radio/value_format.h"

#include <cstdint>
#include <optional>
#include <string>

namespace qx {

// One event on a cell as the link families beside the dispatch see it: what the user did,
// already told apart by the dispatch, and the request to answer in.
struct LinkEvent {
    cmcCellCapsule& req;
    std::int32_t key = 0; // 13 Enter, 32 Space, 8 Backspace, a typed character; 0 none
    bool commit = false;  // req.text was committed from the editor
    const cmcCellObj* picked = nullptr;

    // The text entered: a committed editor text, or the text a masked entry sends as a pick.
    std::optional<std::string> entered() const {
        if (commit) {
            return req.text;
        }
        if (picked != nullptr && picked->link == Flex0 && picked->text) {
            return *picked->text;
        }
        return std::nullopt;
    }
    std::int32_t edit(std::string text, bool caretAfter) const {
        const auto length = static_cast<int>(text.size());
        req.text = std::move(text);
        req.selectionStart = caretAfter ? length : 0;
        req.selectionLength = caretAfter ? 0 : length;
        return kResultEdit;
    }
    // A refused entry changes nothing and gives the user the editor back to correct it.
    std::int32_t refuse() const {
        req.refused = true;
        if (req.reopenEditor) {
            req.reopenEditor(req);
        }
        return kResultNone;
    }
    // An entry that holds nothing usable leaves the value alone without complaint.
    std::int32_t refuseUnlessBlank(ParseRefusal refusal, const std::string& text) const {
        if (refusal == ParseRefusal::Empty && text.find_first_not_of(" \t") == std::string::npos) {
            return kResultNone;
        }
        return refuse();
    }
};

} // namespace qx
