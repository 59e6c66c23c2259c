#pragma once

#include "radio/destination.h"
#include "radio/feature_flags.h"

namespace qx {

class cmcEeprom;

// The transceiver keeps a few things differently from the editor: it may lack usable digital
// voice, and it stores the GPS memories at the end of their table. These bridge the two around
// a clone transfer. Both refuse (false, nothing changed) an image smaller than the transceiver
// part.

// On an image just read, before the correction pass: DV channels become FM and the RX GPS
// alarm goes off when the transceiver has no usable DV; the GPS memories move to the front.
bool adjustAfterRead(cmcEeprom& image, const FeatureFlags& flags);

// On the copy about to be written, after the correction pass: used channels whose frequency
// draws a warning are replaced by the default image's record of the same index; the GPS
// memories move to the end.
bool prepareForWrite(cmcEeprom& copy, const cmcEeprom& defaults, DestinationCode destination,
                     const FrequencyRangeTable& ranges, const FeatureFlags& flags);

} // namespace qx
