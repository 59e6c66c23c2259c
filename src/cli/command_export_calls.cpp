// qx5130-cli export-calls FILE.icf -o OUT.csv: the received-call log of a clone file as CSV.
#include "cli_arguments.h"
#include "cli_command.h"
#include "cli_files.h"
#include "cli_session.h"

#include "output/received_call_export.h"
#include "qt_system_info.h"
#include "sheet/gtex_lines.h"

namespace qx::cli {

namespace {

int runExportCalls(const CliOptions& options, const std::vector<std::string>& args) {
    static const ArgumentRules rules{"export-calls FILE.icf -o OUT.csv", {{"-o", true}}, 1, 1};
    const auto parsed = CommandArguments::parse(args, rules);
    if (!parsed) {
        return kExitUsage;
    }
    const std::optional<std::string> output = parsed->value("-o");
    if (!output) {
        return usageError(rules.usage, "-o OUT.csv is missing");
    }
    const std::string& input = (*parsed)[0];
    CliSession session(options);
    CliFiles& files = session.files();
    if (const int status = files.refuseSameFile(input, *output); status != kExitOk) {
        return status;
    }
    indDocument& document = session.document();
    if (const int status = files.open(input); status != kExitOk) {
        return status;
    }
    // The file's log is exported whatever transceiver variant the settings name: a file
    // from another transceiver has its own log.
    // The dates read as `sheet` shows them in the same language.
    const QtSystemInfo system;
    const DateOrder order = options.language && *options.language == "ja" ? DateOrder::YearMonthDay
                                                                          : DateOrder::MonthDayYear;
    GTexLines lines(session.texts());
    const ReceivedCallExport exporter(document.current(), lines);
    return files.writeText(
        *output, exporter.csv(ReceivedCallExport::separatorFor(system.listSeparator()), order));
}

const CommandRegistration registration{{"export-calls", "FILE.icf -o OUT.csv",
                                        "writes the received-call log of the file as CSV",
                                        &runExportCalls}};

} // namespace

} // namespace qx::cli
