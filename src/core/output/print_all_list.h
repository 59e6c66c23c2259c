#pragma once

namespace qx {

class cmcEeprom;

// The print-all choice the dialog starts with: the bank lists when a memory channel in use
// below 1 GHz belongs to a bank, else the blocks of 100 channels.
bool bankChannelsPreset(cmcEeprom& image);

} // namespace qx
