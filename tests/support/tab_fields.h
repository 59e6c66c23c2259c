#pragma once

#include <string>
#include <vector>

namespace qx::test {

// The tab-separated cells of one printed sheet line.
inline std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        out.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) {
            return out;
        }
        start = tab + 1;
    }
}

} // namespace qx::test
