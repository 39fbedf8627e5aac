#include "app/kelvora.h"
#include "app/win32/kelvora_window.h"
#include "app/win32/win32_window_manager.h"
#include "midi/winmm/winmm_midi_service.h"

#include <windows.h>

// The keyboard on Windows: the window on the Win32 API, its notes through WinMM's device 0.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WinMmMidiService midi;
    Win32WindowManager windowManager;
    KelvoraWindow window(instance);
    Kelvora kelvora(window, midi, windowManager);
    window.attach(kelvora);
    kelvora.load();
    // Returns with the window ended and the unload run, while `kelvora` is still there.
    return window.runMessageLoop();
}
