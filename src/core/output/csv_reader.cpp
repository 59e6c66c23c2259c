#include "output/csv_reader.h"

#include <array>

namespace qx {

namespace {

// Windows-1252 0x80-0x9F; the five unassigned bytes stay as the C1 controls they are in Latin-1.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char32_t kReplacement = 0xFFFD;

bool validUtf8(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        if (nextUtf8(text, pos) == kReplacement && text.substr(start, 3) != "\xEF\xBF\xBD") {
            return false;
        }
    }
    return true;
}

bool blank(const std::vector<std::string>& fields) {
    for (const std::string& f : fields) {
        if (f.find_first_not_of(" \t") != std::string::npos) {
            return false;
        }
    }
    return true;
}

// The separator the first record uses more often, outside quotes.
char detectSeparator(std::string_view text) {
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == '\n' || c == '\r')) {
            if (commas + semicolons > 0) {
                break;
            }
        } else if (!quoted && c == ',') {
            ++commas;
        } else if (!quoted && c == ';') {
            ++semicolons;
        }
    }
    return semicolons > commas ? ';' : ',';
}

} // namespace

char32_t nextUtf8(std::string_view text, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    int length = 0;
    char32_t c = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
    } else {
        ++pos;
        return kReplacement;
    }
    if (pos + static_cast<std::size_t>(length) > text.size()) {
        ++pos;
        return kReplacement;
    }
    for (int i = 1; i < length; ++i) {
        const unsigned char b = byte(pos + static_cast<std::size_t>(i));
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return kReplacement;
        }
        c = (c << 6) | (b & 0x3F);
    }
    // Overlong forms, surrogates and values above U+10FFFF are not UTF-8.
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    if (overlong || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
        ++pos;
        return kReplacement;
    }
    pos += static_cast<std::size_t>(length);
    return c;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string csvTextAsUtf8(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    if (validUtf8(bytes)) {
        return std::string(bytes);
    }
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        appendUtf8(out, b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : b);
    }
    return out;
}

std::vector<CsvRecord> readCsv(std::string_view bytes) {
    const std::string text = csvTextAsUtf8(bytes);
    const char separator = detectSeparator(text);
    std::vector<CsvRecord> records;
    CsvRecord record;
    std::string field;
    int line = 1;
    record.line = 1;
    bool quoted = false;
    bool fieldStarted = false; // the field began with a quote: keep what follows verbatim
    const auto endField = [&] {
        record.fields.push_back(std::move(field));
        field.clear();
        fieldStarted = false;
    };
    const auto endRecord = [&](int nextLine) {
        endField();
        if (!blank(record.fields)) {
            records.push_back(std::move(record));
        }
        record = CsvRecord{};
        record.line = nextLine;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool lineEnd = c == '\n' || c == '\r';
        if (lineEnd) {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            ++line;
        }
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else if (lineEnd) {
                field += '\n';
            } else {
                field += c;
            }
        } else if (c == '"' && !fieldStarted &&
                   field.find_first_not_of(" \t") == std::string::npos) {
            // Blanks before an opening quote are padding, not part of the value.
            field.clear();
            quoted = true;
            fieldStarted = true;
        } else if (c == separator) {
            endField();
        } else if (lineEnd) {
            endRecord(line);
        } else {
            field += c;
        }
    }
    if (!field.empty() || !record.fields.empty() || fieldStarted) {
        endRecord(line);
    }
    return records;
}

std::string csvField(std::string_view text, char separator) {
    if (text.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos) {
        return std::string(text);
    }
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
    return out;
}

namespace {

bool needsGuard(std::string_view text) {
    const std::size_t first = text.find_first_not_of('\'');
    return first != std::string_view::npos &&
           std::string_view("=+-@\t\r").find(text[first]) != std::string_view::npos;
}

} // namespace

std::string spreadsheetSafe(std::string_view text) {
    std::string safe;
    safe.reserve(text.size() + 1);
    if (needsGuard(text)) {
        safe += '\'';
    }
    safe += text;
    return safe;
}

std::string fromSpreadsheetSafe(std::string_view text) {
    if (!text.empty() && text.front() == '\'' && needsGuard(text.substr(1))) {
        text.remove_prefix(1);
    }
    return std::string(text);
}

} // namespace qx
