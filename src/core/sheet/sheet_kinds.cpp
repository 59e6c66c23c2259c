#include "sheet/sheet_kinds.h"

#include "base/text_lines.h"
#include "radio/cell_link_names.h"
#include "radio/eeprom.h"

#include <charconv>
#include <vector>

namespace qx {

namespace {

constexpr std::int32_t kBankNameBase = 26232;      // + 8 x variant (9-34)
constexpr std::int32_t kGpsBankNameBase = 31252;   // + 8 x variant (36-61)
constexpr std::int32_t kGpsOrderTable = 31440;     // 100 bytes
constexpr std::int32_t kGpsRecordBankByte = 29063; // + 24 x memory
constexpr std::int32_t kYourCallSigns = 27064;     // 60 x 8 bytes
constexpr std::int32_t kRepeaterCallSigns = 27544; // 60 x 8 bytes

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) {
        s.remove_prefix(1);
    }
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) {
        s.remove_suffix(1);
    }
    return s;
}

std::int32_t decimal(std::string_view s) {
    s = trimmed(s);
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
    }
    std::int32_t value = 0;
    std::from_chars(s.data(), s.data() + s.size(), value);
    return value;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

std::uint8_t imageByte(const cmcEeprom* image, std::int32_t address) {
    return image != nullptr && image->isValidAddress(address) ? image->getByte(address) : 0xFF;
}

bool blankEntry(const cmcEeprom* image, std::int32_t address) {
    for (int i = 0; i < 8; ++i) {
        if (imageByte(image, address + i) != ' ') {
            return false;
        }
    }
    return true;
}

} // namespace

std::string bankTitle(char letter, const std::uint8_t* name) {
    std::string title = " ";
    title += letter;
    title += ": ";
    for (int i = 0; i < 8; ++i) {
        const std::uint8_t c = name != nullptr ? name[i] : ' ';
        title += c >= 32 && c <= 126 ? static_cast<char>(c) : ' ';
    }
    return title;
}

// ---- column cutting ---------------------------------------------------------------------------

void iuiSh_ColCut::afterFill() {
    for (int c = 0; c < columnCount(); ++c) {
        for (int r = 0; r < rowCount(); ++r) {
            if (cutTest(cell(c, r))) {
                setColumnWidth(c, 0);
                if (c - 1 > 0 && columnWidth(c - 1) == rulingSize()) {
                    setColumnWidth(c - 1, 0);
                }
                break;
            }
        }
    }
    for (int c = 0; c < columnCount(); ++c) {
        if (columnWidth(c) == 0) {
            markColumnUnselectable(c);
        }
    }
}

void iuiSh_ColCut_A::setArguments(std::string arguments) {
    const std::string_view args = trimmed(arguments);
    const std::size_t comma = args.find(',');
    m_variant = decimal(args.substr(0, comma));
    setIndexOffset(comma == std::string_view::npos ? 0 : decimal(args.substr(comma + 1)));
    cuiSheet::setArguments(std::move(arguments));
}

void iuiSh_ColCut_A::applyStyleToken(std::string_view token) {
    cuiSheet::applyStyleToken(token);
    adjustCaption();
}

void iuiSh_ColCut_A::adjustCaption() {
    if (m_variant == 7 || m_variant == 8) {
        const std::string title = environment().text->line("GI_AppInd_MchFuncTitle", m_variant - 7);
        if (!title.empty() && title.front() != '#') {
            m_titleString = title;
        }
    }
}

void iuiSh_ColCutBank::adjustCaption() {
    if (m_variant < 9 || m_variant > 34) {
        return;
    }
    std::uint8_t name[8];
    for (int i = 0; i < 8; ++i) {
        name[i] = imageByte(environment().image, kBankNameBase + 8 * m_variant + i);
    }
    m_titleString = bankTitle(static_cast<char>('A' + m_variant - 9), name);
}

bool iuiSh_ColCut_A::cutTest(const cmcCellObj& cell) const {
    const SheetEnvironment& env = environment();
    switch (cell.link) {
    case CL_Mch_Decode_RX:
    case CL_Mch_Air_Freq:
    case CL_Misc_QuarterPillarSpecial:
        return !(env.destination == 13 || env.destination == 14 || env.destination == 15);
    case CL_Mch_Digital_Sql:
    case CL_Mch_Digital_Code:
    case CL_Mch_DYou_Callsign:
    case CL_Mch_DRpt1_Callsign:
    case CL_Mch_DRpt2_Callsign:
        return !env.digitalUnit || env.dvInhibit;
    default:
        return false;
    }
}

