// qx5130-cli export-channels FILE.icf -o OUT.csv: the channels in use as CSV.
// qx5130-cli import-channels FILE.icf IN.csv [--append-from ROW] [--yes] [-o OUT.icf]: a channel
// CSV entered into the channels, with a report line by line.
#include "cli_arguments.h"
#include "cli_command.h"
#include "cli_files.h"
#include "cli_session.h"
#include "table_output.h"

#include "output/channel_csv.h"
#include "output/channel_csv_import.h"
#include "radio/cell_link_dispatch.h"
#include "radio/text_format.h"
#include "sheet/gtex_lines.h"
#include "sheet/value_tables.h"

#include <charconv>
#include <cstdio>

namespace qx::cli {

namespace {

// The cell links of the opened document, as the sheets use them.
class ChannelLinks {
public:
    ChannelLinks(CliSession& session, const CliOptions& options)
        : m_lines(session.texts()), m_lists(m_lines, japaneseTable(options)) {
        ImageSet& images = session.document().images();
        m_env.image = &images.current();
        m_env.destination = images.destination();
        m_env.features = options.features;
        m_env.lists = &m_lists;
        m_env.japaneseSystem = japaneseTable(options);
        m_env.codePage = japaneseTable(options) ? CodePage::ShiftJis : CodePage::Windows1252;
        m_env.channelDataChanged = [&images] { images.rebuildBankLinks(); };
        m_env.restartRefresh = [&images] { images.checkModified(); };
    }

    const LinkEnvironment& environment() const { return m_env; }
    SelectionLists& lists() { return m_lists; }
    GTexLines& lines() { return m_lines; }
    bool kana() const { return halfWidthKanaNamesAllowed(m_env.destination, m_env.japaneseSystem); }

private:
    GTexLines m_lines;
    cmcValueTables m_lists;
    LinkEnvironment m_env;
};

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
    ChannelLinks links(session, options);
    const ChannelCsvExport exporter(session.document().current(), links.lists(), links.kana());
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
    if (const int status = files.open(input); status != kExitOk) {
        return status;
    }
    std::string bytes;
    if (const int status = files.readText((*parsed)[1], bytes); status != kExitOk) {
        return status;
    }
    if (const int status = files.checkWritable(output); status != kExitOk) {
        return status;
    }
    ChannelLinks links(session, options);
    ChannelCsvImport import(links.environment());
    const bool readable = import.prepare(bytes, importOptions);
    for (const std::string& line : import.reportLines(links.lines())) {
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
        session.prompt().ask(import.overwriteQuestion(links.lines()),
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
