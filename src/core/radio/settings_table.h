#pragma once

#include "radio/cell_link_names.h"
#include "radio/eeprom.h"
#include "radio/image_map.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qx {

// The three copies of the settings block: the transceiver's own and one in each function memory.
enum class SettingsBlock : std::uint8_t { Main = 0, F1 = 1, F2 = 2 };

inline constexpr std::int32_t kSettingsBlockSize = imagemap::kSettingsBlockSize;
inline constexpr std::int32_t kMainSettingsBase = imagemap::kMainSettings;
inline constexpr std::int32_t kF1SettingsBase = imagemap::kFunctionSettings1;
inline constexpr std::int32_t kF2SettingsBase = imagemap::kFunctionSettings2;

std::int32_t settingsBlockBase(SettingsBlock block);

// A cell's parameter text starts with the function memory it belongs to ("1", "2"); anything
// else means the main block.
SettingsBlock settingsBlockForParameter(std::string_view parameter);

// How a setting's value lies in the block.
enum class SettingEncoding : std::uint8_t {
    Byte,         // the whole byte
    BitField,     // bitWidth bits from bitShift; the other bits of the byte are kept
    RowBit,       // one bit per memory row: row r (from firstIndex) uses bit bitShift + r - first
    SentenceMask, // five 0/1 bytes, RMC GGA GLL GSA VTG, read as the mask RMC = 0x80 ... VTG = 0x08
    Signed16,     // signed, big-endian
    PositionArea, // minutes byte, seconds byte; the value is minutes * 60 + seconds
    Text,         // `width` characters, padded with 0xFF
};

// Which destinations a setting applies to: only the auto repeater setting differs by region.
enum class DestinationRule : std::uint8_t {
    Any,
    UsaOnly,      // destinations 0 and 1
    OnOffRegions, // destinations 10, 13, 14 and 15
};

// The values a setting may hold: a list when one is given, else min..max in steps of `step`.
struct SettingValues {
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    std::int32_t step = 1;
    std::span<const std::int32_t> list{};

    bool allows(std::int32_t value) const;
    // Every allowed value in ascending order (the list itself or the expanded range).
    std::size_t count() const;
    std::int32_t at(std::size_t position) const;
};

struct SettingEntry {
    CellLinkId linkId = kNoLink;
    std::uint16_t offset = 0; // from the block start
    SettingEncoding encoding = SettingEncoding::Byte;
    std::uint8_t bitShift = 0;
    std::uint8_t bitWidth = 8;
    std::uint8_t width = 1; // bytes (texts: characters)
    // Cell index rule: per-band settings take the band (0 left, 1 right) from the index and
    // add it to the offset; row bits take the row. indexCount 1 means the index is not used.
    std::uint8_t firstIndex = 0;
    std::uint8_t indexCount = 1;
    // Repeated settings (bank link A-J ...): element e lies elementStride * e bytes further.
    std::uint8_t elementCount = 1;
    std::uint8_t elementStride = 0;
    DestinationRule destinations = DestinationRule::Any;
    // Selection-row settings: the byte names the selected row of a memory sheet of this many
    // rows; that row shows "S". 0 for every other setting.
    std::uint8_t selectionRows = 0;
    std::string_view listKey; // GI_Sheet_Sel_... whose labels it shows; empty when none
    SettingValues values;

    bool perBand() const { return indexCount == 2 && firstIndex == 0; }
    bool appliesTo(std::int32_t destination) const;
    std::string_view linkName() const { return cellLinkName(linkId); }
};

// Every settings link, in block order of first appearance.
std::span<const SettingEntry> settingsTable();

// The entry that a cell of `linkId` uses for `destination`; nullptr when the link is no
// settings link or does nothing for that destination.
const SettingEntry* findSetting(CellLinkId linkId, std::int32_t destination);
const SettingEntry* findSetting(std::string_view linkName, std::int32_t destination);

// Absolute address of the first byte of a setting, or nothing when index or element lie
// outside the entry's rule.
std::optional<std::int32_t> settingAddress(SettingsBlock block, const SettingEntry& entry,
                                           std::int32_t index = 0, std::int32_t element = 0);

// Numeric settings (all but texts). A read gives the stored value as the value list counts it
// (sentence bytes other than 0/1 and position seconds of 60 or more read as -1, which no list
// holds). A write refuses values outside the entry's list and leaves the image unchanged.
std::optional<std::int32_t> readSetting(const cmcEeprom& image, SettingsBlock block,
                                        const SettingEntry& entry, std::int32_t index = 0,
                                        std::int32_t element = 0);
bool writeSetting(cmcEeprom& image, SettingsBlock block, const SettingEntry& entry,
                  std::int32_t index, std::int32_t value, std::int32_t element = 0);

// Text settings: the characters before the first 0xFF. A write takes at most `width`
// characters, pads with 0xFF and refuses characters outside 32-126 (the other symbol: a text
// that does not start with '\' or '/').
std::optional<std::string> readSettingText(const cmcEeprom& image, SettingsBlock block,
                                           const SettingEntry& entry);
bool writeSettingText(cmcEeprom& image, SettingsBlock block, const SettingEntry& entry,
                      std::string_view text);

// True when the stored bytes of the entry (every index and element) hold listed values; texts
// must be printable characters followed only by 0xFF padding.
bool settingHoldsListedValue(const cmcEeprom& image, SettingsBlock block,
                             const SettingEntry& entry);

// Datums of the GPS datum list, numbered from "0.WGS84".
inline constexpr std::int32_t kGpsDatumCount = 5;
// GPS alarm values: 0 OFF, 1 RX, 2 ALL, 3-28 Bank-A ... Bank-Z, then 29 + n for GPS memory n.
inline constexpr std::int32_t kGpsAlarmMemoryBase = 29;

// Selection-row settings mark the row whose number is stored.
inline bool selectionRowMarked(std::int32_t storedValue, std::int32_t row) {
    return storedValue == row;
}

// GPS output sentences: the fixed combinations the cell steps through.
struct GpsSentenceCombination {
    std::uint8_t mask;
    std::string_view label;
};
inline constexpr std::uint8_t kGpsSentenceMaskRmc = 0x80;
inline constexpr std::uint8_t kGpsSentenceMaskGga = 0x40;
inline constexpr std::uint8_t kGpsSentenceMaskGll = 0x20;
inline constexpr std::uint8_t kGpsSentenceMaskGsa = 0x10;
inline constexpr std::uint8_t kGpsSentenceMaskVtg = 0x08;
std::span<const GpsSentenceCombination, 26> gpsSentenceCombinations();
// The entry (1-25) shown for a mask; a mask found nowhere, OFF included, shows entry 1.
std::int32_t gpsSentenceEntryForMask(std::int32_t mask);
// Steps within entries 1-25, wrapping; OFF is never reached.
std::int32_t gpsSentenceStep(std::int32_t entry, std::int32_t delta);

} // namespace qx
