#include "sheet/sheet_script.h"

#include "catalogue_call_strings.h"
#include "headless_sheets.h"
#include "radio/cell_link_dispatch.h"
#include "radio/clone_information.h"
#include "radio/image_map.h"
#include "radio/image_set.h"
#include "radio/settings_table.h"
#include "sheet/gtex_lines.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/value_tables.h"
#include "text_blocks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace qx {
namespace {

using Outcome = cmcSheetScript::Outcome;

// The whole path of `qx5130-cli sheet` and `set`: a sheet of the built-in tables on a new
// document, the cell link dispatch and the value tables of the lists.
class SettingsSheetsTest : public ::testing::Test, protected test::HeadlessSheets {
protected:
    Outcome set(std::string_view callString, std::string_view link, std::int32_t index,
                std::string_view text) {
        auto sheet = createSheet(env, callString);
        sheet->show();
        return cmcSheetScript(*sheet, *dispatch, tables).enter(link, index, text);
    }
    std::vector<std::string> show(std::string_view callString) {
        auto sheet = createSheet(env, callString);
        sheet->show();
        return cmcSheetScript(*sheet, *dispatch, tables).lines();
    }
    // The value cell of the row whose caption is `caption` on a settings sheet.
    std::string settingShown(std::string_view callString, std::string_view caption,
                             std::size_t column = 1) {
        for (const std::string& line : show(callString)) {
            const auto cells = test::splitTabs(line);
            if (cells.size() > column && cells[0] == caption) {
                return cells[column];
            }
        }
        return "(no row " + std::string(caption) + ")";
    }
    std::uint8_t byte(std::int32_t address) const { return images.current().getByte(address); }
    // Fills the first `count` GPS memory slots as the editor keeps them.
    void useGpsMemories(int count) {
        for (int i = 0; i < count; ++i) {
            images.current().setByte(imagemap::kGpsSlotList + i, static_cast<std::uint8_t>(i));
        }
    }
};

constexpr std::int32_t kMain = kMainSettingsBase;
constexpr std::int32_t kF1 = kF1SettingsBase;

// One case per kind of setting cell: where the entry lands and what the cell shows after it.
TEST_F(SettingsSheetsTest, SetChangesEveryKindOfSettingCell) {
    const std::string common = "[St_Common]GI_Sheet_Common,0";
    const std::string band = "[St_Common]GI_Sheet_LR_Band,0";
    const std::string digital = "[St_Common]GI_Sheet_Digital,0";
    const struct Case {
        std::string call;
        const char* link;
        std::int32_t index;
        const char* text;
        std::int32_t address;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        // A byte with its list, in the main block and in function memory F-1's copy.
        {common, "CL_Common_ToT", 0, "15min", kMain + 0x12, {3}},
        {"[St_Common]GI_Sheet_Common,1", "CL_Common_ToT", 0, "5min", kF1 + 0x12, {2}},
        {common, "CL_Common_Backlight", 0, "-3", kMain + 0x68, {7}},
        {common, "CL_Common_Auto_RPT", 0, "RPT2", kMain + 0x17, {2}},
        // Per band: the right band is the next byte.
        {band, "CL_Common_ScanStop_Timer", 1, "P-2", kMain + 0x29, {3}},
        {band, "CL_Common_Scan_Edge", 0, "P4", kMain + 0xAF, {5}},
        {band, "CL_Common_Wx_Ch", 1, "7", kMain + 0xF4, {7}},
        // Bank links: every bank of the group at once, typed by its letters; bank b of the
        // left band at 0x2E + 2b, of the right band one further.
        {band, "CL_Common_BankLink_AJ", 0, "ACJ", kMain + 0x2E, {1}},
        {band, "CL_Common_BankLink_UZ", 1, "z", kMain + 0x2E + 2 * 25 + 1, {1}},
        // Typed values.
        {common, "CL_Common_UTC_Offset", 0, "-5:30", kMain + 0x12C, {0xFE, 0xB6}},
        {common, "CL_Common_POS_Area1", 0, "01'05", kMain + 0x12A, {1, 5}},
        {common, "CL_Common_Unproto_Address", 0, "API", kMain + 0x12E, {'A', 'P', 'I', 0xFF}},
        {common, "CL_Common_Other_Symbol", 0, "/>", kMain + 0x1B5, {'/', '>'}},
        {common, "CL_Common_CLONE_COMMENT", 0, "Club", imagemap::kCloneComment, {'C', 'l'}},
        // The five sentence bytes of a combination.
        {digital, "CL_Common_GPS_ControlMode", 0, "RMC, GGA", kMain + 0x79, {1, 1, 0, 0, 0}},
        {digital, "CL_Common_Auto_Reply", 0, "Voice", kMain + 0x1E, {2}},
        // Selection rows on the memory sheets.
        {"GI_Sheet_DTMF_Memory", "CL_Common_DTMF_CH_NO", 7, "S", kMain + 0x11D, {7}},
        {"GI_Sheet_PGR_Memory", "CL_PGR_Memory_Ch_No", 4, "S", kMain + 0x66, {4}},
        {"GI_Sheet_Message", "CL_Tx_Message_Ch_No", 2, "S", kMain + 0x11F, {2}},
        {"GI_Sheet_My_Callsign", "CL_My_Callsign_Sel", 5, "S", kMain + 0x11E, {5}},
        {"GI_Sheet_Message", "CL_Tx_Message_Repeat", 0, "ON", kMain + 0x120, {1}},
        {common, "CL_Common_Gps_Alarm", 0, "Bank-C", kMain + 0x128, {5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.link) + " " + c.text);
        ASSERT_EQ(set(c.call, c.link, c.index, c.text), Outcome::Changed);
        for (std::size_t i = 0; i < c.bytes.size(); ++i) {
            EXPECT_EQ(byte(c.address + static_cast<std::int32_t>(i)), c.bytes[i]) << i;
        }
    }
    for (const int bank : {1, 3, 4, 5, 6, 7, 8}) {
        EXPECT_EQ(byte(kMain + 0x2E + 2 * bank), 0) << bank;
    }
    EXPECT_EQ(byte(kMain + 0x2E + 2 * 2), 1);
    EXPECT_EQ(byte(kMain + 0x2E + 2 * 9), 1);
    EXPECT_EQ(byte(kMain + 0x2E + 2 * 24 + 1), 0);

    // Bit fields keep the other bits of their byte.
    const std::uint8_t leftPower = byte(kMain + 0xA7);
    images.current().setByte(kMain + 0xA8, 0xF2); // high, with other bits set
    ASSERT_EQ(set(band, "CL_Common_RF_Power", 1, "Low"), Outcome::Changed);
    EXPECT_EQ(byte(kMain + 0xA8), 0xF0);
    EXPECT_EQ(byte(kMain + 0xA7), leftPower);
    const std::uint8_t display = byte(kMain + 0xA5);
    ASSERT_EQ(set(common, "CL_Common_GPS_DT", 0, (display & 0x08) ? "OFF" : "ON"),
              Outcome::Changed);
    EXPECT_EQ(byte(kMain + 0xA5), display ^ 0x08);
    const std::uint8_t skip = byte(kMain + 0x107);
    ASSERT_EQ(set("GI_Sheet_PGR_Memory", "CL_PGR_Memory_Skip", 3, (skip & 4) ? "OFF" : "Skip"),
              Outcome::Changed);
    EXPECT_EQ(byte(kMain + 0x107), skip ^ 0x04);

    // What the cells show afterwards.
    EXPECT_EQ(settingShown(common, "Time-Out Timer"), "15min");
    EXPECT_EQ(settingShown(common, "UTC Offset"), "-5:30");
    EXPECT_EQ(settingShown(digital, "GPS Sentence"), "RMC, GGA");
    EXPECT_EQ(settingShown(band, "Bank Link A-J"), "A-C------J");
    EXPECT_EQ(settingShown(band, "Bank Link U-Z", 2), "-----Z");
    EXPECT_EQ(settingShown(band, "Scan Stop Timer", 2), "P-2");
    const auto dtmf = show("GI_Sheet_DTMF_Memory");
    int marked = 0;
    for (const std::string& line : dtmf) {
        marked += test::splitTabs(line).size() > 1 && test::splitTabs(line)[1] == "S" ? 1 : 0;
    }
    EXPECT_EQ(marked, 1); // choosing row 7 took the mark from the row that had it
    EXPECT_EQ(test::splitTabs(dtmf[8])[0], "d7"); // after the header
    EXPECT_EQ(test::splitTabs(dtmf[8])[1], "S");
}

TEST_F(SettingsSheetsTest, RefusedEntriesChangeNothing) {
    const std::string common = "[St_Common]GI_Sheet_Common,0";
    const cmcEeprom before = images.current();
    const struct {
        std::string call;
        const char* link;
        std::int32_t index;
        const char* text;
        Outcome outcome;
    } cases[] = {
        {common, "CL_Common_UTC_Offset", 0, "13:00", Outcome::Refused},
        {common, "CL_Common_POS_Area1", 0, "00'61", Outcome::Refused},
        {common, "CL_Common_Other_Symbol", 0, "x", Outcome::NotEditable},
        {common, "CL_Common_Other_Symbol", 0, "/", Outcome::Refused},
        {common, "CL_Common_ToT", 0, "7min", Outcome::UnknownLabel},
        {"[St_Common]GI_Sheet_Digital,0", "CL_Common_GPS_ControlMode", 0, "RMC, GGA, GLL, VTG",
         Outcome::Refused},
        {"[St_Common]GI_Sheet_Digital,0", "CL_Common_GPS_ControlMode", 0, "NMEA", Outcome::Refused},
        {"[St_Common]GI_Sheet_LR_Band,0", "CL_Common_BankLink_KT", 0, "AB", Outcome::Refused},
        // A memory alarm needs a memory; the channel cell follows only a memory alarm.
        {common, "CL_Common_Gps_Alarm", 0, "CH", Outcome::UnknownLabel},
        {common, "CL_Common_Alarm_CH", 0, "3", Outcome::NotEditable},
        // Function memories carry no GPS alarm: the row is not on their sheets.
        {"[St_Common]GI_Sheet_Common,2", "CL_Common_Gps_Alarm", 0, "ALL", Outcome::NoCell},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.link) + " " + c.text);
        EXPECT_EQ(set(c.call, c.link, c.index, c.text), c.outcome);
    }
    EXPECT_TRUE(images.current().equals(before));
}

