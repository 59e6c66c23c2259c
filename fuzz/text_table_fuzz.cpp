// The text table store on a line sequence made from the input, with lookups of keys the
// sequence holds (a missing key is a defect that ends the process by design, so the target
// asks only for keys and lines that exist). Every answer is checked against a plain reading
// of the same lines.
#include "fuzz_support.h"
#include "text/text_table.h"

#include <map>
#include <string>
#include <vector>

namespace {

std::string cut(const std::string& line) {
    const std::string text(line.c_str()); // the store sees NUL-terminated lines
    return text.substr(0, qx::cmcGTex::kMaxLineChars);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qx;
    fuzz::installDefectTrap(false);
    fuzz::ByteReader in(data, size);
    // The first byte says how many of the following bytes steer the lookups.
    const std::size_t queryCount = in.byte() % 64;
    std::vector<std::uint8_t> queries;
    for (std::size_t i = 0; i < queryCount; ++i) {
        queries.push_back(in.byte());
    }
    const std::string text = in.restText();

    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t lf = text.find('\n', start);
        lines.push_back(text.substr(start, lf == std::string::npos ? lf : lf - start));
        start = lf == std::string::npos ? text.size() : lf + 1;
    }
    std::vector<const char*> pointers;
    for (const std::string& l : lines) {
        pointers.push_back(l.c_str());
    }
    const TextSource source{pointers.data(), pointers.size()};

    // The plain reading: the first block of every key up to "End_Of_Ovl".
    std::vector<std::string> keys;
    std::map<std::string, std::size_t> blockStart;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string l = cut(lines[i]);
        if (l.size() < 2 || l[0] != '#') {
            continue;
        }
        const std::string key = l.substr(1);
        if (blockStart.emplace(key, i + 1).second) {
            keys.push_back(key);
        }
        if (key == "End_Of_Ovl") {
            break;
        }
    }

    cmcGTex table;
    FUZZ_CHECK(table.attachSource(source));
    FUZZ_CHECK(!table.attachSource(source));
    if (keys.empty()) {
        return 0;
    }
    for (std::size_t q = 0; q + 1 < queries.size(); q += 2) {
        const std::string& key = keys[queries[q] % keys.size()];
        const std::size_t start = blockStart[key];
        const std::uint8_t how = queries[q + 1];
        if (how >= 0xF0) {
            std::string expected;
            for (std::size_t i = start; i < lines.size() && lines[i].c_str()[0] != '#'; ++i) {
                expected += (i > start ? "\n" : "") + cut(lines[i]);
            }
            FUZZ_CHECK(table.blockText(key) == expected);
            continue;
        }
        // Lines past the block run on into the following ones, up to the end of the source.
        if (start >= lines.size()) {
            continue;
        }
        const std::size_t n = how % (lines.size() - start);
        FUZZ_CHECK(table.line(key, static_cast<std::int32_t>(n)) == cut(lines[start + n]));
    }
    FUZZ_CHECK(table.indexedKeyCount() <= lines.size());
    return 0;
}
