#include "radio/cell_link_dispatch.h"

#include "base/selection_lists.h"
#include "radio/bank_link_table.h"
#include "radio/cell_link_names.h"
#include "radio/channel_record.h"
#include "radio/eeprom.h"
#include "radio/frequency_band.h"
#include "radio/frequency_format.h"
#include "radio/gps_format.h"
#include "radio/image_map.h"
#include "radio/memory_links.h"
#include "radio/row_label.h"
#include "radio/setting_checks.h"
#include "radio/settings_links.h"
#include "radio/settings_table.h"
#include "radio/text_format.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <span>

namespace qx {

namespace {

constexpr std::uint32_t kGrayText = 0xC0C0C0;
constexpr std::int32_t kFunctionSettings[2] = {0xA217, 0xA42E};
constexpr std::int32_t kDisplayByte = 0xA5; // dual watch bit 7, right band main bit 2

bool isPrintableKey(std::int32_t key) {
    return (key > 32 && key < 127) || (key < 0 && key >= -128);
}
bool isDigitKey(std::int32_t key) {
    return key >= '0' && key <= '9';
}

std::int32_t leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    std::int32_t value = 0;
    bool any = false;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0 &&
           value < 100000) {
        value = value * 10 + (text[i] - '0');
        any = true;
        ++i;
    }
    return any ? value : -1;
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

// Bytes of the image as a string view, for the text formatters.
std::string_view imageText(const cmcEeprom& image, std::int32_t address, std::int32_t size) {
    if (!image.isValidAddress(address) || !image.isValidAddress(address + size - 1)) {
        return {};
    }
    image.noteRead(address, size);
    return {reinterpret_cast<const char*>(image.trackedData() + address),
            static_cast<std::size_t>(size)};
}

void writeText(cmcEeprom& image, std::int32_t address, std::string_view bytes) {
    image.writeBlock(address, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                     static_cast<std::int32_t>(bytes.size()));
}

std::string textOf(const ChannelRecord::Text8& t) {
    return std::string(t.data(), t.size());
}

// An item of a sheet's popup menu: list edit operations and help.
bool isPopupItem(const cmcCellCapsule& request) {
    return request.menuItem != nullptr && request.menuItem->link >= CL_PMenu_Edit &&
           request.menuItem->link <= CL_PMenu_RcvDelete;
}

} // namespace

struct cmcCellLinkDispatch::Event {
    cmcCellCapsule& req;
    cmcCellObj& cell;
    std::int32_t key = 0;
    std::int32_t popup = 0;
    bool commit = false;
    const cmcCellObj* picked = nullptr;

    bool acting() const { return key != 0 || commit || picked != nullptr || popup != 0; }

    std::int32_t edit(std::string text, bool caretAfter) {
        const auto length = static_cast<int>(text.size());
        req.text = std::move(text);
        req.selectionStart = caretAfter ? length : 0;
        req.selectionLength = caretAfter ? 0 : length;
        return kResultEdit;
    }
    // '.' in a frequency-like cell: the text to edit with the caret right after its point.
    std::int32_t editAfterPoint(std::string text) {
        const std::size_t point = text.find('.');
        req.selectionStart = point == std::string::npos ? static_cast<int>(text.size())
                                                        : static_cast<int>(point) + 1;
        req.selectionLength = 0;
        req.text = std::move(text);
        return kResultEdit;
    }
    // The usual keys of a text-like cell: Enter, Space and Backspace edit the shown text, an
    // accepted character starts a new text.
    std::int32_t editKeys(const std::string& shown,
                          const std::function<bool(std::int32_t)>& starts) {
        if (key == 13 || key == 32 || key == 8) {
            return edit(shown, false);
        }
        if (key != 0 && starts(key)) {
            return edit(std::string(1, static_cast<char>(key)), true);
        }
        return kResultNone;
    }
    // An empty entry changes nothing; one that typed something unusable is refused, so the
    // user gets the editor back to correct it.
    std::int32_t refuseUnlessBlank(ParseRefusal refusal) {
        if (refusal == ParseRefusal::Empty &&
            req.text.find_first_not_of(" \t") == std::string::npos) {
            return kResultNone;
        }
        return refuse();
    }
    std::int32_t refuse() {
        req.refused = true;
        if (req.reopenEditor) {
            req.reopenEditor(req);
        }
        return kResultNone;
    }
};

std::string cmcCellLinkDispatch::displayText(cmcCellObj& cell, std::string_view arguments) {
    cmcCellCapsule request;
    request.cell = &cell;
    request.arguments = std::string(arguments);
    request.drawing = true;
    dispatch(request);
    return request.displayText;
}

std::int32_t cmcCellLinkDispatch::perform(cmcCellObj& cell, std::int32_t key,
                                          std::string_view arguments) {
    cmcCellCapsule request;
    request.cell = &cell;
    request.arguments = std::string(arguments);
    request.command = key;
    return dispatch(request);
}

std::int32_t cmcCellLinkDispatch::dispatch(cmcCellCapsule& request) {
    request.displayText.clear();
    request.refused = false;
    if (request.cell == nullptr || m_env.image == nullptr) {
        return kResultNone;
    }
    Event e{request, *request.cell};
    if (!request.drawing) {
        switch (request.operation) {
        case kOpCommit:
            e.commit = true;
            break;
        case kOpPick:
            e.picked = request.picked;
            break;
        case kOpStateQuery:
            // Popup items have no state to report, and running one here would edit the list.
            if (isPopupItem(request)) {
                return kResultNone;
            }
            e.key = request.command;
            break;
        default:
            e.key = request.command == 0x100 ? 13 : request.command;
            if (isPopupItem(request)) {
                e.popup = kPopupEdit + (request.menuItem->link - CL_PMenu_Edit);
            }
            break;
        }
    }
    if (e.popup == kPopupEdit) {
        e.popup = 0;
        e.key = 13;
    } else if (e.popup != 0) {
        // List edit operations and help belong to the host.
        if (e.popup != kPopupHelp && m_env.listEdit) {
            return m_env.listEdit(request);
        }
        return m_env.command ? m_env.command(request) : kResultNone;
    }
    const std::int32_t result = recordKind(e.cell.category) != 0 &&
                                        e.cell.link >= CL_Mch_Select_ChNo &&
                                        e.cell.link <= CL_Disp_ChNo
                                    ? dispatchChannel(e)
                                    : dispatchOther(e);
    if (e.acting() && !request.refused && result == kResultChanged && m_env.restartRefresh) {
        m_env.restartRefresh();
    }
    return result;
}

