#include "output/print_all_list.h"
#include "output/print_all_run.h"
#include "output/print_job.h"
#include "output/print_layout.h"

#include "base/text_metrics.h"
#include "headless_sheets.h"
#include "manual_scheduler.h"
#include "radio/bank_link_table.h"
#include "radio/channel_record.h"
#include "sheet/sheet.h"
#include "text_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace qx {
namespace {

const char* const kDefinitions = R"(#GI_Sys_AppTitleRev
QX-5130 Rev.1.2

#GI_Sys_Maker
Orsa Ltd.

#GI_Sheet_Wide_Style
(TitleString= Wide)(FixedCols=1)(FixedRows=1)
#GI_Sheet_Wide_BasicCell
{($Basic)}
#GI_Sheet_Wide_Cells
{WH}No|{WH}Group A|{+}|{+}|{WH}B|{WH}Group C|{+}
:(LoopFrom 30)
{WH}000|{WH}aaaa|{WH}bbbb|{WH}cccc|{WH}dddd|{WH}eeee|{WH}ffff
:(LoopTo)
#GI_Sheet_Long_Style
(FixedCols=1)(FixedRows=1)
#GI_Sheet_Long_BasicCell
{($Basic)}
#GI_Sheet_Long_Cells
{WH}No|{WH}xxxxxxxxxxxxxxxxxxxx|{WH+}yyyyyyyyyyyyyyyyyyyyyyyy
{WH}1|x|y
#GI_Sheet_Ratio_Style
(FixedRows=1)(PrintFontRatio=80)
#GI_Sheet_Ratio_BasicCell
{($Basic)}
#GI_Sheet_Ratio_Cells
{WH}No||{SWH}Name
{WH}1||{SWH}x
#GI_Sheet_Hidden_Style
(NoPrint)
#GI_Sheet_Hidden_BasicCell
{($Basic)}
#GI_Sheet_Hidden_Cells
{WH}x
#GI_CellWidthRegList
GI_Sheet_Ratio:memory
#
)";

