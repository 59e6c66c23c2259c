#pragma once

#include "base/cell_font.h"
#include "base/text_metrics.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPalette>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

namespace qx {

class CodePageText;

// Fonts and colours of the sheets in one place: the definitions' Windows faces become fonts of
// this system chosen by their metrics, 0x00BBGGRR values and system colour indexes become
// colours of the palette. The text metrics of the sizing pass measure with the same fonts, so
// widths computed in core match what is painted.
class SheetLook : public TextMetrics {
public:
    SheetLook(const CodePageText& codec, const QPalette& palette);

    const CodePageText& codec() const { return m_codec; }
    QFont font(const cmcFont& font) const;
    const QFontMetrics& metrics(const cmcFont& font) const { return resolve(font).metrics; }
    QColor colour(std::uint32_t value) const;
    // The window text, window and button face colours as 0x00BBGGRR, for the derived sheet
    // colours.
    std::uint32_t systemValue(int index) const;
    void setPalette(const QPalette& palette) { m_palette = palette; }
    const QPalette& palette() const { return m_palette; }

    // The family painted for a Windows face name (bytes in the table's code page).
    QString familyFor(const std::string& face) const;

    int textWidth(const cmcFont& font, std::string_view line) const override;
    int textHeight(const cmcFont& font, std::string_view line) const override;

private:
    struct Resolved {
        QFont font;
        QFontMetrics metrics;
    };
    const Resolved& resolve(const cmcFont& font) const;

    const CodePageText& m_codec;
    QPalette m_palette;
    mutable QHash<QString, QString> m_families;
    // Fonts are looked up for every cell painted, so each one is resolved only once.
    mutable std::unordered_map<std::string, std::unique_ptr<Resolved>> m_fonts;
};

} // namespace qx
