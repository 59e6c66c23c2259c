#include "sheet/warning_check_list.h"

#include "base/cell_capsule.h"
#include "base/text_lines.h"
#include "radio/cell_link_dispatch.h"
#include "sheet/cell_parser.h"

#include <algorithm>
#include <string_view>

namespace qx {

namespace {

constexpr std::string_view kCheckListKey = "GI_WarningCheckList";
constexpr std::uint8_t kWarningBit = cmcCellCapsule::kFlagWarning;
constexpr std::uint8_t kErrorBit = cmcCellCapsule::kFlagError;

} // namespace

CheckMark CheckListResult::markFor(std::string_view callString) const {
    const auto holds = [callString](const std::vector<std::string>& list) {
        return std::find(list.begin(), list.end(), callString) != list.end();
    };
    return holds(errors)     ? CheckMark::Error
           : holds(warnings) ? CheckMark::Warning
                             : CheckMark::None;
}

CheckListResult runWarningCheckList(TextLines& text, const CheckVerdict& verdictOf, bool shiftJis) {
    CheckListResult result;
    const cmcCellParser parser(text, shiftJis);
    for (int n = 0;; ++n) {
        const std::string line = text.line(kCheckListKey, n);
        if (!line.empty() && line[0] == '#') {
            break;
        }
        cmcCellObj cell;
        SheetVariables variables{};
        std::string_view rest = line;
        if (!parser.parseCell(cell, rest, &variables, nullptr)) {
            continue;
        }
        const std::uint8_t bits = verdictOf(cell);
        std::string callString = cell.linkParameter.value_or(std::string());
        if ((bits & kErrorBit) != 0) {
            result.errors.push_back(std::move(callString));
        } else if ((bits & kWarningBit) != 0) {
            result.warnings.push_back(std::move(callString));
        }
    }
    return result;
}

CheckListResult runWarningCheckList(TextLines& text, cmcCellLinkDispatch& dispatch, bool shiftJis) {
    return runWarningCheckList(
        text,
        [&dispatch](const cmcCellObj& cell) {
            cmcCellObj check = cell;
            cmcCellCapsule request;
            request.cell = &check;
            request.drawing = true;
            dispatch.dispatch(request);
            return request.flags;
        },
        shiftJis);
}

} // namespace qx
