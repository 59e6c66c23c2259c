#include "text/ui_text_choice.h"

namespace qx {

UiTextChoice chooseUiText(int languageSetting) {
    if (languageSetting == 1) {
        return {&kTextTable_ja, "Shift_JIS"};
    }
    return {&kTextTable_en, "windows-1252"};
}

} // namespace qx
