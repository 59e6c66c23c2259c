#include "text/text_table.h"

#include "base/fatal_defect.h"

namespace qx {

namespace {

// The stored text as a single read delivers it: cut at the line buffer's capacity.
std::string cutLine(const char* text) {
    std::size_t len = 0;
    while (len < cmcGTex::kMaxLineChars && text[len] != '\0') {
        ++len;
    }
    return std::string(text, len);
}

bool isHeader(const char* text) {
    return text[0] == '#' && text[1] != '\0';
}

} // namespace

bool cmcGTex::attachSource(const TextSource& source) {
    if (m_source != nullptr) {
        return false;
    }
    m_source = &source;
    return true;
}

std::string cmcGTex::line(std::string_view key, std::int32_t n) {
    TextTableKey* entry = find(key);
    // A negative line would lie before the block: as much a defect as a line past the table.
    if (entry == nullptr || n < 0) {
        missing(key);
    }
    std::int32_t current = entry->resumeLine;
    std::size_t pos = entry->resumePos;
    if (current > n) {
        current = 0;
        pos = entry->blockStart;
    }
    for (; current < n; ++current, ++pos) {
        if (readAt(pos) == nullptr) {
            missing(key);
        }
    }
    const char* text = readAt(pos);
    if (text == nullptr) {
        missing(key);
    }
    entry->resumeLine = n + 1;
    entry->resumePos = pos + 1;
    return cutLine(text);
}

std::string cmcGTex::blockText(std::string_view key) {
    TextTableKey* entry = find(key);
    if (entry == nullptr) {
        missing(key);
    }
    std::string out;
    std::size_t pos = entry->blockStart;
    std::int32_t n = 0;
    // The last block of a table without "#End_Of_Ovl" ends with the source, not with a defect.
    for (const char* text = readAt(pos); text != nullptr && text[0] != '#'; text = readAt(pos)) {
        if (n > 0) {
            out += '\n';
        }
        out += cutLine(text);
        ++n;
        ++pos;
        entry->resumeLine = n;
        entry->resumePos = pos;
    }
    return out;
}

std::vector<std::string> cmcGTex::indexOrder() const {
    std::vector<std::string> keys;
    keys.reserve(m_index.size());
    for (const auto& entry : m_index) {
        keys.push_back(entry.key);
    }
    return keys;
}

cmcGTex::TextTableKey* cmcGTex::find(std::string_view key) {
    std::size_t passed = 0;
    for (auto it = m_index.begin(); it != m_index.end(); ++it, ++passed) {
        if (it->key == key) {
            if (passed > kMoveToFrontDepth) {
                m_index.splice(m_index.begin(), m_index, it);
            }
            return &*it;
        }
    }
    while (m_indexIncomplete) {
        TextTableKey* added = scanStep();
        if (added != nullptr && added->key == key) {
            return added;
        }
    }
    return nullptr;
}

cmcGTex::TextTableKey* cmcGTex::scanStep() {
    const char* text = m_source != nullptr ? readAt(m_scanPos) : nullptr;
    if (text == nullptr) {
        m_indexIncomplete = false;
        return nullptr;
    }
    ++m_scanPos;
    if (!isHeader(text)) {
        return nullptr;
    }
    m_index.push_back({cutLine(text).substr(1), m_scanPos, 0, m_scanPos});
    if (m_index.back().key == "End_Of_Ovl") {
        m_indexIncomplete = false;
    }
    return &m_index.back();
}

const char* cmcGTex::readAt(std::size_t pos) {
    if (m_source == nullptr || m_source->lines == nullptr || pos >= m_source->count) {
        return nullptr;
    }
    ++m_linesRead;
    return m_source->lines[pos];
}

void cmcGTex::missing(std::string_view key) {
    fatalDefect("GTEX Error !\nThe index '" + std::string(key) + "' was not found.");
}

std::string replacePlaceholders(std::string text, const std::vector<std::string>& args) {
    std::size_t from = 0;
    for (const std::string& arg : args) {
        const std::size_t at = text.find("%s", from);
        if (at == std::string::npos) {
            break;
        }
        text.replace(at, 2, arg);
        from = at + arg.size();
    }
    return text;
}

} // namespace qx
