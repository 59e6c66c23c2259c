// qx5130-cli new -o OUT.icf: the default image of the destination, saved as a clone file.
#include "cli_command.h"
#include "cli_session.h"

#include <cstdio>

namespace qx::cli {

namespace {

int runNew(const CliOptions& options, const std::vector<std::string>& args) {
    if (args.size() != 2 || args[0] != "-o" || args[1].empty()) {
        std::fprintf(stderr, "usage: qx5130-cli new -o OUT.icf\n");
        return kExitUsage;
    }
    CliSession session(options);
    return session.document().saveFile(args[1]) ? kExitOk : kExitFileError;
}

const CommandRegistration registration{
    {"new", "-o OUT.icf", "saves the default image of the destination as a clone file", &runNew}};

} // namespace

} // namespace qx::cli
