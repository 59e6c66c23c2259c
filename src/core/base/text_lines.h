#pragma once

#include <string>
#include <string_view>

namespace qx {

// Line n of the block named key of the active text table. A key the table does not hold is a
// defect the implementation reports and ends the program with.
class TextLines {
public:
    virtual ~TextLines() = default;
    virtual std::string line(std::string_view key, int n) = 0;
};

} // namespace qx
