#include "base/tick.h"

namespace qx {

void cmcTick::start(std::uint32_t ms) {
    m_duration = ms;
    m_start = m_clock->tickCount();
    m_running = true;
}

std::uint32_t cmcTick::remaining() {
    if (!m_running) {
        return 0;
    }
    const std::uint32_t elapsed = m_clock->tickCount() - m_start;
    if (elapsed >= m_duration) {
        m_running = false;
        return 0;
    }
    return m_duration - elapsed;
}

} // namespace qx
