// qx5130-cli export-channels FILE.icf -o OUT.csv: the channels in use as CSV.
// qx5130-cli import-channels FILE.icf IN.csv [--append-from ROW] [--yes] [-o OUT.icf]: a channel
// CSV entered into the channels, with a report line by line.
#include "cli_arguments.h"
#include "cli_command.h"
#include "cli_files.h"
#include "cli_session.h"
#include "table_output.h"

#include "app/main_controller.h"
#include "output/channel_csv.h"
#include "output/channel_csv_import.h"
#include "radio/cell_link_dispatch.h"
#include "radio/text_format.h"

#include <charconv>
#include <cstdio>

namespace qx::cli {

namespace {

// Names of channels may hold half-width katakana where the transceiver shows them.
bool kanaNames(MainController& controller) {
    const LinkEnvironment& links = controller.dispatch().environment();
    return halfWidthKanaNamesAllowed(links.destination, links.japaneseSystem);
}

int runExportChannels(const CliOptions& options, const std::vector<std::string>& args) {
    static const ArgumentRules rules{"export-channels FILE.icf -o OUT.csv", {{"-o", true}}, 1, 1};
    const auto parsed = CommandArguments::parse(args, rules);
    if (!parsed) {
        return kExitUsage;
    }
    const std::optional<std::string> output = parsed->value("-o");
    if (!output) {
        return usageError(rules.usage, "-o OUT.csv is missing");
    }
    CliSession session(options);
    CliFiles& files = session.files();
    if (const int status = files.refuseSameFile((*parsed)[0], *output); status != kExitOk) {
        return status;
    }
    if (const int status = files.open((*parsed)[0]); status != kExitOk) {
        return status;
    }
    MainController& controller = session.controller();
    const ChannelCsvExport exporter(session.document().current(), controller.valueTables(),
                                    kanaNames(controller));
    return files.writeText(*output, exporter.csv());
}

int runImportChannels(const CliOptions& options, const std::vector<std::string>& args) {
    static const ArgumentRules rules{
        "import-channels FILE.icf IN.csv [--append-from ROW] [--yes] [-o OUT.icf]",
        {{"-o", true}, {"--yes", false}, {"--append-from", true}},
        2,
        2};
    const auto parsed = CommandArguments::parse(args, rules);
    if (!parsed) {
        return kExitUsage;
    }
    ChannelImportOptions importOptions;
    if (const auto from = parsed->value("--append-from")) {
        int row = -1;
        const auto [end, ec] = std::from_chars(from->data(), from->data() + from->size(), row);
        if (ec != std::errc() || end != from->data() + from->size() || row < 0 || row > 499) {
            return usageError(rules.usage, "--append-from takes a memory channel from 0 to 499");
        }
        importOptions.appendFrom = row;
    }
    const bool yes = parsed->has("--yes");
    const std::string& input = (*parsed)[0];
    const std::string output = parsed->value("-o").value_or(input);
    CliSession session(options, yes);
    CliFiles& files = session.files();
    if (const int status = files.openForChange(input, output); status != kExitOk) {
        return status;
    }
    std::string bytes;
    if (const int status = files.readText((*parsed)[1], bytes); status != kExitOk) {
        return status;
    }
    if (const int status = files.checkWritable(output); status != kExitOk) {
        return status;
    }
    MainController& controller = session.controller();
    ChannelCsvImport import(controller.dispatch().environment());
    const bool readable = import.prepare(bytes, importOptions);
    for (const std::string& line : import.reportLines(controller.lines())) {
        printTableLine(options, line);
    }
    if (!readable) {
        return kExitRefused;
    }
    const bool refused = import.refusedCount() > 0;
    if (refused && !yes) {
        std::fprintf(stderr, "Nothing was changed: some lines were refused (--yes imports the "
                             "others).\n");
        return kExitRefused;
    }
    if (import.takenCount() == 0) {
        return refused ? kExitRefused : kExitOk;
    }
    if (!import.overwritten().empty() &&
        session.prompt().ask(import.overwriteQuestion(controller.lines()),
                             session.texts().firstLine("GI_Sys_AppTitle"), PromptIcon::Question,
                             PromptButtons::YesNo) != PromptAnswer::Yes) {
        return kExitRefused;
    }
    import.apply();
    if (const int status = files.save(output); status != kExitOk) {
        return status;
    }
    return refused ? kExitRefused : kExitOk;
}

const CommandRegistration exportRegistration{
    {"export-channels", "FILE.icf -o OUT.csv",
     "writes the memory channels, scan edges and call channels in use as CSV", &runExportChannels}};
const CommandRegistration importRegistration{
    {"import-channels", "FILE.icf IN.csv [--append-from ROW] [--yes] [-o OUT.icf]",
     "enters the channels of a CSV file and saves; --yes accepts refused lines and overwriting",
     &runImportChannels}};

} // namespace

} // namespace qx::cli
