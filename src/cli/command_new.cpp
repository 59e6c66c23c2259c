// qx5130-cli new -o OUT.icf: the default image of the destination, saved as a clone file.
#include "cli_arguments.h"
#include "cli_command.h"
#include "cli_files.h"
#include "cli_session.h"

namespace qx::cli {

namespace {

int runNew(const CliOptions& options, const std::vector<std::string>& args) {
    static const ArgumentRules rules{"new -o OUT.icf", {{"-o", true}}, 0, 0};
    const auto parsed = CommandArguments::parse(args, rules);
    if (!parsed) {
        return kExitUsage;
    }
    const std::optional<std::string> out = parsed->value("-o");
    if (!out) {
        return usageError(rules.usage, "-o OUT.icf is missing");
    }
    CliSession session(options);
    return session.files().save(*out);
}

const CommandRegistration registration{
    {"new", "-o OUT.icf", "saves the default image of the destination as a clone file", &runNew}};

} // namespace

} // namespace qx::cli
