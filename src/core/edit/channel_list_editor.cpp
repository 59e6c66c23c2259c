#include "edit/channel_list_editor.h"

#include "base/cell_capsule.h"
#include "base/event_manager.h"
#include "base/user_prompt.h"
#include "edit/edit_history.h"
#include "radio/bank_link_table.h"
#include "radio/cell_link_names.h"
#include "radio/eeprom.h"
#include "radio/image_map.h"
#include "radio/image_set.h"
#include "text/text_table.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace qx {

using namespace imagemap;

namespace {

// The alarm setting's GPS memory: a value of kGpsReferenceBase or more names memory
// value - kGpsReferenceBase; smaller values are the other alarm choices.
constexpr std::int32_t kGpsReference = kMainSettings + 0x128;
constexpr int kGpsReferenceBase = 29;
constexpr int kReceivedLast = kReceivedCallCount - 1;
constexpr std::uint8_t kReceivedRowEmpty = 255;

int leadingNumber(const std::string& text) {
    int value = 0;
    bool any = false;
    for (const char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0 || value > 100000) {
            break;
        }
        value = value * 10 + (c - '0');
        any = true;
    }
    return any ? value : -1;
}

EditAction actionOf(ListOperation operation) {
    switch (operation) {
    case ListOperation::Paste:
        return EditAction::Paste;
    case ListOperation::Up:
        return EditAction::Up;
    case ListOperation::Down:
        return EditAction::Down;
    case ListOperation::Clear:
        return EditAction::Clear;
    case ListOperation::Insert:
        return EditAction::Insert;
    case ListOperation::Copy:
    case ListOperation::Delete:
    case ListOperation::ReceivedDelete:
        break;
    }
    return EditAction::Delete;
}

} // namespace

ListBounds listBoundsOf(int kind, int index) {
    switch (kind) {
    case kKindChannel:
        if (index >= 0 && index < kFirstScanEdge) {
            return {index / 100 * 100, index / 100 * 100 + 99};
        }
        if (index >= kFirstScanEdge && index < kFirstCallChannel) {
            return {kFirstScanEdge, kFirstCallChannel - 1};
        }
        if (index >= kFirstCallChannel && index < kChannelCount) {
            return {kFirstCallChannel, kChannelCount - 1};
        }
        return {};
    case kKindBankChannel:
        return {0, kBankSlotCount - 1};
    case kKindFunction:
        return {0, kFunctionRecordCount - 1};
    case kKindGps:
        return {0, kGpsMemoryCount - 1};
    case 0:
        return {0, kReceivedLast};
    default:
        return {};
    }
}

indChannelListEditor::indChannelListEditor(ImageSet& images, cmcGTex& texts, UserPrompt& prompt,
                                           cmcEvMan* bus)
    : m_images(images), m_texts(texts), m_prompt(prompt), m_bus(bus) {}

ListEditOutcome indChannelListEditor::run(ListOperation operation, const ListEditRequest& request) {
    Range r{request.row, request.row};
    if (request.selectionActive) {
        r = {std::min(request.low, request.high), std::max(request.low, request.high)};
    }
    if (request.kind == kKindGps && operation == ListOperation::Insert &&
        (r.lo == kGpsMemoryCount || r.hi == kGpsMemoryCount)) {
        r = {0, 0}; // the empty row after the GPS list
    }
    r = {std::max(r.lo, request.first), std::min(r.hi, request.last)};
    if (r.lo > r.hi || request.first > request.last) {
        return {};
    }
    ListEditOutcome outcome;
    if (operation == ListOperation::ReceivedDelete) {
        outcome = request.kind == 0 ? receivedDelete(request, r) : ListEditOutcome{};
    } else if (request.kind == kKindBankChannel) {
        outcome = bankSlots(operation, request, r);
    } else if (request.kind == kKindChannel || request.kind == kKindFunction ||
               request.kind == kKindGps) {
        outcome = channels(operation, request, r);
    }
    if (outcome.changed) {
        changed(request.kind, operation);
    }
    if (!outcome.statusKey.empty() && m_status) {
        m_status(m_texts.firstLine(outcome.statusKey));
    }
    return outcome;
}

// ---- channel records ------------------------------------------------------------------------

