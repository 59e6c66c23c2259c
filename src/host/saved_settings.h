#pragma once

#include "app/environ.h"
#include "qt_settings_store.h"
#include "qt_system_info.h"

#include <string>
#include <utility>
#include <vector>

namespace qx {

// The editor's saved settings for a tool that only reads them (the command line editor): no
// single-instance lock, nothing written, so it may run while the editor is open.
class SavedSettings {
public:
    explicit SavedSettings(std::vector<std::string> arguments = {})
        : m_env(indEnviron::ReadOnly{}, indEnviron::kRegistryRoot, indEnviron::kRegistryRoot,
                m_store, m_system, std::move(arguments)) {}
    SavedSettings(const SavedSettings&) = delete;
    SavedSettings& operator=(const SavedSettings&) = delete;

    const indEnviron& settings() const { return m_env; }

private:
    QtSettingsStore m_store;
    QtSystemInfo m_system;
    indEnviron m_env;
};

} // namespace qx
