#pragma once

#include "base/cell_obj.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class cmcCellLinkDispatch;
class TextLines;

// The mark a tree node gets from the checks.
enum class CheckMark : std::uint8_t { None, Warning, Error };

// What running the check list found: the call strings of the sheets with errors and of those
// with warnings only, in list order.
struct CheckListResult {
    std::vector<std::string> errors;
    std::vector<std::string> warnings;

    int errorCount() const { return static_cast<int>(errors.size()); }
    int warningCount() const { return static_cast<int>(warnings.size()); }
    // The mark of a tree node that opens `callString`; an error wins over a warning.
    CheckMark markFor(std::string_view callString) const;
};

// Runs every line of the built-in check list: each line is a cell bound to a check link whose
// parameter is the call string of the sheet it checks. `verdictOf` dispatches the cell and
// answers its warning and error bits.
using CheckVerdict = std::function<std::uint8_t(const cmcCellObj& cell)>;
CheckListResult runWarningCheckList(TextLines& text, const CheckVerdict& verdictOf,
                                    bool shiftJis = false);
// The same through the cell link dispatch, whose check links answer in the request's marks.
CheckListResult runWarningCheckList(TextLines& text, cmcCellLinkDispatch& dispatch,
                                    bool shiftJis = false);

} // namespace qx
