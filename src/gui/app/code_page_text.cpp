#include "code_page_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace qx {

CodePageText::CodePageText(const char* codePage) : m_codePage(codePage) {}

QString CodePageText::toQString(const std::string& bytes) const {
    QStringDecoder decoder(m_codePage);
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (!decoder.isValid()) {
        return QString::fromLatin1(view);
    }
    return decoder.decode(view);
}

std::string CodePageText::fromQString(const QString& text) const {
    QStringEncoder encoder(m_codePage);
    const QByteArray bytes = encoder.isValid() ? QByteArray(encoder.encode(text)) : text.toLatin1();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

} // namespace qx
