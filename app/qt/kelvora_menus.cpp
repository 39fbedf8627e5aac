#include "app/kelvora.h"
#include "app/menu_tree.h"
#include "app/qt/kelvora_window.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

QString shown(std::string_view caption)
{
    const std::string text = menuText(caption);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void KelvoraWindow::createMenus()
{
    menuBar()->setNativeMenuBar(false);
    addMenuItems(menuBar(), ::menuBar());
}

// An item with entries opens a submenu of them; the others are chosen, each choice forwarded
// with its menu index.
void KelvoraWindow::addMenuItems(QWidget* menu, const std::vector<MenuItem>& items)
{
    for (const MenuItem& item : items) {
        QAction* action = nullptr;
        if (item.entries.empty()) {
            action = new QAction(shown(item.caption), menu);
            connect(action, &QAction::triggered, this, [this, index = item.index] {
                if (m_kelvora)
                    m_kelvora->chosen(index);
            });
        } else {
            auto* submenu = new QMenu(shown(item.caption), menu);
            addMenuItems(submenu, item.entries);
            action = submenu->menuAction();
        }
        menu->addAction(action);
        if (item.index >= 0)
            m_menuActions.at(item.index) = action;
    }
}

QAction* KelvoraWindow::menuAction(std::int16_t menuIndex) const
{
    if (menuIndex < 0 || menuIndex >= MenuIndex::Count)
        return nullptr;
    return m_menuActions.at(menuIndex);
}

std::string KelvoraWindow::menuCaption(std::int16_t menuIndex) const
{
    const QAction* action = menuAction(menuIndex);
    return action ? shownCaption(action->text().toStdString()) : std::string();
}
