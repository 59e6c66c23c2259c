#pragma once

#include "cli_command.h"

namespace qx::cli {

// Fills every option left out with the editor's saved settings (port, speed, connection type,
// destination, language) and takes the variant flags and the current folder from them. The
// settings are only read: the editor may be running.
void fillFromSettings(CliOptions& options, const char* programPath);

} // namespace qx::cli
