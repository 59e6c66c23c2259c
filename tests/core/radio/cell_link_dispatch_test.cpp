#include "radio/cell_link_dispatch.h"

#include "radio/bank_link_table.h"
#include "radio/cell_link_names.h"
#include "radio/channel_record.h"
#include "radio/image_map.h"
#include "radio/image_set.h"
#include "sheet/gtex_lines.h"
#include "sheet/value_tables.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

class CellLinkDispatchTest : public ::testing::Test {
protected:
    CellLinkDispatchTest() {
        table.attachSource(kTextTable_en);
        images.setDestination(0);
        LinkEnvironment env;
        env.image = &images.current();
        env.destination = 0;
        env.features.digitalUnit = true;
        env.lists = &tables;
        env.restartRefresh = [this] { ++refreshes; };
        dispatch = std::make_unique<cmcCellLinkDispatch>(env);
    }

    cmcCellObj cell(std::int32_t category, std::int32_t link, std::int32_t index) {
        cmcCellObj c;
        c.category = category;
        c.link = link;
        c.index = index;
        return c;
    }
    std::string show(std::int32_t category, std::int32_t link, std::int32_t index,
                     std::string_view arguments = {}) {
        cmcCellObj c = cell(category, link, index);
        return dispatch->displayText(c, arguments);
    }
    cmcCellCapsule commit(std::int32_t category, std::int32_t link, std::int32_t index,
                          std::string text, std::string_view arguments = {}) {
        cmcCellObj c = cell(category, link, index);
        cmcCellCapsule request;
        request.cell = &c;
        request.operation = kOpCommit;
        request.text = std::move(text);
        request.arguments = std::string(arguments);
        lastResult = dispatch->dispatch(request);
        request.cell = nullptr;
        return request;
    }
    std::int32_t key(std::int32_t category, std::int32_t link, std::int32_t index, std::int32_t k,
                     std::string_view arguments = {}) {
        cmcCellObj c = cell(category, link, index);
        return dispatch->perform(c, k, arguments);
    }
    std::int32_t pick(std::int32_t category, std::int32_t link, std::int32_t index,
                      std::int32_t itemLink, std::int32_t value) {
        cmcCellObj c = cell(category, link, index);
        cmcCellObj item = cell(kNoCategory, itemLink, value);
        cmcCellCapsule request;
        request.cell = &c;
        request.operation = kOpPick;
        request.picked = &item;
        return dispatch->dispatch(request);
    }
    ChannelRecord channel(int index) {
        ChannelRecord r(images.current());
        r.load(kKindChannel, index);
        return r;
    }

    cmcGTex table;
    GTexLines lines{table};
    cmcValueTables tables{lines};
    ImageSet images;
    std::unique_ptr<cmcCellLinkDispatch> dispatch;
    int refreshes = 0;
    std::int32_t lastResult = 0;
};

TEST_F(CellLinkDispatchTest, FrequencyEntryMakesAChannelAndShowsTheFormatterText) {
    ASSERT_FALSE(channel(150).used);
    EXPECT_EQ(show(CT_Conv, CL_Mch_Freq, 150), "");
    EXPECT_EQ(show(CT_Conv, CL_Mch_Name, 150), "");
    const cmcEeprom before = images.current();
    EXPECT_TRUE(commit(CT_Conv, CL_Mch_Name, 150, "X").refused); // no channel yet
    EXPECT_TRUE(images.current() == before);
    EXPECT_EQ(refreshes, 0);

    commit(CT_Conv, CL_Mch_Freq, 150, "146.01");
    EXPECT_EQ(lastResult, kResultChanged);
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(channel(150).used);
    EXPECT_EQ(channel(150).frequency, 146010000U);
    EXPECT_EQ(show(CT_Conv, CL_Mch_Freq, 150), "146.010000");
    commit(CT_Conv, CL_Mch_Freq, 150, "145.0062");
    EXPECT_EQ(show(CT_Conv, CL_Mch_Freq, 150), "145.006250");

    const cmcEeprom after = images.current();
    EXPECT_TRUE(commit(CT_Conv, CL_Mch_Freq, 150, "abc").refused);
    EXPECT_FALSE(commit(CT_Conv, CL_Mch_Freq, 150, "").refused); // empty changes nothing
    EXPECT_TRUE(images.current() == after);

    commit(CT_Conv, CL_Mch_Offset_Freq, 150, "0.6");
    EXPECT_EQ(show(CT_Conv, CL_Mch_Offset_Freq, 150), "  0.600000");
    commit(CT_Conv, CL_Mch_Name, 150, "Club rpt lower");
    EXPECT_EQ(show(CT_Conv, CL_Mch_Name, 150), "Club rpt");
    commit(CT_Conv, CL_Mch_DYou_Callsign, 150, "ab1cd/p");
    EXPECT_EQ(show(CT_Conv, CL_Mch_DYou_Callsign, 150), "AB1CD/P");
    commit(CT_Conv, CL_Mch_Air_Freq, 150, "1234");
    EXPECT_EQ(channel(150).airFrequency, 1230);
}

