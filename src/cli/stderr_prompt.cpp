#include "stderr_prompt.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <cstdio>

namespace qx::cli {

void StderrPrompt::print(const std::string& text) const {
    QStringDecoder decode(m_codePage.c_str());
    const QString unicode =
        decode.isValid()
            ? decode(QByteArray::fromRawData(text.data(), static_cast<qsizetype>(text.size())))
            : QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    const QByteArray local = unicode.toLocal8Bit();
    std::fwrite(local.constData(), 1, static_cast<std::size_t>(local.size()), stderr);
    std::fputc('\n', stderr);
}

PromptAnswer StderrPrompt::ask(const std::string& text, const std::string& /*caption*/,
                               PromptIcon /*icon*/, PromptButtons buttons) {
    print(text);
    switch (buttons) {
    case PromptButtons::Ok:
        return PromptAnswer::Ok;
    case PromptButtons::OkCancel:
        m_refused = !m_yes;
        return m_yes ? PromptAnswer::Ok : PromptAnswer::Cancel;
    case PromptButtons::YesNo:
        m_refused = !m_yes;
        return m_yes ? PromptAnswer::Yes : PromptAnswer::No;
    case PromptButtons::YesNoCancel:
        m_refused = !m_yes;
        return m_yes ? PromptAnswer::Yes : PromptAnswer::Cancel;
    }
    return PromptAnswer::Cancel;
}

} // namespace qx::cli
