#include "radio/settings_table.h"

#include <algorithm>

namespace qx {
namespace {

constexpr SettingValues range(std::int32_t minimum, std::int32_t maximum, std::int32_t step = 1) {
    return SettingValues{minimum, maximum, step, {}};
}

constexpr SettingValues kOnOff = range(0, 1);
constexpr SettingValues kAutoOff = range(0, 1);

constexpr std::string_view kListOnOff = "GI_Sheet_Sel_Misc_OnOff";
constexpr std::string_view kListAutoOff = "GI_Sheet_Sel_Misc_AutoOff";

constexpr std::int32_t kGpsAlarmLast = kGpsAlarmMemoryBase + 99;

constexpr std::array<GpsSentenceCombination, 26> kSentenceCombinations{{
    {0x00, "OFF"},           {0x20, "GLL"},           {0x40, "GGA"},
    {0x80, "RMC"},           {0x10, "GSA"},           {0x08, "VTG"},
    {0x60, "GGA, GLL"},      {0xA0, "RMC, GLL"},      {0x30, "GLL, GSA"},
    {0x28, "GLL, VTG"},      {0xC0, "RMC, GGA"},      {0x50, "GGA, GSA"},
    {0x48, "GGA, VTG"},      {0x90, "RMC, GSA"},      {0x88, "RMC, VTG"},
    {0x18, "GSA, VTG"},      {0xE0, "RMC, GGA, GLL"}, {0x70, "GGA, GLL, GSA"},
    {0x68, "GGA, GLL, VTG"}, {0xB0, "RMC, GLL, GSA"}, {0xA8, "RMC, GLL, VTG"},
    {0x38, "GLL, GSA, VTG"}, {0xD0, "RMC, GGA, GSA"}, {0xC8, "RMC, GGA, VTG"},
    {0x58, "GGA, GSA, VTG"}, {0x98, "RMC, GSA, VTG"},
}};

// The masks a cell can show (OFF is never shown), ascending for the value list.
constexpr std::array<std::int32_t, 25> kSentenceMasks = [] {
    std::array<std::int32_t, 25> masks{};
    for (std::size_t i = 1; i < kSentenceCombinations.size(); ++i) {
        masks[i - 1] = kSentenceCombinations[i].mask;
    }
    std::sort(masks.begin(), masks.end());
    return masks;
}();

constexpr SettingEntry choice(CellLinkId id, std::uint16_t offset, std::string_view list,
                              SettingValues values) {
    SettingEntry entry;
    entry.linkId = id;
    entry.offset = offset;
    entry.listKey = list;
    entry.values = values;
    return entry;
}

constexpr SettingEntry onOff(CellLinkId id, std::uint16_t offset) {
    return choice(id, offset, kListOnOff, kOnOff);
}

constexpr SettingEntry autoOff(CellLinkId id, std::uint16_t offset) {
    return choice(id, offset, kListAutoOff, kAutoOff);
}

constexpr SettingEntry perBand(SettingEntry entry) {
    entry.indexCount = 2;
    return entry;
}

constexpr SettingEntry bits(SettingEntry entry, std::uint8_t shift, std::uint8_t width) {
    entry.encoding = SettingEncoding::BitField;
    entry.bitShift = shift;
    entry.bitWidth = width;
    return entry;
}

constexpr SettingEntry selectionRow(CellLinkId id, std::uint16_t offset, std::string_view list,
                                    std::uint8_t rows) {
    SettingEntry entry = choice(id, offset, list, range(0, rows - 1));
    entry.selectionRows = rows;
    return entry;
}

constexpr SettingEntry onlyFor(SettingEntry entry, DestinationRule rule) {
    entry.destinations = rule;
    return entry;
}

// Bank link selections: one byte per bank and band from 0x2E, the two bands side by side.
constexpr SettingEntry bankLink(CellLinkId id, std::uint8_t firstBank, std::uint8_t banks) {
    SettingEntry entry = perBand(onOff(id, static_cast<std::uint16_t>(0x2E + 2 * firstBank)));
    entry.elementCount = banks;
    entry.elementStride = 2;
    return entry;
}

constexpr SettingEntry text(CellLinkId id, std::uint16_t offset, std::uint8_t width) {
    SettingEntry entry = choice(id, offset, {}, range(0, 0));
    entry.encoding = SettingEncoding::Text;
    entry.width = width;
    return entry;
}

constexpr SettingEntry wide(SettingEntry entry, SettingEncoding encoding, std::uint8_t width) {
    entry.encoding = encoding;
    entry.width = width;
    return entry;
}

constexpr SettingEntry rowBits(SettingEntry entry, std::uint8_t firstRow, std::uint8_t rows) {
    entry.encoding = SettingEncoding::RowBit;
    entry.bitWidth = 1;
    entry.firstIndex = firstRow;
    entry.indexCount = rows;
    return entry;
}

constexpr std::array kSettings{
    choice(CL_Common_ToT, 0x12, "GI_Sheet_Sel_Common_TOT", range(0, 4)),
    choice(CL_Common_Auto_Power_OFF, 0x13, "GI_Sheet_Sel_Common_Auto_Power_OFF", range(0, 4)),
    onOff(CL_Common_PTT_Lock, 0x14),
    onOff(CL_Common_Busy_Lockout, 0x15),
    onlyFor(onOff(CL_Common_Auto_RPT, 0x16), DestinationRule::OnOffRegions),
    onlyFor(choice(CL_Common_Auto_RPT, 0x17, "GI_Sheet_Sel_Common_USA_Auto_RPT", range(0, 2)),
            DestinationRule::UsaOnly),
    choice(CL_Common_Fan_Control, 0x18, "GI_Sheet_Sel_Common_Fan_Control", range(0, 3)),
    choice(CL_Common_SQL_Delay, 0x19, "GI_Sheet_Sel_Common_SQL_Delay", range(0, 1)),
    choice(CL_Common_Mic_Level, 0x1A, "GI_Sheet_Sel_Common_Mic_Level", range(0, 1)),
    onOff(CL_Common_Auto_ATT, 0x1B),
    onOff(CL_Common_ALC, 0x1C),
    onOff(CL_Common_Diversity, 0x1D),
    choice(CL_Common_Auto_Reply, 0x1E, "GI_Sheet_Sel_Common_AutoReply", range(0, 2)),
    choice(CL_Common_DV_Auto_Tx, 0x1F, "GI_Sheet_Sel_Common_DvDataTX", range(0, 1)),
    choice(CL_Common_Digital_Monitor, 0x20, "GI_Sheet_Sel_Common_DigiMoni", range(0, 2)),
    onOff(CL_Common_Digital_RPT_Set, 0x21),
    autoOff(CL_Common_RxCall_Write, 0x22),
    autoOff(CL_Common_RxRPTCall_Write, 0x23),
    onOff(CL_Common_DV_Auto_Detect, 0x24),
    choice(CL_Common_CallSign_Edit_Record, 0x25, "GI_Sheet_Sel_Common_CSEditHistory", range(0, 1)),
    perBand(
        choice(CL_Common_ScanStop_Timer, 0x28, "GI_Sheet_Sel_Common_ScanStop_Timer", range(0, 3))),
    perBand(onOff(CL_Common_ProgramSkip_Scan, 0x2A)),
    perBand(onOff(CL_Common_BankLink_Scan, 0x2C)),
    bankLink(CL_Common_BankLink_AJ, 0, 10),
    bankLink(CL_Common_BankLink_KT, 10, 10),
    bankLink(CL_Common_BankLink_UZ, 20, 6),
    perBand(onOff(CL_Common_Wx_Alert, 0x62)),
    selectionRow(CL_PGR_Memory_Ch_No, 0x66, "GI_Sheet_Sel_PGR_Memory_Ch_No_Sel", 6),
    choice(CL_Common_DTMF_SPEED, 0x67, "GI_Sheet_Sel_DTMF_SPEED", range(0, 3)),
    choice(CL_Common_Backlight, 0x68, "GI_Sheet_Sel_Common_Backlight", range(0, 20)),
    choice(CL_Common_Dimmer, 0x69, "GI_Sheet_Sel_Common_Dimmer", range(0, 7)),
    choice(CL_Common_Auto_Dimmer, 0x6A, "GI_Sheet_Sel_Misc_Auto_Dimmer", range(0, 8)),
    choice(CL_Common_Contrast, 0x6B, "GI_Sheet_Sel_Common_Contrast", range(0, 15)),
    onOff(CL_Common_Opening_Logo, 0x6C),
    onOff(CL_Common_Opening_CallSign, 0x6D),
    choice(CL_Common_Language, 0x6E, "GI_Sheet_Sel_Common_Language", range(0, 1)),
    onOff(CL_Common_Scan_Name, 0x6F),
    autoOff(CL_Common_RX_CallSign_Disp, 0x70),
    choice(CL_Common_TX_CallSign_Disp, 0x71, "GI_Sheet_Sel_Common_TXCallDisp", range(0, 2)),
    autoOff(CL_Common_RX_Message_Disp, 0x72),
    onOff(CL_Common_Beep, 0x73),
    choice(CL_Common_Beep_Level, 0x74, "GI_Sheet_Sel_Common_Beep_Level", range(0, 8)),
    onOff(CL_Common_Scope_AF_out, 0x75),
    onOff(CL_Common_Sub_Band_Mute, 0x76),
    onOff(CL_Common_Sub_Band_Beep, 0x77),
    onOff(CL_Common_Standby_Beep, 0x78),
    wide(choice(CL_Common_GPS_ControlMode, 0x79, {},
                SettingValues{0, 0, 1, std::span<const std::int32_t>(kSentenceMasks)}),
         SettingEncoding::SentenceMask, 5),
    choice(CL_Common_GPS_Tx, 0x7E, "GI_Sheet_Sel_Common_GpsTX", range(0, 2)),
    choice(CL_Common_GPS_AutoTx, 0x7F, "GI_Sheet_Sel_Common_GpsAutoTX", range(0, 8)),
    choice(CL_Common_Packet_Bps, 0x80, "GI_Sheet_Sel_Common_Packet_Bps", range(0, 1)),
    choice(CL_Common_Packet_Band, 0x81, "GI_Sheet_Sel_Common_Packet_Band", range(0, 2)),
    choice(CL_Common_GPS_Speed, 0x82, "GI_Sheet_Sel_Common_GPS_Speed", range(0, 1)),
    choice(CL_Common_Linear_Measure, 0x83, "GI_Sheet_Sel_Common_Linear_Measure", range(0, 1)),
    choice(CL_Common_GPS_Datum, 0x84, "GI_Sheet_Sel_Common_GPS_Datum",
           range(0, kGpsDatumCount - 1)),
    choice(CL_Common_POS_Area2, 0x85, "GI_Sheet_Sel_Common_POS_Area2", range(0, 2)),
    choice(CL_Common_Compass, 0x86, "GI_Sheet_Sel_Common_Compass", range(0, 2)),
    onOff(CL_Common_GPS_Func, 0x87),
    choice(CL_Common_Data_Extension, 0x88, "GI_Sheet_Sel_Common_Data_Extension", range(0, 1)),
    choice(CL_Common_Time_Stamp, 0x89, "GI_Sheet_Sel_Common_Time_Stamp", range(0, 2)),
    choice(CL_Common_APRS_Symbol, 0x8A, "GI_Sheet_Sel_Common_APRS_Symbol", range(0, 15)),
    choice(CL_Common_Mic_Up, 0x8B, "GI_Sheet_Sel_Common_Mic_Up_Function", range(0, 10)),
    choice(CL_Common_Mic_Down, 0x8C, "GI_Sheet_Sel_Common_Mic_Down_Function", range(0, 10)),
    bits(onOff(CL_Common_GPS_DT, 0xA5), 3, 1),
    perBand(
        bits(choice(CL_Common_RF_Power, 0xA7, "GI_Sheet_Sel_Common_RF_Power", range(0, 2)), 0, 2)),
    perBand(choice(CL_Common_Scan_Edge, 0xAF, "GI_Sheet_Sel_Common_Scan_Edge", range(0, 10))),
    perBand(choice(CL_Common_Wx_Ch, 0xF3, {}, range(0, 9))),
    rowBits(choice(CL_PGR_Memory_Skip, 0x107, "GI_Sheet_Sel_PGR_Memory_Skip", range(0, 1)), 1, 5),
    selectionRow(CL_Common_DTMF_CH_NO, 0x11D, "GI_Sheet_Sel_DTMF_CH_NO_Sel", 16),
    selectionRow(CL_My_Callsign_Sel, 0x11E, "GI_Sheet_Sel_Tx_Message_Ch_No_Sel", 6),
    selectionRow(CL_Tx_Message_Ch_No, 0x11F, "GI_Sheet_Sel_Tx_Message_Ch_No_Sel", 5),
    onOff(CL_Tx_Message_Repeat, 0x120),
    choice(CL_Common_Gps_Alarm, 0x128, "GI_Sheet_Sel_Common_Gps_Alarm", range(0, kGpsAlarmLast)),
    choice(CL_Gps_Alarm, 0x128, "GI_Sheet_Sel_GPS_Alarm", range(0, kGpsAlarmLast)),
    choice(CL_Common_Alarm_CH, 0x128, {}, range(0, kGpsAlarmLast)),
    wide(choice(CL_Common_POS_Area1, 0x12A, {}, range(5, 3599)), SettingEncoding::PositionArea, 2),
    wide(choice(CL_Common_UTC_Offset, 0x12C, {}, range(-720, 720, 5)), SettingEncoding::Signed16,
         2),
    text(CL_Common_Unproto_Address, 0x12E, 56),
    text(CL_Common_APRS_Comment1, 0x166, 43),
    text(CL_Common_APRS_Comment2, 0x191, 36),
    text(CL_Common_Other_Symbol, 0x1B5, 2),
};

bool printable(std::uint8_t c) {
    return c >= 0x20 && c <= 0x7E;
}

std::uint8_t fieldMask(const SettingEntry& entry) {
    return static_cast<std::uint8_t>(((1u << entry.bitWidth) - 1u) << entry.bitShift);
}

bool textAllowed(const SettingEntry& entry, std::string_view value) {
    if (!std::all_of(value.begin(), value.end(),
                     [](char c) { return printable(static_cast<std::uint8_t>(c)); })) {
        return false;
    }
    // The other symbol is unset or a table character (a backslash or '/') and a symbol.
    if (entry.linkId == CL_Common_Other_Symbol && !value.empty()) {
        return value.size() == 2 && (value.front() == '\\' || value.front() == '/');
    }
    return true;
}

} // namespace

bool SettingValues::allows(std::int32_t value) const {
    if (!list.empty()) {
        return std::binary_search(list.begin(), list.end(), value);
    }
    return value >= minimum && value <= maximum && (value - minimum) % step == 0;
}

std::size_t SettingValues::count() const {
    if (!list.empty()) {
        return list.size();
    }
    return static_cast<std::size_t>((maximum - minimum) / step + 1);
}

std::int32_t SettingValues::at(std::size_t position) const {
    if (!list.empty()) {
        return list[position];
    }
    return minimum + static_cast<std::int32_t>(position) * step;
}

bool SettingEntry::appliesTo(std::int32_t destination) const {
    switch (destinations) {
    case DestinationRule::Any:
        return true;
    case DestinationRule::UsaOnly:
        return destination == 0 || destination == 1;
    case DestinationRule::OnOffRegions:
        return destination == 10 || (destination >= 13 && destination <= 15);
    }
    return false;
}

std::int32_t settingsBlockBase(SettingsBlock block) {
    switch (block) {
    case SettingsBlock::F1:
        return kF1SettingsBase;
    case SettingsBlock::F2:
        return kF2SettingsBase;
    case SettingsBlock::Main:
        break;
    }
    return kMainSettingsBase;
}

SettingsBlock settingsBlockForParameter(std::string_view parameter) {
    // The leading number decides: "1" and "1,x" are F-1, "12" is not.
    std::size_t digits = 0;
    while (digits < parameter.size() && parameter[digits] >= '0' && parameter[digits] <= '9') {
        ++digits;
    }
    const std::string_view number = parameter.substr(0, digits);
    if (number == "1") {
        return SettingsBlock::F1;
    }
    if (number == "2") {
        return SettingsBlock::F2;
    }
    return SettingsBlock::Main;
}

std::span<const SettingEntry> settingsTable() {
    return kSettings;
}

const SettingEntry* findSetting(CellLinkId linkId, std::int32_t destination) {
    for (const SettingEntry& entry : kSettings) {
        if (entry.linkId == linkId && entry.appliesTo(destination)) {
            return &entry;
        }
    }
    return nullptr;
}

const SettingEntry* findSetting(std::string_view linkName, std::int32_t destination) {
    const std::int32_t id = findCellLinkId(linkName);
    return id < 0 ? nullptr : findSetting(static_cast<CellLinkId>(id), destination);
}

std::optional<std::int32_t> settingAddress(SettingsBlock block, const SettingEntry& entry,
                                           std::int32_t index, std::int32_t element) {
    if (element < 0 || element >= entry.elementCount) {
        return std::nullopt;
    }
    std::int32_t offset = entry.offset + element * entry.elementStride;
    if (entry.indexCount > 1) {
        if (index < entry.firstIndex || index >= entry.firstIndex + entry.indexCount) {
            return std::nullopt;
        }
        if (entry.encoding != SettingEncoding::RowBit) {
            offset += index - entry.firstIndex;
        }
    }
    return settingsBlockBase(block) + offset;
}

namespace {

// The address when the whole setting lies inside the image.
std::optional<std::int32_t> checkedAddress(const cmcEeprom& image, SettingsBlock block,
                                           const SettingEntry& entry, std::int32_t index,
                                           std::int32_t element) {
    const std::optional<std::int32_t> address = settingAddress(block, entry, index, element);
    if (!address || !image.isValidAddress(*address) ||
        !image.isValidAddress(*address + entry.width - 1)) {
        return std::nullopt;
    }
    return address;
}

std::uint8_t rowBitShift(const SettingEntry& entry, std::int32_t index) {
    return static_cast<std::uint8_t>(entry.bitShift + index - entry.firstIndex);
}

} // namespace

std::optional<std::int32_t> readSetting(const cmcEeprom& image, SettingsBlock block,
                                        const SettingEntry& entry, std::int32_t index,
                                        std::int32_t element) {
    if (entry.encoding == SettingEncoding::Text) {
        return std::nullopt;
    }
    const std::optional<std::int32_t> found = checkedAddress(image, block, entry, index, element);
    if (!found) {
        return std::nullopt;
    }
    // At most the five bytes of a sentence mask.
    image.noteRead(*found, 5);
    const std::uint8_t* bytes = image.trackedData() + *found;
    switch (entry.encoding) {
    case SettingEncoding::Byte:
        return bytes[0];
    case SettingEncoding::BitField:
        return (bytes[0] & fieldMask(entry)) >> entry.bitShift;
    case SettingEncoding::RowBit:
        return (bytes[0] >> rowBitShift(entry, index)) & 1;
    case SettingEncoding::SentenceMask: {
        std::int32_t mask = 0;
        for (std::int32_t i = 0; i < 5; ++i) {
            if (bytes[i] > 1) {
                return -1;
            }
            mask |= bytes[i] << (7 - i);
        }
        return mask;
    }
    case SettingEncoding::Signed16:
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]));
    case SettingEncoding::PositionArea:
        return bytes[1] < 60 ? bytes[0] * 60 + bytes[1] : -1;
    case SettingEncoding::Text:
        break;
    }
    return std::nullopt;
}

