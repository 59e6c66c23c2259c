#pragma once

#include <Qt>

#include <functional>
#include <vector>

class QAction;
class QWidget;

namespace qx {

class CodePageText;
struct cuiItem;

// A menu item drawn as an action, and the item it stands for.
struct MenuAction {
    QAction* action;
    cuiItem* item;
};

// Draws the children of `item` as actions of `parent` (a menu bar or a menu), an item with
// children as a submenu: captions, shortcuts (active in `context`) and images. A click hands
// the item to `clicked`. Every action made is appended to `made`.
void addMenuActions(QWidget* parent, cuiItem& item, const CodePageText& codec,
                    Qt::ShortcutContext context, const std::function<void(cuiItem&)>& clicked,
                    std::vector<MenuAction>& made);

// Shows what the items' last state query left: visible, enabled, checked and caption.
void showMenuStates(const std::vector<MenuAction>& actions, const CodePageText& codec);

} // namespace qx
