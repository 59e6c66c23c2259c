// qx5130-cli diff A.icf B.icf: the cells two clone files show differently, sheet by sheet, and
// the differing bytes that no cell shows.
#include "cli_arguments.h"
#include "cli_command.h"
#include "cli_session.h"
#include "table_output.h"

#include "app/main_controller.h"
#include "output/image_diff.h"

#include <cstdio>

namespace qx::cli {

namespace {

int runDiff(const CliOptions& options, const std::vector<std::string>& args) {
    static const ArgumentRules rules{"diff A.icf B.icf", {}, 2, 2};
    const auto parsed = CommandArguments::parse(args, rules);
    if (!parsed) {
        return kExitUsage;
    }
    // Standard input can be read only once.
    if ((*parsed)[0] == "-" && (*parsed)[1] == "-") {
        return usageError(rules.usage, "only one of the files can be standard input");
    }
    CliSession first(options);
    CliSession second(options);
    if (const int status = first.files().open((*parsed)[0]); status != kExitOk) {
        return status;
    }
    if (const int status = second.files().open((*parsed)[1]); status != kExitOk) {
        return status;
    }
    // The first file's controller shows both images through its sheets and cell links.
    MainController& controller = first.controller();
    ImageDiff diff(controller.sheetEnvironment(), controller.dispatch(), controller.valueTables());
    diff.compare(first.document().current(), second.document().current());
    for (const std::string& line : diff.lines()) {
        printTableLine(options, line);
    }
    return diff.cells().empty() && diff.bytes().empty() ? kExitOk : kExitWarnings;
}

const CommandRegistration registration{
    {"diff", "A.icf B.icf",
     "lists the cells the two files show differently, by sheet; exit 5 when any differ", &runDiff}};

} // namespace

} // namespace qx::cli