bool writeSetting(cmcEeprom& image, SettingsBlock block, const SettingEntry& entry,
                  std::int32_t index, std::int32_t value, std::int32_t element) {
    if (entry.encoding == SettingEncoding::Text || !entry.values.allows(value)) {
        return false;
    }
    const std::optional<std::int32_t> found = checkedAddress(image, block, entry, index, element);
    if (!found) {
        return false;
    }
    std::uint8_t* bytes = image.data() + *found;
    switch (entry.encoding) {
    case SettingEncoding::Byte:
        bytes[0] = static_cast<std::uint8_t>(value);
        break;
    case SettingEncoding::BitField:
        bytes[0] = static_cast<std::uint8_t>((bytes[0] & ~fieldMask(entry)) |
                                             ((value << entry.bitShift) & fieldMask(entry)));
        break;
    case SettingEncoding::RowBit: {
        const auto bit = static_cast<std::uint8_t>(1u << rowBitShift(entry, index));
        bytes[0] = static_cast<std::uint8_t>(value != 0 ? bytes[0] | bit : bytes[0] & ~bit);
        break;
    }
    case SettingEncoding::SentenceMask:
        for (std::int32_t i = 0; i < 5; ++i) {
            bytes[i] = static_cast<std::uint8_t>((value >> (7 - i)) & 1);
        }
        break;
    case SettingEncoding::Signed16: {
        const auto raw = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
        bytes[0] = static_cast<std::uint8_t>(raw >> 8);
        bytes[1] = static_cast<std::uint8_t>(raw & 0xFF);
        break;
    }
    case SettingEncoding::PositionArea:
        bytes[0] = static_cast<std::uint8_t>(value / 60);
        bytes[1] = static_cast<std::uint8_t>(value % 60);
        break;
    case SettingEncoding::Text:
        return false;
    }
    return true;
}

