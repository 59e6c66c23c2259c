#include "app/recent_files.h"

#include <algorithm>

namespace qx {

namespace {

#ifdef _WIN32
// ASCII letters only: paths are UTF-8 here, where ASCII bytes never occur inside a multi-byte
// character, so folding them cannot merge two different names.
char foldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
#endif

std::string withoutTrailingDelimiters(std::string path) {
    while (!path.empty() && cmcRecent::isPathDelimiter(path.back())) {
        path.pop_back();
    }
    return path;
}

} // namespace

bool cmcRecent::isPathDelimiter(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/' || c == ':';
#else
    return c == '/';
#endif
}

std::string cmcRecent::fileNamePart(const std::string& path) {
    const auto it = std::find_if(path.rbegin(), path.rend(), isPathDelimiter);
    return std::string(it.base(), path.end());
}

std::string cmcRecent::folderPart(const std::string& path) {
    const auto it = std::find_if(path.rbegin(), path.rend(), isPathDelimiter);
    return std::string(path.begin(), it.base());
}

bool cmcRecent::sameText(const std::string& a, const std::string& b) {
#ifdef _WIN32
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return foldCase(x) == foldCase(y); });
#else
    // The file system tells letter cases apart: A.icf and a.icf are two files.
    return a == b;
#endif
}

void cmcRecent::removeEqual(const std::string& path) {
    std::erase_if(m_entries, [&](const std::string& e) { return sameText(e, path); });
}

void cmcRecent::addAtEnd(const std::string& path) {
    if (path.empty()) {
        return;
    }
    removeEqual(path);
    m_entries.push_back(path);
    if (m_entries.size() > kCapacity) {
        m_entries.resize(kCapacity);
    }
}

void cmcRecent::putAtHead(const std::string& path) {
    if (path.empty()) {
        return;
    }
    removeEqual(path);
    m_entries.insert(m_entries.begin(), path);
    if (m_entries.size() > kCapacity) {
        m_entries.resize(kCapacity);
    }
}

std::string cmcRecent::entry(std::size_t i) const {
    return i < m_entries.size() ? m_entries[i] : std::string();
}

std::string cmcRecent::displayEntry(std::size_t i, const std::string& currentDirectory) const {
    if (i >= m_entries.size()) {
        return {};
    }
    const std::string& path = m_entries[i];
    if (sameText(withoutTrailingDelimiters(folderPart(path)),
                 withoutTrailingDelimiters(currentDirectory))) {
        return fileNamePart(path);
    }
    return path;
}

} // namespace qx
