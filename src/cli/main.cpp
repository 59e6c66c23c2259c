// qx5130-cli: the editor without a window.
#include "cli_command.h"
#include "cli_settings.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace qx::cli {

namespace {

std::vector<CliCommand>& commandTable() {
    static std::vector<CliCommand> table;
    return table;
}

void printHelp(std::FILE* out) {
    std::fprintf(
        out, "usage: qx5130-cli [--port N | --device PATH] [--high-speed] [--connection 0|1|2]\n"
             "                  [--destination D] [--lang en|ja] COMMAND ARGS...\n\n"
             "Options left out take the editor's saved settings.\n\ncommands:\n");
    auto commands = commandTable();
    std::sort(commands.begin(), commands.end(), [](const CliCommand& a, const CliCommand& b) {
        return std::strcmp(a.name, b.name) < 0;
    });
    for (const auto& c : commands) {
        std::fprintf(out, "  %s %s\n      %s\n", c.name, c.usage, c.summary);
    }
}

bool parseInt(const std::string& text, int low, int high, int& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc{} && ptr == last && value >= low && value <= high;
}

} // namespace

CommandRegistration::CommandRegistration(const CliCommand& command) {
    commandTable().push_back(command);
}

const std::vector<CliCommand>& registeredCommands() {
    return commandTable();
}

int runCli(int argc, char** argv) {
    CliOptions options;
    std::vector<std::string> args(argv + 1, argv + argc);
    std::size_t i = 0;
    auto usageError = [](const std::string& message) {
        std::fprintf(stderr, "qx5130-cli: %s\n(try qx5130-cli --help)\n", message.c_str());
        return kExitUsage;
    };
    auto needValue = [&](const std::string& option, std::string& value) {
        if (i + 1 >= args.size()) {
            return false;
        }
        value = args[++i];
        (void)option;
        return true;
    };
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string value;
        int number = 0;
        if (a == "--help" || a == "-h") {
            printHelp(stdout);
            return kExitOk;
        }
        if (a == "--high-speed") {
            options.highSpeed = true;
        } else if (a == "--port") {
            if (!needValue(a, value) || !parseInt(value, 1, 256, number)) {
                return usageError("--port takes a number from 1 to 256");
            }
            options.port = number;
        } else if (a == "--device") {
            if (!needValue(a, value) || value.empty()) {
                return usageError("--device takes a path");
            }
            options.device = value;
        } else if (a == "--connection") {
            if (!needValue(a, value) || !parseInt(value, 0, 2, number)) {
                return usageError("--connection takes 0, 1 or 2");
            }
            options.connection = number;
        } else if (a == "--destination") {
            if (!needValue(a, value) || !parseInt(value, 0, 15, number)) {
                return usageError("--destination takes a number from 0 to 15");
            }
            options.destination = number;
        } else if (a == "--lang") {
            if (!needValue(a, value) || (value != "en" && value != "ja")) {
                return usageError("--lang takes en or ja");
            }
            options.language = value;
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("unknown option " + a);
        } else {
            break;
        }
    }
    if (i >= args.size()) {
        printHelp(stderr);
        return kExitUsage;
    }
    const std::string name = args[i];
    const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                        args.end());
    for (const auto& c : commandTable()) {
        if (name == c.name) {
            fillFromSettings(options, argv[0]);
            return c.run(options, rest);
        }
    }
    return usageError("unknown command " + name);
}

} // namespace qx::cli

int main(int argc, char** argv) {
    return qx::cli::runCli(argc, argv);
}