TEST_F(CellLinkDispatchTest, KeysThatStartEditingInFrequencyAndTextCells) {
    struct Started {
        std::int32_t result;
        std::string text;
        int caret;
        int selected;
    };
    const auto press = [&](std::int32_t category, std::int32_t link, std::int32_t index,
                           std::int32_t k) {
        cmcCellObj c = cell(category, link, index);
        cmcCellCapsule request;
        request.cell = &c;
        request.command = k;
        const std::int32_t result = dispatch->dispatch(request);
        return Started{result, request.text, request.selectionStart, request.selectionLength};
    };
    commit(CT_Conv, CL_Mch_Freq, 10, "146.01");
    commit(CT_Conv, CL_Mch_Offset_Freq, 10, "0.6");
    struct Case {
        std::int32_t link;
        std::int32_t index;
        std::int32_t key;
        std::int32_t result;
        std::string text;
        int caret;
        int selected;
    };
    const Case cases[] = {
        // '.' keeps the current text, the caret right after the point.
        {CL_Mch_Freq, 10, '.', kResultEdit, "146.010000", 4, 0},
        {CL_Mch_Freq, 11, '.', kResultEdit, "0.000000", 2, 0}, // an empty channel
        {CL_Mch_Offset_Freq, 10, '.', kResultEdit, "  0.600000", 4, 0},
        // No stepping in the offset: Space edits as Enter does, Backspace does nothing.
        {CL_Mch_Offset_Freq, 10, ' ', kResultEdit, "  0.600000", 0, 10},
        {CL_Mch_Offset_Freq, 10, 8, kResultNone, "", 0, 0},
        {CL_Mch_Offset_Freq, 10, '7', kResultEdit, "7", 1, 0},
    };
    for (const Case& c : cases) {
        const Started started = press(CT_Conv, c.link, c.index, c.key);
        EXPECT_EQ(started.result, c.result) << c.link << " " << c.key;
        if (c.result == kResultEdit) {
            EXPECT_EQ(started.text, c.text) << c.link << " " << c.key;
            EXPECT_EQ(started.caret, c.caret) << c.link << " " << c.key;
            EXPECT_EQ(started.selected, c.selected) << c.link << " " << c.key;
        }
    }
}

TEST_F(CellLinkDispatchTest, ShortPagerCodesAndEmptyUtcPartsInTheSettings) {
    commit(kNoCategory, CL_PGR_Memory_Code, 1, "123");
    const cmcEeprom before = images.current();
    // Shorter than a code: nothing changes, and the entry is not refused either.
    EXPECT_FALSE(commit(kNoCategory, CL_PGR_Memory_Code, 1, "45").refused);
    EXPECT_TRUE(images.current() == before);
    EXPECT_EQ(show(kNoCategory, CL_PGR_Memory_Code, 1), "123");

    for (const char* typed : {":", "+", "-"}) {
        commit(kNoCategory, CL_Common_UTC_Offset, 0, "+5:30");
        EXPECT_FALSE(commit(kNoCategory, CL_Common_UTC_Offset, 0, typed).refused) << typed;
        EXPECT_EQ(show(kNoCategory, CL_Common_UTC_Offset, 0), "0:00") << typed;
    }
}

TEST_F(CellLinkDispatchTest, SettingsTextCellsShowControlBytesAsSpaces) {
    struct Case {
        std::int32_t link;
        std::int32_t offset;
    };
    for (const Case& c :
         {Case{CL_Common_Unproto_Address, 0x12E}, Case{CL_Common_APRS_Comment1, 0x166}}) {
        const std::uint8_t bytes[] = {'A', 0x01, 'B', 0x7F, 0xC3, 'C', 0x0A, 0xFF};
        images.current().writeBlock(imagemap::kMainSettings + c.offset, bytes, sizeof bytes);
        EXPECT_EQ(show(kNoCategory, c.link, 0), "A B  C") << c.link;
    }
}

