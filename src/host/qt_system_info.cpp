#include "qt_system_info.h"

#include <QDir>
#include <QLocale>
#include <QStandardPaths>

#include <utility>

namespace qx {

QtSystemInfo::QtSystemInfo(WorkAreaSource workArea) : m_workArea(std::move(workArea)) {}

std::string QtSystemInfo::language() const {
    const QLocale::Language lang = QLocale::system().language();
    if (lang == QLocale::C || lang == QLocale::AnyLanguage) {
        return "en";
    }
    return QLocale::languageToCode(lang).toStdString();
}

std::string QtSystemInfo::listSeparator() const {
    // Qt has no list separator of its own; the usual rule is ";" where "," is the decimal mark.
    return QLocale::system().decimalPoint() == QLatin1String(",") ? ";" : ",";
}

std::string QtSystemInfo::shortDateFormat() const {
    return QLocale::system().dateFormat(QLocale::ShortFormat).toStdString();
}

std::string QtSystemInfo::documentsFolder() const {
    const QString path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (path.isEmpty() || !QDir(path).exists()) {
        return {};
    }
    return QDir::toNativeSeparators(path).toLocal8Bit().toStdString();
}

ScreenRect QtSystemInfo::workArea() const {
    if (m_workArea) {
        return m_workArea();
    }
    return {0, 0, 1024, 768};
}

} // namespace qx