ListEditOutcome indChannelListEditor::channels(ListOperation operation,
                                               const ListEditRequest& request, Range r) {
    const int kind = request.kind;
    ListEditOutcome out;
    switch (operation) {
    case ListOperation::Copy:
        if (request.row < request.first || request.row > request.last) {
            return out;
        }
        m_clipboard.copy(m_images.current(), kind, r.lo, r.n());
        out.reselectRows(r.lo, r.hi);
        out.statusKey = "GI_AppMess_S_Copy";
        return out;
    case ListOperation::Paste:
        return paste(request);
    case ListOperation::Clear:
        if (!confirm("GI_AppMess_Conv_Clear")) {
            return out;
        }
        // A cleared GPS memory keeps its place in the list: freeing its slot would end the
        // list there and hide, and on a write drop, every memory after it.
        clearRecords(kind, r, request.bank, GpsSlots::Keep);
        if (kind == kKindGps) {
            followGpsReference([r](int m) { return m >= r.lo && m <= r.hi ? -1 : m; });
        }
        post(MessageId::ChannelDataChanged);
        post(MessageId::RedrawSheet);
        for (int i = r.lo; i <= r.hi; ++i) {
            post(MessageId::RepaintRow, i);
        }
        out.changed = true;
        out.statusKey = "GI_AppMess_S_Clear";
        return out;
    case ListOperation::Delete: {
        const bool ask = kind == kKindGps || anyUsed(kind, r);
        if (ask && !confirm("GI_AppMess_Conv_Delete")) {
            return out;
        }
        const int n = r.n();
        if (r.hi < request.last) {
            moveBlock(kind, r.hi + 1, r.lo, request.last - r.hi);
        }
        clearRecords(kind, {request.last - n + 1, request.last}, request.bank, GpsSlots::Free);
        out.changed = true;
        out.dropSelection = true;
        out.cursor = r.lo;
        out.statusKey = "GI_AppMess_S_Delete";
        if (kind == kKindGps) {
            followGpsReference([r, n](int m) {
                if (m >= r.lo && m <= r.hi) {
                    return -1;
                }
                return m > r.hi ? m - n : m;
            });
            // Show a memory that is still there: on a bank sheet the next one of the bank
            // (else the one before), on the whole list the new last one when the deleted
            // block was the end.
            ChannelRecord record(m_images.current());
            std::optional<int> show;
            if (request.bank != 0) {
                const auto inBank = [&](int i) {
                    return record.load(kKindGps, i) && record.used &&
                           record.gpsBankGroup == request.bank;
                };
                for (int i = r.lo; i <= request.last && !show; ++i) {
                    show = inBank(i) ? std::optional<int>(i) : std::nullopt;
                }
                for (int i = r.lo - 1; i >= request.first && !show; --i) {
                    show = inBank(i) ? std::optional<int>(i) : std::nullopt;
                }
            } else if (r.lo > 0 && r.lo == ChannelRecord::gpsMemoryCount(m_images.current())) {
                show = r.lo - 1;
            }
            if (show) {
                out.cursor = *show;
                post(MessageId::ShowRow, *show);
            }
        }
        post(MessageId::ChannelDataChanged);
        post(MessageId::RedrawSheet);
        return out;
    }
    case ListOperation::Insert: {
        if (kind == kKindGps) {
            return insertGps(request, r);
        }
        const int n = r.n();
        if (anyUsed(kind, {request.last - n + 1, request.last}) &&
            !confirm("GI_AppMess_Conv_Overflow")) {
            return out;
        }
        if (r.hi < request.last) {
            moveBlock(kind, r.lo, r.hi + 1, request.last - r.hi);
        }
        clearRecords(kind, r, request.bank, GpsSlots::Free);
        post(MessageId::ChannelDataChanged);
        post(MessageId::RedrawSheet);
        out.changed = true;
        out.reselectRows(r.lo, r.hi);
        out.statusKey = "GI_AppMess_S_Insert";
        return out;
    }
    case ListOperation::Up:
    case ListOperation::Down: {
        const int d = operation == ListOperation::Up ? -1 : 1;
        int last = request.last;
        if (kind == kKindGps) {
            // Only the memories in use take part: a free slot moved into the list would end
            // it there.
            last = std::min(last, ChannelRecord::gpsMemoryCount(m_images.current()) - 1);
            if (r.hi > last) {
                return out;
            }
        }
        if ((d < 0 && r.lo <= request.first) || (d > 0 && r.hi >= last)) {
            return out;
        }
        cmcEeprom& image = m_images.current();
        cmcClipCh block;
        cmcClipCh neighbour;
        const int n = r.n();
        const int neighbourIndex = d < 0 ? r.lo - 1 : r.hi + 1;
        block.copy(image, kind, r.lo, n);
        neighbour.copy(image, kind, neighbourIndex, 1);
        block.paste(image, kind, r.lo + d, n);
        neighbour.paste(image, kind, d < 0 ? r.hi : r.lo, 1);
        if (kind == kKindGps) {
            followGpsReference([r, d, n, neighbourIndex](int m) {
                if (m >= r.lo && m <= r.hi) {
                    return m + d;
                }
                return m == neighbourIndex ? m - d * n : m;
            });
        }
        post(MessageId::ChannelDataChanged);
        out.changed = true;
        out.reselectRows(r.lo + d, r.hi + d);
        out.cursor = d < 0 ? r.lo + d : r.hi + d;
        return out;
    }
    case ListOperation::ReceivedDelete:
        break;
    }
    return out;
}

