#pragma once

#include <cstdint>
#include <vector>

namespace qx {

// One copy of the configuration image. Single-byte access is checked: an address outside the
// image is a defect of the program, never of the data, because every caller validates
// addresses that come from outside first.
class cmcEeprom {
public:
    cmcEeprom() = default;
    explicit cmcEeprom(std::int32_t size) { resize(size); }

    // Zero-fills the bytes even when the size does not change.
    void resize(std::int32_t size);
    std::int32_t size() const { return static_cast<std::int32_t>(m_data.size()); }
    bool isValidAddress(std::int32_t address) const { return address >= 0 && address < size(); }

    void fill(std::uint8_t value);
    void setByte(std::int32_t address, std::uint8_t value);
    std::uint8_t getByte(std::int32_t address) const;

    // Copies only when the whole block lies inside the image; otherwise does nothing.
    void writeBlock(std::int32_t address, const std::uint8_t* source, std::int32_t length);
    void readBlock(std::int32_t address, std::uint8_t* destination, std::int32_t length) const;

    // Images of different sizes are never equal, even when one is a prefix of the other.
    bool equals(const cmcEeprom& other) const { return m_data == other.m_data; }
    bool notEquals(const cmcEeprom& other) const { return !equals(other); }
    bool operator==(const cmcEeprom& other) const { return equals(other); }

    // Unchecked access for the record codecs, which validate their record addresses once.
    std::uint8_t* data() { return m_data.data(); }
    const std::uint8_t* data() const { return m_data.data(); }

private:
    bool blockInside(std::int32_t address, std::int32_t length) const {
        return isValidAddress(address) && length >= 1 && length <= size() - address;
    }

    std::vector<std::uint8_t> m_data;
};

} // namespace qx
