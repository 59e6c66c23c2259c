#pragma once

#include "temp_folder.h"

#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace qx::test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Runs qx5130-cli in `folder` with `arguments` (already quoted for the shell). The settings
// live below the folder, so the user's own never take part. `setup` runs in the same shell
// first, e.g. to limit the file size.
inline CliResult runCli(const TempFolder& folder, const std::string& arguments,
                        const std::string& setup = "") {
    const std::string dir = folder.path().string();
    const std::string command =
        "cd " + shellQuoted(dir) + " && export XDG_CONFIG_HOME=" + shellQuoted(dir + "/.config") +
        " XDG_DATA_HOME=" + shellQuoted(dir + "/.local/share") +
        " XDG_STATE_HOME=" + shellQuoted(dir + "/.local/state") + " HOME=" + shellQuoted(dir) +
        " && " + setup + " exec " + shellQuoted(QX5130_CLI_PATH) + " " + arguments + " >" +
        shellQuoted(dir + "/.stdout") + " 2>" + shellQuoted(dir + "/.stderr");
    const int raw = std::system(command.c_str());
    CliResult result;
    result.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = TempFolder::read(dir + "/.stdout");
    result.err = TempFolder::read(dir + "/.stderr");
    return result;
}

// Runs qx5130-cli once for each of `runs` (arguments as for runCli), all at the same time in
// `folder`, and waits for all of them.
inline std::vector<CliResult> runCliTogether(const TempFolder& folder,
                                             const std::vector<std::string>& runs) {
    const std::string dir = folder.path().string();
    // Plain lists: "a && b & c" would leave c in the test's own folder.
    std::string command = "cd " + shellQuoted(dir) +
                          " || exit 1; export XDG_CONFIG_HOME=" + shellQuoted(dir + "/.config") +
                          " XDG_DATA_HOME=" + shellQuoted(dir + "/.local/share") +
                          " XDG_STATE_HOME=" + shellQuoted(dir + "/.local/state") +
                          " HOME=" + shellQuoted(dir) + "; ";
    const auto output = [&dir](std::size_t i, const char* what) {
        return dir + "/.run" + std::to_string(i) + what;
    };
    for (std::size_t i = 0; i < runs.size(); ++i) {
        command += "{ " + shellQuoted(QX5130_CLI_PATH) + " " + runs[i] + " >" +
                   shellQuoted(output(i, ".stdout")) + " 2>" + shellQuoted(output(i, ".stderr")) +
                   "; echo $? >" + shellQuoted(output(i, ".status")) + "; } & ";
    }
    command += "wait";
    std::vector<CliResult> results(runs.size());
    if (std::system(command.c_str()) == -1) {
        return results;
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const std::string status = TempFolder::read(output(i, ".status"));
        results[i].status = status.empty() ? -1 : std::stoi(status);
        results[i].out = TempFolder::read(output(i, ".stdout"));
        results[i].err = TempFolder::read(output(i, ".stderr"));
    }
    return results;
}

} // namespace qx::test
