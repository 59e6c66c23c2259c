#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace qx {

// The bytes read from an image while a log is attached: ranges of (address, length), or
// `everything` once bytes were taken through the raw pointer, whose reach is unknown.
struct EepromReadLog {
    std::vector<std::pair<std::int32_t, std::int32_t>> ranges;
    bool everything = false;
};

// One copy of the configuration image. Single-byte access is checked: an address outside the
// image is a defect of the program, never of the data, because every caller validates
// addresses that come from outside first.
class cmcEeprom {
public:
    cmcEeprom() = default;
    explicit cmcEeprom(std::int32_t size) { resize(size); }
    // A copy never takes the log along.
    cmcEeprom(const cmcEeprom& other) : m_data(other.m_data) {}
    cmcEeprom& operator=(const cmcEeprom& other) {
        m_data = other.m_data;
        return *this;
    }
    cmcEeprom(cmcEeprom&& other) noexcept : m_data(std::move(other.m_data)) {}
    cmcEeprom& operator=(cmcEeprom&& other) noexcept {
        m_data = std::move(other.m_data);
        return *this;
    }
    ~cmcEeprom() = default;

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
    std::uint8_t* data() {
        noteEverything();
        return m_data.data();
    }
    const std::uint8_t* data() const {
        noteEverything();
        return m_data.data();
    }
    // The same pointer for a reader that names what it reads with noteRead().
    const std::uint8_t* trackedData() const { return m_data.data(); }

    // Reads are logged only while a log is attached (nullptr detaches it); the comparison of
    // two images uses it to learn which bytes each cell shows.
    void attachReadLog(EepromReadLog* log) const { m_log = log; }
    void noteRead(std::int32_t address, std::int32_t length) const {
        if (m_log != nullptr) {
            m_log->ranges.emplace_back(address, length);
        }
    }

private:
    bool blockInside(std::int32_t address, std::int32_t length) const {
        return isValidAddress(address) && length >= 1 && length <= size() - address;
    }

    void noteEverything() const {
        if (m_log != nullptr) {
            m_log->everything = true;
        }
    }

    std::vector<std::uint8_t> m_data;
    mutable EepromReadLog* m_log = nullptr;
};

} // namespace qx