ListEditOutcome indChannelListEditor::paste(const ListEditRequest& request) {
    const int kind = request.kind;
    const int row = request.row;
    ListEditOutcome out;
    if (row < request.first || row > request.last || !m_clipboard.canPaste(kind)) {
        return out;
    }
    if (kind == kKindGps && row > ChannelRecord::gpsMemoryCount(m_images.current())) {
        return out; // past the end of the list: the free slots between would end it early
    }
    const int room = request.last - row + 1;
    if (room < m_clipboard.count() && !confirm("GI_AppMess_Conv_Overflow_Paste")) {
        return out;
    }
    const int m = std::min(m_clipboard.count(), room);
    if (anyUsed(kind, {row, row + m - 1}) && !confirm("GI_AppMess_Conv_Overwrite")) {
        return out;
    }
    m_clipboard.pasteMarked(m_images.current(), kind, row, m);
    if (kind == kKindChannel) {
        leaveTakenBankSlots({row, row + m - 1});
    }
    post(MessageId::ChannelDataChanged);
    post(MessageId::RedrawSheet);
    out.changed = true;
    out.reselectRows(row, row + m - 1);
    out.statusKey = "GI_AppMess_S_Paste";
    return out;
}

ListEditOutcome indChannelListEditor::insertGps(const ListEditRequest& request, Range r) {
    ListEditOutcome out;
    const int n = r.n();
    // Memories pushed off the end would be lost without a word: refuse instead, which also
    // covers the full list.
    if (anyUsed(kKindGps, {request.last - n + 1, request.last})) {
        refuse("GI_AppMess_ChErr_Overflow");
        return out;
    }
    cmcEeprom& image = m_images.current();
    if (r.lo > ChannelRecord::gpsMemoryCount(image)) {
        return out; // past the end of the list
    }
    if (r.hi < request.last) {
        moveBlock(kKindGps, r.lo, r.hi + 1, request.last - r.hi);
    }
    clearRecords(kKindGps, r, request.bank, GpsSlots::Free);
    ChannelRecord record(image);
    for (int i = r.lo; i <= r.hi; ++i) {
        record.load(kKindGps, i);
        record.gpsBankGroup = request.bank;
        record.slot = 0;
        record.store();
    }
    followGpsReference([r, n, &request](int m) {
        if (m < r.lo) {
            return m;
        }
        return m + n <= request.last ? m + n : -1;
    });
    int shown = 0;
    for (int i = request.first; i <= request.last; ++i) {
        if (record.load(kKindGps, i) && record.used &&
            (request.bank == 0 || record.gpsBankGroup == request.bank)) {
            ++shown;
        }
    }
    post(MessageId::ChannelDataChanged);
    post(MessageId::RedrawSheet);
    post(MessageId::ShowRow, shown == 1 ? 0 : r.lo);
    out.changed = true;
    out.cursor = r.lo;
    return out;
}

