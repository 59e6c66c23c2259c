#include "qt_system_info.h"

#include <QDir>
#include <QLocale>
#include <QStandardPaths>

#include <cstdlib>
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

namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
// The XDG base folder of `variable`, else `fallback` below the home folder; a relative value
// is ignored as the XDG rules say.
QString xdgFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return QString::fromLocal8Bit(value);
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        return {};
    }
    return QString::fromLocal8Bit(home) + QLatin1Char('/') + QLatin1String(fallback);
}
#endif

std::string appFolder(const QString& base, const char* leaf) {
    if (base.isEmpty()) {
        return {};
    }
    return QDir::toNativeSeparators(base + QStringLiteral("/QX-5130/") + QLatin1String(leaf))
        .toLocal8Bit()
        .toStdString();
}

} // namespace

std::string QtSystemInfo::backupsFolder() const {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return appFolder(xdgFolder("XDG_DATA_HOME", ".local/share"), "backups");
#else
    return appFolder(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                     "backups");
#endif
}

std::string QtSystemInfo::recoveryFolder() const {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return appFolder(xdgFolder("XDG_STATE_HOME", ".local/state"), "recovery");
#else
    return appFolder(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                     "recovery");
#endif
}

ScreenRect QtSystemInfo::workArea() const {
    if (m_workArea) {
        return m_workArea();
    }
    return {0, 0, 1024, 768};
}

} // namespace qx