TEST_F(SettingsSheetsTest, GpsAlarmFollowsItsMemory) {
    const std::string common = "[St_Common]GI_Sheet_Common,0";
    const std::string gps = "[St_ChGps]GI_Sheet_GPS_Memory,35";
    useGpsMemories(3);
    EXPECT_EQ(settingShown(common, "GPS Alarm CH"), "--");
    ASSERT_EQ(set(common, "CL_Common_Gps_Alarm", 0, "CH"), Outcome::Changed);
    EXPECT_EQ(byte(kMain + 0x128), 29);
    ASSERT_EQ(set(common, "CL_Common_Alarm_CH", 0, "2"), Outcome::Changed);
    EXPECT_EQ(byte(kMain + 0x128), 31);
    EXPECT_EQ(set(common, "CL_Common_Alarm_CH", 0, "3"), Outcome::Refused); // no memory 3
    EXPECT_EQ(settingShown(common, "GPS Alarm"), "CH");
    EXPECT_EQ(settingShown(common, "GPS Alarm CH"), "2");
    // Picking CH again keeps the memory.
    EXPECT_EQ(set(common, "CL_Common_Gps_Alarm", 0, "CH"), Outcome::Unchanged);

    // The GPS memory rows: only the alarm's own memory says so.
    auto rows = show(gps);
    ASSERT_EQ(rows.size(), 5u); // header, three memories, the empty row
    EXPECT_EQ(test::splitTabs(rows[1]).back(), "");
    EXPECT_EQ(test::splitTabs(rows[3]).back(), "This CH");
    ASSERT_EQ(set(gps, "CL_Gps_Alarm", 0, "This CH"), Outcome::Changed);
    EXPECT_EQ(byte(kMain + 0x128), 29);
    ASSERT_EQ(set(gps, "CL_Gps_Alarm", 1, "ALL"), Outcome::Changed);
    EXPECT_EQ(byte(kMain + 0x128), 2);
    rows = show(gps);
    EXPECT_EQ(test::splitTabs(rows[1]).back(), "ALL");
    EXPECT_EQ(settingShown(common, "GPS Alarm CH"), "--");

    // Without usable DV the RX entry is gone, and a stored RX still says what it is.
    setDestination(0, true, true);
    useGpsMemories(3);
    EXPECT_EQ(set(common, "CL_Common_Gps_Alarm", 0, "RX"), Outcome::UnknownLabel);
    images.current().setByte(kMain + 0x128, 1);
    EXPECT_EQ(settingShown(common, "GPS Alarm"), "RX");
}

