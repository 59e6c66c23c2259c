#include "app_icons.h"

#include <array>

namespace qx {

namespace {

struct IconSource {
    const char* themeName; // nullptr: our own drawing only
    const char* file;      // under :/icons
};

QIcon load(const IconSource& source) {
    const QIcon own(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(source.file)));
    if (source.themeName == nullptr) {
        return own;
    }
    return QIcon::fromTheme(QLatin1String(source.themeName), own);
}

constexpr std::array<IconSource, AppIcons::kTreeImages> kTree{{
    {nullptr, "transceiver"},
    {"folder", "folder"},
    {"text-x-generic", "note"},
    {nullptr, "note2"},
    {nullptr, "warning"},
    {nullptr, "error"},
}};

constexpr std::array<IconSource, AppIcons::kToolbarImages> kToolbar{{
    {"document-new", "new"},
    {"document-open", "open"},
    {"document-save", "save"},
    {nullptr, "com1"},
    {nullptr, "com2"},
    {nullptr, "com3"},
    {nullptr, "com4"},
    {nullptr, "clone-read"},
    {nullptr, "clone-write"},
    {nullptr, "clone-info"},
    {nullptr, "pen"},
    {nullptr, "boxfill"},
    {nullptr, "slider"},
    {"go-first", "first"},
    {"go-previous", "previous"},
    {"go-next", "next"},
    {"go-last", "last"},
    {"zoom-in", "zoom"},
}};

} // namespace

QIcon AppIcons::treeImage(int index) {
    if (index < 0 || index >= kTreeImages) {
        return {};
    }
    return load(kTree[static_cast<std::size_t>(index)]);
}

QIcon AppIcons::toolbarImage(int index) {
    if (index < 0 || index >= kToolbarImages) {
        return {};
    }
    return load(kToolbar[static_cast<std::size_t>(index)]);
}

QIcon AppIcons::application() {
    return QIcon::fromTheme(QStringLiteral("qx5130"), QIcon(QStringLiteral(":/icons/qx5130.svg")));
}

} // namespace qx
