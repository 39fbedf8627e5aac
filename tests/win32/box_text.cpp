// Prints the text of each message box on the screen, a line each: what the user reads in it, for
// the Windows program's tests (under Wine, in the program's prefix).
#include <windows.h>

#include <cstdio>

namespace {

BOOL CALLBACK printStatic(HWND child, LPARAM)
{
    wchar_t text[512];
    if (GetClassNameW(child, text, 512) > 0 && lstrcmpiW(text, L"Static") == 0
        && GetWindowTextW(child, text, 512) > 0)
        std::printf("%ls\n", text);
    return TRUE;
}

BOOL CALLBACK printBox(HWND window, LPARAM)
{
    wchar_t name[16];
    if (IsWindowVisible(window) && GetClassNameW(window, name, 16) > 0
        && lstrcmpW(name, L"#32770") == 0) // the dialog class of message boxes
        EnumChildWindows(window, printStatic, 0);
    return TRUE;
}

} // namespace

int main()
{
    EnumWindows(printBox, 0);
    return 0;
}
