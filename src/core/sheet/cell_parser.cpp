#include "sheet/cell_parser.h"

#include "base/fatal_defect.h"
#include "base/hash.h"
#include "base/text_lines.h"
#include "radio/cell_link_names.h"

#include <array>
#include <charconv>
#include <utility>

namespace qx {

namespace {

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

// Leading blanks, an optional sign and digits; the rest is ignored. Nothing numeric gives
// nullopt.
std::optional<std::int32_t> leadingInt(std::string_view s) {
    s = trimBlanks(s);
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
    }
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end == s.data()) {
        return std::nullopt;
    }
    return value;
}

struct NamedValue {
    const char* name;
    std::int32_t value;
};

constexpr std::array<NamedValue, 38> kColours = {{
    {"clAqua", 0xFFFF00},
    {"clBlack", 0x0},
    {"clBlue", 0xFF0000},
    {"clDkGray", 0x808080},
    {"clFuchsia", 0xFF00FF},
    {"clGray", 0x808080},
    {"clGreen", 0x8000},
    {"clLime", 0xFF00},
    {"clLtGray", 0xC0C0C0},
    {"clMaroon", 0x80},
    {"clNavy", 0x800000},
    {"clOlive", 0x8080},
    {"clPurple", 0x800080},
    {"clRed", 0xFF},
    {"clSilver", 0xC0C0C0},
    {"clTeal", 0x808000},
    {"clWhite", 0xFFFFFF},
    {"clYellow", 0xFFFF},
    {"clBackground", static_cast<std::int32_t>(0xFF000001)},
    {"clActiveCaption", static_cast<std::int32_t>(0xFF000002)},
    {"clInactiveCaption", static_cast<std::int32_t>(0xFF000003)},
    {"clMenu", static_cast<std::int32_t>(0xFF000004)},
    {"clWindow", static_cast<std::int32_t>(0xFF000005)},
    {"clWindowFrame", static_cast<std::int32_t>(0xFF000006)},
    {"clMenuText", static_cast<std::int32_t>(0xFF000007)},
    {"clWindowText", static_cast<std::int32_t>(0xFF000008)},
    {"clCaptionText", static_cast<std::int32_t>(0xFF000009)},
    {"clActiveBorder", static_cast<std::int32_t>(0xFF00000A)},
    {"clInactiveBorder", static_cast<std::int32_t>(0xFF00000B)},
    {"clAppWorkSpace", static_cast<std::int32_t>(0xFF00000C)},
    {"clHighlight", static_cast<std::int32_t>(0xFF00000D)},
    {"clHightlightText", static_cast<std::int32_t>(0xFF00000E)},
    {"clBtnFace", static_cast<std::int32_t>(0xFF00000F)},
    {"clBtnShadow", static_cast<std::int32_t>(0xFF000010)},
    {"clGrayText", static_cast<std::int32_t>(0xFF000011)},
    {"clBtnText", static_cast<std::int32_t>(0xFF000012)},
    {"clInactiveCaptionText", static_cast<std::int32_t>(0xFF000013)},
    {"clBtnHighlight", static_cast<std::int32_t>(0xFF000014)},
}};

constexpr std::array<NamedValue, 19> kCharsets = {{
    {"ANSI_CHARSET", 0},      {"DEFAULT_CHARSET", 1},    {"SYMBOL_CHARSET", 2},
    {"MAC_CHARSET", 77},      {"SHIFTJIS_CHARSET", 128}, {"HANGEUL_CHARSET", 129},
    {"JOHAB_CHARSET", 130},   {"GB2312_CHARSET", 134},   {"CHINESEBIG5_CHARSET", 136},
    {"GREEK_CHARSET", 161},   {"TURKISH_CHARSET", 162},  {"VIETNAMESE_CHARSET", 163},
    {"HEBREW_CHARSET", 177},  {"ARABIC_CHARSET", 178},   {"BALTIC_CHARSET", 186},
    {"RUSSIAN_CHARSET", 204}, {"THAI_CHARSET", 222},     {"EASTEUROPE_CHARSET", 238},
    {"OEM_CHARSET", 255},
}};

constexpr std::array<NamedValue, 4> kStyles = {{
    {"fsBold", kFontBold},
    {"fsItalic", kFontItalic},
    {"fsUnderline", kFontUnderline},
    {"fsStrikeOut", kFontStrikeOut},
}};

constexpr std::array<NamedValue, 3> kPitches = {{
    {"fpDefault", 0},
    {"fpVariable", 1},
    {"fpFixed", 2},
}};