class MapWidths : public ColumnWidthStore {
public:
    std::optional<std::int32_t> loadWidth(const std::string& group, int column) override {
        const auto found = values.find({group, column});
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    void saveWidth(const std::string& group, int column, std::int32_t width) override {
        values[{group, column}] = width;
    }
    void clearGroup(const std::string& /*group*/) override { values.clear(); }
    std::map<std::pair<std::string, int>, std::int32_t> values;
};

// What a printer would be asked to do, one entry per call.
class RecordingSink : public PageSink {
public:
    void newPage() override { events.push_back("new"); }
    void drawFrame(const PageFrame& /*frame*/, const PageFrameTexts& texts) override {
        events.push_back("frame " + texts.title + "|" + texts.appTitle + "|" + texts.maker);
    }
    void drawBlock(cuiSheet& /*sheet*/, const PrintBlock& block,
                   const PrintRect& /*body*/) override {
        blocks.push_back(block);
        events.push_back("block");
        if (abortAfter > 0 && static_cast<int>(blocks.size()) == abortAfter) {
            job->abort();
        }
    }
    std::vector<std::string> events;
    std::vector<PrintBlock> blocks;
    cmcPrintJob* job = nullptr;
    int abortAfter = 0;
};

class PrintLayoutTest : public ::testing::Test {
protected:
    PrintLayoutTest() {
        text.add(test::kCellModels);
        env.text = &text;
        env.metrics = &metrics;
    }
    // A printer at screen resolution without margins, so that pages measure as the screen.
    PrintSetup screenSizedPage(int width, int height) const {
        PrintSetup setup;
        setup.pageWidth = width;
        setup.pageHeight = height;
        setup.dpi = 96;
        setup.margins = "0,0,0,0";
        return setup;
    }
    test::TextBlocks text{kDefinitions};
    test::FixedMetrics metrics;
    SheetEnvironment env;
};

TEST(PrintMarginsTest, MillimetresBecomePixelsAtTheVerticalResolution) {
    // A4 at 600 dpi: 4960 x 7016 pixels.
    EXPECT_EQ(marginRect(4960, 7016, 600, "15,10,5,5"), (PrintRect{354, 236, 4842, 6898}));
    EXPECT_EQ(marginRect(2480, 3508, 300, "15,10,5,5"), (PrintRect{177, 118, 2421, 3449}));
    EXPECT_EQ(marginRect(1000, 1000, 600, "20"), (PrintRect{472, 0, 1000, 1000}));
    EXPECT_EQ(printFontHeight(10, 600), -83);
    EXPECT_EQ(printFontHeight(8, 300), -33);
}

TEST(PrintFrameTest, HeaderAndFooterTakeTheirLineRuleAndGaps) {
    const FixedTextMetrics metrics; // a line is the font's pixel height
    cmcFont font;
    font.height = printFontHeight(14, 600); // -116: h = 116, t = round(12.6) = 13
    const PageFrame frame = pageFrame({354, 236, 4842, 6898}, font, metrics);
    EXPECT_EQ(frame.rule, 13);
    EXPECT_EQ(frame.header, (PrintRect{354, 236, 4842, 352}));
    EXPECT_EQ(frame.headerRule, (PrintRect{354, 365, 4842, 378}));
    EXPECT_EQ(frame.body, (PrintRect{354, 430, 4842, 6704}));
    EXPECT_EQ(frame.footerRule, (PrintRect{354, 6756, 4842, 6769}));
    EXPECT_EQ(frame.footer, (PrintRect{354, 6782, 4842, 6898}));
}

TEST_F(PrintLayoutTest, FixedColumnsAndRowsRepeatAndNoPageStartsInsideASpan) {
    cuiSheet sheet(env, "GI_Sheet_Wide");
    sheet.show();
    // Widths: 38 fixed, then 78 48 48 | 48 | 78 48; "Group A" spans columns 1-3, "Group C"
    // columns 5-6. At 200 pixels the first page cannot stop inside group A and takes it whole.
    const SheetPagination pages = paginate(sheet, 200, 200);
    EXPECT_EQ(pages.columnsPerPage, (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(pages.rowsPerPage, (std::vector<int>{8, 8, 8, 6}));
    EXPECT_EQ(pages.pageCount(), 12);

    std::vector<int> seenColumns;
    std::vector<int> seenRows;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) {
            const PrintBlock block = pageBlock(sheet, pages, c, r);
            ASSERT_EQ(block.columns.front(), 0);
            ASSERT_EQ(block.rows.front(), 0);
            EXPECT_TRUE(columnMayBeginPage(sheet, block.columns[1]));
            if (r == 0) {
                seenColumns.insert(seenColumns.end(), block.columns.begin() + 1,
                                   block.columns.end());
            }
            if (c == 0) {
                seenRows.insert(seenRows.end(), block.rows.begin() + 1, block.rows.end());
            }
        }
    }
    EXPECT_EQ(seenColumns, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(seenRows.size(), 30U);
    EXPECT_EQ(seenRows.back(), 30);
    EXPECT_EQ(pageBlock(sheet, pages, 2, 3).width, 38 + 78 + 48);
    EXPECT_EQ(pageBlock(sheet, pages, 2, 3).height, 22 * 7);

    // Everything fits: one page.
    EXPECT_EQ(paginate(sheet, 1000, 1000).pageCount(), 1);
}

TEST_F(PrintLayoutTest, PagesGoAcrossFirstAndOnlyLaterPagesStartANewPage) {
    // Body: 300 wide, 330 - 2 x (20 + 6 x 3) = 254 tall (frame lines 20, rules 3): columns
    // 1-4 and 5-6 across, 10 rows down.
    cmcPrintJob job(env, screenSizedPage(300, 330));
    ASSERT_EQ(job.frame().body, (PrintRect{0, 38, 300, 292}));
    RecordingSink sink;
    EXPECT_EQ(job.printSheet("GI_Sheet_Wide", &sink, false), 6); // 2 across x 3 down
    EXPECT_EQ(job.printSheet("GI_Sheet_Hidden", &sink, false), 0);
    EXPECT_EQ(job.printSheet("GI_Sheet_Wide", &sink, false), 6);
    EXPECT_EQ(job.pageCount(), 12);

    ASSERT_EQ(sink.events.size(), 12U * 2 + 11);
    EXPECT_EQ(sink.events[0], "frame  Wide|QX-5130 Rev.1.2|Orsa Ltd.");
    EXPECT_EQ(sink.events[1], "block");
    EXPECT_EQ(sink.events[2], "new");
    EXPECT_EQ(std::count(sink.events.begin(), sink.events.end(), "new"), 11);
    const auto start = [&sink](int page) {
        const PrintBlock& b = sink.blocks[static_cast<std::size_t>(page)];
        return std::pair(b.columns[1], b.rows[1]);
    };
    EXPECT_EQ(start(0), std::pair(1, 1));
    EXPECT_EQ(start(1), std::pair(5, 1));
    EXPECT_EQ(start(2), std::pair(1, 11));
    EXPECT_EQ(start(3), std::pair(5, 11));
}

TEST_F(PrintLayoutTest, AbortStopsAtTheNextPage) {
    cmcPrintJob job(env, screenSizedPage(300, 330));
    RecordingSink sink;
    sink.job = &job;
    sink.abortAfter = 2;
    EXPECT_EQ(job.printSheet("GI_Sheet_Wide", &sink, false), 2);
    EXPECT_EQ(job.printSheet("GI_Sheet_Wide", &sink, false), 0);
    EXPECT_EQ(sink.blocks.size(), 2U);
}

TEST_F(PrintLayoutTest, ATooWideSheetShrinksItsFontUntilItFitsInAtMostThreeRebuilds) {
    const FixedTextMetrics scaling; // widths follow the font height
    env.metrics = &scaling;
    // At 10 pt (-13, 6 pixels a character) the one page, which cannot part the spanned
    // header, is 3 x 8 + 46 x 6 = 300 wide: 20 % more than the 250 of the body. The first
    // rebuild takes -13 / 1.2, rounded.
    cmcPrintJob job(env, screenSizedPage(250, 400));
    RecordingSink sink;
    EXPECT_EQ(job.printSheet("GI_Sheet_Long", &sink, false), 1);
    const auto& heights = job.lastFit().fontHeights;
    ASSERT_GE(heights.size(), 2U);
    EXPECT_EQ(heights[0], -13);
    EXPECT_EQ(heights[1], -11);
    EXPECT_LE(job.lastFit().rebuilds(), 3);
    EXPECT_LE(sink.blocks.at(0).width, 250);

    // A sheet that fits is built once.
    cmcPrintJob roomy(env, screenSizedPage(400, 400));
    EXPECT_EQ(roomy.printSheet("GI_Sheet_Long", nullptr, false), 1);
    EXPECT_EQ(roomy.lastFit().rebuilds(), 0);

    // One that cannot fit stops after three rebuilds and prints what it has.
    cmcPrintJob narrow(env, screenSizedPage(60, 400));
    EXPECT_EQ(narrow.printSheet("GI_Sheet_Long", nullptr, false), 1);
    EXPECT_EQ(narrow.lastFit().rebuilds(), 3);
}

TEST_F(PrintLayoutTest, PrintedSheetTakesPrinterFontRatioRulingSizeAndOnlyWidensStoredWidths) {
    MapWidths widths;
    widths.values[{"memory", 2}] = 100;
    widths.values[{"memory", 0}] = 500; // not selectable: never read
    env.widths = &widths;
    const FixedTextMetrics scaling;
    env.metrics = &scaling;

    cuiSheet sheet(env, "GI_Sheet_Ratio");
    sheet.setPrinting(printScale(600), printFontHeight(10, 600));
    sheet.show();
    EXPECT_EQ(sheet.basicCell().effectiveFont()->height, -66); // -83 x 80 %
    EXPECT_EQ(sheet.rulingSize(), 6);
    EXPECT_EQ(sheet.columnWidth(1), 6);
    // "No": 2 x 33 + 50; stored widths stay away from columns that are not selectable.
    EXPECT_EQ(sheet.columnWidth(0), 116);
    // The 100 pixels taken at the screen's 17-pixel font, in 66-pixel printer font.
    EXPECT_EQ(sheet.columnWidth(2), static_cast<int>(100 * 66 / 17.0 + 0.5));
    EXPECT_EQ(widths.values.size(), 2U);
    EXPECT_EQ((widths.values[{"memory", 2}]), 100);
}

TEST_F(PrintLayoutTest, PrintAllRunPrintsOneSheetPerTickAndEndsTheJobEvenWhenAborted) {
    test::ManualScheduler scheduler;
    cmcPrintJob job(env, screenSizedPage(300, 330));
    RecordingSink sink;
    std::vector<std::string> hooks;
    cmcPrintAllRun run(scheduler, job, sink);
    const auto start = [&] {
        run.start({"GI_Sheet_Wide", "GI_Sheet_Hidden", "GI_Sheet_Wide"},
                  {[&] { hooks.push_back("begin"); }, [&] { hooks.push_back("end"); }});
    };
    start();
    EXPECT_TRUE(run.running());
    scheduler.advance(49);
    EXPECT_TRUE(hooks.empty());
    scheduler.advance(1);
    EXPECT_EQ(hooks, (std::vector<std::string>{"begin"}));
    EXPECT_EQ(run.done(), 1U);
    EXPECT_EQ(sink.blocks.size(), 6U);
    scheduler.advance(100);
    EXPECT_EQ(hooks, (std::vector<std::string>{"begin", "end"}));
    EXPECT_FALSE(run.running());
    EXPECT_EQ(job.pageCount(), 12);
    scheduler.advance(500);
    EXPECT_EQ(hooks.size(), 2U);

    // Cancelled in the first sheet: no further page, but the job still ends after the list.
    hooks.clear();
    sink.blocks.clear();
    sink.job = &job;
    sink.abortAfter = 2;
    start();
    scheduler.advance(150);
    EXPECT_EQ(sink.blocks.size(), 2U);
    EXPECT_EQ(hooks, (std::vector<std::string>{"begin", "end"}));
}

TEST(PrintAllListTest, BankPresetNeedsAUsedChannelBelowOneGigahertzInABank) {
    test::HeadlessSheets world;
    cmcEeprom& image = world.images.current();
    ChannelRecord record(image);
    for (int channel = 0; channel < 500; ++channel) {
        ASSERT_TRUE(record.load(kKindChannel, channel));
        if (record.used) {
            record.bankGroup = 255;
            ASSERT_TRUE(record.store());
        }
    }
    EXPECT_FALSE(bankChannelsPreset(image));

    struct Case {
        std::uint32_t frequency;
        bool used;
        int bank;
        bool preset;
    };
    for (const Case& c : {Case{1240000000, true, 2, false}, Case{145000000, false, 2, false},
                          Case{145000000, true, 255, false}, Case{145000000, true, 2, true}}) {
        ASSERT_TRUE(record.load(kKindChannel, 42));
        record.used = c.used;
        record.frequency = c.frequency;
        record.bankGroup = c.bank;
        record.bankChannel = 0;
        ASSERT_TRUE(record.store());
        EXPECT_EQ(bankChannelsPreset(image), c.preset) << c.frequency << " " << c.bank;
    }
}

TEST(PrintAllListTest, PrintAllChoicesPickMemoryBlocksOrBanks) {
    test::HeadlessSheets world;
    cmcEeprom& image = world.images.current();
    usePrintRulesOf(world.env, image);
    ChannelRecord record(image);
    ASSERT_TRUE(record.load(kKindChannel, 3));
    record.used = true;
    record.frequency = 145000000;
    record.bankGroup = 0;
    record.bankChannel = 0;
    ASSERT_TRUE(record.store());
    banklink::rebuild(image);

    PrintSetup setup;
    setup.pageWidth = 4960;
    setup.pageHeight = 7016;
    const std::string block = "[St_ColCut]GI_Sheet_MemoryCH,0,0";
    const std::string bank = "[St_CCBank]GI_Sheet_BankCH,9";
    for (const auto& [memory, banks] : {std::pair(true, false), std::pair(false, true)}) {
        cmcPrintJob job(world.env, setup);
        job.setPrintAllChoices(memory, banks);
        EXPECT_EQ(job.printSheet(block, nullptr, true) > 0, memory);
        EXPECT_EQ(job.printSheet(bank, nullptr, true) > 0, banks);
        // Printing one sheet ignores the choices.
        EXPECT_GT(job.printSheet(block, nullptr, false), 0);
    }
}

} // namespace
} // namespace qx
