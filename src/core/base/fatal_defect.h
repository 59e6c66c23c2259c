#pragma once

#include <string>

namespace qx {

class UserPrompt;

// Exit code of a defect in the program's own built-in data.
inline constexpr int kDefectExitCode = 3;

// Where defects are shown: the prompt and the caption (the application's current title).
// With no prompt installed the text goes to stderr.
void installDefectPrompt(UserPrompt* prompt, std::string caption);

// A defect of the program's own data: shows a stop box, then ends the process at once without
// saving anything.
[[noreturn]] void fatalDefect(const std::string& text, int exitCode = kDefectExitCode);

} // namespace qx
