// qx5130-cli diff A.icf B.icf: the cells two clone files show differently, sheet by sheet, and
// the differing bytes that no cell shows.
#include "cli_arguments.h"
#include "cli_command.h"
#include "cli_session.h"
#include "table_output.h"

#include "base/text_metrics.h"
#include "output/image_diff.h"
#include "radio/cell_link_dispatch.h"
#include "sheet/gtex_lines.h"
#include "sheet/sheet_environment.h"
#include "sheet/value_tables.h"

#include <cstdio>

namespace qx::cli {

namespace {

int runDiff(const CliOptions& options, const std::vector<std::string>& args) {
    static const ArgumentRules rules{"diff A.icf B.icf", {}, 2, 2};
    const auto parsed = CommandArguments::parse(args, rules);
    if (!parsed) {
        return kExitUsage;
    }
    CliSession first(options);
    CliSession second(options);
    if (const int status = first.files().open((*parsed)[0]); status != kExitOk) {
        return status;
    }
    if (const int status = second.files().open((*parsed)[1]); status != kExitOk) {
        return status;
    }
    ImageSet& images = first.document().images();
    GTexLines lines(first.texts());
    cmcValueTables lists(lines, japaneseTable(options));
    FixedTextMetrics metrics;
    SheetEnvironment env;
    env.text = &lines;
    env.metrics = &metrics;
    env.shiftJis = japaneseTable(options);
    env.japaneseSystem = japaneseTable(options);
    env.image = &images.current();
    env.destination = images.destination();
    env.digitalUnit = options.features.digitalUnit;
    env.dvInhibit = options.features.dvInhibit;
    env.pagerInhibit = options.features.pagerInhibit;
    LinkEnvironment links;
    links.image = &images.current();
    links.destination = images.destination();
    links.features = options.features;
    links.lists = &lists;
    links.japaneseSystem = japaneseTable(options);
    links.codePage = japaneseTable(options) ? CodePage::ShiftJis : CodePage::Windows1252;
    cmcCellLinkDispatch dispatch(links);

    ImageDiff diff(env, dispatch, lists);
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