void indChannelListEditor::moveBlock(int kind, int from, int to, int count) {
    cmcClipCh buffer;
    buffer.copy(m_images.current(), kind, from, count);
    buffer.paste(m_images.current(), kind, to, count);
}

void indChannelListEditor::clearRecords(int kind, Range r, int gpsBank, GpsSlots slots) {
    std::vector<ChannelRecord> cleared;
    cleared.reserve(static_cast<std::size_t>(r.n()));
    if (kind == kKindGps) {
        // A cleared GPS memory starts from the own position.
        ChannelRecord own(m_images.current());
        own.load(kKindOwnPosition, 0);
        for (int i = r.lo; i <= r.hi; ++i) {
            ChannelRecord record = own;
            record.kind = kKindGps;
            record.index = i;
            record.used = false;
            record.slot = slots == GpsSlots::Keep ? m_images.current().getByte(kGpsSlotList + i)
                                                  : kGpsSlotFree;
            // A memory that stays in the list stays on the sheet it was cleared on.
            if (gpsBank == 0 || slots == GpsSlots::Keep) {
                record.gpsBankGroup = gpsBank;
            }
            cleared.push_back(record);
        }
    } else {
        cmcEeprom defaults = m_images.defaults();
        ChannelRecord record(defaults);
        for (int i = r.lo; i <= r.hi; ++i) {
            record.load(kind, i);
            record.used = false;
            cleared.push_back(record);
        }
    }
    cmcClipCh buffer;
    buffer.take(kind, r.lo, std::move(cleared));
    buffer.pasteMarked(m_images.current(), kind, r.lo, r.n());
}

void indChannelListEditor::leaveTakenBankSlots(Range pasted) {
    // A pasted channel keeps its bank slot only when no other channel holds it; otherwise the
    // copy would share the slot with its original and hide both in the bank.
    ChannelRecord record(m_images.current());
    std::vector<int> holders(static_cast<std::size_t>(kBankCount * kBankSlotCount), 0);
    const auto slotOf = [&record]() -> int {
        if (!record.used || record.bankGroup < 0 || record.bankGroup >= kBankCount ||
            record.bankChannel < 0 || record.bankChannel >= kBankSlotCount) {
            return -1;
        }
        return record.bankGroup * kBankSlotCount + record.bankChannel;
    };
    for (int j = 0; j < kBankableChannelCount; ++j) {
        if (record.load(kKindChannel, j) && slotOf() >= 0) {
            ++holders[static_cast<std::size_t>(slotOf())];
        }
    }
    for (int i = pasted.lo; i <= std::min(pasted.hi, kBankableChannelCount - 1); ++i) {
        if (!record.load(kKindChannel, i)) {
            continue;
        }
        const int s = slotOf();
        if (s >= 0 && holders[static_cast<std::size_t>(s)] > 1) {
            --holders[static_cast<std::size_t>(s)];
            record.bankGroup = kNoBank;
            record.bankChannel = 0;
            record.store();
        }
    }
}

bool indChannelListEditor::anyUsed(int kind, Range r) {
    ChannelRecord record(m_images.current());
    for (int i = r.lo; i <= r.hi; ++i) {
        if (record.load(kind, i) && record.used) {
            return true;
        }
    }
    return false;
}

void indChannelListEditor::followGpsReference(const std::function<int(int)>& newIndex) {
    cmcEeprom& image = m_images.current();
    const int value = image.getByte(kGpsReference);
    if (value < kGpsReferenceBase) {
        return;
    }
    const int moved = newIndex(value - kGpsReferenceBase);
    const int updated = moved < 0 ? 0 : moved + kGpsReferenceBase;
    if (updated != value) {
        image.setByte(kGpsReference, static_cast<std::uint8_t>(updated));
        post(MessageId::GpsReferenceChanged);
    }
}

// ---- bank slots -----------------------------------------------------------------------------

