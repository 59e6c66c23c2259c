#include "output/received_call_export.h"

#include "radio/eeprom.h"
#include "radio/image_map.h"
#include "sheet/gtex_lines.h"
#include "temp_folder.h"
#include "text/text_source.h"
#include "text/text_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

namespace qx {
namespace {

using namespace imagemap;

constexpr const char* kHeader = "Caller,/,Called,Rx RPT1,Rx RPT2,Status,Received date,BK,EMR";

std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    for (std::size_t end; (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
        lines.push_back(text.substr(pos, end - pos));
    }
    EXPECT_EQ(pos, text.size()) << "text after the last line end";
    return lines;
}

// An image whose log is empty; calls are entered record by record.
class ReceivedCallExportTest : public ::testing::Test {
protected:
    ReceivedCallExportTest() {
        table.attachSource(kTextTable_en);
        image.fill(0xFF);
    }

    struct Call {
        const char* caller = "JA1ABC  ";
        const char* note = "3100";
        const char* repeater1 = "JP1YIU B";
        const char* repeater2 = "JP1YIU G";
        const char* called = "CQCQCQ  ";
        std::array<std::uint8_t, 3> date{0x24, 0x12, 0x09}; // 2009-12-24
        std::array<std::uint8_t, 3> time{0x21, 0x05, 0x59};
        std::uint8_t status = 0;
    };

    void enter(int record, int row, const Call& call) {
        const std::int32_t base = kReceivedCalls + record * kReceivedCallSize;
        // Text fields are space padded, as the transceiver stores them.
        const auto put = [&](std::int32_t offset, std::string_view text, std::size_t width) {
            for (std::size_t i = 0; i < width; ++i) {
                image.setByte(base + offset + static_cast<std::int32_t>(i),
                              static_cast<std::uint8_t>(i < text.size() ? text[i] : ' '));
            }
        };
        put(0, call.caller, 8);
        put(8, call.note, 4);
        put(12, call.repeater1, 8);
        put(20, call.repeater2, 8);
        put(28, call.called, 8);
        image.writeBlock(base + 36, call.date.data(), 3);
        image.writeBlock(base + 39, call.time.data(), 3);
        image.setByte(kReceivedCallOrder + record, static_cast<std::uint8_t>(row));
        image.setByte(kReceivedCallStatus + record, call.status);
    }

    std::vector<std::string> exported(char separator = ',',
                                      DateOrder order = DateOrder::MonthDayYear) {
        return crlfLines(ReceivedCallExport(image, lines).csv(separator, order));
    }

    cmcGTex table;
    GTexLines lines{table};
    cmcEeprom image{kImageSize};
};

TEST_F(ReceivedCallExportTest, AnEmptyLogGivesTheHeaderOnly) {
    EXPECT_EQ(exported(), std::vector<std::string>{kHeader});
}

TEST_F(ReceivedCallExportTest, CallsInDisplayOrderUpToTheFirstMissingRow) {
    // Records lie anywhere; the order table says where each is shown.
    const int recordOfRow[] = {7, 0, 19, 3, 12};
    for (int row = 0; row < 5; ++row) {
        Call call;
        const std::string caller = "JA" + std::to_string(row) + "AAA";
        call.caller = caller.c_str();
        enter(recordOfRow[row], row, call);
    }
    auto lines5 = exported();
    ASSERT_EQ(lines5.size(), 6u);
    EXPECT_EQ(lines5[0], kHeader);
    EXPECT_EQ(lines5[1], "JA0AAA,3100,CQCQCQ,JP1YIU B,JP1YIU G,,12/24/2009 21:05:59,,");
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(lines5[static_cast<std::size_t>(row) + 1].substr(0, 7),
                  "JA" + std::to_string(row) + "AAA,");
    }

