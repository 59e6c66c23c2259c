#pragma once

#include "radio/destination.h"
#include "radio/feature_flags.h"

namespace qx {

class cmcEeprom;

// Brings an image into a state the transceiver of the destination accepts before it is saved
// or sent: channel values snapped and normalised, texts cleaned outside Japan, and the areas no
// one may edit held at the origin image's bytes: what the transceiver or the clone file held,
// or the defaults for a new document. Our defaults are not the maker's data, so nothing of them
// may replace what a transceiver had; only the map format tag always comes from them. Rebuilds
// the bank link table, as the channel data may have changed; the caller tells its views. False,
// with nothing changed, when an image is smaller than the transceiver part.
bool runCorrectionPass(cmcEeprom& image, const cmcEeprom& origin, const cmcEeprom& defaults,
                       DestinationCode destination, const FeatureFlags& flags);

} // namespace qx
