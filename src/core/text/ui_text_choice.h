#pragma once

#include "text/text_source.h"

namespace qx {

// The user-interface table for the `Language` setting, and the code page its bytes are in: the
// GUI converts every text at the widget boundary with it.
struct UiTextChoice {
    const TextSource* source;
    const char* codePage; // a name QStringDecoder knows
};

// 1 selects the Japanese copy; every other value the English one.
UiTextChoice chooseUiText(int languageSetting);

} // namespace qx
