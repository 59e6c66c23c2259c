#pragma once

#include "radio/eeprom.h"
#include "sheet/sheet_environment.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qx {

class cmcCellLinkDispatch;
class SelectionLists;

// One cell that two images show differently.
struct CellDifference {
    std::string sheet; // the call string
    std::string row;   // the row's label as the sheet shows it
    std::string column;
    std::string a;
    std::string b;
};

// Differing bytes of the transceiver part that no cell shows, first to last inclusive.
struct ByteDifference {
    std::int32_t first = 0;
    std::int32_t last = 0;
};

// What differs between two images as the editor's sheets show them.
class ImageDiff {
public:
    // The environment and the dispatch describe the editor (destination, variant, language);
    // their images are replaced by the two compared ones while the comparison runs.
    ImageDiff(const SheetEnvironment& environment, cmcCellLinkDispatch& dispatch,
              SelectionLists& lists);
    ~ImageDiff();
    ImageDiff(const ImageDiff&) = delete;
    ImageDiff& operator=(const ImageDiff&) = delete;

    void compare(const cmcEeprom& a, const cmcEeprom& b);

    // Grouped by sheet in catalogue order, then by row and column.
    const std::vector<CellDifference>& cells() const { return m_cells; }
    const std::vector<ByteDifference>& bytes() const { return m_bytes; }

    // "sheet<TAB>row<TAB>column<TAB>A<TAB>B" per cell, then one line per byte range:
    // "bytes<TAB>0xFIRST-0xLAST<TAB><TAB>A bytes in hex<TAB>B bytes in hex".
    std::vector<std::string> lines() const;

private:
    struct Sheet;
    // Which cells read each byte of one image, learned while their texts were taken.
    struct Readers {
        struct Span {
            std::int32_t first;
            std::int32_t end; // exclusive
            std::uint32_t cell;
        };
        std::vector<Span> spans;              // gathered while the texts are taken
        std::vector<std::uint32_t> start;     // per address, where its cells begin in `cells`
        std::vector<std::uint32_t> cells;     // cell numbers, address by address
        std::vector<std::uint32_t> anywhere;  // cells whose reach is unknown
        std::vector<std::uint32_t> bankTable; // cells that read the bank link table
        void index(std::int32_t size);
    };
    std::vector<std::string> texts(Sheet& sheet, cmcEeprom& image, Readers& readers);
    bool showsTheSame(cmcEeprom& probe, bool asA, std::int32_t first, std::int32_t last);
    void findUnshown(std::int32_t first, std::int32_t last);

    SheetEnvironment m_env;
    cmcCellLinkDispatch& m_dispatch;
    SelectionLists& m_lists;
    cmcEeprom m_a;
    cmcEeprom m_b;
    cmcEeprom m_probeA;
    cmcEeprom m_probeB;
    std::vector<std::unique_ptr<Sheet>> m_sheets;
    std::vector<CellDifference> m_cells;
    std::vector<std::pair<std::size_t, std::size_t>> m_cellAt; // cell number -> sheet, cell
    Readers m_readersA;
    Readers m_readersB;
    std::vector<std::uint32_t> m_tried; // the probe that last tried each cell
    std::uint32_t m_probe = 0;
    std::uint32_t m_culpritA = ~0U; // the cell that showed the last change of each image
    std::uint32_t m_culpritB = ~0U;
    bool m_bFirst = false;
    std::vector<ByteDifference> m_bytes;
};

} // namespace qx
