#include "app/kelvora.h"
#include "app/menu_captions.h"
#include "app/win32/kelvora_window.h"
#include "app/win32/text.h"
#include "window/menu_bar.h"

#include <array>

namespace {

// Menu texts are shown verbatim: a '&' is doubled so that no access key is made of it.
std::wstring menuText(std::string_view caption)
{
    std::wstring text;
    for (const wchar_t c : toWide(caption))
        text.append(c == L'&' ? 2 : 1, c);
    return text;
}

// Adds the entries of menu array `entries` to `menu`; an entry's command id is its menu index.
void addEntries(HMENU menu, const MenuIndex::MenuArray& entries)
{
    for (std::int16_t i = entries.first; i <= entries.last; ++i)
        AppendMenuW(
            menu, MF_STRING, static_cast<UINT_PTR>(i), menuText(menuEntryCaption(i)).c_str());
}

} // namespace

void KelvoraWindow::createMenus()
{
    HMENU bar = CreateMenu();
    for (const MenuIndex::TopMenu& top : MenuIndex::TopMenus) {
        HMENU menu = CreatePopupMenu();
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), menuText(top.caption).c_str());
        const MenuIndex::MenuArray* entries = MenuIndex::findArray(top.entries);
        if (entries->name != "Midi_Instrument") {
            addEntries(menu, *entries);
            continue;
        }
        // The instrument families are submenus that only open their own entries.
        m_instruments = menu;
        for (std::int16_t family = entries->first; family <= entries->last; ++family) {
            HMENU submenu = CreatePopupMenu();
            AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu),
                menuText(menuEntryCaption(family)).c_str());
            addEntries(submenu, MenuIndex::familyEntries(family));
        }
    }
    SetMenu(m_hwnd, bar); // destroyed with the window
}

// A menu entry was chosen: its command id is its menu index, and the core knows which arrays
// have a handler.
void KelvoraWindow::menuCommand(int id)
{
    if (m_kelvora)
        m_kelvora->menuChosen(static_cast<std::int16_t>(id));
}

std::string KelvoraWindow::menuCaption(std::int16_t menuIndex) const
{
    std::array<wchar_t, 256> text {};
    int length = 0;
    if (MenuIndex::isFamily(menuIndex))
        length = GetMenuStringW(m_instruments, menuIndex - MenuIndex::FirstFamily, text.data(),
            static_cast<int>(text.size()), MF_BYPOSITION);
    else if (menuIndex >= MenuIndex::FirstInstrument && menuIndex <= MenuIndex::LastNote)
        length = GetMenuStringW(GetMenu(m_hwnd), static_cast<UINT>(menuIndex), text.data(),
            static_cast<int>(text.size()), MF_BYCOMMAND);
    std::wstring caption;
    for (int i = 0; i < length; ++i) {
        caption += text[i];
        if (text[i] == L'&' && i + 1 < length && text[i + 1] == L'&')
            ++i;
    }
    return toUtf8(caption);
}
