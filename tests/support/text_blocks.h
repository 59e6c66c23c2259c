#pragma once

#include "base/fatal_defect.h"
#include "base/text_lines.h"
#include "base/text_metrics.h"

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace qx::test {

// A text table written inline in the table's own format ("#Key" headers, one line each).
// Reading past a block runs on into the following lines, as the real table does.
class TextBlocks : public TextLines {
public:
    explicit TextBlocks(const std::string& source) { add(source); }

    void add(const std::string& source) {
        std::istringstream in(source);
        std::string line;
        while (std::getline(in, line)) {
            if (line.size() >= 2 && line.front() == '#' && !m_index.contains(line.substr(1))) {
                m_index[line.substr(1)] = m_lines.size() + 1;
            }
            m_lines.push_back(line);
        }
        m_lines.emplace_back("#");
    }

    std::string line(std::string_view key, int n) override {
        const auto found = m_index.find(std::string(key));
        if (found == m_index.end() || n < 0 || found->second + n >= m_lines.size()) {
            fatalDefect("GTEX Error !\nThe index '" + std::string(key) + "' was not found.");
        }
        ++reads;
        return m_lines[found->second + static_cast<std::size_t>(n)];
    }

    int reads = 0;

private:
    std::vector<std::string> m_lines;
    std::map<std::string, std::size_t, std::less<>> m_index;
};

// Every byte is 10 pixels wide and every line 20 pixels tall, whatever the font.
class FixedMetrics : public TextMetrics {
public:
    int textWidth(const cmcFont& /*font*/, std::string_view line) const override {
        return 10 * static_cast<int>(line.size());
    }
    int textHeight(const cmcFont& /*font*/, std::string_view /*line*/) const override { return 20; }
};

// The cell models of the built-in definitions.
inline const char* const kCellModels = R"(#CellModel_Basic
<-(Color=clWindow)(Font=DEFAULT_CHARSET,,clWindowText,-17,,,)(PopupMenu=GI_PMenu_Edit)
#CellModel_iCR
>_WH(Color=clGray)(Font=,,clWhite,,,fsBold,)
#CellModel_iCG
<_H(Color=clGreen)(Font=,,clWhite,,,fsBold,)
#CellModel_iChI
^-WH(Color=clGray)(Font=,,clWhite,,,fsBold,)
#CellModel_iChN
>-WHB(Color=clOlive)(Font=,,clWhite,,,fsBold,)
#CellModel_eWh
S<_WHB
#CellModel_iSp
(Color=clGray)
#CellModel_bMn
<~WH(Color=clMenu)(PopupMenu=)
#CellModel_tipsM
-!SWHT(Font=,,clMaroon,,,,)
)";

} // namespace qx::test
