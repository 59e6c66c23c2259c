#pragma once

#include <QIcon>

namespace qx {

// The window's image lists. The desktop theme's icon is used where a standard name fits; our
// own drawings stand in for it and for the transceiver's own images.
class AppIcons {
public:
    // 0 transceiver, 1 folder, 2 note, 3 second note, 4 warning mark, 5 error mark.
    static QIcon treeImage(int index);
    static constexpr int kTreeImages = 6;
    // 0 New, 1 Open, 2 Save, 3-6 COM 1-4, 7 Clone Read, 8 Clone Write, 9 Clone Information,
    // 10 pen, 11 box fill, 12 slider, 13-16 first, previous, next and last page, 17 zoom.
    static QIcon toolbarImage(int index);
    static constexpr int kToolbarImages = 18;
    static QIcon application();
};

} // namespace qx
