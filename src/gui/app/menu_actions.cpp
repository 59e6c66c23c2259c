#include "menu_actions.h"

#include "app/ui_item.h"
#include "app_icons.h"
#include "code_page_text.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace qx {

void addMenuActions(QWidget* parent, cuiItem& item, const CodePageText& codec,
                    Qt::ShortcutContext context, const std::function<void(cuiItem&)>& clicked,
                    std::vector<MenuAction>& made) {
    for (const auto& child : item.children) {
        cuiItem& entry = *child;
        const QString caption = codec.toQString(entry.caption);
        QAction* action = nullptr;
        if (entry.isSeparator()) {
            action = new QAction(parent);
            action->setSeparator(true);
        } else if (!entry.children.empty()) {
            auto* menu = new QMenu(caption, parent);
            addMenuActions(menu, entry, codec, context, clicked, made);
            action = menu->menuAction();
        } else {
            action = new QAction(caption, parent);
            if (!entry.shortcut.empty()) {
                // "Ctrl+Y; Ctrl+Shift+Z": one item, several keys; the menu shows the first.
                action->setShortcuts(QKeySequence::listFromString(
                    QString::fromLatin1(entry.shortcut.c_str()), QKeySequence::PortableText));
                action->setShortcutContext(context);
            }
            cuiItem* target = &entry;
            QObject::connect(action, &QAction::triggered, parent,
                             [clicked, target] { clicked(*target); });
        }
        if (entry.imageIndex >= 0) {
            action->setIcon(AppIcons::toolbarImage(entry.imageIndex));
        }
        parent->addAction(action);
        made.push_back({action, &entry});
    }
}

void showMenuStates(const std::vector<MenuAction>& actions, const CodePageText& codec) {
    for (const MenuAction& entry : actions) {
        const cuiItem& item = *entry.item;
        QAction* action = entry.action;
        action->setVisible(item.visible);
        if (item.isSeparator()) {
            continue;
        }
        action->setEnabled(item.enabled);
        action->setCheckable(item.checked);
        action->setChecked(item.checked);
        const QString caption = codec.toQString(item.caption);
        if (action->text() != caption) {
            action->setText(caption);
        }
    }
}

} // namespace qx
