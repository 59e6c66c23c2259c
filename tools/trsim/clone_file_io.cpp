#include "clone_file_io.h"

namespace trsim {

bool loadImage(const std::string&, qx::cmcEeprom&) {
    return false;
}

bool saveImage(const std::string&, const qx::cmcEeprom&) {
    return false;
}

} // namespace trsim
