#include "sheet/gtex_lines.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/sheet_kinds.h"
#include "sheet/value_tables.h"

#include "catalogue_call_strings.h"
#include "radio/cell_link_names.h"
#include "radio/image_set.h"
#include "radio/settings_table.h"
#include "text_blocks.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace qx {
namespace {

struct Table {
    const TextSource* source;
    bool shiftJis;
};

const char* const kSelectionLists[] = {
    "GI_Sheet_Sel_Disp_Main",
    "GI_Sheet_Sel_Disp_VMC_USA",
    "GI_Sheet_Sel_Disp_VMC",
    "GI_Sheet_Sel_Mch_Dup",
    "GI_Sheet_Sel_Mch_TS_Pitch_Exp",
    "GI_Sheet_Sel_Mch_Mode_Exp",
    "GI_Sheet_Sel_Mch_Mode_Exp_NoDV",
    "GI_Sheet_Sel_Mch_Scan_Skip",
    "GI_Sheet_Sel_Mch_TSQL",
    "GI_Sheet_Sel_Mch_TFreq",
    "GI_Sheet_Sel_Mch_DTCS",
    "GI_Sheet_Sel_Mch_DTCS_Polarity",
    "GI_Sheet_Sel_Mch_TSQL_C",
    "GI_Sheet_Sel_Mch_DSQL",
    "GI_Sheet_Sel_Mch_DYou_Callsign",
    "GI_Sheet_Sel_Mch_DRpt_Callsign",
    "GI_Sheet_Sel_Mch_Bank_Group",
    "GI_Sheet_Sel_GPS_Alarm",
    "GI_Sheet_Sel_GPS_Alarm_NoDV",
    "GI_Sheet_Sel_Mch_GpsBank_Group",
    "GI_Sheet_Sel_DTMF_CH_NO_Sel",
    "GI_Sheet_Sel_DTMF_SPEED",
    "GI_Sheet_Sel_PGR_Memory_Ch_No_Sel",
    "GI_Sheet_Sel_PGR_Memory_Skip",
    "GI_Sheet_Sel_Tx_Message_Ch_No_Sel",
    "GI_Sheet_Sel_Common_TOT",
    "GI_Sheet_Sel_Common_Auto_Power_OFF",
    "GI_Sheet_Sel_Common_USA_Auto_RPT",
    "GI_Sheet_Sel_Common_Fan_Control",
    "GI_Sheet_Sel_Common_SQL_Delay",
    "GI_Sheet_Sel_Common_Mic_Level",
    "GI_Sheet_Sel_Common_Packet_Bps",
    "GI_Sheet_Sel_Common_Packet_Band",
    "GI_Sheet_Sel_Common_GPS_Speed",
    "GI_Sheet_Sel_Common_Linear_Measure",
    "GI_Sheet_Sel_Common_Compass",
    "GI_Sheet_Sel_Common_POS_Area2",
    "GI_Sheet_Sel_Common_Data_Extension",
    "GI_Sheet_Sel_Common_Time_Stamp",
    "GI_Sheet_Sel_Common_APRS_Symbol",
    "GI_Sheet_Sel_Common_Backlight",
    "GI_Sheet_Sel_Common_Dimmer",
    "GI_Sheet_Sel_Misc_Auto_Dimmer",
    "GI_Sheet_Sel_Common_Contrast",
    "GI_Sheet_Sel_Common_Language",
    "GI_Sheet_Sel_Common_Beep_Level",
    "GI_Sheet_Sel_Common_Mic_Up_Function",
    "GI_Sheet_Sel_Common_Mic_Down_Function",
    "GI_Sheet_Sel_Common_Gps_Alarm",
    "GI_Sheet_Sel_Common_Gps_Alarm_NoDV",
    "GI_Sheet_Sel_Common_Gps_Alarm_NoCH",
    "GI_Sheet_Sel_Common_Gps_Alarm_NoDV_NoCH",
    "GI_Sheet_Sel_Common_GPS_Datum",
    "GI_Sheet_Sel_Common_Scan_Edge",
    "GI_Sheet_Sel_Common_ScanStop_Timer",
    "GI_Sheet_Sel_Common_RF_Power",
    "GI_Sheet_Sel_Common_PGR_CSQL",
    "GI_Sheet_Sel_Common_AutoReply",
    "GI_Sheet_Sel_Common_DvDataTX",
    "GI_Sheet_Sel_Common_DigiMoni",
    "GI_Sheet_Sel_Common_GpsTX",
    "GI_Sheet_Sel_Common_GpsAutoTX",
    "GI_Sheet_Sel_Common_CSEditHistory",
    "GI_Sheet_Sel_Common_TXCallDisp",
    "GI_Sheet_Sel_Misc_OnOff",
    "GI_Sheet_Sel_Misc_OnOff_I",
    "GI_Sheet_Sel_Misc_OnOff2",
    "GI_Sheet_Sel_Misc_OnOff2_I",
    "GI_Sheet_Sel_Misc_YesNo",
    "GI_Sheet_Sel_Misc_YesNo2",
    "GI_Sheet_Sel_Misc_YesNo2_I",
    "GI_Sheet_Sel_Misc_Enable",
    "GI_Sheet_Sel_Misc_Enable_I",
    "GI_Sheet_Sel_Misc_AutoOff",
};

class CatalogueSheetsTest : public ::testing::TestWithParam<Table> {
protected:
    CatalogueSheetsTest() {
        table.attachSource(*GetParam().source);
        env.text = &lines;
        env.metrics = &metrics;
        env.shiftJis = GetParam().shiftJis;
        env.image = &images.current();
    }
    cmcGTex table;
    GTexLines lines{table};
    test::FixedMetrics metrics;
    ImageSet images;
    SheetEnvironment env;
};

// Every sheet of the catalogue builds for every destination and every variant of the
// transceiver, with a new document's data, and keeps at least its header. Only the settings
// sheets and the channel columns depend on the destination; the rest is built for a few.
TEST_P(CatalogueSheetsTest, EverySheetBuildsForEveryDestination) {
    const struct {
        bool digitalUnit, dvInhibit, pagerInhibit;
    } variants[] = {{true, false, false}, {false, false, true}, {true, true, false}};
    for (int destination = 0; destination <= 16; ++destination) {
        images.setDestination(destination);
        env.destination = destination;
        const bool everySheet = destination == 0 || destination == 10 || destination == 13;
        for (const auto& v : variants) {
            env.digitalUnit = v.digitalUnit;
            env.dvInhibit = v.dvInhibit;
            env.pagerInhibit = v.pagerInhibit;
            for (const std::string& call : test::catalogueCallStrings()) {
                if (!everySheet && call.rfind("[St_Common]", 0) != 0) {
                    continue;
                }
                SCOPED_TRACE(call + " destination " + std::to_string(destination));
                auto sheet = createSheet(env, call);
                sheet->show();
                EXPECT_GT(sheet->rowCount(), 1);
                EXPECT_GT(sheet->columnCount(), 1);
            }
        }
    }
}

// The settings sheets show every settings link somewhere: the regional rows on their regions,
// the function memory copies only what a function memory carries.
TEST_P(CatalogueSheetsTest, SettingsSheetsBindEverySetting) {
    env.digitalUnit = true;
    const auto linksOf = [this](int destination, int variant) {
        env.destination = destination;
        std::set<std::int32_t> links;
        for (const char* key : {"GI_Sheet_Common", "GI_Sheet_LR_Band", "GI_Sheet_Digital",
                                "GI_Sheet_DTMF_Memory", "GI_Sheet_PGR_Memory", "GI_Sheet_Message",
                                "GI_Sheet_My_Callsign", "GI_Sheet_GPS_Memory"}) {
            const std::string call =
                std::string("[St_Common]") + key + "," + std::to_string(variant);
            auto sheet = createSheet(env, call);
            sheet->show();
            for (int r = 0; r < sheet->rowCount(); ++r) {
                for (int c = 0; c < sheet->columnCount(); ++c) {
                    links.insert(sheet->cell(c, r).link);
                }
            }
        }
        return links;
    };
    const std::set<std::int32_t> usa = linksOf(0, 0);
    const std::set<std::int32_t> japan = linksOf(13, 0);
    for (const SettingEntry& entry : settingsTable()) {
        EXPECT_TRUE(usa.contains(entry.linkId) || japan.contains(entry.linkId)) << entry.linkName();
    }
    for (std::int32_t id = CL_Common_ToT; id <= CL_Common_Standby_Beep; ++id) {
        EXPECT_TRUE(usa.contains(id) || japan.contains(id)) << cellLinkName(id);
    }
    EXPECT_TRUE(usa.contains(CL_Common_Wx_Ch));
    EXPECT_FALSE(japan.contains(CL_Common_Wx_Ch));
    EXPECT_TRUE(japan.contains(CL_Common_Language));
    EXPECT_FALSE(linksOf(2, 0).contains(CL_Common_Auto_RPT));

    // Function memories carry neither the microphone keys nor the GPS alarm.
    const std::set<std::int32_t> f1 = linksOf(0, 1);
    EXPECT_FALSE(f1.contains(CL_Common_Mic_Up));
    EXPECT_FALSE(f1.contains(CL_Common_Gps_Alarm));
    EXPECT_FALSE(f1.contains(CL_Common_CLONE_COMMENT));
    EXPECT_TRUE(f1.contains(CL_Common_ToT));
}

TEST_P(CatalogueSheetsTest, EverySelectionListOpensOnAnItem) {
    env.digitalUnit = true;
    std::set<std::string> keys;
    for (const char* key : kSelectionLists) {
        keys.insert(key);
        cuiSheet list(env, key);
        list.setPopupMode(true);
        list.show();
        EXPECT_TRUE(list.currentCell().selectable) << key;
    }
    EXPECT_EQ(keys.size(), 74u);

    cmcValueTables tables(lines, GetParam().shiftJis);
    // The GPS alarm lists: every bank, the memory entry only where there are memories.
    EXPECT_EQ(tables.items("GI_Sheet_Sel_Common_Gps_Alarm", Flex0).size(), 30u);
    EXPECT_EQ(tables.items("GI_Sheet_Sel_Common_Gps_Alarm_NoDV_NoCH", Flex0).size(), 28u);
    EXPECT_EQ(tables.valueText("GI_Sheet_Sel_Common_Gps_Alarm", Flex0, 28), "Bank-Z");
    EXPECT_EQ(tables.valueText("GI_Sheet_Sel_GPS_Alarm", Flex0, 29), "This CH");
    EXPECT_FALSE(tables.valueText("GI_Sheet_Sel_GPS_Alarm_NoDV", Flex0, 1));
    EXPECT_EQ(tables.valueText("GI_Sheet_Sel_Common_Backlight", Flex0, 0), "-10");
    EXPECT_EQ(tables.valueText("GI_Sheet_Sel_Common_Backlight", Flex0, 20), "+10");
    EXPECT_EQ(tables.valueText("GI_Sheet_Sel_Common_GPS_Datum", Flex0, 0), "0.WGS84");
    EXPECT_EQ(tables.valueText("GI_Sheet_Sel_DTMF_CH_NO_Sel", Flex0, 1), "S");
    EXPECT_EQ(tables.valueText("GI_Sheet_Sel_DTMF_CH_NO_Sel", Flex0, 0), "");
}

INSTANTIATE_TEST_SUITE_P(Tables, CatalogueSheetsTest,
                         ::testing::Values(Table{&kTextTable_en, false},
                                           Table{&kTextTable_ja, true}));

} // namespace
} // namespace qx
