#include "edit/edit_history.h"

#include "radio/eeprom.h"

#include <algorithm>
#include <cstring>

namespace qx {

namespace {

// Changed runs closer than this are kept as one, which costs fewer run headers than the
// unchanged bytes between them.
constexpr std::int32_t kJoinGap = 16;

} // namespace

cmcEditHistory::cmcEditHistory(cmcEeprom& image) : m_image(image) {
    reset();
}

void cmcEditHistory::reset() {
    m_shadow.assign(m_image.data(), m_image.data() + m_image.size());
    m_steps.clear();
    m_next = 0;
}

bool cmcEditHistory::record(EditAction action) {
    const auto size = static_cast<std::int32_t>(m_shadow.size());
    if (m_image.size() != size) {
        // The image was replaced by one of another size: nothing before it can come back.
        reset();
        return false;
    }
    const std::uint8_t* now = m_image.data();
    std::uint8_t* was = m_shadow.data();
    Step step{action, {}, {}};
    std::int32_t a = 0;
    while (a < size) {
        // Skip equal bytes quickly, a block at a time.
        constexpr std::int32_t kBlock = 256;
        while (a + kBlock <= size && std::memcmp(now + a, was + a, kBlock) == 0) {
            a += kBlock;
        }
        while (a < size && now[a] == was[a]) {
            ++a;
        }
        if (a >= size) {
            break;
        }
        std::int32_t end = a + 1; // one past the last changed byte of the run
        for (std::int32_t b = end; b < size && b < end + kJoinGap; ++b) {
            if (now[b] != was[b]) {
                end = b + 1;
            }
        }
        const std::int32_t length = end - a;
        step.runs.push_back({a, length, step.bytes.size()});
        step.bytes.insert(step.bytes.end(), was + a, was + end);
        step.bytes.insert(step.bytes.end(), now + a, now + end);
        std::memcpy(was + a, now + a, static_cast<std::size_t>(length));
        a = end;
    }
    if (step.runs.empty()) {
        return false;
    }
    m_steps.resize(m_next); // a new step ends every redo
    m_steps.push_back(std::move(step));
    if (m_steps.size() > m_limit) {
        m_steps.erase(m_steps.begin(),
                      m_steps.begin() + static_cast<std::ptrdiff_t>(m_steps.size() - m_limit));
    }
    m_next = m_steps.size();
    return true;
}

void cmcEditHistory::absorb() {
    if (m_image.size() != static_cast<std::int32_t>(m_shadow.size())) {
        reset();
        return;
    }
    std::memcpy(m_shadow.data(), m_image.data(), m_shadow.size());
}

std::optional<EditAction> cmcEditHistory::undoAction() const {
    return canUndo() ? std::optional(m_steps[m_next - 1].action) : std::nullopt;
}

std::optional<EditAction> cmcEditHistory::redoAction() const {
    return canRedo() ? std::optional(m_steps[m_next].action) : std::nullopt;
}

bool cmcEditHistory::undo() {
    record(EditAction::Entry);
    if (!canUndo()) {
        return false;
    }
    --m_next;
    apply(m_steps[m_next], false);
    return true;
}

bool cmcEditHistory::redo() {
    if (record(EditAction::Entry) || !canRedo()) {
        return false; // a change since the undo ended the redo steps
    }
    apply(m_steps[m_next], true);
    ++m_next;
    return true;
}

void cmcEditHistory::apply(const Step& step, bool forward) {
    for (const Run& run : step.runs) {
        const std::uint8_t* source =
            step.bytes.data() + run.offset + (forward ? static_cast<std::size_t>(run.length) : 0);
        std::memcpy(m_image.data() + run.address, source, static_cast<std::size_t>(run.length));
        std::memcpy(m_shadow.data() + run.address, source, static_cast<std::size_t>(run.length));
    }
}

void cmcEditHistory::setLimit(std::size_t steps) {
    m_limit = std::max<std::size_t>(steps, 1);
    if (m_steps.size() > m_limit) {
        const std::size_t drop = m_steps.size() - m_limit;
        m_steps.erase(m_steps.begin(), m_steps.begin() + static_cast<std::ptrdiff_t>(drop));
        m_next = m_next > drop ? m_next - drop : 0;
    }
}

std::size_t cmcEditHistory::memoryBytes() const {
    std::size_t total = m_steps.capacity() * sizeof(Step);
    for (const Step& step : m_steps) {
        total += step.runs.capacity() * sizeof(Run) + step.bytes.capacity();
    }
    return total;
}

} // namespace qx