std::optional<CellList> cmcCellLinkDispatch::cellList(const cmcCellObj& cell,
                                                      std::string_view /*arguments*/) {
    switch (cell.link) {
    case CL_Mch_Dup:
        return CellList{"GI_Sheet_Sel_Mch_Dup", Flex0};
    case CL_Mch_TS_Pitch:
        return CellList{"GI_Sheet_Sel_Mch_TS_Pitch_Exp", CL_FlexMarking};
    case CL_Mch_Mode:
        return CellList{m_env.features.hasUsableDv() ? "GI_Sheet_Sel_Mch_Mode_Exp"
                                                     : "GI_Sheet_Sel_Mch_Mode_Exp_NoDV",
                        CL_FlexMarking};
    case CL_Mch_Scan_Skip:
        return CellList{"GI_Sheet_Sel_Mch_Scan_Skip", Flex0};
    case CL_Mch_Decode:
        return CellList{"GI_Sheet_Sel_Mch_TSQL", Flex0};
    case CL_Mch_TONE_Freq:
    case CL_Mch_TSQL_Freq:
        return CellList{"GI_Sheet_Sel_Mch_TFreq", Flex0};
    case CL_Mch_DTCS:
        return CellList{"GI_Sheet_Sel_Mch_DTCS", Flex0};
    case CL_Mch_DTCS_Polarity:
        return CellList{"GI_Sheet_Sel_Mch_DTCS_Polarity", Flex0};
    case CL_Mch_Decode_RX:
        return CellList{"GI_Sheet_Sel_Mch_TSQL_C", Flex0};
    case CL_Mch_Digital_Sql:
        return CellList{"GI_Sheet_Sel_Mch_DSQL", Flex0};
    case CL_Mch_Bank_Group:
        return CellList{"GI_Sheet_Sel_Mch_Bank_Group", Flex0};
    case CL_Gps_Bank_Group:
        return CellList{"GI_Sheet_Sel_Mch_GpsBank_Group", Flex0};
    case CL_Disp_MainSub:
        return CellList{"GI_Sheet_Sel_Disp_Main", Flex0};
    case CL_Disp_VMC:
        return CellList{m_env.destination == 0 || m_env.destination == 1
                            ? "GI_Sheet_Sel_Disp_VMC_USA"
                            : "GI_Sheet_Sel_Disp_VMC",
                        Flex0};
    default:
        break;
    }
    // The families beside this file decide their own lists.
    if (auto list = memoryLinkList(m_env, cell)) {
        return list;
    }
    if (auto list = settingLinkList(m_env, cell)) {
        return *list;
    }
    if (const SettingEntry* entry =
            findSetting(static_cast<CellLinkId>(cell.link), m_env.destination)) {
        if (!entry->listKey.empty() && entry->encoding != SettingEncoding::Text &&
            entry->selectionRows == 0) {
            return CellList{std::string(entry->listKey), Flex0};
        }
    }
    return std::nullopt;
}

namespace {

// A list-valued cell: shows its value's label; Space and Backspace step in list order, Enter
// opens the list, a pick stores the picked value. Typed entries are handled by the caller.
std::int32_t choice(cmcCellCapsule& req, SelectionLists& lists, const CellList& list,
                    std::int32_t value, bool picked, std::int32_t key,
                    const std::function<bool(std::int32_t)>& store) {
    req.displayText = lists.valueText(list.key, list.itemLink, value).value_or("error");
    if (picked) {
        if (req.picked->link != list.itemLink) {
            return kResultNone;
        }
        return store(req.picked->index) ? kResultChanged : kResultNone;
    }
    if (key == 32 || key == 8) {
        return store(lists.stepValue(list.key, list.itemLink, value, key == 32 ? 1 : -1))
                   ? kResultChanged
                   : kResultNone;
    }
    if (key == 13 && req.openList && req.openList(req, list.key, list.itemLink, value)) {
        return kResultChanged;
    }
    return kResultNone;
}

// The entry whose label, read as a number, lies nearest to the typed number (the earlier
// entry on a tie).
std::optional<std::int32_t> nearestByNumber(SelectionLists& lists, const CellList& list,
                                            std::string_view typed) {
    const std::string text(typed);
    char* end = nullptr;
    const double wanted = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || wanted < 0 || wanted > 10000) {
        return std::nullopt;
    }
    std::optional<std::int32_t> best;
    double bestDistance = 0;
    for (const SelectionItem& item : lists.items(list.key, list.itemLink)) {
        const double d = std::fabs(std::strtod(item.text.c_str(), nullptr) - wanted);
        if (!best || d < bestDistance) {
            best = item.value;
            bestDistance = d;
        }
    }
    return best;
}

// The entry whose label is the typed text, else the first whose label starts with it,
// ignoring case.
std::optional<std::int32_t> entryByLabel(SelectionLists& lists, const CellList& list,
                                         std::string_view typed) {
    const std::string wanted = lower(typed);
    if (wanted.empty() || wanted.size() > 10) {
        return std::nullopt;
    }
    const auto& items = lists.items(list.key, list.itemLink);
    for (const SelectionItem& item : items) {
        if (lower(item.text) == wanted) {
            return item.value;
        }
    }
    for (const SelectionItem& item : items) {
        if (lower(item.text).starts_with(wanted)) {
            return item.value;
        }
    }
    return std::nullopt;
}

bool appliesToMode(std::int32_t link, const ChannelRecord& r) {
    const bool fm = r.mode == 0 || r.mode == 1;
    switch (link) {
    case CL_Mch_Decode:
    case CL_Mch_Decode_RX:
        return fm;
    case CL_Mch_TONE_Freq:
        return fm && r.toneMode == 1;
    case CL_Mch_TSQL_Freq:
        return fm && (r.toneMode == 3 || r.toneMode == 4);
    case CL_Mch_DTCS:
    case CL_Mch_DTCS_Polarity:
        return fm && (r.toneMode == 6 || r.toneMode == 7);
    case CL_Mch_Air_Freq:
        return fm && r.decodeRx == 1;
    case CL_Mch_Digital_Sql:
    case CL_Mch_DYou_Callsign:
    case CL_Mch_DRpt1_Callsign:
    case CL_Mch_DRpt2_Callsign:
        return r.mode == kModeDv;
    case CL_Mch_Digital_Code:
        return r.mode == kModeDv && r.digitalSquelch == 4;
    default:
        return true;
    }
}

} // namespace