template <std::size_t N>
std::optional<std::int32_t> lookup(const std::array<NamedValue, N>& table, std::string_view name) {
    for (const auto& entry : table) {
        if (name == entry.name) {
            return entry.value;
        }
    }
    return std::nullopt;
}

// `%p` scales the current value by p percent (0 becomes 1); a plain number replaces it; an
// empty field or 0 leaves it.
std::int32_t scaledField(std::string_view field, std::int32_t current) {
    field = trimBlanks(field);
    if (!field.empty() && field.front() == '%') {
        const auto percent = leadingInt(field.substr(1));
        if (!percent) {
            return current;
        }
        const std::int64_t scaled = static_cast<std::int64_t>(current) * *percent / 100;
        return scaled == 0 ? 1 : static_cast<std::int32_t>(scaled);
    }
    const auto value = leadingInt(field);
    return value && *value != 0 ? *value : current;
}

} // namespace

int variableNumber(std::string_view reference) {
    reference = trimBlanks(reference);
    if (reference.size() != 4 || !startsWith(reference, "@ch") || reference[3] < '0' ||
        reference[3] > '9') {
        fatalDefect("Ch No. Error");
    }
    return reference[3] - '0';
}

std::optional<std::uint32_t> cmcCellParser::colourByName(std::string_view name) {
    static const cmcHash table = [] {
        cmcHash t;
        for (const auto& c : kColours) {
            t.insert(c.name, c.value);
        }
        return t;
    }();
    const auto* value = table.find(name);
    if (value == nullptr) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*value);
}

std::string cmcCellParser::defaultFace() const {
    // "ＭＳ Ｐゴシック" in Shift-JIS.
    return m_japaneseSystem ? "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E"
                            : "MS Sans Serif";
}

void cmcCellParser::resetCell(cmcCellObj& cell, const cmcCellObj* parent) {
    SheetVariables* variables = cell.variables;
    if (parent != nullptr) {
        cell = *parent;
        cell.font.reset();
        cell.popupMenu.reset();
    } else {
        cell = cmcCellObj{};
    }
    cell.parent = parent;
    cell.variables = variables;
}

std::string_view cmcCellParser::splitCell(std::string_view line, std::string& attributes,
                                          std::string& textPart) const {
    bool inAttributes = false;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        std::string& part = inAttributes ? attributes : textPart;
        if (isLeadByte(c) && i + 1 < line.size()) {
            part.append(line.substr(i, 2));
            i += 2;
        } else if (c == '\\' && i + 1 < line.size()) {
            // The escape stays for the level that reads the part.
            const std::size_t n = isLeadByte(line[i + 1]) && i + 2 < line.size() ? 3 : 2;
            part.append(line.substr(i, n));
            i += n;
        } else if (c == '|') {
            return line.substr(i + 1);
        } else if (c == '{' && !inAttributes) {
            inAttributes = true;
            ++i;
        } else if (c == '}' && inAttributes) {
            inAttributes = false;
            ++i;
        } else {
            part.push_back(c);
            ++i;
        }
    }
    return {};
}

int cmcCellParser::countCells(std::string_view line) const {
    int count = 0;
    std::string attributes;
    std::string textPart;
    while (!line.empty()) {
        line = splitCell(line, attributes, textPart);
        ++count;
    }
    return count;
}

bool cmcCellParser::parseCell(cmcCellObj& cell, std::string_view& line, SheetVariables* variables,
                              const cmcCellObj* parent, bool countOnly) const {
    if (line.empty()) {
        return false;
    }
    std::string attributes;
    std::string textPart;
    line = splitCell(line, attributes, textPart);
    if (countOnly) {
        return true;
    }
    cell.variables = variables;
    resetCell(cell, parent);
    applyAttributes(cell, attributes);
    std::string text = cellText(textPart, variables);
    if (!text.empty()) {
        cell.text = std::move(text);
    }
    cell.variables = nullptr;
    return true;
}

