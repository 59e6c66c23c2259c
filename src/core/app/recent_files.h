#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qx {

// The recent file list: full paths, newest first, at most ten, no two equal without regard to
// letter case.
class cmcRecent {
public:
    static constexpr std::size_t kCapacity = 10;

    // Appends (loading the stored list keeps its order); an equal entry goes away first.
    void addAtEnd(const std::string& path);
    // Puts the path first (a file just opened or saved); an equal entry goes away first.
    void putAtHead(const std::string& path);
    void clear() { m_entries.clear(); }

    std::size_t count() const { return m_entries.size(); }
    // The full path of entry i, for storing and opening; empty when i is not below the count.
    std::string entry(std::size_t i) const;
    // What the menu shows: the file name alone when the file lies in the current directory,
    // else the full path; empty when i is not below the count.
    std::string displayEntry(std::size_t i, const std::string& currentDirectory) const;

    // Path helpers shared with the document commands.
    static bool isPathDelimiter(char c);
    static std::string fileNamePart(const std::string& path);
    static std::string folderPart(const std::string& path);
    // The same file name, by the file system's rules of letter case.
    static bool sameText(const std::string& a, const std::string& b);

private:
    void removeEqual(const std::string& path);

    std::vector<std::string> m_entries;
};

} // namespace qx
