#include "edit/channel_clipboard.h"

#include "radio/eeprom.h"

#include <algorithm>

namespace qx {

void cmcClipCh::clear() {
    m_kind = 0;
    m_start = 0;
    m_records.clear();
}

void cmcClipCh::copy(cmcEeprom& image, int kind, int start, int count) {
    clear();
    if (count <= 0) {
        return;
    }
    m_records.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        ChannelRecord record(image);
        if (!load(image, kind, start + i, record)) {
            clear();
            return;
        }
        m_records.push_back(record);
    }
    m_kind = kind;
    m_start = start;
}

bool cmcClipCh::load(cmcEeprom& image, int kind, int index, ChannelRecord& record) {
    record.attach(image);
    return record.load(kind, index);
}

bool cmcClipCh::canPaste(int kind) const {
    return !m_records.empty() && m_kind == kind;
}

void cmcClipCh::paste(cmcEeprom& image, int kind, int start, int count) {
    if (!canPaste(kind)) {
        return;
    }
    const int n = std::min(count, this->count());
    for (int i = 0; i < n; ++i) {
        m_work = m_records[static_cast<std::size_t>(i)];
        store(image, kind, start + i, m_work);
    }
}

bool cmcClipCh::store(cmcEeprom& image, int kind, int index, ChannelRecord& record) {
    record.attach(image);
    return record.store(kind, index);
}

void cmcClipCh::pasteMarked(cmcEeprom& image, int kind, int start, int count) {
    m_pasting = true;
    paste(image, kind, start, count);
    m_pasting = false;
}

void cmcClipCh::take(int kind, int start, std::vector<ChannelRecord> records) {
    m_records = std::move(records);
    m_kind = m_records.empty() ? 0 : kind;
    m_start = start;
}

} // namespace qx
