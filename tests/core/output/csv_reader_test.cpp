#include "output/csv_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qx {
namespace {

using Records = std::vector<std::pair<int, std::vector<std::string>>>;

Records read(std::string_view bytes) {
    Records out;
    for (const CsvRecord& r : readCsv(bytes)) {
        out.emplace_back(r.line, r.fields);
    }
    return out;
}

TEST(CsvReaderTest, ReadsWhatSpreadsheetsSave) {
    struct Case {
        const char* name;
        std::string bytes;
        Records expected;
    };
    const std::vector<Case> cases = {
        {"plain, LF", "a,b\n1,2\n", {{1, {"a", "b"}}, {2, {"1", "2"}}}},
        {"CR LF, no final line end", "a,b\r\n1,2", {{1, {"a", "b"}}, {2, {"1", "2"}}}},
        {"lone CR", "a,b\r1,2\r", {{1, {"a", "b"}}, {2, {"1", "2"}}}},
        {"semicolons win over commas in the first record",
         "a;b;c,d\n1,5;2;3\n",
         {{1, {"a", "b", "c,d"}}, {2, {"1,5", "2", "3"}}}},
        {"quoted separator, doubled quote and line break",
         "a,b\n\"x,y\",\"say \"\"hi\"\"\"\n\"two\r\nlines\",z\n3,4\n",
         {{1, {"a", "b"}}, {2, {"x,y", "say \"hi\""}}, {3, {"two\nlines", "z"}}, {5, {"3", "4"}}}},
        {"blank lines and separator-only lines are skipped, line numbers kept",
         "a,b\n\n,\n , \n1,2\n",
         {{1, {"a", "b"}}, {5, {"1", "2"}}}},
        {"empty fields stay", "a,,c\n", {{1, {"a", "", "c"}}}},
        {"blanks before an opening quote", "a, \"b\"\n", {{1, {"a", "b"}}}},
        {"UTF-8 byte order mark",
         "\xEF\xBB\xBFName\n\xC3\xA9\n",
         {{1, {"Name"}}, {2, {"\xC3\xA9"}}}},
        {"Windows-1252 when not UTF-8",
         "Name\n\xE9t\x80\x8D\n",
         {{1, {"Name"}}, {2, {"\xC3\xA9t\xE2\x82\xAC\xC2\x8D"}}}},
        {"an unclosed quote runs to the end", "a\n\"open\n", {{1, {"a"}}, {2, {"open\n"}}}},
        {"nothing", "", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(read(c.bytes), c.expected) << c.name;
    }
}

TEST(CsvReaderTest, FieldsAreQuotedOnlyWhenTheyMustBe) {
    EXPECT_EQ(csvField("plain", ','), "plain");
    EXPECT_EQ(csvField("a;b", ','), "a;b");
    EXPECT_EQ(csvField("a,b", ','), "\"a,b\"");
    EXPECT_EQ(csvField("say \"hi\"", ','), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField("a\nb", ';'), "\"a\nb\"");
    // What the writer quotes the reader gives back.
    const std::string line = csvField("x,\"y\"", ',') + "," + csvField("", ',') + "\n";
    EXPECT_EQ(read(line), (Records{{1, {"x,\"y\"", ""}}}));
}

} // namespace
} // namespace qx