    // Row 5 is missing: the call shown on row 6 is not written.
    enter(9, 6, Call{});
    EXPECT_EQ(exported().size(), 6u);
    enter(4, 5, Call{});
    EXPECT_EQ(exported().size(), 8u);
}

TEST_F(ReceivedCallExportTest, FieldsAsTheSheetShowsThem) {
    struct Case {
        const char* what;
        Call call;
        DateOrder order;
        const char* line;
    };
    const Case cases[] = {
        {"trailing blanks go, leading ones stay",
         {.caller = "JA1AB  ", .note = " 31 ", .called = " CQ     "},
         DateOrder::MonthDayYear,
         "JA1AB, 31, CQ,JP1YIU B,JP1YIU G,,12/24/2009 21:05:59,,"},
        {"a reply through the repeater, break-in",
         {.status = 0x60},
         DateOrder::YearMonthDay,
         "JA1ABC,3100,CQCQCQ,JP1YIU B,JP1YIU G,RPT UP,2009/12/24 21:05:59,*,"},
        {"emergency",
         {.status = 0x08},
         DateOrder::MonthDayYear,
         "JA1ABC,3100,CQCQCQ,JP1YIU B,JP1YIU G,,12/24/2009 21:05:59,,*"},
        {"repeater unknown wins over RPT UP",
         {.status = 0x41},
         DateOrder::MonthDayYear,
         "JA1ABC,3100,CQCQCQ,JP1YIU B,JP1YIU G,RPT?,12/24/2009 21:05:59,,"},
        {"your call unknown",
         {.status = 0x2A},
         DateOrder::MonthDayYear,
         "JA1ABC,3100,CQCQCQ,JP1YIU B,JP1YIU G,UR?,12/24/2009 21:05:59,*,*"},
        {"no date and time",
         {.date = {0xFF, 0xFF, 0xFF}, .time = {0xFF, 0xFF, 0xFF}},
         DateOrder::YearMonthDay,
         "JA1ABC,3100,CQCQCQ,JP1YIU B,JP1YIU G,,----/--/-- --:--:--,,"},
    };
    for (const Case& c : cases) {
        enter(0, 0, c.call);
        const auto written = exported(',', c.order);
        ASSERT_EQ(written.size(), 2u) << c.what;
        EXPECT_EQ(written[1], c.line) << c.what;
    }
}

TEST_F(ReceivedCallExportTest, SeparatorFollowsTheSystemListSeparator) {
    EXPECT_EQ(ReceivedCallExport::separatorFor(","), ',');
    EXPECT_EQ(ReceivedCallExport::separatorFor(";"), ';');
    for (const char* other : {"|", "\t", "", ";;", " "}) {
        EXPECT_EQ(ReceivedCallExport::separatorFor(other), ',') << other;
    }
    enter(0, 0, Call{.status = 0x60});
    const auto written = exported(';');
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0], "Caller;/;Called;Rx RPT1;Rx RPT2;Status;Received date;BK;EMR");
    EXPECT_EQ(written[1], "JA1ABC;3100;CQCQCQ;JP1YIU B;JP1YIU G;RPT UP;12/24/2009 21:05:59;*;");
}

TEST_F(ReceivedCallExportTest, TextFieldsKeepTheirBytes) {
    // Only trailing blanks go, and a line break, which would split the call's line, shows as
    // a space.
    enter(0, 0, Call{.caller = "ab,\"CD\"  ", .note = "1\r\n2", .called = "\xB0X\tY    "});
    // A separator of either kind or a quote quotes the field; its bytes stay as they were.
    EXPECT_EQ(exported(',')[1],
              "\"ab,\"\"CD\"\"\",1  2,\xB0X\tY,JP1YIU B,JP1YIU G,,12/24/2009 21:05:59,,");
    EXPECT_EQ(exported(';')[1],
              "\"ab,\"\"CD\"\"\";1  2;\xB0X\tY;JP1YIU B;JP1YIU G;;12/24/2009 21:05:59;;");
}

TEST_F(ReceivedCallExportTest, ReceivedTextsNeverRunAsSpreadsheetFormulas) {
    struct Case {
        const char* caller;
        const char* written;
    };
    const Case cases[] = {
        {"=1+1", "'=1+1"}, {"+cmd", "'+cmd"}, {"-1+1", "'-1+1"},
        {"@x", "'@x"},     {"\tA", "'\tA"},   {"'=q", "''=q"},
        {"A=1", "A=1"},    {"'a", "'a"},      {"=A,B", "\"'=A,B\""},
    };
    for (const Case& c : cases) {
        enter(0, 0, Call{.caller = c.caller});
        const std::string line = exported(',')[1];
        EXPECT_EQ(line.substr(0, line.rfind(",3100,")), c.written) << c.caller;
    }
}

class ExportFileTest : public ReceivedCallExportTest {
protected:
    std::size_t entries() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()));
    }

    test::TempFolder folder;
};

TEST_F(ExportFileTest, WritesOrReplacesTheWholeFile) {
    enter(0, 0, Call{});
    const ReceivedCallExport exporter(image, lines);
    const std::string path =
        folder.write("calls.csv", "older and longer contents than the export will have\r\n"
                                  "second line\r\nthird line\r\nfourth line\r\nfifth line\r\n");
    ASSERT_EQ(exporter.write(path, ',', DateOrder::MonthDayYear), FileErrorCode::Ok);
    EXPECT_EQ(test::TempFolder::read(path), exporter.csv(',', DateOrder::MonthDayYear));
    EXPECT_EQ(entries(), 1u) << "no temporary file is left";

    EXPECT_EQ(exporter.write(folder.file("no/such.csv"), ',', DateOrder::MonthDayYear),
              FileErrorCode::FileOpen);
    EXPECT_EQ(exporter.write(folder.path().string(), ',', DateOrder::MonthDayYear),
              FileErrorCode::FileOpen);
    EXPECT_EQ(entries(), 1u);
}

} // namespace
} // namespace qx