TEST_F(CellLinkDispatchTest, ChoiceCellsStepInListOrderAndTakePicks) {
    commit(CT_Conv, CL_Mch_Freq, 7, "145.5");
    const std::vector<std::string> dup = {"Simplex", "-DUP", "+DUP", "Simplex"};
    for (std::size_t i = 0; i < dup.size(); ++i) {
        EXPECT_EQ(show(CT_Conv, CL_Mch_Dup, 7), dup[i]);
        EXPECT_EQ(key(CT_Conv, CL_Mch_Dup, 7, ' '), kResultChanged);
    }
    EXPECT_EQ(key(CT_Conv, CL_Mch_Dup, 7, 8), kResultChanged);
    EXPECT_EQ(show(CT_Conv, CL_Mch_Dup, 7), "Simplex");
    EXPECT_EQ(key(CT_Conv, CL_Mch_Dup, 7, 8), kResultChanged);
    EXPECT_EQ(show(CT_Conv, CL_Mch_Dup, 7), "+DUP");
    EXPECT_EQ(pick(CT_Conv, CL_Mch_Dup, 7, Flex0, 1), kResultChanged);
    EXPECT_EQ(show(CT_Conv, CL_Mch_Dup, 7), "-DUP");
    EXPECT_EQ(pick(CT_Conv, CL_Mch_Dup, 7, CL_FlexMarking, 2), kResultNone);
    EXPECT_EQ(show(CT_Conv, CL_Mch_Dup, 7), "-DUP");

    EXPECT_EQ(pick(CT_Conv, CL_Mch_TS_Pitch, 7, CL_FlexMarking, 3), kResultChanged);
    EXPECT_EQ(show(CT_Conv, CL_Mch_TS_Pitch, 7), "12.5k");
    EXPECT_EQ(pick(CT_Conv, CL_Mch_Mode, 7, CL_FlexMarking, 4), kResultChanged);
    EXPECT_EQ(show(CT_Conv, CL_Mch_Mode, 7), "DV");
    EXPECT_EQ(pick(CT_Conv, CL_Mch_Scan_Skip, 7, Flex0, 3), kResultChanged);
    EXPECT_EQ(show(CT_Conv, CL_Mch_Scan_Skip, 7), "PSkip");
    EXPECT_EQ(pick(CT_Conv, CL_Mch_Decode, 7, Flex0, 6), kResultChanged);
    EXPECT_EQ(show(CT_Conv, CL_Mch_Decode, 7), "DTCS");

    // Typed numbers pick the nearest tone or code; a typed text picks a tuning step.
    EXPECT_EQ(key(CT_Conv, CL_Mch_TONE_Freq, 7, '8'), kResultEdit);
    commit(CT_Conv, CL_Mch_TONE_Freq, 7, "88");
    EXPECT_EQ(show(CT_Conv, CL_Mch_TONE_Freq, 7), "88.5");
    commit(CT_Conv, CL_Mch_DTCS, 7, "24");
    EXPECT_EQ(show(CT_Conv, CL_Mch_DTCS, 7), "023");
    commit(CT_Conv, CL_Mch_TS_Pitch, 7, "25");
    EXPECT_EQ(show(CT_Conv, CL_Mch_TS_Pitch, 7), "25k");
    EXPECT_TRUE(commit(CT_Conv, CL_Mch_TS_Pitch, 7, "7k").refused);
    EXPECT_EQ(key(CT_Conv, CL_Mch_Mode, 7, 'F'), kResultNone); // no typed entry

    // Enter opens the list with the current value preselected.
    cmcCellObj c = cell(CT_Conv, CL_Mch_Dup, 7);
    cmcCellCapsule request;
    request.cell = &c;
    request.command = 13;
    std::string opened;
    std::int32_t preselect = -1;
    request.openList = [&](const cmcCellCapsule&, const std::string& key, std::int32_t,
                           std::int32_t v) {
        opened = key;
        preselect = v;
        return true;
    };
    EXPECT_EQ(dispatch->dispatch(request), kResultChanged);
    EXPECT_EQ(opened, "GI_Sheet_Sel_Mch_Dup");
    EXPECT_EQ(preselect, 1);
}