std::string cmcCellParser::cellText(std::string_view raw, const SheetVariables* variables) const {
    while (!raw.empty() && static_cast<unsigned char>(raw.front()) <= 32) {
        raw.remove_prefix(1);
    }
    while (!raw.empty() && static_cast<unsigned char>(raw.back()) <= 32) {
        raw.remove_suffix(1);
    }
    std::string out;
    out.reserve(raw.size());
    std::size_t i = 0;
    while (i < raw.size()) {
        const char c = raw[i];
        if (isLeadByte(c) && i + 1 < raw.size()) {
            out.append(raw.substr(i, 2));
            i += 2;
            continue;
        }
        if (c != '\\' || i + 1 >= raw.size()) {
            out.push_back(c);
            ++i;
            continue;
        }
        const char e = raw[i + 1];
        if (e == 'n' || e == 'N') {
            out.push_back('\n');
            i += 2;
        } else if (e == '_') {
            out.push_back(' ');
            i += 2;
        } else if (e == '(' && startsWith(raw.substr(i + 2), "@ch")) {
            const std::size_t close = raw.find(')', i + 2);
            const std::string_view inner = raw.substr(
                i + 2, close == std::string_view::npos ? std::string_view::npos : close - (i + 2));
            const std::size_t plus = inner.find('+');
            const int k = variableNumber(inner.substr(0, plus));
            if (variables == nullptr) {
                fatalDefect("Ch No. Error");
            }
            std::int64_t value = (*variables)[static_cast<std::size_t>(k)];
            if (plus != std::string_view::npos) {
                value += leadingInt(inner.substr(plus + 1)).value_or(0);
            }
            out.append(std::to_string(value).substr(0, 6));
            i = close == std::string_view::npos ? raw.size() : close + 1;
        } else if (isLeadByte(e) && i + 2 < raw.size()) {
            out.append(raw.substr(i + 1, 2));
            i += 3;
        } else {
            out.push_back(e);
            i += 2;
        }
    }
    return out;
}

void cmcCellParser::applyAttributes(cmcCellObj& cell, std::string_view attributes) const {
    std::size_t i = 0;
    bool negate = false;
    while (i < attributes.size()) {
        const char c = attributes[i];
        if (isLeadByte(c)) {
            i += 2;
            negate = false;
            continue;
        }
        if (c == '\\') {
            i += 2;
            negate = false;
            continue;
        }
        if (c == '(') {
            std::size_t j = i + 1;
            while (j < attributes.size() && attributes[j] != ')') {
                j += (attributes[j] == '\\' || isLeadByte(attributes[j])) ? 2 : 1;
            }
            if (j >= attributes.size()) {
                return; // never closed: a remark, not applied
            }
            applyGroup(cell, attributes.substr(i + 1, j - i - 1));
            i = j + 1;
            negate = false;
            continue;
        }
        const bool on = !negate;
        negate = false;
        switch (c) {
        case '<':
            cell.hAlign = 0;
            break;
        case '^':
            cell.hAlign = 1;
            break;
        case '>':
            cell.hAlign = 2;
            break;
        case '~':
            cell.vAlign = 0;
            break;
        case '-':
            cell.vAlign = 1;
            break;
        case '_':
            cell.vAlign = 2;
            break;
        case 'W':
            cell.widthSample = on;
            break;
        case 'H':
            cell.heightSample = on;
            break;
        case '=':
            cell.wrap = on;
            break;
        case '+':
            cell.span = on;
            break;
        case 'B':
            cell.bottomRule = on;
            break;
        case 'S':
            cell.selectable = on;
            break;
        case 'T':
            cell.tip = on;
            break;
        case 'X':
            cell.rightRule = on ? 1 : 0;
            break;
        case 'Q':
            cell.rightRule = on ? 2 : 0;
            break;
        case '!':
            negate = true;
            break;
        default:
            break;
        }
        ++i;
    }
}

void cmcCellParser::applyGroup(cmcCellObj& cell, std::string_view group) const {
    if (startsWith(group, "$")) {
        const std::string model = m_text.line("CellModel_" + std::string(group.substr(1)), 0);
        applyAttributes(cell, model);
    } else if (startsWith(group, "Color=")) {
        if (const auto colour = colourByName(trimBlanks(group.substr(6)))) {
            cell.color = *colour;
        }
    } else if (startsWith(group, "Font=")) {
        if (!cell.font) {
            const cmcFont* inherited =
                cell.parent != nullptr ? cell.parent->effectiveFont() : nullptr;
            if (inherited != nullptr) {
                cell.font = *inherited;
            } else {
                cell.font = cmcFont{};
                cell.font->face = defaultFace();
            }
        }
        applyFontSpec(*cell.font, group.substr(5));
    } else if (startsWith(group, "%")) {
        applyLinkGroup(cell, group.substr(1));
    } else if (startsWith(group, "@ch")) {
        if (cell.variables == nullptr) {
            return;
        }
        const std::size_t op = group.find_first_of("=+");
        const int k = variableNumber(group.substr(0, op));
        auto& variable = (*cell.variables)[static_cast<std::size_t>(k)];
        if (op == std::string_view::npos) {
            return;
        }
        if (group[op] == '=') {
            variable = leadingInt(group.substr(op + 1)).value_or(0);
        } else if (group.substr(op) == "++") {
            // Wraps at the top instead of overflowing.
            variable = static_cast<std::int32_t>(static_cast<std::uint32_t>(variable) + 1U);
        }
    } else if (startsWith(group, "ImageIndex=")) {
        if (const auto value = leadingInt(group.substr(11))) {
            cell.imageIndex = *value;
        }
    } else if (startsWith(group, "PopupMenu=")) {
        cell.popupMenu = std::string(group.substr(10));
    } else if (startsWith(group, "Flag") && group.size() >= 7 && group[4] >= '0' &&
               group[4] <= '7' && group[5] == '=') {
        const std::string_view value = trimBlanks(group.substr(6));
        if (value == "0" || value == "1") {
            cell.setUserFlag(group[4] - '0', value == "1");
        }
    }
}

