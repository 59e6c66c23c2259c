// The cell parser on definition text: one definition line split and parsed cell by cell, or a
// whole sheet (style line, basic cell, cell lines) built through the TextLines port. Cell
// models come from the built-in English table. Definitions are built-in data, so a defect
// ("Cannot use the specified cell.", "Ch No. Error", ...) is their designed answer and ends
// only the input; anything else that goes wrong is a fault.
#include "base/text_lines.h"
#include "base/text_metrics.h"
#include "fuzz_support.h"
#include "sheet/cell_parser.h"
#include "sheet/sheet.h"
#include "text/text_source.h"
#include "text/text_table.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

const std::string kSheetKey = "GI_Sheet_Fuzz";

// The fuzzed sheet's three blocks in front of the built-in table, which supplies the models.
class FuzzLines : public qx::TextLines {
public:
    FuzzLines(qx::cmcGTex& builtIn, std::vector<std::string> lines)
        : m_builtIn(builtIn), m_lines(std::move(lines)) {
        for (std::size_t i = 0; i < m_lines.size(); ++i) {
            if (m_lines[i].size() >= 2 && m_lines[i][0] == '#') {
                m_index.emplace(m_lines[i].substr(1), i + 1);
            }
        }
    }
    std::string line(std::string_view key, int n) override {
        const auto found = m_index.find(std::string(key));
        if (found == m_index.end()) {
            return m_builtIn.line(key, n);
        }
        if (n < 0 || found->second + static_cast<std::size_t>(n) >= m_lines.size()) {
            qx::fatalDefect("GTEX Error !\nThe index '" + std::string(key) + "' was not found.");
        }
        return m_lines[found->second + static_cast<std::size_t>(n)];
    }

private:
    qx::cmcGTex& m_builtIn;
    std::vector<std::string> m_lines;
    std::map<std::string, std::size_t> m_index;
};

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t lf = text.find('\n', start);
        std::string l = text.substr(start, lf == std::string::npos ? lf : lf - start);
        lines.push_back(l.c_str()); // built-in lines are NUL-terminated
        if (lf == std::string::npos) {
            break;
        }
        start = lf + 1;
    }
    return lines;
}

// Loops repeat their body as often as the definition says; the built-in sheets stay far below
// these sizes, and a fuzzed "LoopFrom 2000000000" would only measure the machine's memory.
bool reasonableSize(const std::vector<std::string>& lines) {
    long largestLoop = 1;
    long widestLine = 1;
    for (const std::string& l : lines) {
        for (std::size_t at = l.find("LoopFrom"); at != std::string::npos;
             at = l.find("LoopFrom", at + 1)) {
            long count = 0;
            std::size_t i = at + 8;
            while (i < l.size() && (l[i] == ' ' || l[i] == '\t' || l[i] == '+')) {
                ++i;
            }
            while (i < l.size() && l[i] >= '0' && l[i] <= '9' && count < 100000) {
                count = count * 10 + (l[i++] - '0');
            }
            largestLoop = std::max(largestLoop, count);
        }
        widestLine = std::max(widestLine, static_cast<long>(std::count(l.begin(), l.end(), '|')));
    }
    return largestLoop <= 1000 &&
           static_cast<long>(lines.size()) * largestLoop * (widestLine + 1) <= 200000;
}

void checkCell(const qx::cmcCellObj& cell) {
    FUZZ_CHECK(cell.category >= 0 && cell.category <= qx::kNoCategoryId);
    FUZZ_CHECK(cell.link >= 0 && cell.link <= qx::kNoLinkId);
    FUZZ_CHECK(cell.hAlign <= 2 && cell.vAlign <= 2 && cell.rightRule <= 2);
    FUZZ_CHECK(cell.variables == nullptr);
}

void parseLine(const std::string& text, bool shiftJis) {
    FuzzLines lines(qx::fuzz::builtInTable(), {});
    const qx::cmcCellParser parser(lines, shiftJis, shiftJis);
    qx::SheetVariables variables{};
    qx::cmcCellObj basic;
    std::string_view basicLine = "{($Basic)(%CT_Conv.)}";
    parser.parseCell(basic, basicLine, nullptr, nullptr);
    std::string_view line = text;
    const int expected = parser.countCells(line);
    int parsed = 0;
    while (!line.empty()) {
        qx::cmcCellObj cell;
        FUZZ_CHECK(parser.parseCell(cell, line, &variables, &basic));
        checkCell(cell);
        ++parsed;
    }
    FUZZ_CHECK(parsed == expected);
}

void buildSheet(const std::string& text, bool shiftJis) {
    std::vector<std::string> input = splitLines(text);
    if (!reasonableSize(input)) {
        return;
    }
    // Line 0 is the style line, line 1 the basic cell, the rest the cell lines.
    std::vector<std::string> blocks = {"#" + kSheetKey + "_Style"};
    blocks.push_back(input.empty() ? std::string() : input[0]);
    blocks.push_back("#" + kSheetKey + "_BasicCell");
    blocks.push_back(input.size() < 2 ? std::string() : input[1]);
    blocks.push_back("#" + kSheetKey + "_Cells");
    for (std::size_t i = 2; i < input.size(); ++i) {
        blocks.push_back(input[i]);
    }
    blocks.emplace_back("#");
    FuzzLines lines(qx::fuzz::builtInTable(), std::move(blocks));
    const qx::FixedTextMetrics metrics;
    qx::SheetEnvironment environment;
    environment.text = &lines;
    environment.metrics = &metrics;
    environment.shiftJis = shiftJis;
    environment.japaneseSystem = shiftJis;
    qx::cuiSheet sheet(environment, kSheetKey);
    sheet.show();
    FUZZ_CHECK(sheet.columnCount() > 0 && sheet.rowCount() > 0);
    FUZZ_CHECK(static_cast<int>(sheet.rowList().size()) >= sheet.rowCount());
    for (int r = 0; r < sheet.rowCount(); ++r) {
        FUZZ_CHECK(sheet.rowHeight(r) >= 1);
        for (int c = 0; c < sheet.columnCount(); ++c) {
            checkCell(sheet.cell(c, r));
        }
    }
    for (int c = 0; c < sheet.columnCount(); ++c) {
        FUZZ_CHECK(sheet.columnWidth(c) >= 1);
    }
    // Rebuilding keeps the variables and gives the same grid.
    const int columns = sheet.columnCount();
    const int rows = sheet.rowCount();
    sheet.show();
    FUZZ_CHECK(sheet.columnCount() == columns && sheet.rowCount() == rows);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qx::fuzz::installDefectTrap(true);
    qx::fuzz::ByteReader in(data, size);
    const std::uint8_t setup = in.byte();
    const bool shiftJis = (setup & 0x02) != 0;
    try {
        if ((setup & 0x01) == 0) {
            std::string line = in.restText();
            line = line.c_str();
            parseLine(line, shiftJis);
        } else {
            buildSheet(in.restText(), shiftJis);
        }
    } catch (const qx::fuzz::DefectStop&) {
        // The designed answer to a broken definition.
    }
    return 0;
}
