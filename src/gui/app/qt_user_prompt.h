#pragma once

#include "base/user_prompt.h"
#include "code_page_text.h"

#include <QPointer>
#include <QWidget>

namespace qx {

// Message boxes owned by the main window; texts arrive in the table's code page.
class QtUserPrompt : public UserPrompt {
public:
    explicit QtUserPrompt(const CodePageText& codec, QWidget* owner = nullptr);

    void setOwner(QWidget* owner) { m_owner = owner; }

    PromptAnswer ask(const std::string& text, const std::string& caption, PromptIcon icon,
                     PromptButtons buttons) override;
    PromptAnswer askWithDetails(const std::string& text, const std::string& details,
                                const std::string& caption, PromptIcon icon,
                                PromptButtons buttons) override;
    PromptAnswer choose(const std::string& text, const std::string& caption, PromptIcon icon,
                        const std::vector<PromptChoice>& choices) override;

private:
    CodePageText m_codec;
    QPointer<QWidget> m_owner;
};

} // namespace qx
