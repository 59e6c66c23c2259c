#include "qt_settings_store.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

#include <cstdio>
#include <limits>

namespace qx {

namespace {

QString valuePath(const QString& group, const std::string& name) {
    const QString n = QString::fromLocal8Bit(name);
    return group.isEmpty() ? n : group + QLatin1Char('/') + n;
}

// A registry DWORD holds any 32-bit pattern; text files hold it as signed or unsigned decimal.
std::optional<std::int32_t> toNumber(const QVariant& v) {
    if (!v.isValid()) {
        return std::nullopt;
    }
    qint64 n = 0;
    bool ok = false;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        n = v.toLongLong(&ok);
        break;
    case QMetaType::QString:
        n = v.toString().trimmed().toLongLong(&ok, 10);
        break;
    default:
        return std::nullopt;
    }
    if (!ok || n < std::numeric_limits<std::int32_t>::min() ||
        n > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(n & 0xFFFFFFFF));
}

#ifndef Q_OS_WIN
// The files QSettings reads for an organisation's application, user and system scope alike:
// reading a FIFO or a device among them would block for ever.
QStringList settingsFiles(const QString& organisation, const QString& application) {
    QStringList folders{QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)};
    const QString xdgDirs = qEnvironmentVariable("XDG_CONFIG_DIRS");
    folders += xdgDirs.isEmpty() ? QStringList{QStringLiteral("/etc/xdg")}
                                 : xdgDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    QStringList files;
    for (const QString& folder : folders) {
        files << folder + QLatin1Char('/') + organisation + QLatin1Char('/') + application +
                     QStringLiteral(".conf")
              << folder + QLatin1Char('/') + organisation + QStringLiteral(".conf");
    }
    return files;
}
#endif

// The first of the files that exists without being a regular file, if any.
QString unreadableFile(const QString& organisation, const QString& application) {
#ifndef Q_OS_WIN
    for (const QString& file : settingsFiles(organisation, application)) {
        const QFileInfo info(file);
        if (info.exists() && !info.isFile()) {
            return file;
        }
    }
#else
    Q_UNUSED(organisation);
    Q_UNUSED(application);
#endif
    return {};
}

} // namespace

QtSettingsStore::QtSettingsStore() = default;
QtSettingsStore::~QtSettingsStore() = default;

QtSettingsStore::Place QtSettingsStore::place(const std::string& key, bool machineWide) const {
    QStringList parts = QString::fromLocal8Bit(key).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    // "Software\Organisation\Application" is the least a key names.
    if (parts.size() < 3 || parts[0].compare(QLatin1String("Software"), Qt::CaseInsensitive) != 0) {
        return {};
    }
    const QString organisation = parts[1];
    const QString application = parts[2];
    Files& files = machineWide ? m_machine : m_user;
    const std::pair<QString, QString> names{organisation, application};
    if (m_refused.count(names) != 0) {
        return {};
    }
    if (files.find(names) == files.end()) {
        // Such a file is taken as absent: the defaults are used and nothing is written.
        if (const QString bad = unreadableFile(organisation, application); !bad.isEmpty()) {
            m_refused.insert(names);
            std::fprintf(stderr, "%s is not a regular file; the settings are not used.\n",
                         qPrintable(bad));
            return {};
        }
    }
    auto& slot = files[names];
    if (!slot) {
        slot = std::make_unique<QSettings>(
            QSettings::NativeFormat, machineWide ? QSettings::SystemScope : QSettings::UserScope,
            organisation, application);
        // A value missing for the user must read as missing, not as the system's.
        slot->setFallbacksEnabled(false);
    }
    return {slot.get(), parts.mid(3).join(QLatin1Char('/'))};
}

QtSettingsStore::Place QtSettingsStore::user(const std::string& key) const {
    return place(key, false);
}

QtSettingsStore::Place QtSettingsStore::machine(const std::string& key) const {
    return place(key, true);
}

QString QtSettingsStore::fileNameFor(const std::string& key) const {
    const Place p = user(key);
    return p.settings != nullptr ? p.settings->fileName() : QString();
}

std::optional<std::int32_t> QtSettingsStore::readNumber(const std::string& key,
                                                        const std::string& name) const {
    const Place p = user(key);
    if (p.settings == nullptr) {
        return std::nullopt;
    }
    return toNumber(p.settings->value(valuePath(p.group, name)));
}

std::optional<std::string> QtSettingsStore::readText(const std::string& key,
                                                     const std::string& name) const {
    const Place p = user(key);
    if (p.settings == nullptr) {
        return std::nullopt;
    }
    const QVariant v = p.settings->value(valuePath(p.group, name));
    if (!v.isValid()) {
        return std::nullopt;
    }
    switch (v.typeId()) {
    case QMetaType::QByteArray: {
        const QByteArray bytes = v.toByteArray();
        return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    case QMetaType::QStringList:
        // An unquoted comma in a hand-edited file splits the text; put it back together.
        return v.toStringList().join(QLatin1String(", ")).toLocal8Bit().toStdString();
    default:
        return v.toString().toLocal8Bit().toStdString();
    }
}

void QtSettingsStore::writeNumber(const std::string& key, const std::string& name,
                                  std::int32_t value) {
    const Place p = user(key);
    if (p.settings != nullptr) {
        p.settings->setValue(valuePath(p.group, name), value);
    }
}

void QtSettingsStore::writeText(const std::string& key, const std::string& name,
                                const std::string& value) {
    const Place p = user(key);
    if (p.settings == nullptr) {
        return;
    }
    const QByteArray bytes(value.data(), static_cast<qsizetype>(value.size()));
    const QString text = QString::fromLocal8Bit(bytes);
    // Bytes that are not text in the local encoding are kept as they are rather than mangled.
    if (text.toLocal8Bit() == bytes) {
        p.settings->setValue(valuePath(p.group, name), text);
    } else {
        p.settings->setValue(valuePath(p.group, name), bytes);
    }
}

void QtSettingsStore::deleteValue(const std::string& key, const std::string& name) {
    const Place p = user(key);
    if (p.settings != nullptr) {
        p.settings->remove(valuePath(p.group, name));
    }
}

void QtSettingsStore::deleteKey(const std::string& key) {
    const Place p = user(key);
    if (p.settings != nullptr) {
        p.settings->remove(p.group);
    }
}

std::optional<std::int32_t> QtSettingsStore::readMachineNumber(const std::string& key,
                                                               const std::string& name) const {
    const Place p = machine(key);
    if (p.settings == nullptr) {
        return std::nullopt;
    }
    return toNumber(p.settings->value(valuePath(p.group, name)));
}

bool QtSettingsStore::flush() {
    bool ok = true;
    for (auto& [names, settings] : m_user) {
        settings->sync();
        ok = ok && settings->status() == QSettings::NoError;
    }
    return ok;
}

} // namespace qx