TEST_F(SettingsSheetsTest, GrayRulesOfTheAprsTextsAndBankLinks) {
    auto sheet = createSheet(env, "[St_Common]GI_Sheet_Common,0");
    sheet->show();
    const auto color = [&](CellLinkId link, std::int32_t index = 0) {
        const auto found = sheet->findCell(kNoCategoryId, link, index);
        EXPECT_TRUE(found.has_value()) << cellLinkName(link);
        cmcCellCapsule request;
        request.cell = &sheet->cell(found->first, found->second);
        request.arguments = sheet->arguments();
        request.drawing = true;
        dispatch->dispatch(request);
        return request.textColor;
    };
    images.current().setByte(kMain + 0x88, 0); // data extension OFF
    images.current().setByte(kMain + 0x8A, 3); // symbol: not Other
    EXPECT_EQ(color(CL_Common_APRS_Comment1), 0u);
    EXPECT_EQ(color(CL_Common_APRS_Comment2), 0xC0C0C0u);
    EXPECT_EQ(color(CL_Common_Other_Symbol), 0xC0C0C0u);
    images.current().setByte(kMain + 0x88, 1);
    images.current().setByte(kMain + 0x8A, 15);
    EXPECT_EQ(color(CL_Common_APRS_Comment1), 0xC0C0C0u);
    EXPECT_EQ(color(CL_Common_APRS_Comment2), 0u);
    EXPECT_EQ(color(CL_Common_Other_Symbol), 0u);

    sheet = createSheet(env, "[St_Common]GI_Sheet_LR_Band,0");
    sheet->show();
    images.current().setByte(kMain + 0x2C, 1); // bank link scan on, left band only
    images.current().setByte(kMain + 0x2D, 0);
    EXPECT_EQ(color(CL_Common_BankLink_KT, 0), 0u);
    EXPECT_EQ(color(CL_Common_BankLink_KT, 1), 0xC0C0C0u);
}

