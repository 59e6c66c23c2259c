#pragma once

#include "radio/destination.h"
#include "radio/feature_flags.h"

namespace qx {

class cmcEeprom;

// Brings an image into a state the transceiver of the destination accepts before it is saved
// or sent: channel values snapped and normalised, texts cleaned outside Japan, and the areas no
// one may edit restored from the destination's default image. Rebuilds the bank link table, as
// the channel data may have changed; the caller tells its views. False, with nothing changed,
// when either image is smaller than the transceiver part.
bool runCorrectionPass(cmcEeprom& image, const cmcEeprom& defaults, DestinationCode destination,
                       const FeatureFlags& flags);

} // namespace qx