std::int32_t cmcCellLinkDispatch::dispatchChannel(Event& e) {
    cmcEeprom& image = *m_env.image;
    cmcCellCapsule& req = e.req;
    const cmcCellObj& cell = e.cell;
    const int kind = recordKind(cell.category);
    ChannelRecord rec(image);
    std::int32_t bank = -1;
    bool hasRecord = false;
    if (kind == 2) {
        bank = leadingNumber(cell.linkParameter.value_or(""));
        if (bank < 0 && cell.linkParameter && !cell.linkParameter->empty()) {
            const char letter = static_cast<char>(
                std::toupper(static_cast<unsigned char>((*cell.linkParameter)[0])));
            bank = letter >= 'A' && letter <= 'Z' ? letter - 'A' : -1;
        }
        if (bank < 0) {
            bank = leadingNumber(req.arguments) - 9; // the bank sheet's variant 9-34
        }
        const std::uint16_t slot = banklink::slot(image, bank, cell.index);
        if (slot < imagemap::kBankableChannelCount) {
            hasRecord = rec.load(kKindChannel, slot);
        }
    } else {
        hasRecord = rec.load(kind, cell.index);
    }
    const bool used = hasRecord && rec.used;
    // The channel's own verdict marks each of its cells.
    std::uint8_t verdict = 0;
    if (used) {
        verdict = SettingChecks(image, m_env.destination, m_env.features).channelVerdict(rec);
        req.flags =
            static_cast<std::uint8_t>((req.flags & ~(kVerdictWarning | kVerdictError)) | verdict);
    }
    const auto store = [&]() {
        rec.store();
        return true;
    };
    const auto bankChanged = [&]() {
        banklink::rebuild(image);
        if (m_env.channelDataChanged) {
            m_env.channelDataChanged();
        }
    };
    const auto listFor = [&]() { return *cellList(cell, req.arguments); };
    // Fields other than the frequency are edited only on a channel that is in use.
    const auto storeField = [&](const std::function<void()>& change) {
        if (!used) {
            return false;
        }
        change();
        return store();
    };
    if (req.drawing && used && !appliesToMode(cell.link, rec)) {
        req.textColor = kGrayText;
    }
    const bool kana = halfWidthKanaNamesAllowed(m_env.destination, m_env.japaneseSystem);

    switch (cell.link) {
    case CL_Mch_Select_ChNo: {
        const std::uint16_t slot = banklink::slot(image, bank, cell.index);
        req.displayText = used ? std::to_string(slot) : "---";
        if (e.commit) {
            const auto number = parseWholeNumber(req.text, 0, imagemap::kBankableChannelCount - 1);
            if (!number) {
                return e.refuseUnlessBlank(number.refusal());
            }
            if (bank < 0 || bank >= imagemap::kBankCount || slot == 0xFFFE) {
                return e.refuse();
            }
            if (slot < imagemap::kBankableChannelCount) {
                ChannelRecord old(image);
                old.load(kKindChannel, slot);
                old.bankGroup = imagemap::kNoBank;
                old.bankChannel = 0;
                old.store();
            }
            ChannelRecord chosen(image);
            chosen.load(kKindChannel, *number);
            if (!chosen.used) {
                chosen.used = true;
                chosen.frequency = frequency::kNoFrequency;
            }
            chosen.bankGroup = bank;
            chosen.bankChannel = cell.index;
            chosen.store();
            bankChanged();
            return kResultChanged;
        }
        return e.editKeys(used ? req.displayText : "", isDigitKey);
    }
    case CL_Mch_Freq: {
        const bool startsEmpty = !used || rec.frequency >= frequency::kNoFrequency;
        // A channel in error shows no frequency until the user edits it.
        const bool shown = used && !(req.drawing && (verdict & kVerdictError) != 0);
        req.displayText = shown ? formatFrequency(rec.frequency) : "";
        if (e.commit) {
            if (!hasRecord) {
                return e.refuse();
            }
            const auto hz = parseFrequency(req.text);
            if (!hz) {
                return e.refuseUnlessBlank(hz.refusal());
            }
            if (startsEmpty) {
                // A new channel takes its settings from the band default of its frequency.
                ChannelRecord fresh(image);
                const bool memory =
                    rec.kind == kKindChannel && rec.index < imagemap::kMemoryChannelCount;
                fresh.load(memory ? kKindBandDefault : kKindBandDefaultSkip,
                           frequency::bandOf(*hz));
                const ChannelRecord kept = rec;
                rec = fresh;
                rec.kind = kept.kind;
                rec.index = kept.index;
                rec.bankGroup = kept.bankGroup;
                rec.bankChannel = kept.bankChannel;
                rec.bandFlags = kept.bandFlags;
                rec.memoryMode = kept.memoryMode;
                rec.channelSelection = kept.channelSelection;
                rec.memoryChannel = kept.memoryChannel;
                rec.wxChannel = kept.wxChannel;
            }
            rec.frequency = *hz;
            rec.used = true;
            store();
            return kResultChanged;
        }
        if (e.key == '.') {
            return e.editAfterPoint(startsEmpty ? "0.000000" : req.displayText);
        }
        if (e.key == 13 || e.key == 32) {
            return e.edit(startsEmpty ? "" : req.displayText, false);
        }
        if (isDigitKey(e.key) || e.key == '-') {
            return e.edit(std::string(1, static_cast<char>(e.key)), true);
        }
        return kResultNone;
    }
    case CL_Mch_Offset_Freq: {
        req.displayText = used ? formatScaledDecimal(rec.offset, offsetFormat(rec.frequency)) : "";
        if (e.commit) {
            const auto hz = parseOffset(req.text, rec.frequency);
            if (!hz) {
                return e.refuseUnlessBlank(hz.refusal());
            }
            return storeField([&] { rec.offset = *hz; }) ? kResultChanged : e.refuse();
        }
        if (!used) {
            return kResultNone;
        }
        // No stepping: Backspace does nothing, Space edits as Enter does.
        if (e.key == 13 || e.key == 32) {
            return e.edit(req.displayText, false);
        }
        if (e.key == '.') {
            return e.editAfterPoint(req.displayText);
        }
        if (isDigitKey(e.key) || e.key == '-') {
            return e.edit(std::string(1, static_cast<char>(e.key)), true);
        }
        return kResultNone;
    }
    case CL_Mch_Name: {
        req.displayText = used ? formatTextField(textOf(rec.name), kana) : "";
        if (e.commit) {
            const std::string stored = parseTextField(req.text, 8, kana);
            return storeField([&] { rec.name = ChannelRecord::toText8(stored); }) ? kResultChanged
                                                                                  : e.refuse();
        }
        return used ? e.editKeys(req.displayText, isPrintableKey) : kResultNone;
    }
    case CL_Mch_DYou_Callsign:
    case CL_Mch_DRpt1_Callsign:
    case CL_Mch_DRpt2_Callsign: {
        ChannelRecord::Text8& field = cell.link == CL_Mch_DYou_Callsign    ? rec.yourCall
                                      : cell.link == CL_Mch_DRpt1_Callsign ? rec.repeater1Call
                                                                           : rec.repeater2Call;
        req.displayText = used ? formatCallSign(textOf(field)) : "";
        const bool youList = cell.link == CL_Mch_DYou_Callsign;
        if (e.picked != nullptr) {
            std::string sign;
            const std::int32_t i = e.picked->index;
            if (e.picked->linkParameter) {
                sign = *e.picked->linkParameter;
            } else if (youList && i >= 0 && i < 60) {
                sign = std::string(imageText(image, imagemap::kYourCallSigns + 8 * i, 8));
            } else if (i >= 0 && i < (youList ? 119 : 60)) {
                sign = std::string(
                    imageText(image, imagemap::kRepeaterCallSigns + 8 * (youList ? i - 60 : i), 8));
            }
            return storeField([&] { field = ChannelRecord::toText8(parseCallSign(sign)); })
                       ? kResultChanged
                       : e.refuse();
        }
        if (e.commit) {
            return storeField([&] { field = ChannelRecord::toText8(parseCallSign(req.text)); })
                       ? kResultChanged
                       : e.refuse();
        }
        if (!used) {
            return kResultNone;
        }
        if (e.key == 13 && req.openList &&
            req.openList(
                req, youList ? "GI_Sheet_Sel_Mch_DYou_Callsign" : "GI_Sheet_Sel_Mch_DRpt_Callsign",
                Flex0, 0)) {
            return kResultChanged;
        }
        return e.editKeys(req.displayText, [](std::int32_t k) {
            return k == '/' || std::isalnum(static_cast<unsigned char>(k)) != 0;
        });
    }
    case CL_Mch_Air_Freq: {
        req.displayText = used ? formatAirFrequency(rec.airFrequency) : "";
        if (e.commit) {
            const auto value = parseAirFrequency(req.text);
            if (!value) {
                return e.refuseUnlessBlank(value.refusal());
            }
            return storeField([&] { rec.airFrequency = *value; }) ? kResultChanged : e.refuse();
        }
        return used ? e.editKeys(req.displayText, isDigitKey) : kResultNone;
    }
    case CL_Mch_Digital_Code:
    case CL_Mch_Bank_ChNo: {
        const bool code = cell.link == CL_Mch_Digital_Code;
        const bool inBank = rec.bankGroup < imagemap::kBankCount;
        req.displayText = !used    ? ""
                          : code   ? formatWholeNumber(rec.digitalCode)
                          : inBank ? formatWholeNumber(rec.bankChannel)
                                   : "";
        if (e.commit) {
            const auto value = parseWholeNumber(req.text, 0, code ? 127 : 99);
            if (!value) {
                return e.refuseUnlessBlank(value.refusal());
            }
            if (!code && !inBank) {
                return e.refuse();
            }
            if (!storeField([&] { (code ? rec.digitalCode : rec.bankChannel) = *value; })) {
                return e.refuse();
            }
            if (!code) {
                bankChanged();
            }
            return kResultChanged;
        }
        return used ? e.editKeys(req.displayText, isDigitKey) : kResultNone;
    }
    case CL_Disp_MainSub:
    case CL_Disp_VMC:
    case CL_Disp_ChNo: {
        if (kind != 3 || cell.index < 0 || cell.index > 3) {
            return kResultNone;
        }
        const std::int32_t base = kFunctionSettings[cell.index / 2];
        const int band = cell.index % 2;
        const std::uint8_t display = image.getByte(base + kDisplayByte);
        if (cell.link == CL_Disp_MainSub) {
            const bool main = ((display >> 2) & 1) == band;
            const bool dual = (display & 0x80) != 0;
            const std::int32_t value = !main ? 1 : dual ? 0 : 2;
            return choice(req, *m_env.lists, listFor(), value, e.picked != nullptr, e.key,
                          [&](std::int32_t v) {
                              if (v == 1) {
                                  return false;
                              }
                              std::uint8_t b = display;
                              b = static_cast<std::uint8_t>(band == 1 ? (b | 0x04) : (b & ~0x04));
                              b = static_cast<std::uint8_t>(v == 0 ? (b | 0x80) : (b & ~0x80));
                              image.setByte(base + kDisplayByte, b);
                              return true;
                          });
        }
        const std::int32_t modeAddress = base + 167 + band;
        const std::int32_t value = rec.memoryMode == kMemoryModeCall
                                       ? 5 + (rec.channelSelection != 0 ? 1 : 0)
                                       : rec.memoryMode;
        if (cell.link == CL_Disp_VMC) {
            return choice(req, *m_env.lists, listFor(), value, e.picked != nullptr, e.key,
                          [&](std::int32_t v) {
                              std::uint8_t b = image.getByte(modeAddress);
                              const int mode = v >= 5 ? kMemoryModeCall : v;
                              b = static_cast<std::uint8_t>(b & 0xE3); // bits 4-2
                              b = static_cast<std::uint8_t>(
                                  mode == kMemoryModeVfo ? (b | 0x10) : (b | (mode << 2)));
                              image.setByte(modeAddress, b);
                              if (v >= 5) {
                                  image.setByte(base + 241 + band,
                                                static_cast<std::uint8_t>(v - 5));
                              }
                              return true;
                          });
        }
        // CH No: the memory channel in memory mode, the weather channel in weather mode.
        const bool memoryMode = rec.memoryMode == kMemoryModeMemory;
        const bool weather = rec.memoryMode == kMemoryModeWeather;
        req.displayText = memoryMode ? formatWholeNumber(rec.memoryChannel)
                          : weather  ? formatWholeNumber(rec.wxChannel)
                                     : "";
        if (e.commit) {
            if (!memoryMode && !weather) {
                return e.refuse();
            }
            const auto number =
                parseWholeNumber(req.text, 0, memoryMode ? imagemap::kMemoryChannelCount - 1 : 9);
            if (!number) {
                return e.refuseUnlessBlank(number.refusal());
            }
            if (memoryMode) {
                image.setByte(base + 237 + 2 * band, static_cast<std::uint8_t>(*number >> 8));
                image.setByte(base + 238 + 2 * band, static_cast<std::uint8_t>(*number & 0xFF));
            } else {
                image.setByte(base + 243 + band, static_cast<std::uint8_t>(*number));
            }
            return kResultChanged;
        }
        return memoryMode || weather ? e.editKeys(req.displayText, isDigitKey) : kResultNone;
    }
    default:
        break;
    }

    // List-valued channel columns.
    const auto list = cellList(cell, req.arguments);
    if (!list) {
        return kResultNone;
    }
    int* field = nullptr;
    switch (cell.link) {
    case CL_Mch_Dup:
        field = &rec.duplex;
        break;
    case CL_Mch_TS_Pitch:
        field = &rec.tuningStep;
        break;
    case CL_Mch_Mode:
        field = &rec.mode;
        break;
    case CL_Mch_Scan_Skip:
        field = &rec.skip;
        break;
    case CL_Mch_Decode:
        field = &rec.toneMode;
        break;
    case CL_Mch_TONE_Freq:
        field = &rec.toneIndex;
        break;
    case CL_Mch_TSQL_Freq:
        field = &rec.tsqlIndex;
        break;
    case CL_Mch_DTCS:
        field = &rec.dtcsIndex;
        break;
    case CL_Mch_DTCS_Polarity:
        field = &rec.dtcsPolarity;
        break;
    case CL_Mch_Decode_RX:
        field = &rec.decodeRx;
        break;
    case CL_Mch_Digital_Sql:
        field = &rec.digitalSquelch;
        break;
    case CL_Mch_Bank_Group:
        field = &rec.bankGroup;
        break;
    default:
        return kResultNone;
    }
    if (cell.link == CL_Mch_Scan_Skip &&
        (rec.kind != kKindChannel || rec.index >= imagemap::kBankableChannelCount)) {
        return kResultNone;
    }
    if (!used) {
        return e.commit || e.picked != nullptr ? e.refuse() : kResultNone;
    }
    const bool bankField = cell.link == CL_Mch_Bank_Group;
    const auto storeValue = [&](std::int32_t v) {
        if (!m_env.lists->valueText(list->key, list->itemLink, v)) {
            return false;
        }
        *field = v;
        store();
        if (bankField) {
            bankChanged();
        }
        return true;
    };
    if (e.commit) {
        std::optional<std::int32_t> value;
        if (cell.link == CL_Mch_TONE_Freq || cell.link == CL_Mch_TSQL_Freq ||
            cell.link == CL_Mch_DTCS) {
            value = nearestByNumber(*m_env.lists, *list, req.text);
        } else if (cell.link == CL_Mch_TS_Pitch || cell.link == CL_Mch_Bank_Group) {
            value = entryByLabel(*m_env.lists, *list, req.text);
        }
        req.displayText =
            m_env.lists->valueText(list->key, list->itemLink, *field).value_or("error");
        return value && storeValue(*value) ? kResultChanged : e.refuse();
    }
    const std::int32_t result =
        choice(req, *m_env.lists, *list, *field, e.picked != nullptr, e.key, storeValue);
    if (result != kResultNone || e.key == 0) {
        return result;
    }
    if ((cell.link == CL_Mch_TONE_Freq || cell.link == CL_Mch_TSQL_Freq ||
         cell.link == CL_Mch_DTCS) &&
        isDigitKey(e.key)) {
        return e.edit(std::string(1, static_cast<char>(e.key)), true);
    }
    if ((cell.link == CL_Mch_TS_Pitch || cell.link == CL_Mch_Bank_Group) && isPrintableKey(e.key)) {
        return e.edit(std::string(1, static_cast<char>(e.key)), true);
    }
    return kResultNone;
}

