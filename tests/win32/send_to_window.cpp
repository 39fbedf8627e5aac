// Sends the keyboard's window what Wine never makes itself, for the Windows program's tests. It
// checks how the program handles these messages, not Windows' own touch input.
//   down|move|up|cancel|lost ID X Y [HWND]: a contact's pointer message, at client pixel X,Y of
//       the keyboard: posted, as a touchscreen's are, to HWND, or to the window under the point
//       (printed) for the first one of a contact; "cancel" is a lift that the system took,
//       "lost" a pointer captured elsewhere
//   minimise|restore: as the taskbar button does it; cancelmode: WM_CANCELMODE
//   endsession closeapp|cancelled: WM_QUERYENDSESSION (its answer printed), then WM_ENDSESSION,
//       for the Restart Manager's close for an update, or for a session end called off
//   dpi N: WM_DPICHANGED to N dpi, with the frame that Windows would suggest
//   quit: a stray WM_QUIT for the window's thread
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr unsigned InContact = POINTER_MESSAGE_FLAG_INRANGE | POINTER_MESSAGE_FLAG_INCONTACT
    | POINTER_MESSAGE_FLAG_FIRSTBUTTON;

struct Pointer
{
    const char* command;
    UINT message;
    unsigned flags;
};
constexpr Pointer Pointers[] {
    { "down", WM_POINTERDOWN, InContact | POINTER_MESSAGE_FLAG_NEW },
    { "move", WM_POINTERUPDATE, InContact },
    { "up", WM_POINTERUP, 0 },
    { "cancel", WM_POINTERUP, POINTER_MESSAGE_FLAG_CANCELED },
    { "lost", WM_POINTERCAPTURECHANGED, 0 },
};

// The frame Windows suggests: the same top left, the size scaled. Wine passes the pointer on as
// it is, so the frame is written into the program's memory.
void changeDpi(HWND window, UINT dpi)
{
    RECT frame;
    GetWindowRect(window, &frame);
    frame.right = frame.left + MulDiv(frame.right - frame.left, dpi, GetDpiForWindow(window));
    frame.bottom = frame.top + MulDiv(frame.bottom - frame.top, dpi, GetDpiForWindow(window));
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    void* there = VirtualAllocEx(process, nullptr, sizeof(frame), MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(process, there, &frame, sizeof(frame), nullptr);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(there));
    VirtualFreeEx(process, there, 0, MEM_RELEASE);
}

void endSession(HWND window, bool ends)
{
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(
        window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG, 5000, &answer);
    std::printf("query %u\n", static_cast<unsigned>(answer));
    std::fflush(stdout);
    SendMessageTimeoutW(
        window, WM_ENDSESSION, ends, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG, 5000, nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    const auto arg = [&](int n) { return n < argc ? std::atoi(argv[n]) : 0; };
    HWND keyboard = FindWindowW(L"NolvexKelvora", nullptr);
    for (const Pointer& p : Pointers) {
        if (command != p.command)
            continue;
        POINT where { arg(3), arg(4) };
        ClientToScreen(keyboard, &where);
        HWND to = argc > 5 ? reinterpret_cast<HWND>(std::strtoull(argv[5], nullptr, 0))
                           : WindowFromPoint(where);
        PostMessageW(to, p.message, MAKEWPARAM(arg(2), p.flags),
            p.message == WM_POINTERCAPTURECHANGED ? 0 : MAKELPARAM(where.x, where.y));
        std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(to)));
        return 0;
    }
    if (command == "minimise" || command == "restore")
        SendMessageW(keyboard, WM_SYSCOMMAND, command == "minimise" ? SC_MINIMIZE : SC_RESTORE, 0);
    else if (command == "cancelmode")
        SendMessageW(keyboard, WM_CANCELMODE, 0, 0);
    else if (command == "endsession")
        endSession(keyboard, argc > 2 && std::string(argv[2]) == "closeapp");
    else if (command == "dpi")
        changeDpi(keyboard, static_cast<UINT>(arg(2)));
    else if (command == "quit")
        PostThreadMessageW(GetWindowThreadProcessId(keyboard, nullptr), WM_QUIT, 0, 0);
    else
        return 2;
    return 0;
}
