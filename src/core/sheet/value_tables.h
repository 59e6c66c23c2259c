#pragma once

#include "base/hash.h"
#include "base/selection_lists.h"
#include "sheet/cell_parser.h"

namespace qx {

class TextLines;

// Value tables of the selection lists, read from the lists' definitions on first use and kept
// for the run.
class cmcValueTables : public SelectionLists {
public:
    explicit cmcValueTables(TextLines& text, bool shiftJis = false) : m_parser(text, shiftJis) {}

    const std::vector<SelectionItem>& items(std::string_view listKey,
                                            std::int32_t itemLink) override;
    std::optional<std::string> valueText(std::string_view listKey, std::int32_t itemLink,
                                         std::int32_t value) override;
    std::int32_t stepValue(std::string_view listKey, std::int32_t itemLink, std::int32_t value,
                           std::int32_t delta) override;

private:
    struct Table {
        std::vector<SelectionItem> byPosition;
        std::vector<SelectionItem> byValue;
    };
    Table& table(std::string_view listKey, std::int32_t itemLink);

    cmcCellParser m_parser;
    cmcHash2<Table> m_tables;
};

} // namespace qx