std::int32_t cmcCellLinkDispatch::dispatchOther(Event& e) {
    cmcEeprom& image = *m_env.image;
    cmcCellCapsule& req = e.req;
    const cmcCellObj& cell = e.cell;
    const std::int32_t n = cell.index;
    const bool kana = halfWidthKanaNamesAllowed(m_env.destination, m_env.japaneseSystem);

    // The other memories and the settings that need more than a byte and a list live in
    // families of their own.
    const LinkEvent event{req, e.key, e.commit, e.picked};
    if (auto result = dispatchMemoryLink(m_env, event)) {
        return *result;
    }
    if (auto result = dispatchSettingLink(m_env, event)) {
        return *result;
    }

    // A fixed-width text field of the image.
    const auto textField = [&](std::int32_t address, std::int32_t width, bool callSign,
                               const std::function<void()>& afterChange) -> std::int32_t {
        const std::string_view stored = imageText(image, address, width);
        if (stored.empty()) {
            return kResultNone;
        }
        req.displayText = callSign ? formatCallSign(stored) : formatTextField(stored, kana);
        if (e.commit) {
            const std::string bytes =
                callSign ? parseCallSign(req.text, static_cast<std::size_t>(width))
                         : parseTextField(req.text, static_cast<std::size_t>(width), kana);
            writeText(image, address, bytes);
            if (afterChange) {
                afterChange();
            }
            return kResultChanged;
        }
        return e.editKeys(req.displayText, [callSign](std::int32_t k) {
            return callSign ? (k == '/' || std::isalnum(static_cast<unsigned char>(k)) != 0)
                            : isPrintableKey(k);
        });
    };

    switch (cell.link) {
    case CL_Null:
    case kNoLink:
        return kResultNone;
    case FlexSpace:
    case FlexKeyOpt:
    case CL_Menu_Debug_Compare:
    case CL_Menu_Debug_CorrectComp:
    case CL_Menu_Debug_CautionCorrectComp:
    case CL_Menu_Debug_CorrectGps:
    case CL_Menu_Debug_Window:
    case CL_Menu_Debug_EeWindow:
    case CL_Debug_Info_Rx_Expansion:
    case CL_Debug_Info_FccInh:
    case CL_Debug_Info_Destination:
    case CL_Debug_Info_DigitalU:
    case CL_Debug_Info_DvInh:
    case CL_Debug_Info_Pgr:
    case CL_Debug_Language:
    case CL_Debug_KTV_LOAD:
    case CL_PMenu_Help:
    case CL_PMenu_RcvDelete:
    case CL_FBits:
    case CL_Mch_No:
    case CL_Mch_CH_Atr:
    case CL_Mch_CH_Inh:
        req.displayText = std::to_string(cell.link) + " *Yet*";
        return kResultNone;
    case Flex0:
    case CL_FlexMarking:
        // Items of selection lists and menu entries show their own text.
        req.displayText = std::string(cell.displayText());
        return kResultNone;
    case CL_Misc_ChNo_0Base:
        req.displayText = std::to_string(n);
        return kResultNone;
    case CL_Misc_ChNo_1Base:
        req.displayText = std::to_string(n + 1);
        return kResultNone;
    case CL_DTMF_ChNo:
        req.displayText = dtmfRowLabel(n);
        return kResultNone;
    case CL_PGR_Memory_ChNo:
        req.displayText = pagerRowLabel(n);
        return kResultNone;
    case CL_Tx_Message_ChNo:
        req.displayText = txMessageRowLabel(n);
        return kResultNone;
    case CL_My_Callsign_ChNo:
        req.displayText = myCallSignRowLabel(n);
        return kResultNone;
    case CL_You_Callsign_ChNo:
    case CL_You_Callsign_Cell_ChNo:
        // The pick list of destination call signs continues with the repeater call signs.
        req.displayText = cell.link == CL_You_Callsign_Cell_ChNo && n >= 60 && n < 119
                              ? repeaterCallSignRowLabel(n - 60)
                              : yourCallSignRowLabel(n);
        return kResultNone;
    case CL_Repeater_Callsign_ChNo:
    case CL_Repeater_Callsign_Cell_ChNo:
        req.displayText = repeaterCallSignRowLabel(n);
        return kResultNone;
    case CL_Gps_ChNo:
        req.displayText = n >= 0 && n < imagemap::kGpsMemoryCount ? std::to_string(n) : "";
        return kResultNone;
    case CL_Bank_Name:
        if (n < 0 || n >= imagemap::kBankCount) {
            return kResultNone;
        }
        return textField(imagemap::kBankNames + 8 * n, 8, false, [&] {
            if (m_env.bankNameChanged) {
                m_env.bankNameChanged(9 + n);
            }
        });
    case CL_Gps_Bank_Name:
        if (n < 0 || n >= imagemap::kBankCount) {
            return kResultNone;
        }
        return textField(imagemap::kGpsBankNames + 8 * n, 8, false, [&] {
            if (m_env.bankNameChanged) {
                m_env.bankNameChanged(36 + n);
            }
        });
    case CL_Scan_Name:
        return n >= 0 && n < imagemap::kScanEdgePairCount
                   ? textField(imagemap::kScanEdgeNames + 8 * n, 8, false, nullptr)
                   : kResultNone;
    case CL_Common_CLONE_COMMENT:
        return textField(imagemap::kCloneComment, imagemap::kCloneCommentSize, false, nullptr);
    case CL_Tx_Message_Code:
        return n >= 0 && n < imagemap::kTxMessageCount
                   ? textField(imagemap::kTxMessages + imagemap::kTxMessageSize * n,
                               imagemap::kTxMessageSize, false, nullptr)
                   : kResultNone;
    case CL_GPS_Message_Code:
        return textField(imagemap::kGpsMessage, imagemap::kGpsMessageSize, false, nullptr);
    case CL_My_Callsign_Code:
    case CL_My_Callsign2_Code:
        if (n < 0 || n >= imagemap::kMyCallSignCount) {
            return kResultNone;
        }
        return cell.link == CL_My_Callsign_Code
                   ? textField(imagemap::kMyCallSigns + 12 * n, 8, true, nullptr)
                   : textField(imagemap::kMyCallSigns + 12 * n + 8, 4, true, nullptr);
    case CL_You_Callsign_Code:
    case CL_You_Callsign_Code_Disp:
        if (n == 255) {
            req.displayText = "CQCQCQ";
            return kResultNone;
        }
        if (n >= 60 && n < 119 && cell.link == CL_You_Callsign_Code_Disp) {
            req.displayText =
                formatCallSign(imageText(image, imagemap::kRepeaterCallSigns + 8 * (n - 60), 8));
            return kResultNone;
        }
        if (n < 0 || n >= imagemap::kCallSignListCount) {
            return kResultNone;
        }
        if (cell.link == CL_You_Callsign_Code_Disp) {
            req.displayText = formatCallSign(imageText(image, imagemap::kYourCallSigns + 8 * n, 8));
            return kResultNone;
        }
        return textField(imagemap::kYourCallSigns + 8 * n, 8, true, nullptr);
    case CL_Repeater_Callsign_Code:
        return n >= 0 && n < imagemap::kCallSignListCount
                   ? textField(imagemap::kRepeaterCallSigns + 8 * n, 8, true, nullptr)
                   : kResultNone;
    case CL_DTMF_Memory_Code: {
        if (n < 0 || n >= imagemap::kDtmfMemoryCount) {
            return kResultNone;
        }
        const std::int32_t address = imagemap::kDtmfMemories + imagemap::kDtmfMemorySize * n;
        req.displayText =
            formatDtmfCode(std::span<const std::uint8_t>(image.data() + address, kDtmfDigits));
        if (e.commit) {
            const DtmfCode code = parseDtmfCode(req.text);
            image.writeBlock(address, code.data(), static_cast<std::int32_t>(code.size()));
            return kResultChanged;
        }
        return e.editKeys(req.displayText, [](std::int32_t k) {
            return std::isxdigit(static_cast<unsigned char>(k)) != 0 || k == '*' || k == '#';
        });
    }
    case CL_PGR_Memory_Code: {
        const std::int32_t base =
            settingsBlockBase(settingsBlockForParameter(cell.linkParameter.value_or("")));
        const std::int32_t address = base + 0x108 + 3 * n;
        if (n < 0 || !image.isValidAddress(address + 2)) {
            return kResultNone;
        }
        req.displayText =
            formatPagerCode(std::span<const std::uint8_t, 3>(image.data() + address, 3), n);
        if (n >= kPagerRows) {
            return kResultNone;
        }
        if (e.commit) {
            const auto code = parsePagerCode(req.text);
            if (!code) {
                return kResultNone; // shorter than a code: nothing changes
            }
            image.writeBlock(address, code.value().data(), 3);
            return kResultChanged;
        }
        return e.editKeys(req.displayText, isDigitKey);
    }
    case CL_Received_Callsign_Caller:
    case CL_Received_Callsign_Caller2:
    case CL_Received_Callsign_Called:
    case CL_Received_Callsign_RPT1:
    case CL_Received_Callsign_RPT2:
    case CL_Received_Callsign_Status:
    case CL_Received_Callsign_Date:
    case CL_Received_Callsign_BK:
    case CL_Received_Callsign_EMR: {
        // Row n shows the record that the order table puts in display row n.
        std::int32_t record = -1;
        for (std::int32_t r = 0; r < imagemap::kReceivedCallCount; ++r) {
            if (image.getByte(imagemap::kReceivedCallOrder + r) == n && n >= 0) {
                record = r;
                break;
            }
        }
        if (record < 0) {
            return kResultNone;
        }
        const std::int32_t base = imagemap::kReceivedCalls + imagemap::kReceivedCallSize * record;
        const std::uint8_t status = image.getByte(imagemap::kReceivedCallStatus + record);
        const DateOrder order =
            m_env.japaneseSystem ? DateOrder::YearMonthDay : DateOrder::MonthDayYear;
        switch (cell.link) {
        case CL_Received_Callsign_Caller:
            req.displayText = formatCallSign(imageText(image, base, 8));
            break;
        case CL_Received_Callsign_Caller2:
            req.displayText = formatCallSign(imageText(image, base + 8, 4));
            break;
        case CL_Received_Callsign_RPT1:
            req.displayText = formatCallSign(imageText(image, base + 12, 8));
            break;
        case CL_Received_Callsign_RPT2:
            req.displayText = formatCallSign(imageText(image, base + 20, 8));
            break;
        case CL_Received_Callsign_Called:
            req.displayText = formatCallSign(imageText(image, base + 28, 8));
            break;
        case CL_Received_Callsign_Status:
            req.displayText = receivedCallStatusText(status);
            break;
        case CL_Received_Callsign_Date:
            req.displayText = formatReceivedDateTime(
                std::span<const std::uint8_t, 3>(image.data() + base + 36, 3),
                std::span<const std::uint8_t, 3>(image.data() + base + 39, 3), order);
            break;
        case CL_Received_Callsign_BK:
            req.displayText = receivedCallBreakInText(status);
            break;
        default:
            req.displayText = receivedCallEmergencyText(status);
            break;
        }
        return kResultNone;
    }
    case CL_Gps_Name:
    case CL_Gps_Date:
    case CL_Gps_Time:
    case CL_Gps_Latitude:
    case CL_Gps_Longitude:
    case CL_Gps_Bank_Group:
        return dispatchGps(e);
    default:
        break;
    }
    if (findSetting(static_cast<CellLinkId>(cell.link), m_env.destination) != nullptr) {
        return dispatchSetting(e);
    }
    if (SettingChecks::isCheckLink(static_cast<CellLinkId>(cell.link))) {
        // A check answers the verdict of its sheet in the request's marks.
        static_assert(cmcCellCapsule::kFlagWarning == kVerdictWarning &&
                      cmcCellCapsule::kFlagError == kVerdictError);
        req.flags =
            static_cast<std::uint8_t>((req.flags & ~(kVerdictWarning | kVerdictError)) |
                                      SettingChecks(image, m_env.destination, m_env.features)
                                          .verdict(static_cast<CellLinkId>(cell.link)));
        return kResultNone;
    }
    // Menu links answer their state query (command 0) as well as their execution.
    if (cell.link >= CL_Menu_File_New && cell.link <= CL_Help_Contents) {
        if (m_env.command && !req.drawing && (e.key == 0 || e.key == 13)) {
            return m_env.command(req);
        }
        return kResultNone;
    }
    if (cell.link == CallSheet ||
        (cell.link >= CL_Check_MemoryCH0 && cell.link <= CL_Debug_KTV_LOAD)) {
        if (m_env.command && (e.key == 13 || e.req.command == 13)) {
            return m_env.command(req);
        }
    }
    return kResultNone;
}

