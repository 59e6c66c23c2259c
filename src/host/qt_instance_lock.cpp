#include "qt_instance_lock.h"

#include <QDir>
#include <QLockFile>

#include <utility>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace qx {

QtInstanceLock::QtInstanceLock(QString folder)
    : m_folder(folder.isEmpty() ? QDir::tempPath() : std::move(folder)) {}

QtInstanceLock::~QtInstanceLock() {
    unlock();
}

QString QtInstanceLock::lockFilePath(const std::string& name) const {
    QString safe;
    for (const QChar c : QString::fromLocal8Bit(name)) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                           c == QLatin1Char('-') || c == QLatin1Char('.');
        safe += plain ? c : QLatin1Char('_');
    }
#ifdef Q_OS_UNIX
    safe += QStringLiteral("-%1").arg(::getuid());
#endif
    return QDir(m_folder).filePath(safe + QStringLiteral(".lock"));
}

bool QtInstanceLock::tryLock(const std::string& name) {
    if (m_file) {
        return false;
    }
    auto file = std::make_unique<QLockFile>(lockFilePath(name));
    // Only a dead holder makes the lock stale, never its age.
    file->setStaleLockTime(0);
    if (!file->tryLock(0)) {
        return false;
    }
    m_file = std::move(file);
    return true;
}

void QtInstanceLock::unlock() {
    if (m_file) {
        m_file->unlock();
        m_file.reset();
    }
}

} // namespace qx
