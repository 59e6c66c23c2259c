#pragma once

#include "base/cell_font.h"

#include <QFont>

namespace qx {

// A font of the tables as a widget font: the face when it is named, the character height in
// pixels and the styles. An unknown face falls back to the desktop's.
QFont toQFont(const cmcFont& font);

} // namespace qx
