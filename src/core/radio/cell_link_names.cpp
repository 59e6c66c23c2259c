#include "radio/cell_link_names.h"

#include "base/fatal_defect.h"
#include "base/hash.h"

#include <array>
#include <string>

namespace qx {

namespace {

constexpr std::array<const char*, kCellCategoryCount> kCategoryNames = {
    "CT_Null", "CT_PopupMenu", "CT_Conv", "CT_BankCh", "CT_Func", "CT_Gps",
};

constexpr std::array<const char*, kCellLinkCount> kLinkNames = {
    "CL_Null",
    "Flex0",
    "FlexSpace",
    "FlexKeyOpt",
    "CL_FlexMarking",
    "CL_Menu_File_New",
    "CL_Menu_File_Open",
    "CL_Menu_File_Save",
    "CL_Menu_File_SaveAs",
    "CL_Menu_File_Export",
    "CL_Menu_File_Print_Current",
    "CL_Menu_File_Print_All",
    "CL_Menu_File_Recent",
    "CL_Menu_File_Exit",
    "CL_Menu_Edit_Top",
    "CL_Menu_View_FontSize",
    "CL_Menu_View_ToolBar",
    "CL_Menu_Port_Com",
    "CL_Menu_Port_Usb",
    "CL_Menu_Com_Speed",
    "CL_Menu_Clone_Read",
    "CL_Menu_Clone_Write",
    "CL_Menu_Clone_Info",
    "CL_Menu_Clone_Adj",
    "CL_Help_About",
    "CL_Help_Contents",
    "CL_Menu_Debug_Compare",
    "CL_Menu_Debug_CorrectComp",
    "CL_Menu_Debug_CautionCorrectComp",
    "CL_Menu_Debug_CorrectGps",
    "CL_Menu_Debug_Window",
    "CL_Menu_Debug_EeWindow",
    "CL_EeDebugWin_Adr",
    "CL_EeDebugWin_0",
    "CL_EeDebugWin_1",
    "CL_EeDebugWin_2",
    "CL_EeDebugWin_3",
    "CL_EeDebugWin_4",
    "CL_EeDebugWin_5",
    "CL_EeDebugWin_6",
    "CL_EeDebugWin_7",
    "CL_EeDebugWin_8",
    "CL_EeDebugWin_9",
    "CL_EeDebugWin_A",
    "CL_EeDebugWin_B",
    "CL_EeDebugWin_C",
    "CL_EeDebugWin_D",
    "CL_EeDebugWin_E",
    "CL_EeDebugWin_F",
    "CallSheet",
    "CL_Check_MemoryCH0",
    "CL_Check_MemoryCH1",
    "CL_Check_MemoryCH2",
    "CL_Check_MemoryCH3",
    "CL_Check_MemoryCH4",
    "CL_Check_MemoryCHS",
    "CL_Check_MemoryCHC",
    "CL_Check_Func1CH",
    "CL_Check_Func2CH",
    "CL_Check_BankCHA",
    "CL_Check_BankCHB",
    "CL_Check_BankCHC",
    "CL_Check_BankCHD",
    "CL_Check_BankCHE",
    "CL_Check_BankCHF",
    "CL_Check_BankCHG",
    "CL_Check_BankCHH",
    "CL_Check_BankCHI",
    "CL_Check_BankCHJ",
    "CL_Check_BankCHK",
    "CL_Check_BankCHL",
    "CL_Check_BankCHM",
    "CL_Check_BankCHN",
    "CL_Check_BankCHO",
    "CL_Check_BankCHP",
    "CL_Check_BankCHQ",
    "CL_Check_BankCHR",
    "CL_Check_BankCHS",
    "CL_Check_BankCHT",
    "CL_Check_BankCHU",
    "CL_Check_BankCHV",
    "CL_Check_BankCHW",
    "CL_Check_BankCHX",
    "CL_Check_BankCHY",
    "CL_Check_BankCHZ",
    "CL_Check_GpsMemory",
    "CL_Check_GpsBankCHA",
    "CL_Check_GpsBankCHB",
    "CL_Check_GpsBankCHC",
    "CL_Check_GpsBankCHD",
    "CL_Check_GpsBankCHE",
    "CL_Check_GpsBankCHF",
    "CL_Check_GpsBankCHG",
    "CL_Check_GpsBankCHH",
    "CL_Check_GpsBankCHI",
    "CL_Check_GpsBankCHJ",
    "CL_Check_GpsBankCHK",
    "CL_Check_GpsBankCHL",
    "CL_Check_GpsBankCHM",
    "CL_Check_GpsBankCHN",
    "CL_Check_GpsBankCHO",
    "CL_Check_GpsBankCHP",
    "CL_Check_GpsBankCHQ",
    "CL_Check_GpsBankCHR",
    "CL_Check_GpsBankCHS",
    "CL_Check_GpsBankCHT",
    "CL_Check_GpsBankCHU",
    "CL_Check_GpsBankCHV",
    "CL_Check_GpsBankCHW",
    "CL_Check_GpsBankCHX",
    "CL_Check_GpsBankCHY",
    "CL_Check_GpsBankCHZ",
    "CL_Check_Common",
    "CL_CloneInfo_Comment",
    "CL_CloneInfo_Destination",
    "CL_CloneInfo_Rx_Expansion",
    "CL_CloneInfo_FccInh",
    "CL_CloneInfo_DigitalU",
    "CL_CloneInfo_DvInh",
    "CL_CloneInfo_Pgr",
    "CL_Debug_Info_Rx_Expansion",
    "CL_Debug_Info_FccInh",
    "CL_Debug_Info_Destination",
    "CL_Debug_Info_DigitalU",
    "CL_Debug_Info_DvInh",
    "CL_Debug_Info_Pgr",
    "CL_Debug_Language",
    "CL_Debug_KTV_LOAD",
    "CL_PMenu_NoItem",
    "CL_PMenu_Edit",
    "CL_PMenu_Copy",
    "CL_PMenu_Paste",
    "CL_PMenu_CarryUp",
    "CL_PMenu_CarryDown",
    "CL_PMenu_Clear",
    "CL_PMenu_Delete",
    "CL_PMenu_Insert",
    "CL_PMenu_Help",
    "CL_PMenu_RcvDelete",
    "CL_FBits",
    "CL_Misc_ChNo_0Base",
    "CL_Misc_ChNo_1Base",
    "CL_Misc_QuarterPillar",
    "CL_Misc_QuarterPillarSpecial",
    "CL_Mch_No",
    "CL_Mch_CH_Atr",
    "CL_Mch_CH_Inh",
    "CL_Scan_Name",
    "CL_Bank_Name",
    "CL_Mch_Select_ChNo",
    "CL_Mch_Freq",
    "CL_Mch_Dup",
    "CL_Mch_Offset_Freq",
    "CL_Mch_Name",
    "CL_Mch_TS_Pitch",
    "CL_Mch_Decode",
    "CL_Mch_Decode_RX",
    "CL_Mch_TONE_Freq",
    "CL_Mch_TSQL_Freq",
    "CL_Mch_DTCS",
    "CL_Mch_DTCS_Polarity",
    "CL_Mch_Air_Freq",
    "CL_Mch_Digital_Sql",
    "CL_Mch_Digital_Code",
    "CL_Mch_DYou_Callsign",
    "CL_Mch_DRpt1_Callsign",
    "CL_Mch_DRpt2_Callsign",
    "CL_Mch_Bank_Group",
    "CL_Mch_Bank_ChNo",
    "CL_Mch_Mode",
    "CL_Mch_Scan_Skip",
    "CL_Disp_MainSub",
    "CL_Disp_VMC",
    "CL_Disp_ChNo",
    "CL_DTMF_ChNo",
    "CL_DTMF_Memory_Code",
    "CL_Common_DTMF_CH_NO",
    "CL_Common_DTMF_SPEED",
    "CL_PGR_Memory_ChNo",
    "CL_PGR_Memory_Ch_No",
    "CL_PGR_Memory_Code",
    "CL_PGR_Memory_Skip",
    "CL_Gps_ChNo",
    "CL_Gps_Name",
    "CL_Gps_Date",
    "CL_Gps_Time",
    "CL_Gps_Latitude",
    "CL_Gps_Longitude",
    "CL_Gps_Bank_Group",
    "CL_Gps_Alarm",
    "CL_Gps_Bank_Name",
    "CL_Tx_Message_ChNo",
    "CL_Tx_Message_Code",
    "CL_Tx_Message_Ch_No",
    "CL_Tx_Message_Repeat",
    "CL_Gps_Message_Ch_No",
    "CL_GPS_Message_Code",
    "CL_My_Callsign_ChNo",
    "CL_My_Callsign_Sel",
    "CL_My_Callsign_Code",
    "CL_My_Callsign2_Code",
    "CL_You_Callsign_ChNo",
    "CL_You_Callsign_Cell_ChNo",
    "CL_You_Callsign_Code",
    "CL_You_Callsign_Code_Disp",
    "CL_Repeater_Callsign_ChNo",
    "CL_Repeater_Callsign_Cell_ChNo",
    "CL_Repeater_Callsign_Code",
    "CL_Repeater_Gateway",
    "CL_Received_Callsign_Caller",
    "CL_Received_Callsign_Caller2",
    "CL_Received_Callsign_Called",
    "CL_Received_Callsign_RPT1",
    "CL_Received_Callsign_RPT2",
    "CL_Received_Callsign_Status",
    "CL_Received_Callsign_Date",
    "CL_Received_Callsign_BK",
    "CL_Received_Callsign_EMR",
    "CL_Common_ToT",
    "CL_Common_Auto_Power_OFF",
    "CL_Common_PTT_Lock",
    "CL_Common_Busy_Lockout",
    "CL_Common_Auto_RPT",
    "CL_Common_Fan_Control",
    "CL_Common_SQL_Delay",
    "CL_Common_Mic_Level",
    "CL_Common_Auto_ATT",
    "CL_Common_ALC",
    "CL_Common_Diversity",
    "CL_Common_Packet_Bps",
    "CL_Common_Packet_Band",
    "CL_Common_GPS_Func",
    "CL_Common_GPS_Speed",
    "CL_Common_Linear_Measure",
    "CL_Common_Compass",
    "CL_Common_UTC_Offset",
    "CL_Common_GPS_Datum",
    "CL_Common_POS_Area1",
    "CL_Common_POS_Area2",
    "CL_Common_Gps_Alarm",
    "CL_Common_Alarm_CH",
    "CL_Common_Unproto_Address",
    "CL_Common_Data_Extension",
    "CL_Common_Time_Stamp",
    "CL_Common_APRS_Symbol",
    "CL_Common_Other_Symbol",
    "CL_Common_APRS_Comment1",
    "CL_Common_APRS_Comment2",
    "CL_Common_Backlight",
    "CL_Common_Dimmer",
    "CL_Common_Auto_Dimmer",
    "CL_Common_Contrast",
    "CL_Common_Opening_Logo",
    "CL_Common_Language",
    "CL_Common_Scan_Name",
    "CL_Common_Beep",
    "CL_Common_Beep_Level",
    "CL_Common_Scope_AF_out",
    "CL_Common_Sub_Band_Mute",
    "CL_Common_Sub_Band_Beep",
    "CL_Common_Mic_Up",
    "CL_Common_Mic_Down",
    "CL_Common_CLONE_COMMENT",
    "CL_Common_Scan_Edge",
    "CL_Common_ScanStop_Timer",
    "CL_Common_ProgramSkip_Scan",
    "CL_Common_BankLink_Scan",
    "CL_Common_BankLink_AJ",
    "CL_Common_BankLink_KT",
    "CL_Common_BankLink_UZ",
    "CL_Common_RF_Power",
    "CL_Common_Wx_Alert",
    "CL_Common_Wx_Ch",
    "CL_Common_Auto_Reply",
    "CL_Common_DV_Auto_Tx",
    "CL_Common_Digital_Monitor",
    "CL_Common_Digital_RPT_Set",
    "CL_Common_RxCall_Write",
    "CL_Common_RxRPTCall_Write",
    "CL_Common_GPS_ControlMode",
    "CL_Common_GPS_Tx",
    "CL_Common_GPS_AutoTx",
    "CL_Common_DV_Auto_Detect",
    "CL_Common_CallSign_Edit_Record",
    "CL_Common_GPS_DT",
    "CL_Common_Opening_CallSign",
    "CL_Common_RX_CallSign_Disp",
    "CL_Common_TX_CallSign_Disp",
    "CL_Common_RX_Message_Disp",
    "CL_Common_Standby_Beep",
};

template <std::size_t N> const cmcHash& nameTable(const std::array<const char*, N>& names) {
    static const cmcHash table = [&names] {
        cmcHash t;
        for (std::size_t i = 0; i < N; ++i) {
            t.insert(names[i], static_cast<std::int32_t>(i));
        }
        return t;
    }();
    return table;
}

} // namespace

std::int32_t findCategoryId(std::string_view name) {
    if (name.empty()) {
        return kNoCategory;
    }
    const auto* id = nameTable(kCategoryNames).find(name);
    return id == nullptr ? -1 : *id;
}

std::int32_t findCellLinkId(std::string_view name) {
    if (name.empty()) {
        return kNoLink;
    }
    const auto* id = nameTable(kLinkNames).find(name);
    return id == nullptr ? -1 : *id;
}

CellCategory categoryId(std::string_view name) {
    const std::int32_t id = findCategoryId(name);
    if (id < 0) {
        fatalDefect("Cannot use the specified category.\n'" + std::string(name) + "'");
    }
    return static_cast<CellCategory>(id);
}

CellLinkId cellLinkId(std::string_view name) {
    const std::int32_t id = findCellLinkId(name);
    if (id < 0) {
        fatalDefect("Cannot use the specified cell.\n'" + std::string(name) + "'");
    }
    return static_cast<CellLinkId>(id);
}

std::string_view categoryName(std::int32_t id) {
    return id >= 0 && id < kCellCategoryCount ? kCategoryNames[static_cast<std::size_t>(id)]
                                              : std::string_view();
}

std::string_view cellLinkName(std::int32_t id) {
    return id >= 0 && id < kCellLinkCount ? kLinkNames[static_cast<std::size_t>(id)]
                                          : std::string_view();
}

int recordKind(std::int32_t category) {
    switch (category) {
    case CT_Null:
    case CT_PopupMenu:
    case kNoCategory:
        return 0;
    case CT_Conv:
        return 1;
    case CT_BankCh:
        return 2;
    case CT_Func:
        return 3;
    case CT_Gps:
        return 4;
    default:
        fatalDefect("Unknown Cell Category.");
    }
}

} // namespace qx
