#include "app/kelvora.h"
#include "app/menu_captions.h"
#include "app/qt/kelvora_window.h"
#include "window/menu_bar.h"
#include "window/window_definition.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

// Menu texts are shown verbatim: a '&' is doubled so that Qt makes no access key of it.
QString menuText(std::string_view caption)
{
    return QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()))
        .replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace

void KelvoraWindow::createMenus()
{
    QMenuBar* bar = menuBar();
    bar->setNativeMenuBar(false);

    // Adds the entries of menu array `entries` to `menu`, each choice forwarded with its index.
    const auto addEntries = [this](QMenu* menu, const MenuIndex::MenuArray& entries) {
        const bool chosenRuns
            = WindowDefinition::behaviour(entries.name, WindowDefinition::Event::Chosen)
                  .has_value();
        for (std::int16_t i = entries.first; i <= entries.last; ++i) {
            QAction* action = menu->addAction(menuText(menuEntryCaption(i)));
            m_menuActions.at(i) = action;
            if (chosenRuns) {
                connect(action, &QAction::triggered, this, [this, i] {
                    if (m_kelvora)
                        m_kelvora->menuChosen(i);
                });
            }
        }
    };

    for (const MenuIndex::TopMenu& top : MenuIndex::TopMenus) {
        QMenu* menu = bar->addMenu(menuText(top.caption));
        const MenuIndex::MenuArray* entries = MenuIndex::findArray(top.entries);
        if (entries->name != "Midi_Instrument") {
            addEntries(menu, *entries);
            continue;
        }
        // The instrument families are submenus that only open their own entries.
        for (std::int16_t family = entries->first; family <= entries->last; ++family) {
            QMenu* submenu = menu->addMenu(menuText(menuEntryCaption(family)));
            m_menuActions.at(family) = submenu->menuAction();
            addEntries(submenu, MenuIndex::familyEntries(family));
        }
    }
}

QAction* KelvoraWindow::menuAction(std::int16_t menuIndex) const
{
    if (menuIndex < 0 || menuIndex >= MenuIndexCount)
        return nullptr;
    return m_menuActions.at(menuIndex);
}

std::string KelvoraWindow::menuCaption(std::int16_t menuIndex) const
{
    const QAction* action = menuAction(menuIndex);
    if (!action)
        return {};
    return action->text().replace(QLatin1String("&&"), QLatin1String("&")).toStdString();
}