ListEditOutcome indChannelListEditor::bankSlots(ListOperation operation,
                                                const ListEditRequest& request, Range r) {
    ListEditOutcome out;
    const int bank = request.bank;
    if (bank < 0 || bank >= kBankCount) {
        return out;
    }
    cmcEeprom& image = m_images.current();
    // The channel in each slot, -1 for none. Changes are worked out on this picture and stored
    // channel by channel; the link table is rebuilt once at the end.
    std::array<int, kBankSlotCount> slots{};
    for (int s = 0; s < kBankSlotCount; ++s) {
        const std::uint16_t channel = banklink::slot(image, bank, s);
        slots[static_cast<std::size_t>(s)] = channel < kBankableChannelCount ? channel : -1;
    }
    const auto at = [&slots](int s) { return slots[static_cast<std::size_t>(s)]; };
    const auto occupied = [&](Range range) {
        for (int s = range.lo; s <= range.hi; ++s) {
            if (at(s) >= 0) {
                return true;
            }
        }
        return false;
    };
    ChannelRecord record(image);
    const auto release = [&](Range range) {
        for (int s = range.lo; s <= range.hi; ++s) {
            if (at(s) >= 0 && record.load(kKindChannel, at(s))) {
                record.used = false;
                record.store();
            }
        }
    };
    const auto place = [&](int channel, int slot) {
        if (record.load(kKindChannel, channel)) {
            record.bankChannel = slot;
            record.store();
        }
    };
    const int n = r.n();
    switch (operation) {
    case ListOperation::Clear:
        if (!confirm("GI_AppMess_Conv_Clear")) {
            return out;
        }
        release(r);
        out.statusKey = "GI_AppMess_S_Clear";
        break;
    case ListOperation::Delete:
        if (occupied(r) && !confirm("GI_AppMess_Conv_Delete")) {
            return out;
        }
        release(r);
        for (int s = r.hi + 1; s <= request.last; ++s) {
            if (at(s) >= 0) {
                place(at(s), s - n);
            }
        }
        out.dropSelection = true;
        out.cursor = r.lo;
        out.statusKey = "GI_AppMess_S_Delete";
        break;
    case ListOperation::Insert: {
        const Range tail{request.last - n + 1, request.last};
        if (occupied(tail)) {
            if (!confirm("GI_AppMess_Conv_Overflow")) {
                return out;
            }
            // The question says the bottom channels go; leaving them would put two channels
            // in one slot.
            release(tail);
        }
        for (int s = request.last - n; s >= r.lo; --s) {
            if (at(s) >= 0) {
                place(at(s), s + n);
            }
        }
        out.reselectRows(r.lo, r.hi);
        out.statusKey = "GI_AppMess_S_Insert";
        break;
    }
    case ListOperation::Up:
    case ListOperation::Down: {
        const int d = operation == ListOperation::Up ? -1 : 1;
        if ((d < 0 && r.lo <= request.first) || (d > 0 && r.hi >= request.last)) {
            return out;
        }
        std::array<int, kBankSlotCount> moved = slots;
        // From the block's leading edge, each slot trades places with the one ahead of it.
        for (int k = 0; k < n; ++k) {
            const int s = d < 0 ? r.lo + k : r.hi - k;
            std::swap(moved[static_cast<std::size_t>(s)], moved[static_cast<std::size_t>(s + d)]);
        }
        for (int s = 0; s < kBankSlotCount; ++s) {
            const int channel = moved[static_cast<std::size_t>(s)];
            if (channel >= 0 && channel != at(s)) {
                place(channel, s);
            }
        }
        out.reselectRows(r.lo + d, r.hi + d);
        out.cursor = d < 0 ? r.lo + d : r.hi + d;
        break;
    }
    case ListOperation::Copy:
    case ListOperation::Paste:
    case ListOperation::ReceivedDelete:
        return out;
    }
    out.changed = true;
    post(MessageId::ChannelDataChanged);
    if (operation != ListOperation::Up && operation != ListOperation::Down) {
        post(MessageId::RedrawSheet);
    }
    return out;
}

// ---- received calls -------------------------------------------------------------------------

ListEditOutcome indChannelListEditor::receivedDelete(const ListEditRequest& /*request*/, Range r) {
    ListEditOutcome out;
    cmcEeprom& image = m_images.current();
    bool any = false;
    for (int i = 0; i < kReceivedCallCount; ++i) {
        const int row = image.getByte(kReceivedCallOrder + i);
        any = any || (row >= r.lo && row <= r.hi);
    }
    if (!any || !confirm("GI_AppMess_Conv_Delete")) {
        return out;
    }
    for (int i = 0; i < kReceivedCallCount; ++i) {
        const int row = image.getByte(kReceivedCallOrder + i);
        if (row >= r.lo && row <= r.hi) {
            image.setByte(kReceivedCallOrder + i, kReceivedRowEmpty);
        } else if (row > r.hi && row < kReceivedRowEmpty) {
            image.setByte(kReceivedCallOrder + i, static_cast<std::uint8_t>(row - r.n()));
        }
    }
    post(MessageId::RedrawSheet);
    out.changed = true;
    out.dropSelection = true;
    out.cursor = r.lo;
    out.statusKey = "GI_AppMess_S_Delete";
    return out;
}

