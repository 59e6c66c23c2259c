#pragma once

#include <cstdint>

namespace qx {

class cmcEeprom;

// The derived table above the transceiver part that says which channel sits in each bank slot.
namespace banklink {

// Rebuilds the whole table from the empty bits and bank bytes of channels 0-519. A slot that
// two or more channels claim reads kBankSlotConflict; an unclaimed one kBankSlotEmpty.
void rebuild(cmcEeprom& image);

// Sets every slot to kBankSlotEmpty.
void clear(cmcEeprom& image);

// The value of slot (bank 0-25, slot 0-99); kBankSlotEmpty for a bank or slot out of range.
std::uint16_t slot(const cmcEeprom& image, int bank, int slotNumber);

} // namespace banklink
} // namespace qx
