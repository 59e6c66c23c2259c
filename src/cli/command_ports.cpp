// qx5130-cli ports: the serial ports found, one a line: device, stable name, description.
#include "cli_arguments.h"
#include "cli_command.h"
#include "cli_session.h"

#include <cstdio>

namespace qx::cli {

namespace {

int runPorts(const CliOptions& options, const std::vector<std::string>& args) {
    if (!CommandArguments::parse(args, {"ports", {}, 0, 0})) {
        return kExitUsage;
    }
    CliSession session(options);
    const std::vector<SerialPortInfo>& found = session.controller().findPorts();
    if (found.empty()) {
        session.prompt().print(session.texts().line("GI_Mess_PortErr_Missing", 2));
        return kExitOk;
    }
    for (const auto& p : found) {
        std::printf("%s\t%s\t%s\n", p.device.c_str(),
                    p.stableName.empty() ? "-" : p.stableName.c_str(), p.description.c_str());
    }
    return std::fflush(stdout) == 0 && std::ferror(stdout) == 0 ? kExitOk : kExitFileError;
}

const CommandRegistration registration{
    {"ports", "", "lists the serial ports found: device, stable name, description", &runPorts}};

} // namespace

} // namespace qx::cli