TEST_F(SettingsSheetsTest, OtherMemoriesTakeTheirEntries) {
    useGpsMemories(2);
    const std::string gps = "[St_ChGps]GI_Sheet_GPS_Memory,35";
    const struct {
        std::string call;
        const char* link;
        std::int32_t index;
        const char* text;
    } cases[] = {
        {gps, "CL_Gps_Name", 1, "Summit"},
        {gps, "CL_Gps_Date", 1, "07/14/2012"},
        {gps, "CL_Gps_Time", 1, "13:05:09"},
        {gps, "CL_Gps_Latitude", 1, "35 39 29 N"},
        {gps, "CL_Gps_Longitude", 1, "139 44 28 E"},
        {gps, "CL_Gps_Bank_Group", 1, "Bank-C"},
        {"GI_Sheet_GPS_BankName", "CL_Gps_Bank_Name", 2, "Hills"},
        {"GI_Sheet_DTMF_Memory", "CL_DTMF_Memory_Code", 3, "12*#"},
        {"GI_Sheet_PGR_Memory", "CL_PGR_Memory_Code", 1, "123"},
        {"GI_Sheet_Message", "CL_Tx_Message_Code", 4, "Hello"},
        {"GI_Sheet_My_Callsign", "CL_My_Callsign_Code", 0, "ja1abc"},
        {"GI_Sheet_My_Callsign", "CL_My_Callsign2_Code", 0, "5130"},
        {"GI_Sheet_You_Callsign", "CL_You_Callsign_Code", 45, "w1aw"},
        {"GI_Sheet_Repeater_Callsign", "CL_Repeater_Callsign_Code", 31, "JP1YIU A"},
        {"GI_Sheet_Repeater_Callsign", "CL_Repeater_Gateway", 31, "Yes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.link) + " " + c.text);
        EXPECT_EQ(set(c.call, c.link, c.index, c.text), Outcome::Changed);
    }
    const std::uint8_t* gps1 = images.current().data() + imagemap::kGpsMemories + 24;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(gps1 + 15), 8), "Summit  ");
    EXPECT_EQ(gps1[9], 0x14); // day, month, year as BCD
    EXPECT_EQ(gps1[10], 0x07);
    EXPECT_EQ(gps1[11], 0x12);
    EXPECT_EQ(gps1[23], 3);
    EXPECT_EQ(byte(imagemap::kRepeaterCallSigns + 8 * 31 + 7), 'G');

    const auto rows = show(gps);
    ASSERT_EQ(rows.size(), 4u); // header, two memories, the empty row after them
    EXPECT_EQ(rows[3], "\t\t\t\t\t\t\t");
    const auto memory = test::splitTabs(rows[2]);
    ASSERT_EQ(memory.size(), 8u);
    EXPECT_EQ(memory[0], "1");
    EXPECT_EQ(memory[1], "Summit");
    EXPECT_EQ(memory[2], "07/14/2012");
    EXPECT_EQ(memory[3], "13:05:09");
    EXPECT_EQ(memory[6], "Bank-C");
    // The bank sheet of C shows that memory alone.
    const auto bank = show("[St_ChGps]GI_Sheet_GPS_BankCH,38");
    ASSERT_EQ(bank.size(), 3u);
    EXPECT_EQ(test::splitTabs(bank[1])[1], "Summit");

    const auto repeaters = show("GI_Sheet_Repeater_Callsign");
    // Row of R02 (left) and R32 (right).
    const auto pair = test::splitTabs(repeaters[2]);
    ASSERT_EQ(pair.size(), 6u);
    EXPECT_EQ(pair[3], "R32");
    EXPECT_EQ(pair[4], "JP1YIU G");
    EXPECT_EQ(pair[5], "Yes");
    EXPECT_EQ(pair[2], ""); // an empty memory has no gateway mark
}

