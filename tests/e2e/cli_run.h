#pragma once

#include "temp_folder.h"

#include <cstdlib>
#include <string>
#include <sys/wait.h>

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
        " HOME=" + shellQuoted(dir) + " && " + setup + " exec " + shellQuoted(QX5130_CLI_PATH) +
        " " + arguments + " >" + shellQuoted(dir + "/.stdout") + " 2>" +
        shellQuoted(dir + "/.stderr");
    const int raw = std::system(command.c_str());
    CliResult result;
    result.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = TempFolder::read(dir + "/.stdout");
    result.err = TempFolder::read(dir + "/.stderr");
    return result;
}

} // namespace qx::test
