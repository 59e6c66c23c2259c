#include "sheet/gtex_lines.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/warning_check_list.h"

#include "radio/bank_link_table.h"
#include "radio/cell_link_dispatch.h"
#include "radio/cell_link_names.h"
#include "radio/channel_record.h"
#include "radio/image_set.h"
#include "text/text_source.h"
#include "text/text_table.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace qx {
namespace {

struct Table {
    const TextSource* source;
    bool shiftJis;
};

class WarningCheckListTest : public ::testing::TestWithParam<Table> {
protected:
    WarningCheckListTest() { table.attachSource(*GetParam().source); }
    cmcGTex table;
    GTexLines lines{table};
};

// The sheet a check link stands for, as the tree opens it.
std::string expectedCallString(int link) {
    const auto letterFrom = [link](int first) { return link - first; };
    if (link >= CL_Check_MemoryCH0 && link <= CL_Check_MemoryCH4) {
        const int block = link - CL_Check_MemoryCH0;
        return "[St_ColCut]GI_Sheet_MemoryCH," + std::to_string(block) + "," +
               std::to_string(block * 100);
    }
    if (link >= CL_Check_BankCHA && link <= CL_Check_BankCHZ) {
        return "[St_CCBank]GI_Sheet_BankCH," + std::to_string(9 + letterFrom(CL_Check_BankCHA));
    }
    if (link >= CL_Check_GpsBankCHA && link <= CL_Check_GpsBankCHZ) {
        return "[St_ChGps]GI_Sheet_GPS_BankCH," +
               std::to_string(36 + letterFrom(CL_Check_GpsBankCHA));
    }
    switch (link) {
    case CL_Check_MemoryCHS:
        return "[St_ColCut]GI_Sheet_ScanEdge,5";
    case CL_Check_MemoryCHC:
        return "[St_ColCut]GI_Sheet_CallCh,6";
    case CL_Check_Func1CH:
        return "[St_ColCut]GI_Sheet_Func,7,0";
    case CL_Check_Func2CH:
        return "[St_ColCut]GI_Sheet_Func,8,2";
    case CL_Check_GpsMemory:
        return "[St_ChGps]GI_Sheet_GPS_Memory,35";
    case CL_Check_Common:
        return "[St_Common]GI_Sheet_Common,0";
    default:
        return "?";
    }
}

TEST_P(WarningCheckListTest, EveryCheckedSheetInTreeOrder) {
    std::vector<int> order;
    for (int link = CL_Check_MemoryCH0; link <= CL_Check_MemoryCHS; ++link) {
        order.push_back(link);
    }
    for (int link = CL_Check_BankCHA; link <= CL_Check_BankCHZ; ++link) {
        order.push_back(link);
    }
    order.insert(order.end(), {CL_Check_MemoryCHC, CL_Check_Func1CH, CL_Check_Func2CH});
    for (int link = CL_Check_GpsMemory; link <= CL_Check_Common; ++link) {
        order.push_back(link);
    }

    std::vector<std::pair<int, std::string>> seen;
    const CheckListResult result = runWarningCheckList(
        lines,
        [&seen](const cmcCellObj& cell) {
            seen.emplace_back(cell.link, cell.linkParameter.value_or("(none)"));
            // Bit 3 wins over bit 2; other bits mean nothing.
            return static_cast<std::uint8_t>(cell.link == CL_Check_MemoryCH1   ? 4
                                             : cell.link == CL_Check_BankCHZ   ? 12
                                             : cell.link == CL_Check_GpsMemory ? 8
                                             : cell.link == CL_Check_Common    ? 4
                                                                               : 3);
        },
        GetParam().shiftJis);

    ASSERT_EQ(seen.size(), order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(seen[i].first, order[i]) << i;
        EXPECT_EQ(seen[i].second, expectedCallString(order[i])) << i;
    }
    EXPECT_EQ(result.errors, (std::vector<std::string>{"[St_CCBank]GI_Sheet_BankCH,34",
                                                       "[St_ChGps]GI_Sheet_GPS_Memory,35"}));
    EXPECT_EQ(result.warnings, (std::vector<std::string>{"[St_ColCut]GI_Sheet_MemoryCH,1,100",
                                                         "[St_Common]GI_Sheet_Common,0"}));
    EXPECT_EQ(result.errorCount(), 2);
    EXPECT_EQ(result.warningCount(), 2);
    EXPECT_EQ(result.markFor("[St_CCBank]GI_Sheet_BankCH,34"), CheckMark::Error);
    EXPECT_EQ(result.markFor("[St_Common]GI_Sheet_Common,0"), CheckMark::Warning);
    EXPECT_EQ(result.markFor("[St_Common]GI_Sheet_Common,1"), CheckMark::None);
    CheckListResult both;
    both.errors = {"x"};
    both.warnings = {"x"};
    EXPECT_EQ(both.markFor("x"), CheckMark::Error);
}

TEST_P(WarningCheckListTest, RunsTheChecksOfAnImage) {
    ImageSet images;
    images.setDestination(2);
    cmcEeprom& image = images.current();
    ChannelRecord channel(image);
    for (const int index : {150, 10}) {
        ASSERT_TRUE(channel.load(kKindChannel, index));
        channel.used = true;
        channel.frequency = index == 150 ? 150000000 : 146000000;
        channel.mode = index == 150 ? kModeFm : kModeDv;
        ASSERT_TRUE(channel.store());
    }
    banklink::rebuild(image);

    LinkEnvironment environment;
    environment.image = &image;
    environment.destination = 2;
    cmcCellLinkDispatch dispatch(environment);
    const CheckListResult found = runWarningCheckList(lines, dispatch, GetParam().shiftJis);
    EXPECT_EQ(found.errors, (std::vector<std::string>{"[St_ColCut]GI_Sheet_MemoryCH,0,0"}));
    EXPECT_EQ(found.warnings, (std::vector<std::string>{"[St_ColCut]GI_Sheet_MemoryCH,1,100"}));

    dispatch.environment().destination = kDestinationUnset;
    dispatch.environment().features.digitalUnit = true;
    const CheckListResult clean = runWarningCheckList(lines, dispatch, GetParam().shiftJis);
    EXPECT_EQ(clean.errorCount() + clean.warningCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Tables, WarningCheckListTest,
                         ::testing::Values(Table{&kTextTable_en, false},
                                           Table{&kTextTable_ja, true}),
                         [](const auto& param) { return param.param.shiftJis ? "ja" : "en"; });

} // namespace
} // namespace qx
