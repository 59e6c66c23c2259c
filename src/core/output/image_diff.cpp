#include "output/image_diff.h"

#include "base/hex_digits.h"
#include "radio/bank_link_table.h"
#include "radio/cell_link_dispatch.h"
#include "radio/image_map.h"
#include "sheet/sheet.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/sheet_script.h"

#include <algorithm>

namespace qx {

namespace {

// Sheets that show no data of the image.
bool showsImageData(const std::string& callString) {
    return callString != "GI_Sheet_TopPage" && callString != "GI_Sheet_TreeTop" &&
           callString != "GI_Sheet_CloneInfo";
}

std::string oneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\t', ' ');
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string hexBytes(const cmcEeprom& image, std::int32_t first, std::int32_t last) {
    constexpr std::int32_t kShown = 16;
    std::string out;
    for (std::int32_t a = first; a <= last && a < first + kShown; ++a) {
        appendHex(out, image.getByte(a), 2);
    }
    if (last - first + 1 > kShown) {
        out += "...";
    }
    return out;
}

std::string address(std::int32_t a) {
    std::string out = "0x";
    appendHex(out, static_cast<unsigned>(a), 4);
    return out;
}

} // namespace

// A sheet of the catalogue built once; its layout decides which cells are compared.
struct ImageDiff::Sheet {
    std::string callString;
    std::unique_ptr<cuiSheet> sheet;
    std::vector<std::pair<int, int>> cells; // visible cells with a link: column, row
    std::vector<std::string> shownA;        // their texts for image A
    std::vector<std::string> shownB;
};

ImageDiff::ImageDiff(const SheetEnvironment& environment, cmcCellLinkDispatch& dispatch,
                     SelectionLists& lists)
    : m_env(environment), m_dispatch(dispatch), m_lists(lists) {}

ImageDiff::~ImageDiff() = default;

std::vector<std::string> ImageDiff::texts(Sheet& sheet, cmcEeprom& image, Readers& readers) {
    m_dispatch.environment().image = &image;
    cmcSheetScript script(*sheet.sheet, m_dispatch, m_lists);
    std::vector<std::string> out;
    out.reserve(sheet.cells.size());
    EepromReadLog log;
    for (std::size_t i = 0; i < sheet.cells.size(); ++i) {
        const auto [c, r] = sheet.cells[i];
        const auto cell = static_cast<std::uint32_t>(m_cellAt.size() + i);
        log.ranges.clear();
        log.everything = false;
        image.attachReadLog(&log);
        out.push_back(script.cellText(c, r));
        image.attachReadLog(nullptr);
        if (log.everything) {
            readers.anywhere.push_back(cell);
            continue;
        }
        // The bank link table is built from the empty bitmap and the bank assignments: its
        // readers read those.
        if (std::any_of(log.ranges.begin(), log.ranges.end(), [](const auto& range) {
                return range.first + range.second > imagemap::kBankLinkTable;
            })) {
            readers.bankTable.push_back(cell);
        }
        // A cell reads the same record several times over: overlapping ranges become one.
        std::sort(log.ranges.begin(), log.ranges.end());
        for (const auto& [first, length] : log.ranges) {
            const std::int32_t end = first + length;
            if (!readers.spans.empty() && readers.spans.back().cell == cell &&
                first <= readers.spans.back().end) {
                readers.spans.back().end = std::max(readers.spans.back().end, end);
            } else {
                readers.spans.push_back({first, end, cell});
            }
        }
    }
    return out;
}

void ImageDiff::Readers::index(std::int32_t size) {
    const auto n = static_cast<std::size_t>(size);
    start.assign(n + 1, 0);
    const auto clampedTo = [size](std::int32_t a) { return std::clamp(a, 0, size); };
    for (const Span& s : spans) {
        for (std::int32_t a = clampedTo(s.first); a < clampedTo(s.end); ++a) {
            ++start[static_cast<std::size_t>(a) + 1];
        }
    }
    for (std::size_t a = 0; a < n; ++a) {
        start[a + 1] += start[a];
    }
    cells.resize(start[n]);
    std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
    for (const Span& s : spans) {
        for (std::int32_t a = clampedTo(s.first); a < clampedTo(s.end); ++a) {
            cells[next[static_cast<std::size_t>(a)]++] = s.cell;
        }
    }
    spans.clear();
    spans.shrink_to_fit();
}

void ImageDiff::compare(const cmcEeprom& a, const cmcEeprom& b) {
    cmcEeprom* const editorImage = m_dispatch.environment().image;
    m_a = a;
    m_b = b;
    banklink::rebuild(m_a);
    banklink::rebuild(m_b);
    m_cells.clear();
    m_cellAt.clear();
    m_readersA = {};
    m_readersB = {};
    m_bytes.clear();
    m_sheets.clear();

    for (const std::string& call : catalogueCallStrings()) {
        if (!showsImageData(call)) {
            continue;
        }
        // Rows and columns the sheet hides for either image are compared where the other
        // shows them.
        SheetEnvironment env = m_env;
        env.image = &m_a;
        auto sheet = std::make_unique<Sheet>();
        sheet->callString = call;
        sheet->sheet = createSheet(env, call);
        sheet->sheet->show();
        cuiSheet& s = *sheet->sheet;
        // Only the GPS lists hide rows by the image's data; the other sheets lay out alike.
        std::unique_ptr<cuiSheet> layoutB;
        if (decodeCallString(call).kind == "St_ChGps") {
            env.image = &m_b;
            layoutB = createSheet(env, call);
            layoutB->show();
        }
        const cuiSheet& t = layoutB ? *layoutB : s;
        for (int r = 0; r < s.rowCount(); ++r) {
            for (int c = 0; c < s.columnCount(); ++c) {
                const bool visible = std::max(s.rowHeight(r), t.rowHeight(r)) >= 2 &&
                                     std::max(s.columnWidth(c), t.columnWidth(c)) >= 2;
                if (visible && s.cell(c, r).link != kNoLinkId && !s.cell(c, r).span) {
                    sheet->cells.emplace_back(c, r);
                }
            }
        }
        sheet->shownA = texts(*sheet, m_a, m_readersA);
        sheet->shownB = texts(*sheet, m_b, m_readersB);
        for (std::size_t i = 0; i < sheet->cells.size(); ++i) {
            m_cellAt.emplace_back(m_sheets.size(), i);
        }
        const std::vector<std::string>& shownB = sheet->shownB;
        cmcSheetScript script(s, m_dispatch, m_lists);
        m_dispatch.environment().image = &m_a;
        for (std::size_t i = 0; i < sheet->cells.size(); ++i) {
            if (sheet->shownA[i] == shownB[i]) {
                continue;
            }
            const auto [c, r] = sheet->cells[i];
            CellDifference d;
            d.sheet = call;
            // The row's label: the nearest text to the left that is no entry of its own; the
            // column's: the nearest such text above.
            for (int left = c - 1; left >= 0 && d.row.empty(); --left) {
                if (!s.cell(left, r).selectable && s.columnWidth(left) >= 2) {
                    d.row = oneLine(script.cellText(left, r));
                }
            }
            for (int up = r - 1; up >= 0 && d.column.empty(); --up) {
                if (!s.cell(c, up).selectable) {
                    d.column = oneLine(script.cellText(c, up));
                }
            }
            d.a = oneLine(sheet->shownA[i]);
            d.b = oneLine(shownB[i]);
            m_cells.push_back(std::move(d));
        }
        m_sheets.push_back(std::move(sheet));
    }

    // Runs of differing bytes, each searched for the bytes that no cell shows.
    m_probeA = m_a;
    m_probeB = m_b;
    m_readersA.index(imagemap::kTransceiverSize);
    m_readersB.index(imagemap::kTransceiverSize);
    m_tried.assign(m_cellAt.size(), 0);
    m_probe = 0;
    m_culpritA = m_culpritB = ~0U;
    m_bFirst = false;
    const std::int32_t end = imagemap::kTransceiverSize;
    for (std::int32_t first = 0; first < end;) {
        if (m_a.getByte(first) == m_b.getByte(first)) {
            ++first;
            continue;
        }
        std::int32_t last = first;
        while (last + 1 < end && m_a.getByte(last + 1) != m_b.getByte(last + 1)) {
            ++last;
        }
        findUnshown(first, last);
        first = last + 1;
    }
    // Neighbouring ranges read as one.
    std::vector<ByteDifference> merged;
    for (const ByteDifference& r : m_bytes) {
        if (!merged.empty() && merged.back().last + 1 == r.first) {
            merged.back().last = r.last;
        } else {
            merged.push_back(r);
        }
    }
    m_bytes = std::move(merged);
    m_dispatch.environment().image = editorImage;
}

// Only the cells that read a byte of first-last for the image can show the probe otherwise:
// a cell reads the same bytes again as long as those it read are unchanged.
bool ImageDiff::showsTheSame(cmcEeprom& probe, bool asA, std::int32_t first, std::int32_t last) {
    banklink::rebuild(probe);
    m_dispatch.environment().image = &probe;
    const Readers& readers = asA ? m_readersA : m_readersB;
    ++m_probe;
    const auto same = [&](std::uint32_t cell) {
        if (m_tried[cell] == m_probe) {
            return true;
        }
        m_tried[cell] = m_probe;
        const auto [sheetIndex, i] = m_cellAt[cell];
        const Sheet& sheet = *m_sheets[sheetIndex];
        cmcSheetScript script(*sheet.sheet, m_dispatch, m_lists);
        const auto [c, r] = sheet.cells[i];
        return script.cellText(c, r) == (asA ? sheet.shownA : sheet.shownB)[i];
    };
    std::uint32_t& culprit = asA ? m_culpritA : m_culpritB;
    if (culprit < m_cellAt.size() && !same(culprit)) {
        return false;
    }
    const std::uint32_t to = readers.start[static_cast<std::size_t>(last) + 1];
    for (std::uint32_t k = readers.start[static_cast<std::size_t>(first)]; k < to; ++k) {
        if (const std::uint32_t cell = readers.cells[k]; !same(cell)) {
            culprit = cell;
            return false;
        }
    }
    const auto touches = [&](std::int32_t from, std::int32_t size) {
        return first < from + size && last >= from;
    };
    if (touches(imagemap::kEmptyBitmap, imagemap::kEmptyBitmapSize) ||
        touches(imagemap::kBankAssignments, imagemap::kBankableChannelCount * 2)) {
        for (const std::uint32_t cell : readers.bankTable) {
            if (!same(cell)) {
                culprit = cell;
                return false;
            }
        }
    }
    for (const std::uint32_t cell : readers.anywhere) {
        if (!same(cell)) {
            culprit = cell;
            return false;
        }
    }
    return true;
}

// Bytes first-last of B put into A, and of A put into B: when no cell shows either change,
// none of them is shown; otherwise each half is tried on its own. Both ways, because whether
// a byte shows may hang on others that differ too (a channel that only one image uses).
void ImageDiff::findUnshown(std::int32_t first, std::int32_t last) {
    const auto swap = [&](bool in) {
        for (std::int32_t a = first; a <= last; ++a) {
            m_probeA.setByte(a, (in ? m_b : m_a).getByte(a));
            m_probeB.setByte(a, (in ? m_a : m_b).getByte(a));
        }
    };
    swap(true);
    // Neighbouring bytes are mostly shown by the same cells of the same image: the image whose
    // cells showed the last change is tried first.
    bool same = true;
    for (const bool asA : {m_bFirst ? false : true, m_bFirst ? true : false}) {
        if (!showsTheSame(asA ? m_probeA : m_probeB, asA, first, last)) {
            same = false;
            m_bFirst = !asA;
            break;
        }
    }
    swap(false);
    if (same) {
        m_bytes.push_back({first, last});
    } else if (first < last) {
        const std::int32_t middle = first + (last - first) / 2;
        findUnshown(first, middle);
        findUnshown(middle + 1, last);
    }
}

std::vector<std::string> ImageDiff::lines() const {
    std::vector<std::string> out;
    for (const CellDifference& d : m_cells) {
        out.push_back(d.sheet + '\t' + d.row + '\t' + d.column + '\t' + d.a + '\t' + d.b);
    }
    for (const ByteDifference& r : m_bytes) {
        out.push_back("bytes\t" + address(r.first) + '-' + address(r.last) + "\t\t" +
                      hexBytes(m_a, r.first, r.last) + '\t' + hexBytes(m_b, r.first, r.last));
    }
    return out;
}

} // namespace qx