void cmcCellParser::applyLinkGroup(cmcCellObj& cell, std::string_view group) const {
    // The head runs to the first unescaped '[' or ':'.
    std::size_t headEnd = group.size();
    std::size_t dot = std::string_view::npos;
    for (std::size_t i = 0; i < group.size();) {
        const char c = group[i];
        if (c == '\\' || isLeadByte(c)) {
            i += 2;
            continue;
        }
        if (c == '[' || c == ':') {
            headEnd = i;
            break;
        }
        if (c == '.' && dot == std::string_view::npos) {
            dot = i;
        }
        ++i;
    }
    const std::string_view head = group.substr(0, headEnd);
    std::string_view linkName = head;
    if (dot != std::string_view::npos) {
        cell.category = categoryId(trimBlanks(head.substr(0, dot)));
        linkName = head.substr(dot + 1);
    }
    cell.link = cellLinkId(trimBlanks(linkName));

    std::string_view rest = group.substr(headEnd);
    if (startsWith(rest, "[")) {
        const std::size_t close = rest.find(']');
        const std::string_view index = trimBlanks(
            rest.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
        if (startsWith(index, "@")) {
            const int k = variableNumber(index);
            if (cell.variables == nullptr) {
                fatalDefect("Ch No. Error");
            }
            cell.index = (*cell.variables)[static_cast<std::size_t>(k)];
        } else {
            cell.index = leadingInt(index).value_or(0);
        }
        rest = close == std::string_view::npos ? std::string_view() : rest.substr(close + 1);
    }
    if (startsWith(rest, ":")) {
        std::string parameter;
        for (std::size_t i = 1; i < rest.size(); ++i) {
            if (isLeadByte(rest[i]) && i + 1 < rest.size()) {
                parameter.append(rest.substr(i, 2));
                ++i;
            } else if (rest[i] == '\\') {
                if (i + 1 < rest.size()) {
                    parameter.push_back(rest[++i]);
                }
            } else {
                parameter.push_back(rest[i]);
            }
        }
        cell.linkParameter = std::move(parameter);
    }
}

void cmcCellParser::applyFontSpec(cmcFont& font, std::string_view spec) const {
    int field = 0;
    while (true) {
        const std::size_t comma = spec.find(',');
        const std::string_view value = spec.substr(0, comma);
        switch (field) {
        case 0:
            if (const auto charset = lookup(kCharsets, trimBlanks(value))) {
                font.charset = *charset;
            }
            break;
        case 1:
            font.face = value.empty() ? defaultFace() : std::string(value);
            break;
        case 2:
            if (const auto colour = colourByName(trimBlanks(value))) {
                font.color = *colour;
            }
            break;
        case 3:
            font.height = scaledField(value, font.height);
            break;
        case 4:
            if (const std::int32_t size = scaledField(value, font.size()); size != font.size()) {
                font.setSize(size);
            }
            break;
        case 5: {
            bool first = true;
            std::string_view names = value;
            while (true) {
                const std::size_t plus = names.find('+');
                if (const auto style = lookup(kStyles, trimBlanks(names.substr(0, plus)))) {
                    if (first) {
                        font.styles = 0;
                        first = false;
                    }
                    font.styles = static_cast<std::uint8_t>(font.styles | *style);
                }
                if (plus == std::string_view::npos) {
                    break;
                }
                names.remove_prefix(plus + 1);
            }
            break;
        }
        case 6:
            if (const auto pitch = lookup(kPitches, trimBlanks(value))) {
                font.pitch = *pitch;
            }
            break;
        default:
            return;
        }
        if (comma == std::string_view::npos) {
            return;
        }
        spec.remove_prefix(comma + 1);
        ++field;
    }
}

} // namespace qx