bool iuiSh_ColCut_A::printable() const {
    if (!cuiSheet::printable()) {
        return false;
    }
    const SheetEnvironment& env = environment();
    if (m_variant == 7 || m_variant == 8) {
        return true;
    }
    if (!env.channelInUse) {
        return true;
    }
    int first = 0;
    int last = -1;
    if (m_variant >= 0 && m_variant <= 4) {
        first = m_variant * 100;
        last = first + 99;
    } else if (m_variant == 5) {
        first = 500;
        last = 519;
    } else if (m_variant == 6) {
        first = 520;
        last = 521;
    } else if (m_variant >= 9 && m_variant <= 34) {
        return env.bankHasEntry && env.bankHasEntry(m_variant - 9);
    }
    for (int channel = first; channel <= last; ++channel) {
        if (env.channelInUse(channel)) {
            return true;
        }
    }
    return false;
}

bool iuiSh_ColCut_A::includedInPrintAll() const {
    if ((m_variant >= 0 && m_variant <= 5 && m_printMemory) ||
        (m_variant >= 9 && m_variant <= 34 && m_printBanks)) {
        return printable();
    }
    return false;
}

// ---- GPS memories ---------------------------------------------------------------------------

void iuiSh_GpsCh::setArguments(std::string arguments) {
    m_variant = decimal(arguments);
    m_gpsCount = countInUse();
    cuiSheet::setArguments(std::move(arguments));
}

int iuiSh_GpsCh::countInUse() const {
    int count = 0;
    while (count < 100 && imageByte(environment().image, kGpsOrderTable + count) < 100) {
        ++count;
    }
    return count;
}

bool iuiSh_GpsCh::shows(int gpsIndex, int count) const {
    return m_variant == 35 ? gpsIndex + 1 <= count : inBank(gpsIndex);
}

bool iuiSh_GpsCh::rowsOutdated() const {
    if (columnCount() < 2) {
        return false;
    }
    const int count = countInUse();
    for (int r = 0; r < rowCount(); ++r) {
        const cmcCellObj& key = cell(1, r);
        if (key.category == CT_Gps && key.link == CL_Gps_ChNo && key.index != 100 &&
            shows(key.index, count) != (rowHeight(r) != 0)) {
            return true;
        }
    }
    return false;
}

void iuiSh_GpsCh::applyStyleToken(std::string_view token) {
    cuiSheet::applyStyleToken(token);
    if (m_variant == 35) {
        // " GPSメモリー " in Shift-JIS.
        m_caption =
            environment().shiftJis ? " GPS\x83\x81\x83\x82\x83\x8A\x81\x5B " : " GPS Memory ";
    } else if (m_variant >= 36 && m_variant <= 61) {
        std::uint8_t name[8];
        for (int i = 0; i < 8; ++i) {
            name[i] = imageByte(environment().image, kGpsBankNameBase + 8 * m_variant + i);
        }
        m_caption = bankTitle(static_cast<char>('A' + m_variant - 36), name);
    } else {
        m_caption = m_titleString;
    }
    m_titleString = m_caption;
}

bool iuiSh_GpsCh::inBank(int gpsIndex) const {
    if (gpsIndex < 0 || gpsIndex >= 100) {
        return false;
    }
    return imageByte(environment().image, kGpsOrderTable + gpsIndex) < 100 &&
           imageByte(environment().image, kGpsRecordBankByte + 24 * gpsIndex) == m_variant - 35;
}

void iuiSh_GpsCh::afterFill() {
    if (columnCount() < 2) {
        return;
    }
    for (int r = 0; r < rowCount(); ++r) {
        const cmcCellObj& key = cell(1, r);
        if (key.category != CT_Gps || key.link != CL_Gps_ChNo) {
            continue;
        }
        const std::int32_t i = key.index;
        if (i == 100) {
            for (int c = 0; c < columnCount(); ++c) {
                cellEntry(c, r).flags &= static_cast<std::uint8_t>(~clsSheetCellId::kRowSelectable);
            }
            continue;
        }
        if (!shows(i, m_gpsCount)) {
            setRowHeight(r, 0);
        }
    }
    for (int r = 0; r < rowCount(); ++r) {
        if (rowHeight(r) == 0) {
            for (int c = 0; c < columnCount(); ++c) {
                cell(c, r).selectable = false;
            }
        }
    }
}

