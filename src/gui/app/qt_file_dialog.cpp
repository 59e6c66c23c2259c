#include "qt_file_dialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace qx {

QtFileDialog::QtFileDialog(const CodePageText& codec, QWidget* owner)
    : m_codec(codec), m_owner(owner) {}

QStringList QtFileDialog::nameFilters(const std::string& filter) const {
    const QStringList parts = m_codec.toQString(filter).split(QLatin1Char('|'));
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i];
        label.remove(trailingPatterns);
        const QString patterns =
            parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(label, patterns);
    }
    return filters;
}

std::optional<std::string> QtFileDialog::askOpen(const FileDialogRequest& request) {
    return ask(request, false);
}

std::optional<std::string> QtFileDialog::askSave(const FileDialogRequest& request) {
    return ask(request, true);
}

std::optional<std::string> QtFileDialog::ask(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(m_owner.data());
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !save);
    dialog.setNameFilters(nameFilters(request.filter));
    dialog.setDefaultSuffix(m_codec.toQString(request.defaultExtension));
    dialog.setDirectory(QFile::decodeName(request.folder.c_str()));
    if (!request.fileName.empty()) {
        dialog.selectFile(QFile::decodeName(request.fileName.c_str()));
    }
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        const QString chosen = dialog.selectedFiles().constFirst();
        const QFileInfo info(chosen);
        // A read-only file is not replaced behind the user's back: ask again.
        if (save && info.exists() && !info.isWritable()) {
            dialog.setDirectory(info.absolutePath());
            dialog.selectFile(info.fileName());
            continue;
        }
        return std::string(QFile::encodeName(QDir::toNativeSeparators(chosen)).constData());
    }
}

} // namespace qx
