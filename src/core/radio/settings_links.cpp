#include "radio/settings_links.h"

#include "base/selection_lists.h"
#include "radio/channel_record.h"
#include "radio/eeprom.h"
#include "radio/frequency_format.h"
#include "radio/list_choice.h"
#include "radio/settings_table.h"

#include <cctype>
#include <string>
#include <string_view>

namespace qx {
namespace {

constexpr std::uint32_t kGrayText = 0xC0C0C0;
constexpr std::string_view kCommonAlarmFull = "GI_Sheet_Sel_Common_Gps_Alarm";

// The settings block a cell works on: its parameter names a function memory, else the
// sheet's variant does.
SettingsBlock blockOf(const cmcCellCapsule& req) {
    const cmcCellObj& cell = *req.cell;
    const SettingsBlock block = settingsBlockForParameter(cell.linkParameter.value_or(""));
    if (block == SettingsBlock::Main && !cell.linkParameter) {
        return settingsBlockForParameter(req.arguments);
    }
    return block;
}

std::optional<std::int32_t> settingValue(const LinkEnvironment& env, const cmcCellCapsule& req,
                                         CellLinkId link, std::int32_t index = 0,
                                         std::int32_t element = 0) {
    const SettingEntry* entry = findSetting(link, env.destination);
    if (entry == nullptr) {
        return std::nullopt;
    }
    return readSetting(*env.image, blockOf(req), *entry, index, element);
}

bool isLetterKey(std::int32_t key) {
    return key > 0 && key < 128 && std::isalpha(key) != 0;
}

std::string commonAlarmList(const LinkEnvironment& env) {
    const bool dv = env.features.hasUsableDv();
    const bool memories = ChannelRecord::gpsMemoryCount(*env.image) > 0;
    std::string key(kCommonAlarmFull);
    key += dv ? "" : "_NoDV";
    key += memories ? "" : "_NoCH";
    return key;
}

std::string memoryAlarmList(const LinkEnvironment& env) {
    return env.features.hasUsableDv() ? "GI_Sheet_Sel_GPS_Alarm" : "GI_Sheet_Sel_GPS_Alarm_NoDV";
}

// The GPS alarm: OFF, RX, ALL, a bank, or one GPS memory (29 + n). The settings sheet shows a
// memory as "CH" and names it in the alarm channel cell; a GPS memory row shows "This CH" when
// the alarm is its own.
std::int32_t gpsAlarm(LinkEnvironment& env, const LinkEvent& e) {
    cmcCellCapsule& req = e.req;
    const cmcCellObj& cell = *req.cell;
    const SettingEntry* entry = findSetting(static_cast<CellLinkId>(cell.link), env.destination);
    if (entry == nullptr) {
        return kResultNone;
    }
    const SettingsBlock block = blockOf(req);
    const std::optional<std::int32_t> stored = readSetting(*env.image, block, *entry);
    if (!stored) {
        return kResultNone;
    }
    const std::int32_t value = *stored;
    const std::int32_t memories = ChannelRecord::gpsMemoryCount(*env.image);
    const bool memoryChosen = value >= kGpsAlarmMemoryBase;
    const auto store = [&](std::int32_t alarm) {
        // RX needs usable digital voice; a memory alarm needs that memory.
        if (alarm == value || (alarm == 1 && !env.features.hasUsableDv()) ||
            (alarm >= kGpsAlarmMemoryBase && alarm - kGpsAlarmMemoryBase >= memories)) {
            return false;
        }
        return writeSetting(*env.image, block, *entry, 0, alarm);
    };

    if (cell.link == CL_Common_Alarm_CH) {
        req.displayText =
            memoryChosen ? formatWholeNumber(value - kGpsAlarmMemoryBase) : std::string("--");
        if (!memoryChosen) {
            if (req.drawing) {
                req.textColor = kGrayText;
            }
            return kResultNone;
        }
        if (e.commit) {
            const auto number = parseWholeNumber(req.text, 0, imagemap::kGpsMemoryCount - 1);
            if (!number) {
                return e.refuseUnlessBlank(number.refusal(), req.text);
            }
            if (*number >= memories) {
                return e.refuse();
            }
            return store(kGpsAlarmMemoryBase + *number) ? kResultChanged : kResultNone;
        }
        if ((e.key == 32 || e.key == 8) && memories > 0) {
            const std::int32_t n = value - kGpsAlarmMemoryBase;
            const std::int32_t next =
                ((n + (e.key == 32 ? 1 : -1)) % memories + memories) % memories;
            return store(kGpsAlarmMemoryBase + next) ? kResultChanged : kResultNone;
        }
        if (e.key == 13) {
            return e.edit(req.displayText, false);
        }
        if (e.key >= '0' && e.key <= '9') {
            return e.edit(std::string(1, static_cast<char>(e.key)), true);
        }
        return kResultNone;
    }

    if (cell.link == CL_Gps_Alarm) {
        const std::int32_t n = cell.index;
        if (n < 0 || n >= imagemap::kGpsMemoryCount) {
            return kResultNone;
        }
        const std::int32_t own = kGpsAlarmMemoryBase + n;
        // Another memory's alarm is no entry of this row.
        const std::int32_t shown = value == own ? kGpsAlarmMemoryBase : (memoryChosen ? -1 : value);
        const CellList list{memoryAlarmList(env), Flex0};
        const std::int32_t result = listChoice(e, *env.lists, list, shown, [&](std::int32_t pick) {
            return store(pick == kGpsAlarmMemoryBase ? own : pick);
        });
        if (shown < 0) {
            req.displayText.clear();
        } else if (req.displayText == "error") {
            req.displayText =
                env.lists->valueText(kCommonAlarmFull, Flex0, shown).value_or("error");
        }
        return result;
    }

    // The settings sheet: a memory alarm keeps its memory when "CH" is picked again.
    const std::int32_t shown = memoryChosen ? kGpsAlarmMemoryBase : value;
    const CellList list{commonAlarmList(env), Flex0};
    const std::int32_t result = listChoice(e, *env.lists, list, shown, [&](std::int32_t pick) {
        if (pick == kGpsAlarmMemoryBase) {
            return store(memoryChosen && value - kGpsAlarmMemoryBase < memories
                             ? value
                             : kGpsAlarmMemoryBase);
        }
        return store(pick);
    });
    if (req.displayText == "error") {
        // A value this transceiver cannot use (RX without DV) still shows what it is.
        req.displayText = env.lists->valueText(kCommonAlarmFull, Flex0, shown).value_or("error");
    }
    return result;
}

// Bank link selections: one cell per group of banks and band, each bank shown by its letter
// when linked and '-' when not. Typing the letters of the banks to link sets them all.
std::int32_t bankLink(LinkEnvironment& env, const LinkEvent& e) {
    cmcCellCapsule& req = e.req;
    const cmcCellObj& cell = *req.cell;
    const SettingEntry* entry = findSetting(static_cast<CellLinkId>(cell.link), env.destination);
    if (entry == nullptr) {
        return kResultNone;
    }
    const SettingsBlock block = blockOf(req);
    const std::int32_t band = cell.index;
    const char first = cell.link == CL_Common_BankLink_AJ   ? 'A'
                       : cell.link == CL_Common_BankLink_KT ? 'K'
                                                            : 'U';
    std::string shown;
    for (std::int32_t bank = 0; bank < entry->elementCount; ++bank) {
        const auto on = readSetting(*env.image, block, *entry, band, bank);
        if (!on) {
            return kResultNone;
        }
        shown += *on == 1 ? static_cast<char>(first + bank) : (*on == 0 ? '-' : '?');
    }
    req.displayText = shown;
    if (req.drawing && settingValue(env, req, CL_Common_BankLink_Scan, band) != 1) {
        req.textColor = kGrayText;
    }
    if (e.commit) {
        std::string linked(static_cast<std::size_t>(entry->elementCount), '-');
        for (const char c : req.text) {
            const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            const int bank = upper - first;
            if (c == '-' || c == ' ') {
                continue;
            }
            if (bank < 0 || bank >= entry->elementCount) {
                return e.refuse();
            }
            linked[static_cast<std::size_t>(bank)] = upper;
        }
        bool changed = false;
        for (std::int32_t bank = 0; bank < entry->elementCount; ++bank) {
            const std::int32_t on = linked[static_cast<std::size_t>(bank)] == '-' ? 0 : 1;
            if (shown[static_cast<std::size_t>(bank)] != linked[static_cast<std::size_t>(bank)]) {
                changed = writeSetting(*env.image, block, *entry, band, on, bank) || changed;
            }
        }
        return changed ? kResultChanged : kResultNone;
    }
    if (e.key == 13 || e.key == 32 || e.key == 8) {
        return e.edit(shown, false);
    }
    if (isLetterKey(e.key) || e.key == '-') {
        return e.edit(std::string(1, static_cast<char>(e.key)), true);
    }
    return kResultNone;
}

// The sentence mask of a typed combination such as "RMC, GGA"; nothing for a text that names
// an unknown sentence or no sentence.
std::optional<std::int32_t> sentenceMask(std::string_view text) {
    static constexpr std::pair<std::string_view, std::uint8_t> kSentences[] = {
        {"RMC", kGpsSentenceMaskRmc},
        {"GGA", kGpsSentenceMaskGga},
        {"GLL", kGpsSentenceMaskGll},
        {"GSA", kGpsSentenceMaskGsa},
        {"VTG", kGpsSentenceMaskVtg}};
    std::int32_t mask = 0;
    std::string word;
    const auto take = [&]() {
        if (word.empty()) {
            return true;
        }
        for (const auto& [name, bit] : kSentences) {
            if (word == name) {
                mask |= bit;
                word.clear();
                return true;
            }
        }
        return false;
    };
    for (const char c : text) {
        if (std::isalpha(static_cast<unsigned char>(c)) != 0) {
            word += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        } else if (c == ',' || c == ' ' || c == '+' || c == '/') {
            if (!take()) {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    if (!take() || mask == 0) {
        return std::nullopt;
    }
    return mask;
}

std::int32_t gpsSentences(LinkEnvironment& env, const LinkEvent& e) {
    cmcCellCapsule& req = e.req;
    const SettingEntry* entry = findSetting(CL_Common_GPS_ControlMode, env.destination);
    if (entry == nullptr) {
        return kResultNone;
    }
    const SettingsBlock block = blockOf(req);
    const std::optional<std::int32_t> mask = readSetting(*env.image, block, *entry);
    if (!mask) {
        return kResultNone;
    }
    const auto combinations = gpsSentenceCombinations();
    const std::int32_t shown = gpsSentenceEntryForMask(*mask);
    req.displayText = std::string(combinations[static_cast<std::size_t>(shown)].label);
    const auto store = [&](std::int32_t newMask) {
        return newMask != *mask && writeSetting(*env.image, block, *entry, 0, newMask);
    };
    if (e.commit) {
        const auto typed = sentenceMask(req.text);
        // Only the listed combinations exist on the transceiver (at most three sentences).
        if (!typed || (gpsSentenceEntryForMask(*typed) == 1 && *typed != kGpsSentenceMaskGll)) {
            return req.text.find_first_not_of(' ') == std::string::npos ? kResultNone : e.refuse();
        }
        return store(*typed) ? kResultChanged : kResultNone;
    }
    if (e.key == 32 || e.key == 8) {
        const std::int32_t next = gpsSentenceStep(shown, e.key == 32 ? 1 : -1);
        return store(combinations[static_cast<std::size_t>(next)].mask) ? kResultChanged
                                                                        : kResultNone;
    }
    if (e.key == 13) {
        return e.edit(req.displayText, false);
    }
    if (isLetterKey(e.key)) {
        return e.edit(std::string(1, static_cast<char>(e.key)), true);
    }
    return kResultNone;
}

} // namespace

std::optional<std::int32_t> dispatchSettingLink(LinkEnvironment& env, const LinkEvent& event) {
    cmcCellCapsule& req = event.req;
    switch (req.cell->link) {
    case CL_Common_Gps_Alarm:
    case CL_Gps_Alarm:
    case CL_Common_Alarm_CH:
        return gpsAlarm(env, event);
    case CL_Common_BankLink_AJ:
    case CL_Common_BankLink_KT:
    case CL_Common_BankLink_UZ:
        return bankLink(env, event);
    case CL_Common_GPS_ControlMode:
        return gpsSentences(env, event);
    // The APRS texts are gray while the transceiver does not send them; they still edit.
    case CL_Common_APRS_Comment1:
        if (req.drawing && settingValue(env, req, CL_Common_Data_Extension) != 0) {
            req.textColor = kGrayText;
        }
        break;
    case CL_Common_APRS_Comment2:
        if (req.drawing && settingValue(env, req, CL_Common_Data_Extension) != 1) {
            req.textColor = kGrayText;
        }
        break;
    case CL_Common_Other_Symbol:
        if (req.drawing && settingValue(env, req, CL_Common_APRS_Symbol) != 15) {
            req.textColor = kGrayText;
        }
        break;
    default:
        break;
    }
    return std::nullopt;
}

std::optional<std::optional<CellList>> settingLinkList(const LinkEnvironment& env,
                                                       const cmcCellObj& cell) {
    switch (cell.link) {
    case CL_Common_Gps_Alarm:
        return CellList{commonAlarmList(env), Flex0};
    case CL_Gps_Alarm:
        return CellList{memoryAlarmList(env), Flex0};
    case CL_Common_Alarm_CH:
    case CL_Common_BankLink_AJ:
    case CL_Common_BankLink_KT:
    case CL_Common_BankLink_UZ:
    case CL_Common_GPS_ControlMode:
        return std::optional<CellList>();
    default:
        break;
    }
    const SettingEntry* entry = findSetting(static_cast<CellLinkId>(cell.link), env.destination);
    if (entry != nullptr && entry->selectionRows != 0) {
        return CellList{std::string(entry->listKey), Flex0};
    }
    return std::nullopt;
}

} // namespace qx