TEST_F(CellLinkDispatchTest, KeysStartEditingAndGrayCellsStillShow) {
    commit(CT_Conv, CL_Mch_Freq, 3, "435.0");
    cmcCellObj c = cell(CT_Conv, CL_Mch_Name, 3);
    cmcCellCapsule request;
    request.cell = &c;
    request.command = 'q';
    EXPECT_EQ(dispatch->dispatch(request), kResultEdit);
    EXPECT_EQ(request.text, "q");
    EXPECT_EQ(request.selectionStart, 1);
    request.command = 13;
    request.text.clear();
    commit(CT_Conv, CL_Mch_Name, 3, "Home");
    EXPECT_EQ(dispatch->dispatch(request), kResultEdit);
    EXPECT_EQ(request.text, "Home");

    pick(CT_Conv, CL_Mch_Mode, 3, CL_FlexMarking, 2); // AM
    cmcCellObj tone = cell(CT_Conv, CL_Mch_Decode, 3);
    cmcCellCapsule draw;
    draw.cell = &tone;
    draw.drawing = true;
    dispatch->dispatch(draw);
    EXPECT_EQ(draw.textColor, 0xC0C0C0U);
    EXPECT_EQ(draw.displayText, "OFF");

    EXPECT_EQ(show(kNoCategory, FlexSpace, 0), "2 *Yet*");
    EXPECT_EQ(show(kNoCategory, CL_Mch_CH_Inh, 0), "146 *Yet*");
    EXPECT_EQ(show(CT_Conv, CL_Misc_ChNo_0Base, 123), "123");
}

TEST_F(CellLinkDispatchTest, BankGroupsAndSlotSelection) {
    commit(CT_Conv, CL_Mch_Freq, 10, "145.1");
    commit(CT_Conv, CL_Mch_Freq, 11, "145.2");
    EXPECT_EQ(pick(CT_Conv, CL_Mch_Bank_Group, 10, Flex0, 2), kResultChanged); // bank C
    commit(CT_Conv, CL_Mch_Bank_ChNo, 10, "4");
    EXPECT_EQ(show(CT_Conv, CL_Mch_Bank_Group, 10), "C");
    EXPECT_EQ(show(CT_Conv, CL_Mch_Bank_ChNo, 10), "4");
    EXPECT_EQ(banklink::slot(images.current(), 2, 4), 10);
    EXPECT_EQ(show(CT_BankCh, CL_Mch_Select_ChNo, 4, "11"), "10");
    EXPECT_EQ(show(CT_BankCh, CL_Mch_Freq, 4, "11"), "145.100000");
    EXPECT_EQ(show(CT_BankCh, CL_Mch_Select_ChNo, 5, "11"), "---");

    // Slot 4 of bank C now takes channel 11; channel 10 leaves the bank.
    commit(CT_BankCh, CL_Mch_Select_ChNo, 4, "11", "11");
    EXPECT_EQ(lastResult, kResultChanged);
    EXPECT_EQ(channel(10).bankGroup, 255);
    EXPECT_EQ(channel(11).bankGroup, 2);
    EXPECT_EQ(show(CT_BankCh, CL_Mch_Select_ChNo, 4, "11"), "11");
    EXPECT_EQ(show(CT_BankCh, CL_Mch_Freq, 4, "11"), "145.200000");
    // An empty channel chosen for a slot becomes used without a valid frequency.
    commit(CT_BankCh, CL_Mch_Select_ChNo, 6, "300", "11");
    EXPECT_TRUE(channel(300).used);
    EXPECT_EQ(channel(300).frequency, 1000000000U);
    EXPECT_TRUE(commit(CT_BankCh, CL_Mch_Select_ChNo, 6, "600", "11").refused);
}