TEST_F(SettingsSheetsTest, ReceivedCallsAndCloneInformationAreShownOnly) {
    cmcEeprom& image = images.current();
    const std::string record = "JA1ABC  MOBLJP1YIU AJP1YIU GCQCQCQ  ";
    image.writeBlock(imagemap::kReceivedCalls + 42 * 4,
                     reinterpret_cast<const std::uint8_t*>(record.data()),
                     static_cast<std::int32_t>(record.size()));
    const std::uint8_t when[] = {0x09, 0x12, 0x26, 0x22, 0x05, 0x30};
    image.writeBlock(imagemap::kReceivedCalls + 42 * 4 + 36, when, 6);
    for (int r = 0; r < 20; ++r) {
        image.setByte(imagemap::kReceivedCallOrder + r, 0xFF);
    }
    image.setByte(imagemap::kReceivedCallOrder + 4, 0); // record 4 is the newest row
    image.setByte(imagemap::kReceivedCallStatus + 4, 0x40 | 0x20);
    const auto rows = show("GI_Sheet_Received_Callsign");
    ASSERT_EQ(rows.size(), 21u);
    EXPECT_EQ(rows[1],
              "1\tJA1ABC\tMOBL\tCQCQCQ\tJP1YIU A\tJP1YIU G\tRPT UP\t12/09/2026 22:05:30\t*\t");
    EXPECT_EQ(rows[2], "2\t\t\t\t\t\t\t\t\t");
    EXPECT_EQ(set("GI_Sheet_Received_Callsign", "CL_Received_Callsign_Caller", 0, "X"),
              Outcome::NotEditable);

    const std::uint8_t reply[29] = {'M', 'y', ' ', 'r', 'i', 'g', ' ', ' ', ' ', ' ', ' ',
                                    ' ', ' ', ' ', ' ', ' ', 13,  1,   0,   4,   0x05};
    ASSERT_TRUE(information.assign(reply));
    EXPECT_FALSE(information.assign(std::span<const std::uint8_t>(reply, 28)));
    const auto info = show("GI_Sheet_CloneInfo");
    const std::vector<std::string> expected = {
        "Clone Information\t",     "Comment :\tMy rig",
        "Destination :\tJPN_1101", "Rx Expansion :\tExpansion",
        "FCC :\tNormal",           "Digital Unit :\tNormal",
        "DV :\tInhibit",           "Pager :\tInhibit"};
    EXPECT_EQ(info, expected);
    const FeatureFlags flags = information.features();
    EXPECT_TRUE(flags.rxExpansion && flags.digitalUnit && flags.dvInhibit && flags.pagerInhibit);
    EXPECT_FALSE(flags.fccInhibit);
}

// Every sheet of the catalogue, printed for every destination and transceiver variant on a
// new document, has no cell that shows "error" (a value no list entry has) or a link without
// a binding.
TEST_F(SettingsSheetsTest, NoSheetShowsAnErrorCellOnANewDocument) {
    const std::vector<std::string> calls = test::catalogueCallStrings();
    const struct {
        bool digitalUnit, dvInhibit, pagerInhibit;
    } variants[] = {{true, false, false}, {false, false, true}, {true, true, false}};
    for (int destination = 0; destination <= 16; ++destination) {
        // The bank lists hold nothing that depends on the destination: a few suffice.
        const bool everySheet = destination == 0 || destination == 13;
        for (const auto& v : variants) {
            setDestination(destination, v.digitalUnit, v.dvInhibit, v.pagerInhibit);
            for (const std::string& call : calls) {
                if (!everySheet && (call.find("BankCH,") != std::string::npos) &&
                    call.find(",9") == std::string::npos && call.find(",36") == std::string::npos) {
                    continue;
                }
                for (const std::string& line : show(call)) {
                    for (const std::string& cell : test::splitTabs(line)) {
                        EXPECT_TRUE(cell != "error" && cell.find("*Yet*") == std::string::npos)
                            << call << " destination " << destination << ": " << line;
                    }
                }
            }
        }
    }
}

} // namespace
} // namespace qx
