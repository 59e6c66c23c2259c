// qx5130-cli backups: the images kept of every read, and one of them written out.
#include "app/radio_backups.h"
#include "cli_arguments.h"
#include "cli_command.h"
#include "cli_files.h"
#include "cli_session.h"
#include "qt_system_info.h"

#include <cstdio>
#include <optional>
#include <string>

namespace qx::cli {

namespace {

int runBackups(const CliOptions& options, const std::vector<std::string>& args) {
    static const ArgumentRules rules{
        "backups [--open N -o OUT.icf]", {{"--open", true}, {"-o", true}}, 0, 0};
    const auto parsed = CommandArguments::parse(args, rules);
    if (!parsed) {
        return kExitUsage;
    }
    const QtSystemInfo system;
    const RadioBackups backups(system.backupsFolder());
    const std::vector<RadioBackup> found = backups.list();
    const std::optional<std::string> open = parsed->value("--open");
    const std::optional<std::string> out = parsed->value("-o");
    if (!open) {
        if (out) {
            return usageError(rules.usage, "-o needs --open N");
        }
        if (found.empty()) {
            std::fprintf(stderr, "qx5130-cli: no radio backups in %s\n", backups.folder().c_str());
            return kExitOk;
        }
        std::printf("#\tDate\tComment\tDestination\tSize\n");
        for (std::size_t i = 0; i < found.size(); ++i) {
            const RadioBackup& b = found[i];
            std::printf("%zu\t%s\t%s\t%s\t%llu\n", i + 1, b.date.c_str(), b.comment.c_str(),
                        b.destination.c_str(), static_cast<unsigned long long>(b.size));
        }
        return kExitOk;
    }
    if (!out) {
        return usageError(rules.usage, "-o OUT.icf is missing");
    }
    std::size_t number = 0;
    try {
        std::size_t used = 0;
        number = static_cast<std::size_t>(std::stoul(*open, &used));
        if (used != open->size()) {
            number = 0;
        }
    } catch (const std::exception&) {
        number = 0;
    }
    if (number == 0 || number > found.size()) {
        return usageError(rules.usage, "--open takes a number of the list 'qx5130-cli backups' "
                                       "prints (1 to " +
                                           std::to_string(found.size()) + ")");
    }
    CliSession session(options);
    std::string contents;
    if (const int status = session.files().readText(found[number - 1].path, contents);
        status != kExitOk) {
        return status;
    }
    // The backup as it was kept, byte for byte.
    return session.files().writeText(*out, contents);
}

const CommandRegistration kBackups{{"backups", "[--open N -o OUT.icf]",
                                    "lists the images kept of every read, newest first; "
                                    "--open N writes one out",
                                    &runBackups}};

} // namespace

} // namespace qx::cli
