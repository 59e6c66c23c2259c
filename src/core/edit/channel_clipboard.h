#pragma once

#include "radio/channel_record.h"

#include <vector>

namespace qx {

class cmcEeprom;

// Decoded channel-like records taken from an image: the user's clipboard for Copy and Paste,
// and the move buffer of the other list operations.
class cmcClipCh {
public:
    cmcClipCh() = default;
    cmcClipCh(const cmcClipCh&) = delete;
    cmcClipCh& operator=(const cmcClipCh&) = delete;
    virtual ~cmcClipCh() = default;

    // Drops every record; the clipboard is empty (kind 0).
    virtual void clear();
    // Replaces the content with count records of a kind from start on.
    virtual void copy(cmcEeprom& image, int kind, int start, int count);
    // Decodes one record.
    virtual bool load(cmcEeprom& image, int kind, int index, ChannelRecord& record);
    // Not empty and holding records of this kind.
    virtual bool canPaste(int kind) const;
    // Encodes min(count, held) records at start, start + 1, ...
    virtual void paste(cmcEeprom& image, int kind, int start, int count);
    // Encodes one record at index.
    virtual bool store(cmcEeprom& image, int kind, int index, ChannelRecord& record);

    // Paste with the paste flag set while it runs.
    void pasteMarked(cmcEeprom& image, int kind, int start, int count);
    // Replaces the content with records made elsewhere (cleared records, for example).
    void take(int kind, int start, std::vector<ChannelRecord> records);

    int kind() const { return m_kind; }
    int start() const { return m_start; }
    int count() const { return static_cast<int>(m_records.size()); }
    bool pasting() const { return m_pasting; }
    const std::vector<ChannelRecord>& records() const { return m_records; }

private:
    int m_kind = 0;
    int m_start = 0;
    std::vector<ChannelRecord> m_records;
    bool m_pasting = false;
    ChannelRecord m_work;
};

} // namespace qx