std::int32_t cmcCellLinkDispatch::dispatchSetting(Event& e) {
    cmcEeprom& image = *m_env.image;
    cmcCellCapsule& req = e.req;
    const cmcCellObj& cell = e.cell;
    const SettingEntry& entry = *findSetting(static_cast<CellLinkId>(cell.link), m_env.destination);
    // The settings block: the cell's parameter names a function memory, else the settings
    // sheet's variant does.
    SettingsBlock block = settingsBlockForParameter(cell.linkParameter.value_or(""));
    if (block == SettingsBlock::Main && !cell.linkParameter) {
        block = settingsBlockForParameter(req.arguments);
    }
    const std::int32_t index = entry.indexCount > 1 ? cell.index : 0;

    if (entry.encoding == SettingEncoding::Text) {
        // Like every text cell: bytes outside 32-126 show as spaces.
        req.displayText = formatTextField(readSettingText(image, block, entry).value_or(""), false);
        if (e.commit) {
            return writeSettingText(image, block, entry, req.text) ? kResultChanged : e.refuse();
        }
        return e.editKeys(req.displayText, [&entry](std::int32_t k) {
            return entry.linkId == CL_Common_Other_Symbol ? (k == '\\' || k == '/')
                                                          : isPrintableKey(k);
        });
    }
    const auto value = readSetting(image, block, entry, index);
    if (!value) {
        return kResultNone;
    }
    const auto write = [&](std::int32_t v) { return writeSetting(image, block, entry, index, v); };
    if (entry.selectionRows != 0) {
        const bool marked = selectionRowMarked(*value, cell.index);
        req.displayText.assign(marked ? 1U : 0U, 'S');
        if (e.picked != nullptr) {
            return e.picked->index != 0 && write(cell.index) ? kResultChanged : kResultNone;
        }
        if (e.key == 32 || e.key == 8 || e.key == 13) {
            return !marked && write(cell.index) ? kResultChanged : kResultNone;
        }
        return kResultNone;
    }
    switch (entry.encoding) {
    case SettingEncoding::SentenceMask: {
        const auto combos = gpsSentenceCombinations();
        const std::int32_t shown = gpsSentenceEntryForMask(*value);
        req.displayText = std::string(combos[static_cast<std::size_t>(shown)].label);
        if (e.key == 32 || e.key == 8) {
            const std::int32_t next = gpsSentenceStep(shown, e.key == 32 ? 1 : -1);
            return write(combos[static_cast<std::size_t>(next)].mask) ? kResultChanged
                                                                      : kResultNone;
        }
        return kResultNone;
    }
    case SettingEncoding::Signed16: {
        req.displayText = formatUtcOffset(*value);
        if (e.commit) {
            const auto minutes = parseUtcOffset(req.text);
            if (!minutes) {
                return e.refuseUnlessBlank(minutes.refusal());
            }
            return write(*minutes) ? kResultChanged : e.refuse();
        }
        return e.editKeys(req.displayText, [](std::int32_t k) {
            return isDigitKey(k) || k == '-' || k == '+' || k == ':';
        });
    }
    case SettingEncoding::PositionArea: {
        const PositionArea area{static_cast<std::uint8_t>(*value / 60),
                                static_cast<std::uint8_t>(*value % 60)};
        req.displayText = formatPositionArea(area);
        if (e.commit) {
            const auto parsed = parsePositionArea(req.text);
            if (!parsed) {
                return e.refuseUnlessBlank(parsed.refusal());
            }
            return write(parsed.value().minutes * 60 + parsed.value().seconds) ? kResultChanged
                                                                               : e.refuse();
        }
        return e.editKeys(req.displayText,
                          [](std::int32_t k) { return isDigitKey(k) || k == '\''; });
    }
    default:
        break;
    }
    if (entry.listKey.empty()) {
        req.displayText = formatWholeNumber(*value);
        if (e.commit) {
            const auto number =
                parseWholeNumber(req.text, entry.values.minimum, entry.values.maximum);
            if (!number) {
                return e.refuseUnlessBlank(number.refusal());
            }
            return write(*number) ? kResultChanged : e.refuse();
        }
        return e.editKeys(req.displayText, isDigitKey);
    }
    const CellList list{std::string(entry.listKey), Flex0};
    return choice(req, *m_env.lists, list, *value, e.picked != nullptr, e.key, write);
}