std::optional<std::string> readSettingText(const cmcEeprom& image, SettingsBlock block,
                                           const SettingEntry& entry) {
    if (entry.encoding != SettingEncoding::Text) {
        return std::nullopt;
    }
    const std::optional<std::int32_t> found = checkedAddress(image, block, entry, 0, 0);
    if (!found) {
        return std::nullopt;
    }
    image.noteRead(*found, entry.width);
    const std::uint8_t* bytes = image.trackedData() + *found;
    const std::uint8_t* end = std::find(bytes, bytes + entry.width, 0xFF);
    return std::string(bytes, end);
}

bool writeSettingText(cmcEeprom& image, SettingsBlock block, const SettingEntry& entry,
                      std::string_view value) {
    if (entry.encoding != SettingEncoding::Text) {
        return false;
    }
    const std::string_view kept = value.substr(0, entry.width);
    if (!textAllowed(entry, kept)) {
        return false;
    }
    const std::optional<std::int32_t> found = checkedAddress(image, block, entry, 0, 0);
    if (!found) {
        return false;
    }
    std::uint8_t* bytes = image.data() + *found;
    std::fill(bytes, bytes + entry.width, 0xFF);
    std::copy(kept.begin(), kept.end(), bytes);
    return true;
}

bool settingHoldsListedValue(const cmcEeprom& image, SettingsBlock block,
                             const SettingEntry& entry) {
    if (entry.encoding == SettingEncoding::Text) {
        const std::optional<std::int32_t> found = checkedAddress(image, block, entry, 0, 0);
        if (!found) {
            return false;
        }
        image.noteRead(*found, entry.width);
        const std::uint8_t* bytes = image.trackedData() + *found;
        const std::uint8_t* end = std::find(bytes, bytes + entry.width, 0xFF);
        // Padding runs to the end of the field: no characters after the first 0xFF.
        if (!std::all_of(end, bytes + entry.width, [](std::uint8_t c) { return c == 0xFF; })) {
            return false;
        }
        return textAllowed(entry, std::string_view(reinterpret_cast<const char*>(bytes),
                                                   static_cast<std::size_t>(end - bytes)));
    }
    for (std::int32_t element = 0; element < entry.elementCount; ++element) {
        for (std::int32_t i = 0; i < entry.indexCount; ++i) {
            const std::optional<std::int32_t> value =
                readSetting(image, block, entry, entry.firstIndex + i, element);
            if (!value || !entry.values.allows(*value)) {
                return false;
            }
        }
    }
    return true;
}

std::span<const GpsSentenceCombination, 26> gpsSentenceCombinations() {
    return kSentenceCombinations;
}

std::int32_t gpsSentenceEntryForMask(std::int32_t mask) {
    for (std::size_t i = 1; i < kSentenceCombinations.size(); ++i) {
        if (kSentenceCombinations[i].mask == mask) {
            return static_cast<std::int32_t>(i);
        }
    }
    return 1;
}

std::int32_t gpsSentenceStep(std::int32_t entry, std::int32_t delta) {
    constexpr std::int32_t kShown = 25;
    const std::int32_t from = (entry >= 1 && entry <= kShown) ? entry : 1;
    return ((from - 1 + delta) % kShown + kShown) % kShown + 1;
}

} // namespace qx
