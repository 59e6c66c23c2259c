#include "sheet/value_tables.h"

#include "radio/cell_link_names.h"
#include "text_blocks.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

const char* const kLists = R"(#GI_Sheet_Sel_Mch_Dup_Cells
{($iCR)}DUP
{($bMn)S(%Flex0[0])}Simplex
{($bMn)S(%Flex0[1]:-DUP)}-DUP\_
{($bMn)S(%Flex0[2])}+DUP
#GI_Sheet_Sel_Disp_VMC_USA_Cells
{($bMn)S(%Flex0[4])}VFO|{($iSp)}|{($bMn)S(%Flex0[6])}C1
{($bMn)S(%Flex0[0])}M|{($iSp)}|{($bMn)S(%Flex0[2])}WX
{($bMn)S(%Flex0[5])}C0|{($iSp)}|{($bMn)S(%CL_FlexMarking[9])}other
#
)";

TEST(ValueTablesTest, TextLookupAndStepping) {
    test::TextBlocks text(kLists);
    text.add(test::kCellModels);
    cmcValueTables tables(text);
    const std::string dup = "GI_Sheet_Sel_Mch_Dup";
    EXPECT_EQ(tables.valueText(dup, Flex0, 0), "Simplex");
    EXPECT_EQ(tables.valueText(dup, Flex0, 1), "-DUP"); // the link parameter
    EXPECT_EQ(tables.valueText(dup, Flex0, 7), std::nullopt);
    EXPECT_EQ(tables.stepValue(dup, Flex0, 2, 1), 0);
    EXPECT_EQ(tables.stepValue(dup, Flex0, 0, -1), 2);
    EXPECT_EQ(tables.stepValue(dup, Flex0, 0, 1), 1);
    EXPECT_EQ(tables.stepValue(dup, Flex0, 7, 1), 0); // unknown value: first item

    // Down each column, then the next column; not numeric order.
    const std::string vmc = "GI_Sheet_Sel_Disp_VMC_USA";
    std::vector<std::int32_t> order;
    for (const auto& item : tables.items(vmc, Flex0)) {
        order.push_back(item.value);
    }
    EXPECT_EQ(order, (std::vector<std::int32_t>{4, 0, 5, 6, 2}));
    EXPECT_EQ(tables.stepValue(vmc, Flex0, 4, 1), 0);
    EXPECT_EQ(tables.stepValue(vmc, Flex0, 2, 1), 4);
    EXPECT_EQ(tables.stepValue(vmc, Flex0, 4, -1), 2);
    EXPECT_EQ(tables.valueText(vmc, CL_FlexMarking, 9), "other");
    EXPECT_EQ(tables.items(vmc, CL_FlexMarking).size(), 1U);

    const int reads = text.reads;
    EXPECT_EQ(tables.valueText(vmc, Flex0, 6), "C1"); // kept for the run
    EXPECT_EQ(text.reads, reads);
}

} // namespace
} // namespace qx
