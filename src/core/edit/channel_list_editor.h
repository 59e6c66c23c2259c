#pragma once

#include "base/message_id.h"
#include "edit/channel_clipboard.h"
#include "edit/list_edit.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qx {

class cmcEeprom;
class cmcEvMan;
class cmcGTex;
class cmcEditHistory;
class ImageSet;
class UserPrompt;
struct cmcCellCapsule;

// Copy, Paste, Up, Down, Clear, Delete and Insert on the channel-like lists of the current
// image. Destructive operations ask first; Cancel leaves the image as it was.
class indChannelListEditor {
public:
    // `bus` may be null (no sheets listen); so may the history.
    indChannelListEditor(ImageSet& images, cmcGTex& texts, UserPrompt& prompt, cmcEvMan* bus);

    // Each operation that changed the image becomes one step of this history.
    void setHistory(cmcEditHistory* history) { m_history = history; }
    // Told the status bar text of a completed operation.
    void setStatusListener(std::function<void(const std::string&)> listener) {
        m_status = std::move(listener);
    }

    ListEditOutcome run(ListOperation operation, const ListEditRequest& request);

    // A popup menu command that reached the cell link dispatch: runs it on the list of the
    // request's cell and writes the reselect and cursor requests back into it. Returns the
    // dispatch result (changed or nothing); false in `handled` when the item is no list
    // operation.
    std::int32_t runPopupCommand(cmcCellCapsule& request, bool* handled = nullptr);

    // The user's clipboard for Copy and Paste; it lives as long as the editor.
    cmcClipCh& clipboard() { return m_clipboard; }

private:
    struct Range {
        int lo;
        int hi;
        int n() const { return hi - lo + 1; }
    };

    ListEditOutcome channels(ListOperation operation, const ListEditRequest& request, Range r);
    ListEditOutcome bankSlots(ListOperation operation, const ListEditRequest& request, Range r);
    ListEditOutcome receivedDelete(const ListEditRequest& request, Range r);

    ListEditOutcome paste(const ListEditRequest& request);
    ListEditOutcome insertGps(const ListEditRequest& request, Range r);
    void moveBlock(int kind, int from, int to, int count);
    // Whether cleared GPS memories stay in the list (Clear) or leave it (the freed tail).
    enum class GpsSlots { Keep, Free };
    // Records lo .. hi of a kind take their cleared content, as the default image has them.
    void clearRecords(int kind, Range r, int gpsBank, GpsSlots slots);
    // Pasted channels that would share a bank slot with another channel leave the bank.
    void leaveTakenBankSlots(Range pasted);
    bool anyUsed(int kind, Range r);
    void followGpsReference(const std::function<int(int)>& newIndex);

    bool confirm(const char* key);
    void refuse(const char* key);
    void post(MessageId id, std::int32_t p1 = 0);
    void changed(int kind, ListOperation operation);

    ImageSet& m_images;
    cmcGTex& m_texts;
    UserPrompt& m_prompt;
    cmcEvMan* m_bus;
    cmcEditHistory* m_history = nullptr;
    std::function<void(const std::string&)> m_status;
    cmcClipCh m_clipboard;
};

} // namespace qx
