#pragma once

#include "base/scheduler.h"

#include <cstdint>

namespace qx {

// Millisecond countdown. Elapsed time is an unsigned 32-bit difference of tick counts, so the
// wrap of the tick counter is harmless.
class cmcTick {
public:
    explicit cmcTick(const Clock& clock) : m_clock(&clock) {}

    void start(std::uint32_t ms);
    // 0 when not running; otherwise the milliseconds left, and 0 (stopping) once elapsed.
    std::uint32_t remaining();
    bool running() const { return m_running; }

private:
    const Clock* m_clock;
    std::uint32_t m_duration = 0;
    std::uint32_t m_start = 0;
    bool m_running = false;
};

} // namespace qx
