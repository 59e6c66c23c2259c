#pragma once

#include "base/settings_store.h"

#include <QString>

#include <map>
#include <memory>
#include <set>
#include <utility>

class QSettings;

namespace qx {

// Settings in QSettings' native format: the registry on Windows, an INI file elsewhere
// (~/.config/Orsa/QX-5130.conf on Linux, below XDG_CONFIG_HOME when set). A key
// "Software\<organisation>\<application>\<section>..." selects the organisation's application
// file and the section within it; the machine-wide keys come from the system scope.
class QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore();
    ~QtSettingsStore() override;
    QtSettingsStore(const QtSettingsStore&) = delete;
    QtSettingsStore& operator=(const QtSettingsStore&) = delete;

    std::optional<std::int32_t> readNumber(const std::string& key,
                                           const std::string& name) const override;
    std::optional<std::string> readText(const std::string& key,
                                        const std::string& name) const override;
    void writeNumber(const std::string& key, const std::string& name, std::int32_t value) override;
    void writeText(const std::string& key, const std::string& name,
                   const std::string& value) override;
    void deleteValue(const std::string& key, const std::string& name) override;
    void deleteKey(const std::string& key) override;
    std::optional<std::int32_t> readMachineNumber(const std::string& key,
                                                  const std::string& name) const override;
    bool flush() override;

    // The file (or registry path) that holds the per-user values of a key.
    QString fileNameFor(const std::string& key) const;

private:
    struct Place {
        QSettings* settings = nullptr;
        QString group; // "Section/Sub", empty for the application's own key
    };
    Place user(const std::string& key) const;
    Place machine(const std::string& key) const;
    Place place(const std::string& key, bool machineWide) const;

    using Files = std::map<std::pair<QString, QString>, std::unique_ptr<QSettings>>;
    mutable Files m_user;
    mutable Files m_machine;
    mutable std::set<std::pair<QString, QString>> m_refused;
};

} // namespace qx
