#pragma once

#include "edit/edit_history.h"

#include <optional>
#include <string>

namespace qx {

class cmcGTex;

// The caption of Edit > Undo or Edit > Redo: with the step it would take back or do again
// ("&Undo Delete"), or the plain item when there is none.
std::string undoMenuCaption(cmcGTex& texts, bool redo, std::optional<EditAction> action);

} // namespace qx
