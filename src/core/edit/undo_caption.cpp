#include "edit/undo_caption.h"

#include "text/text_table.h"

namespace qx {

std::string undoMenuCaption(cmcGTex& texts, bool redo, std::optional<EditAction> action) {
    const int which = redo ? 1 : 0;
    if (!action) {
        return texts.line("GI_App_UndoCaption", 2 + which);
    }
    return replacePlaceholders(texts.line("GI_App_UndoCaption", which),
                               {texts.line("GI_App_EditAction", static_cast<int>(*action))});
}

} // namespace qx
