#pragma once

#include <string>

namespace qx {

enum class PromptIcon { None, Information, Warning, Error, Question, Stop };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

// Message boxes. Texts are byte strings in the code page of the active text table; the
// implementation converts them for display.
class UserPrompt {
public:
    virtual ~UserPrompt() = default;
    virtual PromptAnswer ask(const std::string& text, const std::string& caption, PromptIcon icon,
                             PromptButtons buttons) = 0;
};

} // namespace qx
