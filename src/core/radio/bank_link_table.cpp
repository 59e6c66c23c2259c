#include "radio/bank_link_table.h"

#include "radio/eeprom.h"
#include "radio/image_map.h"

namespace qx::banklink {

using namespace imagemap;

namespace {

std::int32_t slotAddress(int bank, int slotNumber) {
    return kBankLinkTable + bank * kBankSlotCount * 2 + slotNumber * 2;
}

bool hasTable(const cmcEeprom& image) {
    return image.size() >= kBankLinkTable + kBankLinkTableSize;
}

} // namespace

void clear(cmcEeprom& image) {
    if (!hasTable(image)) {
        return;
    }
    std::uint8_t* table = image.data() + kBankLinkTable;
    for (std::int32_t i = 0; i < kBankLinkTableSize; ++i) {
        table[i] = 0xFF;
    }
}

void rebuild(cmcEeprom& image) {
    if (!hasTable(image)) {
        return;
    }
    clear(image);
    std::uint8_t* bytes = image.data();
    for (int index = 0; index < kBankableChannelCount; ++index) {
        const bool empty = (bytes[kEmptyBitmap + index / 8] >> (index % 8) & 1) != 0;
        const int group = bytes[kBankAssignments + index * 2];
        const int number = bytes[kBankAssignments + index * 2 + 1];
        if (empty || group >= kBankCount || number >= kBankSlotCount) {
            continue;
        }
        std::uint8_t* entry = bytes + slotAddress(group, number);
        const unsigned held = static_cast<unsigned>(entry[0]) << 8 | entry[1];
        if (held < kBankSlotEmpty) {
            // A second claim: the slot stays marked whoever claims it next.
            entry[0] = 0xFF;
            entry[1] = 0xFE;
        } else {
            entry[0] = static_cast<std::uint8_t>(index >> 8);
            entry[1] = static_cast<std::uint8_t>(index & 0xFF);
        }
    }
}

std::uint16_t slot(const cmcEeprom& image, int bank, int slotNumber) {
    if (!hasTable(image) || bank < 0 || bank >= kBankCount || slotNumber < 0 ||
        slotNumber >= kBankSlotCount) {
        return kBankSlotEmpty;
    }
    image.noteRead(slotAddress(bank, slotNumber), 2);
    const std::uint8_t* entry = image.trackedData() + slotAddress(bank, slotNumber);
    return static_cast<std::uint16_t>(entry[0] << 8 | entry[1]);
}

} // namespace qx::banklink
