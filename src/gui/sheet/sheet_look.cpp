#include "sheet_look.h"

#include "app/code_page_text.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>

#include <cmath>
#include <cstdlib>

namespace qx {

namespace {

// Average width of the Latin letters and digits per pixel of character height of the Windows
// faces the definitions name, and families of this system that may stand in for them.
struct Face {
    const char* windows;
    double averageWidth;
    const char* candidates[8];
};
const Face kFaces[] = {
    {"MS Sans Serif",
     0.47,
     {"Liberation Sans", "Arimo", "Nimbus Sans", "FreeSans", "Noto Sans", "DejaVu Sans", nullptr}},
    {"Arial",
     0.47,
     {"Liberation Sans", "Arimo", "Nimbus Sans", "FreeSans", "Noto Sans", "DejaVu Sans", nullptr}},
    {"MS PGothic",
     0.50,
     {"IPAPGothic", "VL PGothic", "TakaoPGothic", "Noto Sans CJK JP", "Droid Sans Fallback",
      "DejaVu Sans", nullptr}},
};

double averageWidthOf(const QString& family) {
    QFont f(family);
    f.setPixelSize(100);
    const QString sample =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    return QFontMetricsF(f).horizontalAdvance(sample) / sample.size() / 100.0;
}

} // namespace

SheetLook::SheetLook(const CodePageText& codec, const QPalette& palette)
    : m_codec(codec), m_palette(palette) {}

QString SheetLook::familyFor(const std::string& windowsFace) const {
    QString name = m_codec.toQString(windowsFace);
    // The full-width name of the Japanese gothic face.
    if (name == QStringLiteral("ＭＳ Ｐゴシック") || name == QStringLiteral("ＭＳ ゴシック")) {
        name = QStringLiteral("MS PGothic");
    }
    if (const auto found = m_families.constFind(name); found != m_families.constEnd()) {
        return *found;
    }
    QString chosen = name;
    const QStringList installed = QFontDatabase::families();
    if (!installed.contains(name, Qt::CaseInsensitive)) {
        const Face* face = nullptr;
        for (const Face& f : kFaces) {
            if (name.compare(QLatin1String(f.windows), Qt::CaseInsensitive) == 0) {
                face = &f;
            }
        }
        if (face == nullptr) {
            face = &kFaces[0];
        }
        // The installed stand-in whose letters are closest in width.
        double best = 1e9;
        chosen = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
        for (const char* const* c = face->candidates; *c != nullptr; ++c) {
            const QString family = QString::fromLatin1(*c);
            if (!installed.contains(family, Qt::CaseInsensitive)) {
                continue;
            }
            const double distance = std::abs(averageWidthOf(family) - face->averageWidth);
            if (distance < best) {
                best = distance;
                chosen = family;
            }
        }
    }
    m_families.insert(name, chosen);
    return chosen;
}

QFont SheetLook::font(const cmcFont& cellFont) const {
    return resolve(cellFont).font;
}

const SheetLook::Resolved& SheetLook::resolve(const cmcFont& cellFont) const {
    std::string key = cellFont.face;
    key += '|' + std::to_string(cellFont.height) + '|' + std::to_string(cellFont.styles) + '|' +
           std::to_string(cellFont.pitch);
    if (const auto found = m_fonts.find(key); found != m_fonts.end()) {
        return *found->second;
    }
    QFont f(familyFor(cellFont.face));
    const int height = std::abs(cellFont.height);
    if (cellFont.height < 0) {
        f.setPixelSize(std::max(1, height)); // character height
    } else {
        // Cell height: leading included. Shrink until the line fits it.
        int size = std::max(1, height);
        f.setPixelSize(size);
        while (size > 1 && QFontMetrics(f).height() > height) {
            f.setPixelSize(--size);
        }
    }
    f.setBold((cellFont.styles & kFontBold) != 0);
    f.setItalic((cellFont.styles & kFontItalic) != 0);
    f.setUnderline((cellFont.styles & kFontUnderline) != 0);
    f.setStrikeOut((cellFont.styles & kFontStrikeOut) != 0);
    if (cellFont.pitch == 2) {
        f.setFixedPitch(true);
        f.setStyleHint(QFont::Monospace);
    }
    auto resolved = std::make_unique<Resolved>(Resolved{f, QFontMetrics(f)});
    return *m_fonts.emplace(std::move(key), std::move(resolved)).first->second;
}

std::uint32_t SheetLook::systemValue(int index) const {
    const QColor c = colour(0xFF000000U | static_cast<std::uint32_t>(index));
    return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
           (static_cast<std::uint32_t>(c.blue()) << 16);
}

QColor SheetLook::colour(std::uint32_t value) const {
    if ((value >> 24) != 0xFF) {
        return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                      static_cast<int>((value >> 16) & 0xFF));
    }
    const QPalette& p = m_palette;
    switch (value & 0xFF) {
    case 0x01: // background (desktop)
    case 0x0C: // application work space
        return p.color(QPalette::Dark);
    case 0x02: // active caption
    case 0x0D: // highlight
        return p.color(QPalette::Active, QPalette::Highlight);
    case 0x03: // inactive caption
        return p.color(QPalette::Inactive, QPalette::Highlight);
    case 0x04: // menu
        return p.color(QPalette::Window);
    case 0x05: // window
        return p.color(QPalette::Base);
    case 0x06: // window frame
        return p.color(QPalette::Shadow);
    case 0x07: // menu text
    case 0x08: // window text
        return p.color(QPalette::Text);
    case 0x09: // caption text
    case 0x0E: // highlight text
        return p.color(QPalette::Active, QPalette::HighlightedText);
    case 0x0A: // active border
    case 0x0B: // inactive border
    case 0x0F: // button face
        return p.color(QPalette::Button);
    case 0x10: // button shadow
        return p.color(QPalette::Mid);
    case 0x11: // grey text
        return p.color(QPalette::Disabled, QPalette::Text);
    case 0x12: // button text
        return p.color(QPalette::ButtonText);
    case 0x13: // inactive caption text
        return p.color(QPalette::Inactive, QPalette::HighlightedText);
    case 0x14: // button highlight
        return p.color(QPalette::Light);
    default:
        return p.color(QPalette::Base);
    }
}

int SheetLook::textWidth(const cmcFont& font, std::string_view line) const {
    if (line.empty()) {
        return 0;
    }
    return resolve(font).metrics.horizontalAdvance(m_codec.toQString(std::string(line)));
}

int SheetLook::textHeight(const cmcFont& font, std::string_view /*line*/) const {
    return resolve(font).metrics.height();
}

} // namespace qx
