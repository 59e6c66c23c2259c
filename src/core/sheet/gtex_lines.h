#pragma once

#include "base/text_lines.h"
#include "text/text_table.h"

namespace qx {

// Sheets read their definitions from the keyed text table.
class GTexLines : public TextLines {
public:
    explicit GTexLines(cmcGTex& table) : m_table(table) {}
    std::string line(std::string_view key, int n) override { return m_table.line(key, n); }

private:
    cmcGTex& m_table;
};

} // namespace qx
