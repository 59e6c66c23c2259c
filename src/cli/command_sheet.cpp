// qx5130-cli sheet FILE.icf CALLSTRING: the sheet as the editor shows it, as text.
// qx5130-cli set FILE.icf CALLSTRING LINK INDEX TEXT [-o OUT.icf]: an entry into one cell.
#include "cli_arguments.h"
#include "cli_call_string.h"
#include "cli_command.h"
#include "cli_files.h"
#include "cli_session.h"

#include "sheet/sheet_script.h"

#include <charconv>
#include <cstdio>
#include <string_view>

namespace qx::cli {

namespace {

// At most 20 labels, quoted, then how many more there are.
std::string labelList(const std::vector<std::string>& labels) {
    constexpr std::size_t kShown = 20;
    std::string out;
    for (std::size_t i = 0; i < labels.size() && i < kShown; ++i) {
        out += (i == 0 ? "\"" : ", \"") + labels[i] + "\"";
    }
    if (labels.size() > kShown) {
        out += " and " + std::to_string(labels.size() - kShown) + " more";
    }
    return out;
}

int runSheet(const CliOptions& options, const std::vector<std::string>& args) {
    const auto parsed = CommandArguments::parse(args, {"sheet FILE.icf CALLSTRING", {}, 2, 2});
    if (!parsed) {
        return kExitUsage;
    }
    const std::string& callString = (*parsed)[1];
    CliSession session(options);
    if (const int status = checkCallString(session.controller(), callString); status != kExitOk) {
        return status;
    }
    if (const int status = session.files().open((*parsed)[0]); status != kExitOk) {
        return status;
    }
    MainController& controller = session.controller();
    cmcSheetScript script(controller.openSheet(callString), controller.dispatch(),
                          controller.valueTables());
    for (const std::string& line : script.lines()) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    }
    return kExitOk;
}

int runSet(const CliOptions& options, const std::vector<std::string>& args) {
    static const ArgumentRules rules{
        "set FILE.icf CALLSTRING LINK INDEX TEXT [-o OUT.icf]", {{"-o", true}}, 5, 5};
    const auto parsed = CommandArguments::parse(args, rules);
    if (!parsed) {
        return kExitUsage;
    }
    const std::vector<std::string>& positional = parsed->positional();
    std::int32_t index = 0;
    if (std::from_chars(positional[3].data(), positional[3].data() + positional[3].size(), index)
                .ec != std::errc() ||
        std::to_string(index) != positional[3]) {
        return usageError(rules.usage, "INDEX must be a number, not \"" + positional[3] + "\"");
    }
    const std::string out = parsed->value("-o").value_or(positional[0]);
    CliSession session(options);
    if (const int status = checkCallString(session.controller(), positional[1]);
        status != kExitOk) {
        return status;
    }
    if (const int status = session.files().openForChange(positional[0], out); status != kExitOk) {
        return status;
    }
    MainController& controller = session.controller();
    cmcSheetScript script(controller.openSheet(positional[1]), controller.dispatch(),
                          controller.valueTables());
    using Outcome = cmcSheetScript::Outcome;
    const Outcome outcome = script.enter(positional[2], index, positional[4]);
    switch (outcome) {
    case Outcome::Changed:
    case Outcome::Unchanged:
        break;
    case Outcome::UnknownLink:
        std::fprintf(stderr, "Unknown cell link: %s\n", positional[2].c_str());
        return kExitRefused;
    case Outcome::NoCell:
        std::fprintf(stderr, "The sheet has no editable %s cell with index %d.\n",
                     positional[2].c_str(), index);
        return kExitRefused;
    case Outcome::UnknownLabel:
        std::fprintf(stderr, "The list of this cell has no entry \"%s\". Its entries: %s\n",
                     positional[4].c_str(), labelList(script.labels()).c_str());
        return kExitRefused;
    case Outcome::AmbiguousLabel:
        std::fprintf(stderr, "\"%s\" matches several entries of this cell's list: %s\n",
                     positional[4].c_str(), labelList(script.labels()).c_str());
        return kExitRefused;
    case Outcome::NotEditable:
    case Outcome::Refused:
        std::fprintf(stderr, "The cell does not take \"%s\"; nothing was changed.\n",
                     positional[4].c_str());
        return kExitRefused;
    }
    return session.files().save(out);
}

const CommandRegistration sheetRegistration{
    {"sheet", "FILE.icf CALLSTRING", "prints a sheet as the editor shows it", &runSheet}};
const CommandRegistration setRegistration{
    {"set", "FILE.icf CALLSTRING LINK INDEX TEXT [-o OUT.icf]",
     "enters TEXT into one cell of a sheet and saves", &runSet}};

} // namespace

} // namespace qx::cli