bool iuiSh_GpsCh::printable() const {
    if (!cuiSheet::printable()) {
        return false;
    }
    if (m_variant == 35) {
        return m_gpsCount != 0;
    }
    for (int i = 0; i < 100; ++i) {
        if (inBank(i)) {
            return true;
        }
    }
    return false;
}

// ---- settings -------------------------------------------------------------------------------

void iuiSh_Common::setArguments(std::string arguments) {
    m_variant = decimal(arguments);
    cuiSheet::setArguments(std::move(arguments));
}

void iuiSh_Common::applyStyleToken(std::string_view token) {
    cuiSheet::applyStyleToken(token);
    if (startsWith(token, "TitleString=") && (m_variant == 1 || m_variant == 2)) {
        const std::string prefix = environment().text->line("GI_AppInd_CommonTitle", m_variant - 1);
        if (!prefix.empty() && prefix.front() != '#') {
            m_titleString = prefix + m_titleString;
        }
    }
}

void iuiSh_Common::applyDirective(std::string_view token) {
    if (!startsWith(token, "Only_")) {
        cuiSheet::applyDirective(token);
        return;
    }
    const SheetEnvironment& env = environment();
    const int d = env.destination;
    const std::size_t blank = token.find(' ');
    const std::string_view name = token.substr(0, blank);
    const int lines = blank == std::string_view::npos ? 0 : decimal(token.substr(blank + 1));
    const bool usa = d == 0 || d == 1;
    const bool japan = d == 13 || d == 14 || d == 15;
    bool shown = true;
    if (name == "Only_JPUSKR") {
        shown = usa || japan || d == 10;
    } else if (name == "Only_JPN") {
        shown = japan;
    } else if (name == "Only_USA") {
        shown = usa;
    } else if (name == "Only_Current") {
        shown = m_variant == 0;
    } else if (name == "Only_USACurrent") {
        shown = usa && m_variant == 0;
    } else if (name == "Only_DigiUnit") {
        shown = env.digitalUnit;
    } else if (name == "Only_DigiUnit_DVpermit") {
        shown = env.digitalUnit && !env.dvInhibit;
    } else if (name == "Only_PgrPermit") {
        shown = !env.pagerInhibit;
    }
    if (!shown) {
        m_skip = lines;
    }
}

// ---- call sign pick lists ---------------------------------------------------------------------

void iuiSh_Mch::applyDirective(std::string_view token) {
    if (token != "LoopYou" && token != "LoopRPT") {
        cuiSheet::applyDirective(token);
        return;
    }
    m_repeaterList = token == "LoopRPT";
    m_loopStart = m_line;
    m_loopLine = m_line + 1;
    m_loopCount = storedCount();
    if (m_loopCount == 0) {
        m_skip = 1;
    }
}

std::int32_t iuiSh_Mch::nextStored(std::int32_t index) const {
    const cmcEeprom* image = environment().image;
    if (m_repeaterList) {
        for (; index < 60; ++index) {
            if (!blankEntry(image, kRepeaterCallSigns + 8 * index)) {
                return index;
            }
        }
        return 60;
    }
    for (; index < 119; ++index) {
        if (index < 60) {
            if (!blankEntry(image, kYourCallSigns + 8 * index)) {
                return index;
            }
        } else {
            const std::int32_t address = kRepeaterCallSigns + 8 * (index - 60);
            if (!blankEntry(image, address) && imageByte(image, address + 7) != 'G') {
                return index;
            }
        }
    }
    return 119;
}

int iuiSh_Mch::storedCount() const {
    const std::int32_t end = m_repeaterList ? 60 : 119;
    int count = 0;
    for (std::int32_t i = nextStored(0); i < end; i = nextStored(i + 1)) {
        ++count;
    }
    return count;
}

void iuiSh_Mch::rowFilled(int row, bool copied) {
    // The first loop row is parsed with the definition's index, the others copied from it with
    // the index advanced by one: each then moves on to the next stored entry.
    if (!copied && rowList()[static_cast<std::size_t>(row)].lineIndex != m_loopLine) {
        return;
    }
    for (int c = 0; c < columnCount(); ++c) {
        cmcCellObj& x = cell(c, row);
        if (x.link != kNoLinkId) {
            x.index = nextStored(x.index);
        }
    }
}

} // namespace qx
