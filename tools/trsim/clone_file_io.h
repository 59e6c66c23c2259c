#pragma once

#include "radio/eeprom.h"

#include <string>

namespace trsim {

// The served image from a clone file, and an accepted image into one.
bool loadImage(const std::string& path, qx::cmcEeprom& image);
bool saveImage(const std::string& path, const qx::cmcEeprom& image);

} // namespace trsim
