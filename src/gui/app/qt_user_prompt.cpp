#include "qt_user_prompt.h"

#include <QMessageBox>
#include <QPushButton>

namespace qx {

namespace {

QMessageBox::Icon toIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::Error:
    case PromptIcon::Stop:
        return QMessageBox::Critical;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QtUserPrompt::QtUserPrompt(const CodePageText& codec, QWidget* owner)
    : m_codec(codec), m_owner(owner) {}

PromptAnswer QtUserPrompt::ask(const std::string& text, const std::string& caption, PromptIcon icon,
                               PromptButtons buttons) {
    return askWithDetails(text, {}, caption, icon, buttons);
}

PromptAnswer QtUserPrompt::askWithDetails(const std::string& text, const std::string& details,
                                          const std::string& caption, PromptIcon icon,
                                          PromptButtons buttons) {
    QMessageBox box(toIcon(icon), m_codec.toQString(caption), m_codec.toQString(text),
                    QMessageBox::NoButton, m_owner.data());
    // The owner may be disabled while the "Cloning" window shows; the box must still answer.
    box.setEnabled(true);
    if (!details.empty()) {
        box.setDetailedText(m_codec.toQString(details));
    }
    switch (buttons) {
    case PromptButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case PromptButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case PromptButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case PromptButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
    case QMessageBox::Ok:
        return PromptAnswer::Ok;
    default:
        // Closed without a button: the safe answer of the buttons offered.
        return buttons == PromptButtons::YesNo ? PromptAnswer::No
               : buttons == PromptButtons::Ok  ? PromptAnswer::Ok
                                               : PromptAnswer::Cancel;
    }
}

PromptAnswer QtUserPrompt::choose(const std::string& text, const std::string& caption,
                                  PromptIcon icon, const std::vector<PromptChoice>& choices) {
    if (choices.empty()) {
        return PromptAnswer::Cancel;
    }
    QMessageBox box(toIcon(icon), m_codec.toQString(caption), m_codec.toQString(text),
                    QMessageBox::NoButton, m_owner.data());
    std::vector<QPushButton*> buttons;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        const bool last = i + 1 == choices.size();
        buttons.push_back(box.addButton(m_codec.toQString(choices[i].label),
                                        last ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
    }
    box.setDefaultButton(buttons.front());
    box.setEscapeButton(buttons.back());
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i]) {
            return choices[i].answer;
        }
    }
    return choices.back().answer; // closed without a button
}

} // namespace qx
