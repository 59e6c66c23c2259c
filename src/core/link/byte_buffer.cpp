#include "link/byte_buffer.h"

#include "base/fatal_defect.h"

#include <algorithm>
#include <cstring>

namespace qx {

namespace {
// Dead front bytes tolerated before PopFront compacts.
constexpr std::int32_t kCompactThreshold = 4097;
} // namespace

cmcBuff::cmcBuff() {
    Clear();
}

cmcBuff::cmcBuff(const cmcBuff& other) : cmcBuff() {
    m_fill = other.m_fill;
    Assign(other);
}

cmcBuff& cmcBuff::operator=(const cmcBuff& other) {
    if (this != &other) {
        m_fill = other.m_fill;
        Assign(other);
    }
    return *this;
}

cmcBuff::cmcBuff(cmcBuff&& other) noexcept
    : m_base(std::move(other.m_base)), m_data(other.m_data), m_size(other.m_size),
      m_capacity(other.m_capacity), m_fill(other.m_fill) {
    other.m_base = std::make_unique<std::uint8_t[]>(1);
    other.m_data = other.m_base.get();
    other.m_size = 0;
    other.m_capacity = 1;
    other.m_fill = 0;
}

cmcBuff& cmcBuff::operator=(cmcBuff&& other) noexcept {
    if (this != &other) {
        m_base = std::move(other.m_base);
        m_data = other.m_data;
        m_size = other.m_size;
        m_capacity = other.m_capacity;
        m_fill = other.m_fill;
        other.m_base = std::make_unique<std::uint8_t[]>(1);
        other.m_data = other.m_base.get();
        other.m_size = 0;
        other.m_capacity = 1;
        other.m_fill = 0;
    }
    return *this;
}

void cmcBuff::reallocate(std::int32_t capacity) {
    capacity = std::max<std::int32_t>(capacity, 1);
    auto fresh = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(capacity));
    if (m_size > 0) {
        std::memcpy(fresh.get(), m_data, static_cast<std::size_t>(m_size));
    }
    std::memset(fresh.get() + m_size, m_fill, static_cast<std::size_t>(capacity - m_size));
    m_base = std::move(fresh);
    m_data = m_base.get();
    m_capacity = capacity;
}

std::int32_t cmcBuff::SetSize(std::int32_t n) {
    n = std::max<std::int32_t>(n, 0);
    if (n > m_capacity) {
        reallocate(m_size / 4 + n);
    }
    m_size = n;
    return m_size;
}

std::uint8_t* cmcBuff::At(std::int32_t i) {
    if (i < 0 || i >= m_size) {
        fatalDefect("Out of cmcBuff element !");
    }
    return m_data + i;
}

const std::uint8_t* cmcBuff::At(std::int32_t i) const {
    if (i < 0 || i >= m_size) {
        fatalDefect("Out of cmcBuff element !");
    }
    return m_data + i;
}

void cmcBuff::Assign(const cmcBuff& other) {
    if (this == &other) {
        return;
    }
    Assign(other.Data(), other.Size());
}

void cmcBuff::Assign(const std::uint8_t* bytes, std::int32_t n) {
    m_size = 0;
    Append(bytes, n);
}

void cmcBuff::Append(const cmcBuff& other) {
    if (this == &other) {
        const cmcBuff copy(other);
        Append(copy.Data(), copy.Size());
        return;
    }
    Append(other.Data(), other.Size());
}

void cmcBuff::Append(const std::uint8_t* bytes, std::int32_t n) {
    if (n <= 0) {
        return;
    }
    const std::int32_t at = m_size;
    SetSize(m_size + n);
    std::memcpy(m_data + at, bytes, static_cast<std::size_t>(n));
}

void cmcBuff::AppendByte(std::uint8_t b) {
    Append(&b, 1);
}

void cmcBuff::AppendFill(std::uint8_t b, std::int32_t n) {
    if (n <= 0) {
        return;
    }
    const std::int32_t at = m_size;
    SetSize(m_size + n);
    std::memset(m_data + at, b, static_cast<std::size_t>(n));
}

int cmcBuff::PopFront() {
    if (m_size <= 0) {
        return -1;
    }
    const int b = m_data[0];
    ++m_data;
    --m_size;
    --m_capacity;
    if (DeadBytes() >= kCompactThreshold) {
        Compact();
    }
    return b;
}

void cmcBuff::RemoveFront(std::int32_t n) {
    n = std::clamp<std::int32_t>(n, 0, m_size);
    m_data += n;
    m_size -= n;
    m_capacity -= n;
    if (DeadBytes() >= kCompactThreshold) {
        Compact();
    }
}

void cmcBuff::Compact() {
    const std::int32_t size = m_size;
    auto fresh = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(std::max(1, size)));
    if (size > 0) {
        std::memcpy(fresh.get(), m_data, static_cast<std::size_t>(size));
    }
    m_base = std::move(fresh);
    m_data = m_base.get();
    m_capacity = std::max(1, size);
}

void cmcBuff::Clear() {
    m_base = std::make_unique<std::uint8_t[]>(1);
    m_base[0] = 0;
    m_data = m_base.get();
    m_size = 0;
    m_capacity = 1;
    m_fill = 0;
}

} // namespace qx
