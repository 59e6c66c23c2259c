#include "dialog_font.h"

#include <QApplication>

#include <cstdlib>

namespace qx {

QFont toQFont(const cmcFont& font) {
    QFont result = QApplication::font();
    if (!font.face.empty()) {
        result.setFamilies({QString::fromLatin1(font.face.c_str()), result.family()});
    }
    if (font.height != 0) {
        result.setPixelSize(std::abs(font.height));
    }
    result.setBold((font.styles & kFontBold) != 0);
    result.setItalic((font.styles & kFontItalic) != 0);
    result.setUnderline((font.styles & kFontUnderline) != 0);
    result.setStrikeOut((font.styles & kFontStrikeOut) != 0);
    return result;
}

} // namespace qx