// ---- the popup menu -------------------------------------------------------------------------

std::int32_t indChannelListEditor::runPopupCommand(cmcCellCapsule& request, bool* handled) {
    if (handled != nullptr) {
        *handled = false;
    }
    if (request.cell == nullptr || request.menuItem == nullptr) {
        return kResultNone;
    }
    static constexpr std::array<std::pair<std::int32_t, ListOperation>, 8> kOperations = {{
        {CL_PMenu_Copy, ListOperation::Copy},
        {CL_PMenu_Paste, ListOperation::Paste},
        {CL_PMenu_CarryUp, ListOperation::Up},
        {CL_PMenu_CarryDown, ListOperation::Down},
        {CL_PMenu_Clear, ListOperation::Clear},
        {CL_PMenu_Delete, ListOperation::Delete},
        {CL_PMenu_Insert, ListOperation::Insert},
        {CL_PMenu_RcvDelete, ListOperation::ReceivedDelete},
    }};
    const auto found = std::find_if(kOperations.begin(), kOperations.end(), [&](const auto& entry) {
        return entry.first == request.menuItem->link;
    });
    if (found == kOperations.end()) {
        return kResultNone;
    }
    if (handled != nullptr) {
        *handled = true;
    }
    const cmcCellObj& cell = *request.cell;
    ListEditRequest list;
    list.kind = found->second == ListOperation::ReceivedDelete ? 0 : recordKind(cell.category);
    list.row = cell.index;
    list.selectionActive = (request.rangeFlags & cmcCellCapsule::kRangeActive) != 0;
    list.low = request.rangeLow;
    list.high = request.rangeHigh;
    const ListBounds bounds = listBoundsOf(list.kind, cell.index);
    list.first = bounds.first;
    list.last = bounds.last;
    if (list.kind == kKindGps) {
        list.last = kGpsMemoryCount - 1; // the empty row after the list has index 100
        list.bank = std::max(0, leadingNumber(request.arguments) - 35);
    } else if (list.kind == kKindBankChannel) {
        list.bank = leadingNumber(request.arguments) - 9;
    }
    const ListEditOutcome outcome = run(found->second, list);
    if (outcome.reselect) {
        request.rangeFlags |= cmcCellCapsule::kRangeReselect;
        request.rangeLow = outcome.reselectLow;
        request.rangeHigh = outcome.reselectHigh;
    }
    if (outcome.cursor) {
        request.moveRequest = true;
        request.moveCategory = cell.category;
        request.moveLink = cell.link;
        request.moveIndex = *outcome.cursor;
    }
    return outcome.changed ? kResultChanged : kResultNone;
}

// ---- shared steps ---------------------------------------------------------------------------

bool indChannelListEditor::confirm(const char* key) {
    return m_prompt.ask(m_texts.blockText(key), m_texts.firstLine("GI_Sys_AppTitle"),
                        PromptIcon::Warning, PromptButtons::OkCancel) == PromptAnswer::Ok;
}

void indChannelListEditor::refuse(const char* key) {
    m_prompt.ask(m_texts.blockText(key), m_texts.firstLine("GI_Sys_AppTitle"), PromptIcon::Error,
                 PromptButtons::Ok);
}

void indChannelListEditor::post(MessageId id, std::int32_t p1) {
    if (m_bus != nullptr) {
        m_bus->post(id, p1);
    }
}

void indChannelListEditor::changed(int kind, ListOperation operation) {
    if (kind == kKindChannel || kind == kKindBankChannel) {
        m_images.rebuildBankLinks();
    }
    m_images.checkModified();
    if (m_history != nullptr) {
        m_history->record(actionOf(operation));
    }
}

} // namespace qx
