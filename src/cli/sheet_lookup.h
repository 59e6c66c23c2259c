#pragma once

#include "cli_command.h"

#include <string>

namespace qx::cli {

// Exit status kExitRefused, with the reason on stderr, when the call string names no sheet of
// the built-in table: an unknown sheet is the user's mistake here, not a defect of the program.
int openSheetOf(const CliOptions& options, const std::string& callString);

} // namespace qx::cli
