#include "app/kelvora.h"
#include "app/menu_tree.h"
#include "app/win32/kelvora_window.h"
#include "app/win32/text.h"

#include <algorithm>
#include <array>

void KelvoraWindow::createMenus()
{
    HMENU bar = CreateMenu();
    addMenuItems(bar, menuBar());
    SetMenu(m_hwnd, bar); // destroyed with the window
}

// An item with entries opens a submenu of them; the others are chosen, their command id their
// menu index. Where each indexed item stands is kept, for its caption to be read back.
void KelvoraWindow::addMenuItems(HMENU menu, const std::vector<MenuItem>& items)
{
    for (const MenuItem& item : items) {
        HMENU submenu = item.entries.empty() ? nullptr : CreatePopupMenu();
        if (submenu != nullptr)
            addMenuItems(submenu, item.entries);
        AppendMenuW(menu, submenu != nullptr ? MF_POPUP : MF_STRING,
            submenu != nullptr ? reinterpret_cast<UINT_PTR>(submenu)
                               : static_cast<UINT_PTR>(item.index),
            toWide(menuText(item.caption)).c_str());
        if (item.index >= 0)
            m_menuItems.at(item.index) = { menu, GetMenuItemCount(menu) - 1 };
    }
}

// A menu entry was chosen: its command id is its menu index.
void KelvoraWindow::menuCommand(int id)
{
    if (m_kelvora)
        m_kelvora->chosen(static_cast<std::int16_t>(id));
}

std::string KelvoraWindow::menuCaption(std::int16_t menuIndex) const
{
    if (menuIndex < 0 || menuIndex >= MenuIndex::Count)
        return {};
    const auto [menu, position] = m_menuItems[menuIndex];
    std::array<wchar_t, 256> text {};
    const int length = GetMenuStringW(menu, static_cast<UINT>(position), text.data(),
        static_cast<int>(text.size()), MF_BYPOSITION);
    return shownCaption(toUtf8({ text.data(), static_cast<std::size_t>(std::max(length, 0)) }));
}
