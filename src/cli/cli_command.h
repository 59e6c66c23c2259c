#pragma once

#include "radio/feature_flags.h"

#include <optional>
#include <string>
#include <vector>

namespace qx::cli {

// Exit statuses of qx5130-cli.
enum ExitStatus : int {
    kExitOk = 0,
    kExitUsage = 1,
    kExitFileError = 2,
    kExitCloneError = 3,
    kExitRefused = 4,
    kExitWarnings = 5,
};

// The global options as typed; what is left out comes from the editor's saved settings.
struct CliOptions {
    std::optional<int> port;
    std::optional<std::string> device;
    std::optional<bool> highSpeed;
    std::optional<int> connection;
    std::optional<int> destination;
    std::optional<std::string> language; // "en" or "ja"

    // Never typed: the variant of the transceiver and the folder of the editor's last file,
    // both from the saved settings.
    FeatureFlags features;
    std::string currentDirectory;
};

struct CliCommand {
    const char* name;
    const char* usage;   // the arguments, e.g. "-o OUT.icf"
    const char* summary; // one line for --help
    int (*run)(const CliOptions& options, const std::vector<std::string>& args);
};

// Each command registers itself from its own source file:
//   static const qx::cli::CommandRegistration reg{{"new", "-o OUT.icf", "...", &runNew}};
struct CommandRegistration {
    explicit CommandRegistration(const CliCommand& command);
};

const std::vector<CliCommand>& registeredCommands();

} // namespace qx::cli