TEST_F(CellLinkDispatchTest, FunctionMemoryDisplayStateAndSettingsBlocks) {
    cmcEeprom& image = images.current();
    image.setByte(0xA217 + 0xA5, 0x80); // F-1: dual watch, left band main
    EXPECT_EQ(show(CT_Func, CL_Disp_MainSub, 0), "Main(Dual)");
    EXPECT_EQ(show(CT_Func, CL_Disp_MainSub, 1), "");
    EXPECT_EQ(pick(CT_Func, CL_Disp_MainSub, 1, Flex0, 2), kResultChanged);
    EXPECT_EQ(image.getByte(0xA217 + 0xA5), 0x04);
    EXPECT_EQ(show(CT_Func, CL_Disp_MainSub, 1), "Single");
    EXPECT_EQ(show(CT_Func, CL_Disp_MainSub, 0), "");
    EXPECT_EQ(pick(CT_Func, CL_Disp_MainSub, 0, Flex0, 1), kResultNone);

    EXPECT_EQ(pick(CT_Func, CL_Disp_VMC, 2, Flex0, 4), kResultChanged);
    EXPECT_EQ(show(CT_Func, CL_Disp_VMC, 2), "VFO");
    // VMC_USA order: VFO, M, C0, C1, WX.
    EXPECT_EQ(key(CT_Func, CL_Disp_VMC, 2, ' '), kResultChanged);
    EXPECT_EQ(show(CT_Func, CL_Disp_VMC, 2), "M");
    key(CT_Func, CL_Disp_VMC, 2, ' ');
    EXPECT_EQ(show(CT_Func, CL_Disp_VMC, 2), "C0");
    key(CT_Func, CL_Disp_VMC, 2, 8);
    key(CT_Func, CL_Disp_VMC, 2, 8);
    EXPECT_EQ(show(CT_Func, CL_Disp_VMC, 2), "VFO");

    commit(CT_Func, CL_Mch_Freq, 3, "440.0");
    EXPECT_EQ(show(CT_Func, CL_Mch_Freq, 3), "440.000000");

    // A settings cell addresses the block of its sheet's variant.
    const std::uint8_t mainBeep = image.getByte(0xAA80 + 0x73);
    const std::uint8_t f2Beep = image.getByte(0xA42E + 0x73);
    EXPECT_EQ(key(kNoCategory, CL_Common_Beep, 0, ' ', "2"), kResultChanged);
    EXPECT_EQ(image.getByte(0xAA80 + 0x73), mainBeep);
    EXPECT_NE(image.getByte(0xA42E + 0x73), f2Beep);
}

TEST_F(CellLinkDispatchTest, ReceivedCallsAndGpsMemories) {
    cmcEeprom& image = images.current();
    for (int r = 0; r < 20; ++r) {
        image.setByte(imagemap::kReceivedCallOrder + r, 255);
    }
    const std::int32_t base = imagemap::kReceivedCalls + 42 * 3; // record 3 shows in row 0
    const char caller[] = "JA1XYZ  /P  JP1YIU AJP1YIU GCQCQCQ  ";
    for (int i = 0; i < 36; ++i) {
        image.setByte(base + i, static_cast<std::uint8_t>(caller[i]));
    }
    image.setByte(imagemap::kReceivedCallOrder + 3, 0);
    image.setByte(imagemap::kReceivedCallStatus + 3, 0x60);
    EXPECT_EQ(show(kNoCategory, CL_Received_Callsign_Caller, 0), "JA1XYZ");
    EXPECT_EQ(show(kNoCategory, CL_Received_Callsign_Caller2, 0), "/P");
    EXPECT_EQ(show(kNoCategory, CL_Received_Callsign_Called, 0), "CQCQCQ");
    EXPECT_EQ(show(kNoCategory, CL_Received_Callsign_RPT2, 0), "JP1YIU G");
    EXPECT_EQ(show(kNoCategory, CL_Received_Callsign_Status, 0), "RPT UP");
    EXPECT_EQ(show(kNoCategory, CL_Received_Callsign_BK, 0), "*");
    EXPECT_EQ(show(kNoCategory, CL_Received_Callsign_Caller, 1), "");
    EXPECT_EQ(key(kNoCategory, CL_Received_Callsign_Caller, 0, 13), kResultNone);

    commit(CT_Gps, CL_Gps_Name, 4, "Summit");
    EXPECT_EQ(show(CT_Gps, CL_Gps_Name, 4), "Summit");
    commit(CT_Gps, CL_Gps_Time, 4, "12:34:56");
    EXPECT_EQ(show(CT_Gps, CL_Gps_Time, 4), "12:34:56");
    EXPECT_TRUE(commit(CT_Gps, CL_Gps_Time, 4, "25:00:00").refused);
    commit(CT_Gps, CL_Gps_Date, 4, "07/04/2010");
    EXPECT_EQ(show(CT_Gps, CL_Gps_Date, 4), "07/04/2010");
    cmcCellObj date = cell(CT_Gps, CL_Gps_Date, 4);
    cmcCellObj masked = cell(kNoCategory, Flex0, 0);
    masked.text = "2011/08/09"; // the masked entry answers in year/month/day
    cmcCellCapsule entry;
    entry.cell = &date;
    entry.operation = kOpPick;
    entry.picked = &masked;
    EXPECT_EQ(dispatch->dispatch(entry), kResultChanged);
    EXPECT_EQ(show(CT_Gps, CL_Gps_Date, 4), "08/09/2011");
    EXPECT_EQ(pick(CT_Gps, CL_Gps_Bank_Group, 4, Flex0, 3), kResultChanged);
    EXPECT_EQ(show(CT_Gps, CL_Gps_Bank_Group, 4), "Bank-C");
}

} // namespace
} // namespace qx
