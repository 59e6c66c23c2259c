#pragma once

#include "sheet/sheet_environment.h"

namespace qx {

class SettingsStore;

// Remembered column widths in the per-user settings: one key per sheet family,
// "Software\Orsa\QX-5130\Display\<group>\colwidth", one number per column named by the
// column number.
class cmcRegistryColumnWidths : public ColumnWidthStore {
public:
    explicit cmcRegistryColumnWidths(SettingsStore& store) : m_store(store) {}

    std::optional<std::int32_t> loadWidth(const std::string& group, int column) override;
    void saveWidth(const std::string& group, int column, std::int32_t width) override;
    void clearGroup(const std::string& group) override;

    static std::string keyOf(const std::string& group);

private:
    SettingsStore& m_store;
};

} // namespace qx
