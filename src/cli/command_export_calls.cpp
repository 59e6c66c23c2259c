// qx5130-cli export-calls FILE.icf -o OUT.csv: the received-call log of a clone file as CSV.
#include "cli_command.h"
#include "cli_session.h"

#include "output/received_call_export.h"
#include "qt_system_info.h"
#include "sheet/gtex_lines.h"

#include <cstdio>

namespace qx::cli {

namespace {

int runExportCalls(const CliOptions& options, const std::vector<std::string>& args) {
    std::string input;
    std::string output;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size() && output.empty()) {
            output = args[++i];
        } else if (input.empty() && !args[i].empty() && args[i][0] != '-') {
            input = args[i];
        } else {
            input.clear();
            break;
        }
    }
    if (input.empty() || output.empty()) {
        std::fprintf(stderr, "usage: qx5130-cli export-calls FILE.icf -o OUT.csv\n");
        return kExitUsage;
    }
    CliSession session(options);
    indDocument& document = session.document();
    if (!document.openFile(input)) {
        return kExitFileError;
    }
    // The file's log is exported whatever transceiver variant the settings name: a file
    // from another transceiver has its own log.
    const QtSystemInfo system;
    const DateOrder order =
        system.language() == "ja" ? DateOrder::YearMonthDay : DateOrder::MonthDayYear;
    GTexLines lines(session.texts());
    const ReceivedCallExport exporter(document.current(), lines);
    const FileErrorCode result =
        exporter.write(output, ReceivedCallExport::separatorFor(system.listSeparator()), order);
    if (result != FileErrorCode::Ok) {
        cmcGTex& texts = session.texts();
        session.prompt().ask(texts.firstLine("GI_Mess_FileErr_Headline") + "\n\n" +
                                 texts.firstLine(fileErrorKey(result)),
                             texts.firstLine("GI_Sys_AppTitle"), PromptIcon::Warning,
                             PromptButtons::Ok);
        return kExitFileError;
    }
    return kExitOk;
}

const CommandRegistration registration{{"export-calls", "FILE.icf -o OUT.csv",
                                        "writes the received-call log of the file as CSV",
                                        &runExportCalls}};

} // namespace

} // namespace qx::cli
