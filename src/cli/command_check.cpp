// qx5130-cli check FILE.icf: the setting checks of a clone file, one line per flagged sheet.
#include "cli_arguments.h"
#include "cli_command.h"
#include "cli_files.h"
#include "cli_session.h"

#include "sheet/warning_check_list.h"

#include <cstdio>

namespace qx::cli {

namespace {

int runCheck(const CliOptions& options, const std::vector<std::string>& args) {
    const auto parsed = CommandArguments::parse(args, {"check FILE.icf", {}, 1, 1});
    if (!parsed) {
        return kExitUsage;
    }
    CliSession session(options);
    if (const int status = session.files().open((*parsed)[0]); status != kExitOk) {
        return status;
    }
    const CheckListResult found = session.controller().runChecks();

    for (const std::string& callString : found.errors) {
        std::printf("error\t%s\n", callString.c_str());
    }
    for (const std::string& callString : found.warnings) {
        std::printf("warning\t%s\n", callString.c_str());
    }
    std::fflush(stdout);
    if (found.errorCount() > 0) {
        session.prompt().print(session.texts().firstLine("GI_Mess_DataError"));
        return kExitRefused;
    }
    if (found.warningCount() > 0) {
        session.prompt().print(session.texts().firstLine("GI_Mess_DataWarn"));
        return kExitWarnings;
    }
    return kExitOk;
}

const CommandRegistration registration{
    {"check", "FILE.icf",
     "runs the setting checks of the file: error or warning and the call string of each "
     "flagged sheet (exit 4: errors, 5: warnings only)",
     &runCheck}};

} // namespace

} // namespace qx::cli
