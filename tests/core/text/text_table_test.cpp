#include "text/text_table.h"

#include "base/fatal_defect.h"
#include "base/user_prompt.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace qx {
namespace {

// Keys K1..K15 sit at index positions 6..20 once everything before them is indexed.
const std::vector<std::string> kFixture = [] {
    std::vector<std::string> lines = {
        "prelude", // 0: before any header
        "#Alpha",  // 1
        "a0",        "a1",    "",     "a3",     "a4",    "a5",
        "a6",        "a7", // 2..9
        "#Empty",          // 10: a block that is only "#"
        "#",               // 11
        "#Trailing",       // 12
        "t0",        "",   // 13, 14
        "#Dup",      "first", "#Dup", "second", "#Long", std::string(9000, 'x'),
        "after"};
    for (int i = 1; i <= 15; ++i) {
        lines.push_back("#K" + std::to_string(i));
        lines.push_back("k" + std::to_string(i));
    }
    lines.insert(lines.end(), {"#End_Of_Ovl", "#AfterEnd", "z"});
    return lines;
}();

// A source built from strings; it owns the lines it points to.
struct OwnedSource {
    explicit OwnedSource(std::vector<std::string> text) : lines(std::move(text)) {
        for (const auto& l : lines) {
            pointers.push_back(l.c_str());
        }
        source = {pointers.data(), pointers.size()};
    }
    OwnedSource(const OwnedSource&) = delete;
    OwnedSource& operator=(const OwnedSource&) = delete;
    std::vector<std::string> lines;
    std::vector<const char*> pointers;
    TextSource source{};
};

class TextTableTest : public testing::Test {
protected:
    TextTableTest() : m_fixture(kFixture) { m_store.attachSource(m_fixture.source); }
    OwnedSource m_fixture;
    cmcGTex m_store;
};

TEST_F(TextTableTest, SecondSourceIsRefused) {
    const OwnedSource other({"#Alpha", "other"});
    EXPECT_FALSE(m_store.attachSource(other.source));
    EXPECT_EQ(m_store.firstLine("Alpha"), "a0");
}

TEST_F(TextTableTest, LinesOfABlockAndWhatFollowsIt) {
    EXPECT_EQ(m_store.line("Alpha", 0), "a0");
    EXPECT_EQ(m_store.line("Alpha", 2), "");
    EXPECT_EQ(m_store.line("Alpha", 7), "a7");
    // Past the block's end the following lines come back verbatim.
    EXPECT_EQ(m_store.line("Alpha", 8), "#Empty");
    EXPECT_EQ(m_store.line("Alpha", 9), "#");
    EXPECT_EQ(m_store.line("Alpha", 10), "#Trailing");
    // The first block with a key wins.
    EXPECT_EQ(m_store.firstLine("Dup"), "first");
    // A long line is cut at the buffer's capacity; the next line is the next source line.
    EXPECT_EQ(m_store.firstLine("Long"), std::string(cmcGTex::kMaxLineChars, 'x'));
    EXPECT_EQ(m_store.line("Long", 1), "after");
}

TEST_F(TextTableTest, BlockTextJoinsLinesUpToTheNextHashLine) {
    EXPECT_EQ(m_store.blockText("Alpha"), "a0\na1\n\na3\na4\na5\na6\na7");
    EXPECT_EQ(m_store.blockText("Empty"), "");
    EXPECT_EQ(m_store.blockText("Trailing"), "t0\n");
    EXPECT_EQ(m_store.blockText("End_Of_Ovl"), "");
}

TEST_F(TextTableTest, ResumePointsSaveRereading) {
    EXPECT_EQ(m_store.line("Alpha", 5), "a5");
    // Two scan steps find the header, then lines 0..5 are read.
    EXPECT_EQ(m_store.linesRead(), 2u + 6u);

    const struct {
        int n;
        const char* text;
        std::size_t reads;
    } steps[] = {
        {6, "a6", 1}, // the line after the last one read: one read
        {2, "", 3},   // backwards: restarts at the block start
        {2, "", 3},   // the same line again is backwards too
        {3, "a3", 1}, //
        {9, "#", 6},  // forwards past the block's end
        {0, "a0", 1}, //
    };
    for (const auto& step : steps) {
        const std::size_t before = m_store.linesRead();
        EXPECT_EQ(m_store.line("Alpha", step.n), step.text) << "line " << step.n;
        EXPECT_EQ(m_store.linesRead() - before, step.reads) << "line " << step.n;
    }
}

TEST_F(TextTableTest, IndexGrowsOnlyAsFarAsLookupsNeed) {
    EXPECT_EQ(m_store.firstLine("Alpha"), "a0");
    EXPECT_EQ(m_store.indexedKeyCount(), 1u);
    EXPECT_FALSE(m_store.indexComplete());

    EXPECT_EQ(m_store.firstLine("Trailing"), "t0");
    // A bare "#" opens no block.
    EXPECT_EQ(m_store.indexOrder(), (std::vector<std::string>{"Alpha", "Empty", "Trailing"}));

    // A known key costs no scanning.
    const std::size_t before = m_store.linesRead();
    EXPECT_EQ(m_store.firstLine("Empty"), "#");
    EXPECT_EQ(m_store.linesRead() - before, 1u);

    EXPECT_EQ(m_store.blockText("End_Of_Ovl"), "");
    EXPECT_TRUE(m_store.indexComplete());
    // Alpha, Empty, Trailing, Dup twice, Long, K1..K15, End_Of_Ovl.
    EXPECT_EQ(m_store.indexedKeyCount(), 22u);
    // Nothing after "#End_Of_Ovl" is indexed, but it can still be read past a block.
    EXPECT_EQ(m_store.line("End_Of_Ovl", 1), "z");
}

TEST_F(TextTableTest, DeepMatchesMoveToTheFront) {
    // Found by the scan: appended at the tail, not moved.
    m_store.firstLine("K15");
    m_store.firstLine("End_Of_Ovl");
    std::vector<std::string> order = m_store.indexOrder();
    ASSERT_EQ(order.size(), 22u);
    ASSERT_EQ(order[10], "K5");
    ASSERT_EQ(order[11], "K6");

    // Ten entries passed: stays.
    EXPECT_EQ(m_store.firstLine("K5"), "k5");
    EXPECT_EQ(m_store.indexOrder(), order);

    // Eleven passed: moves to the head, keeping its resume point.
    EXPECT_EQ(m_store.firstLine("K6"), "k6");
    order.erase(order.begin() + 11);
    order.insert(order.begin(), "K6");
    EXPECT_EQ(m_store.indexOrder(), order);
    const std::size_t before = m_store.linesRead();
    EXPECT_EQ(m_store.line("K6", 1), "#K7");
    EXPECT_EQ(m_store.linesRead() - before, 1u);
}

TEST(TextTableSourceTest, SourceWithoutEndMarkerEndsTheIndex) {
    const OwnedSource help({"#Topics", "CL_Mch_Freq\tIDH01001", "#Context", "IDH01001\t46", ""});
    cmcGTex store;
    ASSERT_TRUE(store.attachSource(help.source));
    EXPECT_EQ(store.firstLine("Context"), "IDH01001\t46");
    // The last block ends with the source instead of killing the program.
    EXPECT_EQ(store.blockText("Context"), "IDH01001\t46\n");
    EXPECT_EQ(store.blockText("Topics"), "CL_Mch_Freq\tIDH01001");
}

// Shows the stop box on stderr so that the parent of a death test can check it.
class StderrPrompt : public UserPrompt {
public:
    PromptAnswer ask(const std::string& text, const std::string& caption, PromptIcon icon,
                     PromptButtons buttons) override {
        std::fprintf(stderr, "[%s|%s|%d]\n", caption.c_str(), text.c_str(),
                     icon == PromptIcon::Stop && buttons == PromptButtons::Ok ? 1 : 0);
        return PromptAnswer::Ok;
    }
};

TEST(TextTableDeathTest, DefectsOfTheTableEndTheProgram) {
    const struct {
        const char* what;
        std::function<void(cmcGTex&)> use;
        const char* key;
    } cases[] = {
        {"missing key", [](cmcGTex& s) { s.firstLine("Nope"); }, "Nope"},
        {"missing key, block text", [](cmcGTex& s) { s.blockText("Nope"); }, "Nope"},
        {"key after the end marker", [](cmcGTex& s) { s.firstLine("AfterEnd"); }, "AfterEnd"},
        {"key of a bare #", [](cmcGTex& s) { s.firstLine(""); }, ""},
        {"read past the source", [](cmcGTex& s) { s.line("End_Of_Ovl", 2); }, "End_Of_Ovl"},
        {"negative line", [](cmcGTex& s) { s.line("Alpha", -1); }, "Alpha"},
        {"keys are case-sensitive", [](cmcGTex& s) { s.firstLine("alpha"); }, "alpha"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string text =
            std::string("GTEX Error !\nThe index '") + c.key + "' was not found\\.";
        EXPECT_EXIT(
            {
                const OwnedSource fixture(kFixture);
                cmcGTex store;
                store.attachSource(fixture.source);
                c.use(store);
            },
            testing::ExitedWithCode(3), text);
    }
}

TEST(TextTableDeathTest, StopBoxGoesThroughThePromptWithTheCurrentTitle) {
    EXPECT_EXIT(
        {
            StderrPrompt prompt;
            installDefectPrompt(&prompt, "Untitled - QX-5130");
            cmcGTex store; // no source at all
            store.firstLine("GI_Sys_AppTitle");
        },
        testing::ExitedWithCode(3),
        "\\[Untitled - QX-5130\\|GTEX Error !\nThe index 'GI_Sys_AppTitle' was not "
        "found\\.\\|1\\]");
}

} // namespace
} // namespace qx
