// qx5130-cli edit FILE.icf CALLSTRING OP LOW [HIGH] [--at ROW] [--yes] [-o OUT.icf]: a list
// operation of a sheet's popup menu, run as choosing it on the rows LOW..HIGH would.
#include "cli_arguments.h"
#include "cli_call_string.h"
#include "cli_command.h"
#include "cli_files.h"
#include "cli_session.h"

#include "app/menu_builder.h"
#include "radio/cell_link_names.h"
#include "sheet/sheet_environment.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string_view>

namespace qx::cli {

namespace {

constexpr const char* kUsage = "edit FILE.icf CALLSTRING OP LOW [HIGH] [--at ROW] [--yes] "
                               "[-o OUT.icf]";

struct OperationName {
    std::string_view name;
    CellLinkId item;
};
constexpr std::array<OperationName, 6> kOperations = {{
    {"clear", CL_PMenu_Clear},
    {"delete", CL_PMenu_Delete},
    {"insert", CL_PMenu_Insert},
    {"up", CL_PMenu_CarryUp},
    {"down", CL_PMenu_CarryDown},
    {"paste", CL_PMenu_Paste},
}};

std::optional<int> number(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < 0) {
        return std::nullopt;
    }
    return value;
}

// The cell that stands for record `index` in a row of the sheet: the first selectable cell of
// a list row that carries that index.
std::optional<std::pair<int, int>> rowCell(const cuiSheet& sheet, int index) {
    for (int r = sheet.fixedRows(); r < sheet.rowCount(); ++r) {
        for (int c = sheet.fixedColumns(); c < sheet.columnCount(); ++c) {
            const cmcCellObj& cell = sheet.cell(c, r);
            const bool listCell =
                recordKind(cell.category) != 0 ||
                (cell.link >= CL_Received_Callsign_Caller && cell.link <= CL_Received_Callsign_EMR);
            if (cell.selectable && listCell && cell.index == index) {
                return std::make_pair(c, r);
            }
        }
    }
    return std::nullopt;
}

int runEdit(const CliOptions& options, const std::vector<std::string>& args) {
    static const ArgumentRules rules{
        kUsage, {{"-o", true}, {"--at", true}, {"--yes", false}}, 4, 5};
    const auto parsed = CommandArguments::parse(args, rules);
    if (!parsed) {
        return kExitUsage;
    }
    const std::vector<std::string>& positional = parsed->positional();
    const OperationName* operation = nullptr;
    for (const OperationName& o : kOperations) {
        if (positional[2] == o.name) {
            operation = &o;
        }
    }
    if (operation == nullptr) {
        return usageError(kUsage, "OP must be clear, delete, insert, up, down or paste");
    }
    const std::optional<int> low = number(positional[3]);
    const std::optional<int> high = positional.size() == 5 ? number(positional[4]) : low;
    if (!low || !high) {
        return usageError(kUsage, "LOW and HIGH must be row numbers");
    }
    const bool paste = operation->item == CL_PMenu_Paste;
    std::optional<int> at;
    if (const auto text = parsed->value("--at")) {
        at = number(*text);
        if (!at) {
            return usageError(kUsage, "ROW must be a row number, not \"" + *text + "\"");
        }
    }
    if (paste != at.has_value()) {
        return usageError(kUsage, paste ? "paste needs --at ROW" : "--at belongs to paste");
    }
    const std::string out = parsed->value("-o").value_or(positional[0]);
    CliSession session(options, parsed->has("--yes"));
    if (const int status = checkCallString(session.controller(), positional[1]);
        status != kExitOk) {
        return status;
    }
    if (const int status = session.files().openForChange(positional[0], out); status != kExitOk) {
        return status;
    }
    MainController& controller = session.controller();
    cuiSheet& sheet = controller.openSheet(positional[1]);

    // Selects rows from..to as a click and a Shift+click would.
    const auto selectRows = [&](int from, int to) {
        const auto first = rowCell(sheet, from);
        const auto last = rowCell(sheet, to);
        if (!first || !last) {
            std::fprintf(stderr, "The sheet has no row %d.\n", first ? to : from);
            return false;
        }
        sheet.select(first->first, first->second);
        if (to != from) {
            sheet.select(last->first, last->second, true);
        }
        return true;
    };
    if (!selectRows(*low, *high)) {
        return kExitRefused;
    }
    // A sheet without multiple selection keeps the cursor on HIGH alone; acting there would
    // not be what was asked.
    if (*low != *high) {
        const auto range = sheet.selectedRange();
        if (!range || range->first != std::min(*low, *high) ||
            range->second != std::max(*low, *high)) {
            std::fprintf(stderr,
                         "This sheet selects one row at a time: rows %d..%d cannot be given "
                         "together.\n",
                         *low, *high);
            return kExitRefused;
        }
    }
    // The popup menu of the row's cell, as a right click shows it; its item runs as a choice.
    const SheetEnvironment& env = sheet.environment();
    cuiMenu menu(*env.text, {}, env.shiftJis, env.japaneseSystem);
    const std::string menuName = sheet.currentCell().effectivePopupMenu();
    if (!menuName.empty()) {
        menu.build(menuName);
    }
    std::int32_t link = operation->item;
    if (link == CL_PMenu_Delete && menu.find(CL_PMenu_Delete) == nullptr) {
        link = CL_PMenu_RcvDelete; // the received-call list's own Delete
    }
    const cuiItem* item = menu.find(link);
    const cuiItem* copy = menu.find(CL_PMenu_Copy);
    if (item == nullptr || (paste && copy == nullptr)) {
        std::fprintf(stderr, "The popup menu of this sheet has no %s.\n",
                     std::string(item == nullptr ? operation->name : "copy").c_str());
        return kExitRefused;
    }
    if (paste) {
        sheet.activate(0, &copy->cell);
        if (!selectRows(*at, *at)) {
            return kExitRefused;
        }
    }
    const cuiSheet::Activation done = sheet.activate(0, &item->cell);
    if (session.prompt().refusedQuestion()) {
        std::fputs("Nothing was changed: the question needs --yes.\n", stderr);
        return kExitRefused;
    }
    if (session.prompt().showedError()) {
        return kExitRefused;
    }
    if (done.result != kResultChanged && out == positional[0]) {
        return kExitOk; // nothing to do, as in the editor
    }
    return session.files().save(out);
}

const CommandRegistration editRegistration{
    {"edit", "FILE.icf CALLSTRING OP LOW [HIGH] [--at ROW] [--yes] [-o OUT.icf]",
     "runs a list operation (clear, delete, insert, up, down, paste) of a sheet's popup menu on "
     "rows LOW..HIGH and saves",
     &runEdit}};

} // namespace

} // namespace qx::cli
