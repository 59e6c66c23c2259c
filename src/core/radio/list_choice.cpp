#include "radio/list_choice.h"

#include "base/selection_lists.h"

#include <cctype>

namespace qx {
namespace {

std::string folded(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    std::string out(first == std::string_view::npos ? std::string_view()
                                                    : text.substr(first, last - first + 1));
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

} // namespace

std::int32_t listChoice(const LinkEvent& event, SelectionLists& lists, const CellList& list,
                        std::int32_t value, const std::function<bool(std::int32_t)>& store) {
    cmcCellCapsule& req = event.req;
    req.displayText = lists.valueText(list.key, list.itemLink, value).value_or("error");
    if (event.picked != nullptr) {
        if (event.picked->link != list.itemLink) {
            return kResultNone;
        }
        return store(event.picked->index) ? kResultChanged : kResultNone;
    }
    if (event.key == 32 || event.key == 8) {
        const std::int32_t next =
            lists.stepValue(list.key, list.itemLink, value, event.key == 32 ? 1 : -1);
        return next != value && store(next) ? kResultChanged : kResultNone;
    }
    if (event.key == 13 && req.openList && req.openList(req, list.key, list.itemLink, value)) {
        return kResultChanged;
    }
    return kResultNone;
}

std::optional<std::int32_t> listEntryByLabel(SelectionLists& lists, const CellList& list,
                                             std::string_view typed) {
    const std::string wanted = folded(typed);
    if (wanted.empty()) {
        return std::nullopt;
    }
    const auto& items = lists.items(list.key, list.itemLink);
    for (const SelectionItem& item : items) {
        if (folded(item.text) == wanted) {
            return item.value;
        }
    }
    for (const SelectionItem& item : items) {
        if (folded(item.text).starts_with(wanted)) {
            return item.value;
        }
    }
    return std::nullopt;
}

} // namespace qx
