#include "sheet/warning_check_list.h"

#include "base/text_lines.h"
#include "radio/setting_checks.h"
#include "sheet/cell_parser.h"

#include <string_view>

namespace qx {

namespace {

constexpr std::string_view kCheckListKey = "GI_WarningCheckList";
constexpr std::uint8_t kWarningBit = 4;
constexpr std::uint8_t kErrorBit = 8;

} // namespace

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

CheckListResult runWarningCheckList(TextLines& text, const SettingChecks& checks, bool shiftJis) {
    static_assert(kWarningBit == kVerdictWarning && kErrorBit == kVerdictError);
    return runWarningCheckList(
        text,
        [&checks](const cmcCellObj& cell) {
            return checks.verdict(static_cast<CellLinkId>(cell.link));
        },
        shiftJis);
}

} // namespace qx
