// What a sheet shows after a list operation: the rows it holds and the rows it marks.
#include "app/main_controller.h"
#include "headless_editor.h"
#include "radio/cell_link_names.h"
#include "radio/channel_record.h"
#include "radio/image_map.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

using test::HeadlessEditor;

class SheetListEditTest : public ::testing::Test {
protected:
    SheetListEditTest() { editor.start(); }

    cuiSheet& open(const char* callString) {
        cuiSheet& sheet = editor.controller->openSheet(callString);
        // The window hands the sheet's requests to the cell links.
        sheet.setDispatcher([this](cmcCellCapsule& request) {
            return editor.controller->dispatch().dispatch(request);
        });
        return sheet;
    }
    static cuiSheet::Activation choose(cuiSheet& sheet, std::int32_t item) {
        cmcCellObj menuItem;
        menuItem.link = item;
        return sheet.activate(0, &menuItem);
    }
    static bool selectRow(cuiSheet& sheet, std::int32_t category, std::int32_t link, int index,
                          bool extend = false) {
        const auto at = sheet.findCell(category, link, index);
        return at && sheet.select(at->first, at->second, extend);
    }
    // Whether the row of record `index` is drawn as selected, and whether it is shown at all.
    static bool marked(const cuiSheet& sheet, std::int32_t category, std::int32_t link, int index) {
        const auto at = sheet.findCell(category, link, index);
        return at && sheet.isSelected(at->first, at->second);
    }
    static bool shown(const cuiSheet& sheet, int gpsIndex) {
        const auto at = sheet.findCell(CT_Gps, CL_Gps_Name, gpsIndex);
        return at && sheet.rowHeight(at->second) > 0 &&
               sheet.cell(at->first, at->second).selectable;
    }
    cmcEeprom& image() { return editor.controller->document().current(); }

    HeadlessEditor editor;
};

TEST_F(SheetListEditTest, PasteMarksOnlyThePastedRows) {
    cuiSheet& sheet = open("[St_ColCut]GI_Sheet_MemoryCH,0,0");
    ASSERT_TRUE(selectRow(sheet, CT_Conv, CL_Mch_Freq, 10));
    ASSERT_TRUE(selectRow(sheet, CT_Conv, CL_Mch_Freq, 12, true));
    choose(sheet, CL_PMenu_Copy);
    // The cursor is on 12, the end of the copied rows: the copy goes to 12-14.
    ASSERT_EQ(sheet.currentCell().index, 12);
    EXPECT_EQ(choose(sheet, CL_PMenu_Paste).result, kResultChanged);
    for (int i = 9; i <= 15; ++i) {
        EXPECT_EQ(marked(sheet, CT_Conv, CL_Mch_Freq, i), i >= 12 && i <= 14) << i;
    }
    ASSERT_TRUE(sheet.selectedRange());
    EXPECT_EQ(*sheet.selectedRange(), (std::pair<std::int32_t, std::int32_t>{12, 14}));
}

TEST_F(SheetListEditTest, InsertIntoAnEmptyGpsListShowsTheNewMemoryWithTheCursorOnIt) {
    for (int i = 0; i < imagemap::kGpsMemoryCount; ++i) {
        image().setByte(imagemap::kGpsSlotList + i, imagemap::kGpsSlotFree);
    }
    cuiSheet& sheet = open("[St_ChGps]GI_Sheet_GPS_Memory,35");
    EXPECT_FALSE(shown(sheet, 0));
    // The empty row after the list is all there is to click.
    ASSERT_TRUE(selectRow(sheet, CT_Gps, CL_Gps_Name, 100));
    EXPECT_EQ(choose(sheet, CL_PMenu_Insert).result, kResultChanged);
    EXPECT_EQ(ChannelRecord::gpsMemoryCount(image()), 1);
    EXPECT_TRUE(shown(sheet, 0));
    EXPECT_FALSE(shown(sheet, 1));
    EXPECT_EQ(sheet.currentCell().category, CT_Gps);
    EXPECT_EQ(sheet.currentCell().index, 0);

    // A second Insert on the memory shown adds one more, shown as well.
    EXPECT_EQ(choose(sheet, CL_PMenu_Insert).result, kResultChanged);
    EXPECT_EQ(ChannelRecord::gpsMemoryCount(image()), 2);
    EXPECT_TRUE(shown(sheet, 1));
    EXPECT_EQ(sheet.currentCell().index, 0);

    // Delete hides the row that went.
    EXPECT_EQ(choose(sheet, CL_PMenu_Delete).result, kResultChanged);
    EXPECT_EQ(ChannelRecord::gpsMemoryCount(image()), 1);
    EXPECT_TRUE(shown(sheet, 0));
    EXPECT_FALSE(shown(sheet, 1));
}

} // namespace
} // namespace qx
