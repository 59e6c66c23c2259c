#include "radio/eeprom.h"

#include "base/fatal_defect.h"

#include <algorithm>
#include <cstring>

namespace qx {

void cmcEeprom::resize(std::int32_t size) {
    m_data.assign(size > 0 ? static_cast<std::size_t>(size) : 0, 0);
}

void cmcEeprom::fill(std::uint8_t value) {
    std::fill(m_data.begin(), m_data.end(), value);
}

void cmcEeprom::setByte(std::int32_t address, std::uint8_t value) {
    if (!isValidAddress(address)) {
        fatalDefect("Out of EEPROM image address (SetByte).");
    }
    m_data[static_cast<std::size_t>(address)] = value;
}

std::uint8_t cmcEeprom::getByte(std::int32_t address) const {
    if (!isValidAddress(address)) {
        fatalDefect("Out of EEPROM image address (GetByte).");
    }
    noteRead(address, 1);
    return m_data[static_cast<std::size_t>(address)];
}

void cmcEeprom::writeBlock(std::int32_t address, const std::uint8_t* source, std::int32_t length) {
    if (blockInside(address, length)) {
        std::memcpy(m_data.data() + address, source, static_cast<std::size_t>(length));
    }
}

void cmcEeprom::readBlock(std::int32_t address, std::uint8_t* destination,
                          std::int32_t length) const {
    if (blockInside(address, length)) {
        noteRead(address, length);
        std::memcpy(destination, m_data.data() + address, static_cast<std::size_t>(length));
    }
}

} // namespace qx
