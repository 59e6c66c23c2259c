// qx5130-cli export-channels FILE.icf -o OUT.csv: the channels in use as CSV.
// qx5130-cli import-channels FILE.icf IN.csv [--append-from ROW] [--yes] [-o OUT.icf]: a channel
// CSV entered into the channels, with a report line by line.
#include "cli_command.h"
#include "cli_session.h"
#include "table_output.h"

#include "output/channel_csv.h"
#include "output/channel_csv_import.h"
#include "radio/cell_link_dispatch.h"
#include "radio/text_format.h"
#include "sheet/gtex_lines.h"
#include "sheet/value_tables.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

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

int fileError(CliSession& session, FileErrorCode code, const std::string& path, int error) {
    cmcGTex& texts = session.texts();
    session.prompt().ask(
        texts.firstLine("GI_Mess_FileErr_Headline") + "\n\n" + texts.firstLine(fileErrorKey(code)),
        texts.firstLine("GI_Sys_AppTitle"), PromptIcon::Warning, PromptButtons::Ok);
    std::fprintf(stderr, "%s%s%s\n", path.c_str(), error != 0 ? ": " : "",
                 error != 0 ? std::strerror(error) : "");
    return kExitFileError;
}

int runExportChannels(const CliOptions& options, const std::vector<std::string>& args) {
    std::string input;
    std::string output;
    bool usage = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size() && output.empty()) {
            output = args[++i];
        } else if (input.empty() && !args[i].empty() && args[i][0] != '-') {
            input = args[i];
        } else {
            usage = true;
        }
    }
    if (usage || input.empty() || output.empty()) {
        std::fprintf(stderr, "usage: qx5130-cli export-channels FILE.icf -o OUT.csv\n");
        return kExitUsage;
    }
    CliSession session(options);
    if (!session.document().openFile(input)) {
        return kExitFileError;
    }
    ChannelLinks links(session, options);
    const ChannelCsvExport exporter(session.document().current(), links.lists(), links.kana());
    if (output == "-") {
        const std::string csv = exporter.csv();
        std::fwrite(csv.data(), 1, csv.size(), stdout);
        return std::fflush(stdout) == 0 ? kExitOk : kExitFileError;
    }
    errno = 0;
    const FileErrorCode result = exporter.write(output);
    return result == FileErrorCode::Ok ? kExitOk : fileError(session, result, output, errno);
}

bool readAll(const std::string& path, std::string& bytes) {
    if (path == "-") {
        bytes.assign(std::istreambuf_iterator<char>(std::cin), {});
        return !std::cin.bad();
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream all;
    all << in.rdbuf();
    bytes = all.str();
    return !in.bad();
}

int runImportChannels(const CliOptions& options, const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    std::string output;
    bool yes = false;
    bool usage = false;
    ChannelImportOptions importOptions;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size() && output.empty()) {
            output = args[++i];
        } else if (args[i] == "--yes") {
            yes = true;
        } else if (args[i] == "--append-from" && i + 1 < args.size()) {
            const std::string& text = args[++i];
            int row = -1;
            const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), row);
            if (ec != std::errc() || end != text.data() + text.size() || row < 0 || row > 499) {
                std::fprintf(stderr, "--append-from takes a memory channel from 0 to 499\n");
                return kExitUsage;
            }
            importOptions.appendFrom = row;
        } else if (args[i] != "-" && !args[i].empty() && args[i][0] == '-') {
            usage = true;
        } else {
            positional.push_back(args[i]);
        }
    }
    if (usage || positional.size() != 2) {
        std::fprintf(stderr, "usage: qx5130-cli import-channels FILE.icf IN.csv "
                             "[--append-from ROW] [--yes] [-o OUT.icf]\n");
        return kExitUsage;
    }
    if (output.empty()) {
        output = positional[0];
    }
    CliSession session(options, yes);
    if (!session.document().openFile(positional[0])) {
        return kExitFileError;
    }
    std::string bytes;
    errno = 0;
    if (!readAll(positional[1], bytes)) {
        return fileError(session, FileErrorCode::FileOpen, positional[1], errno);
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
    if (!session.document().saveFile(output)) {
        return kExitFileError;
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