std::int32_t cmcCellLinkDispatch::dispatchGps(Event& e) {
    cmcEeprom& image = *m_env.image;
    cmcCellCapsule& req = e.req;
    const cmcCellObj& cell = e.cell;
    ChannelRecord rec(image);
    if (!rec.load(kKindGps, cell.index)) {
        return kResultNone;
    }
    const bool kana = halfWidthKanaNamesAllowed(m_env.destination, m_env.japaneseSystem);
    const DateOrder order =
        m_env.japaneseSystem ? DateOrder::YearMonthDay : DateOrder::MonthDayYear;
    // Dates, times and positions come from a masked entry: a pick carrying the text, or a
    // typed text.
    const bool entered = e.commit || (e.picked != nullptr && e.picked->link == Flex0 &&
                                      cell.link != CL_Gps_Bank_Group);
    const std::string typed = e.commit              ? req.text
                              : e.picked != nullptr ? std::string(e.picked->displayText())
                                                    : "";
    const auto done = [&](bool ok) -> std::int32_t {
        if (!ok) {
            return e.refuse();
        }
        rec.store();
        return kResultChanged;
    };
    // Where the host has a masked entry, the keys that start editing open it instead of the
    // in-place editor; it hands the text back as a pick.
    const auto maskedOrEdit = [&](MaskedEntryKind kind, const std::string& text) -> std::int32_t {
        const bool starts = e.key == 13 || e.key == 32 || e.key == 8 || isDigitKey(e.key);
        if (starts && req.openMaskedEntry && req.openMaskedEntry(req, kind, text, e.key)) {
            return kResultChanged;
        }
        return e.editKeys(req.displayText, isDigitKey);
    };
    switch (cell.link) {
    case CL_Gps_Name:
        req.displayText = formatTextField(textOf(rec.name), kana);
        if (e.commit) {
            rec.name = ChannelRecord::toText8(parseTextField(req.text, 8, kana));
            return done(true);
        }
        return e.editKeys(req.displayText, isPrintableKey);
    case CL_Gps_Date:
        req.displayText = formatGpsDate(rec.date, order);
        if (entered) {
            // The masked entry hands its date back as year/month/day; typed text is in the
            // order the cell shows.
            const auto date = parseGpsDate(typed, e.commit ? order : DateOrder::YearMonthDay);
            if (date) {
                rec.date = date.value();
            }
            return done(date.ok());
        }
        return maskedOrEdit(MaskedEntryKind::Date,
                            formatGpsDate(rec.date, DateOrder::YearMonthDay));
    case CL_Gps_Time:
        req.displayText = formatGpsTime(rec.time);
        if (entered) {
            const auto time = parseGpsTime(typed);
            if (time) {
                rec.time = time.value();
            }
            return done(time.ok());
        }
        return maskedOrEdit(MaskedEntryKind::Time, req.displayText);
    case CL_Gps_Latitude:
        req.displayText = formatLatitude(rec.latitude, m_env.codePage);
        if (entered) {
            const auto position = parseLatitude(typed);
            if (position) {
                rec.latitude = position.value();
            }
            return done(position.ok());
        }
        return maskedOrEdit(MaskedEntryKind::Latitude, req.displayText);
    case CL_Gps_Longitude:
        req.displayText = formatLongitude(rec.longitude, m_env.codePage);
        if (entered) {
            const auto position = parseLongitude(typed);
            if (position) {
                rec.longitude = position.value();
            }
            return done(position.ok());
        }
        return maskedOrEdit(MaskedEntryKind::Longitude, req.displayText);
    default: {
        const CellList list = *cellList(cell, req.arguments);
        if (e.commit) {
            const auto value = entryByLabel(*m_env.lists, list, req.text);
            if (value) {
                rec.gpsBankGroup = *value;
            }
            return done(value.has_value());
        }
        const std::int32_t result = choice(req, *m_env.lists, list, rec.gpsBankGroup,
                                           e.picked != nullptr, e.key, [&](std::int32_t v) {
                                               rec.gpsBankGroup = v;
                                               rec.store();
                                               return true;
                                           });
        if (result == kResultNone && e.key != 32 && isPrintableKey(e.key)) {
            return e.edit(std::string(1, static_cast<char>(e.key)), true);
        }
        return result;
    }
    }
}

} // namespace qx
