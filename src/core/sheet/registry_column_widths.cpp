#include "sheet/registry_column_widths.h"

#include "base/settings_store.h"

namespace qx {

std::string cmcRegistryColumnWidths::keyOf(const std::string& group) {
    return "Software\\Orsa\\QX-5130\\Display\\" + group + "\\colwidth";
}

std::optional<std::int32_t> cmcRegistryColumnWidths::loadWidth(const std::string& group,
                                                               int column) {
    const auto width = m_store.readNumber(keyOf(group), std::to_string(column));
    // A width that cannot be a column's keeps the computed one.
    if (width && *width >= 0 && *width <= 10000) {
        return width;
    }
    return std::nullopt;
}

void cmcRegistryColumnWidths::saveWidth(const std::string& group, int column, std::int32_t width) {
    m_store.writeNumber(keyOf(group), std::to_string(column), width);
}

void cmcRegistryColumnWidths::clearGroup(const std::string& group) {
    m_store.deleteKey(keyOf(group));
}

} // namespace qx
