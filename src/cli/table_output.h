#pragma once

#include "cli_command.h"

#include <cstdio>
#include <string>

namespace qx::cli {

// The Japanese text table was chosen.
bool japaneseTable(const CliOptions& options);

// A text in the given code page of a text table as one line on `out`, in the terminal's
// encoding.
void printInCodePage(std::FILE* out, const std::string& codePage, const std::string& text);

// A text of the chosen table as one line on stdout.
void printTableLine(const CliOptions& options, const std::string& text);

} // namespace qx::cli
