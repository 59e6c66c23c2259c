#include "edit/undo_caption.h"

#include "text/text_table.h"

namespace qx {

std::string undoMenuCaption(cmcGTex& texts, bool redo, std::optional<EditAction> action) {
    const int which = redo ? 1 : 0;
    if (!action) {
        return texts.line("GI_App_UndoCaption", 2 + which);
    }
    std::string caption = texts.line("GI_App_UndoCaption", which);
    const std::string name = texts.line("GI_App_EditAction", static_cast<int>(*action));
    if (const std::size_t at = caption.find("%s"); at != std::string::npos) {
        caption.replace(at, 2, name);
    }
    return caption;
}

} // namespace qx
