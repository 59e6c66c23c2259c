#pragma once

#include <cstdint>
#include <memory>

namespace qx {

// A growable byte buffer with cheap removal from the front: removed bytes stay as a dead
// prefix of the allocation until enough of them pile up to be worth a compaction.
class cmcBuff {
public:
    cmcBuff();
    cmcBuff(const cmcBuff& other);
    cmcBuff& operator=(const cmcBuff& other);
    cmcBuff(cmcBuff&& other) noexcept;
    cmcBuff& operator=(cmcBuff&& other) noexcept;
    ~cmcBuff() = default;

    // Grows storage when needed (new bytes take the fill byte); shrinking never frees storage.
    std::int32_t SetSize(std::int32_t n);
    std::int32_t Size() const { return m_size; }
    std::int32_t Capacity() const { return m_capacity; }
    std::uint8_t* Data() { return m_data; }
    const std::uint8_t* Data() const { return m_data; }
    // Live byte i; an index outside the live bytes is a defect of the caller.
    std::uint8_t* At(std::int32_t i);
    const std::uint8_t* At(std::int32_t i) const;

    void SetFill(std::uint8_t fill) { m_fill = fill; }
    void Assign(const cmcBuff& other);
    void Assign(const std::uint8_t* bytes, std::int32_t n);
    void Append(const cmcBuff& other);
    void Append(const std::uint8_t* bytes, std::int32_t n);
    void AppendByte(std::uint8_t b);
    void AppendFill(std::uint8_t b, std::int32_t n);
    // The first byte (0-255), or -1 when empty.
    int PopFront();
    // Removes up to n bytes from the front.
    void RemoveFront(std::int32_t n);
    // Moves the live bytes into a fresh allocation, dropping the dead front part.
    void Compact();
    void Clear();

    std::int32_t DeadBytes() const { return static_cast<std::int32_t>(m_data - m_base.get()); }

private:
    void reallocate(std::int32_t capacity);

    std::unique_ptr<std::uint8_t[]> m_base;
    std::uint8_t* m_data = nullptr;
    std::int32_t m_size = 0;
    std::int32_t m_capacity = 0;
    std::uint8_t m_fill = 0;
};

} // namespace qx
