#pragma once

#include "cli_command.h"

#include <string>

namespace qx::cli {

// The Japanese text table was chosen.
bool japaneseTable(const CliOptions& options);

// A text in the code page of the text table as one line on stdout, in the terminal's encoding.
void printTableLine(const CliOptions& options, const std::string& text);

} // namespace qx::cli
