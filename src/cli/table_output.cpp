#include "table_output.h"

#include "text/ui_text_choice.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

namespace qx::cli {

bool japaneseTable(const CliOptions& options) {
    return options.language && *options.language == "ja";
}

void printInCodePage(std::FILE* out, const std::string& codePage, const std::string& text) {
    QStringDecoder decode(codePage.c_str());
    const QString unicode =
        decode.isValid()
            ? decode(QByteArray::fromRawData(text.data(), static_cast<qsizetype>(text.size())))
            : QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    const QByteArray local = unicode.toLocal8Bit();
    std::fwrite(local.constData(), 1, static_cast<std::size_t>(local.size()), out);
    std::fputc('\n', out);
}

void printTableLine(const CliOptions& options, const std::string& text) {
    printInCodePage(stdout, chooseUiText(japaneseTable(options) ? 1 : 0).codePage, text);
}

} // namespace qx::cli
