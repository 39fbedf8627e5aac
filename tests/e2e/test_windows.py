"""The Windows program under Wine, on the same X server and window manager: its window, its notes
(a stand-in winmm.dll beside it writes down each short message), Wine's own WinMM with no MIDI
device, and its installer."""

import contextlib
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

import harness
from harness import GREEN, WHITE, Session, key_point, poll, px
from test_scales import OCTAVE_DOWN, markers

if not shutil.which("wine"):
    print("SKIP: missing wine")
    sys.exit(77)
BUILD = os.environ.get("NOLVEX_WINDOWS_BUILD", "")
RECORDER, BOX_TEXT = (os.path.join(BUILD, "tests", "win32", f) for f in ("winmm.dll", "box_text.exe"))
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
# No Mono or Gecko to install, no desktop entries written for the Start menu, no chatter.
WINE = dict(WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winmm=n,b", WINEDEBUG="-all")


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def wine_prefix():
    """A Wine prefix for this version of Wine, made once (wineboot takes seconds) and kept."""
    version = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout
    cache = os.environ.get("NOLVEX_WINE_CACHE") or (
        "/var/cache/nolvex-wine" if os.geteuid() == 0 else os.path.expanduser("~/.cache/nolvex-wine"))
    prefix = os.path.join(cache, re.sub(r"[^\w.]+", "-", version.strip()))
    if not os.path.exists(os.path.join(prefix, "system.reg")):
        os.makedirs(cache, exist_ok=True)
        build = tempfile.mkdtemp(dir=cache, prefix=".build-")  # renamed when complete
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"} | WINE | dict(WINEPREFIX=build)
        subprocess.run(["wine", "wineboot", "--init"], env=env, check=True, capture_output=True,
                       timeout=300)
        subprocess.run(["wineserver", "-w"], env=env, check=True, timeout=60)
        with contextlib.suppress(OSError):  # another run's prefix may have come first
            os.rename(build, prefix)
        shutil.rmtree(build, ignore_errors=True)
    return prefix


class WineSession(Session):
    """A Session without JACK whose programs run in the cached Wine prefix, the program from a
    folder of its own with, if `recorder`, the stand-in winmm.dll beside it."""

    def __init__(self, test, recorder=True, dpi=96):
        super().__init__(test, jack=False, capture=False, program=False)
        self.recorder, self.dpi, self.prefix = recorder, dpi, wine_prefix()

    def __enter__(self):
        super().__enter__()
        self._stack.callback(subprocess.run, ["wineserver", "-k"], env=self.env())  # first to go
        self.log = os.path.join(self.tmp, "winmm.log")
        self.exe = os.path.join(self.tmp, "app", "nolvex-keyboard.exe")
        os.makedirs(os.path.dirname(self.exe))
        shutil.copy(harness.BINARY, self.exe)
        if self.recorder:
            shutil.copy(RECORDER, os.path.dirname(self.exe))
        self.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                  "REG_DWORD", "/d", str(self.dpi), "/f"])  # the screen's scale, for every run
        return self

    def env(self, **extra):
        return super().env(**(WINE | dict(WINEPREFIX=self.prefix,
                                          NOLVEX_WINMM_LOG=windows_path(self.tmp + "/winmm.log"))
                              | extra))

    def start(self):
        self.start_program(wait_drawn=False, wrap=["wine"], binary=self.exe)

    def calls(self, since=0):  # what the stand-in winmm.dll was asked, one call a line
        # The window shows before the device opens: until then there is no log.
        return open(self.log).read().splitlines()[since:] if os.path.exists(self.log) else []

    def wait_calls(self, count, since=0):
        return poll(lambda: len(got := self.calls(since)) >= count and got, 10, f"{count} calls")


def clicked(note, velocity=0x7F, program=0):  # what the stand-in hears of a click on a key
    return [f"send {m[0]:02X} {m[1]:02X} {m[2]:02X} 00" for m in
            ((0xC8, program, 0), (0x98, note, velocity), (0x88, note, 0))]


class WindowsTest(unittest.TestCase):
    def test_window_or_its_notes_wrong_under_wine(self):
        with WineSession(self) as s:
            s.start()
            self.assertIn(f'"{harness.WINDOW_NAME}"', s.xprop("WM_NAME"))
            poll(lambda: s.calls() == ["open 0"], 10, "the device opened")
            self.assertEqual(s.geometry()[2:], (619, 139 + s.menu_height()))
            self.assertIn("_NET_WM_STATE_ABOVE", s.xprop("_NET_WM_STATE"))
            self.assertEqual(s.popups(), [], "no message box when the device opens")
            presses = [("left button", key_point(0), 1, clicked(36)),
                       ("right button", key_point(12), 3, clicked(48)),
                       ("middle button", key_point(13), 2, clicked(49)),
                       ("released off the window", key_point(0), 1, clicked(36))]
            for what, point, button, expected in presses:
                since, own = len(s.calls()), s.pixel(what, point)
                s.press(point, button)
                s.wait_calls(2, since)
                self.assertEqual(s.pixel(what, point, settle_on=GREEN), GREEN, what)
                if what == "released off the window":
                    s.xdotool("mousemove", *(v + 50 for v in s.geometry()[2:]))
                s.release(button)
                self.assertEqual(s.wait_calls(3, since), expected, what)
                self.assertEqual(s.pixel(what, point, settle_on=own), own, what)
            since = len(s.calls())
            s.click(px(8960, 1470))  # the velocity bar's lower arrow: one step down
            s.xdotool("click", 5)  # and a notch of the wheel down over it: three more
            s.choose(0, 8, 7)  # "071 - Clarinet "
            s.click(key_point(0))
            self.assertEqual(s.wait_calls(3, since), clicked(36, 123, 71))
            s.choose(1, 4)  # "Accord Majeur", an octave down
            s.click(OCTAVE_DOWN)
            self.assertEqual(harness.settle(lambda: markers(s, "chord"), {12, 16, 19}),
                             {12, 16, 19})
            since = len(s.calls())  # two buttons on one key, let go in the order pressed
            s.press(key_point(2))
            s.press(key_point(2), 3)
            s.release()
            s.release(3)
            two = clicked(38, 123, 71)
            self.assertEqual(s.wait_calls(6, since), two[:2] * 2 + two[2:] * 2)
            self.assertEqual(s.pixel("two buttons", key_point(2), settle_on=WHITE), WHITE)
            since = len(s.calls())  # a key held while the window is minimised
            s.press(key_point(9))
            s.wait_calls(2, since)
            s.xdotool("windowminimize", "--sync", s.window)
            self.assertEqual(s.wait_calls(3, since), clicked(45, 123, 71))
            s.release()
            s.xdotool("windowactivate", "--sync", s.window)
            self.assertEqual(s.pixel("restored", key_point(9), settle_on=WHITE), WHITE)
            since = len(s.calls())
            s.press(key_point(7))
            s.wait_calls(2, since)
            self.assertEqual(s.close(), 0)
            self.assertEqual(s.calls(since), clicked(43, 123, 71) + ["close"])

    def test_window_not_at_the_screen_s_scale_or_a_held_note_left_on_at_the_session_end(self):
        with WineSession(self, dpi=144) as s:  # 150 %
            s.start()
            self.assertEqual(s.geometry()[2:], (929, 209 + s.menu_height()))
            s.press(tuple(round(v * 1.5) for v in key_point(59)))
            s.wait_calls(3)
            s.run(["wine", "wineboot", "--end-session"])  # as Windows does at a log-off
            self.assertEqual(s.wait_exit(), 0)
            self.assertEqual(s.calls(1), clicked(95) + ["close"])

    def test_no_midi_device_not_one_box_with_wine_s_rc_or_keys_not_colouring(self):
        with WineSession(self, recorder=False) as s:
            s.start()
            box = poll(s.popups, 20, "a message box")[0]
            self.assertEqual(poll(lambda: s.run(["wine", BOX_TEXT]).stdout, 10, "the box's text"),
                             "Couldn't open midi out, rc = 2\n")
            s.dismiss(box)
            s.press(key_point(36))
            self.assertEqual(s.pixel("held", key_point(36), settle_on=GREEN), GREEN)
            s.release()
            self.assertEqual(s.pixel("released", key_point(36), settle_on=WHITE), WHITE)
            self.assertEqual(s.popups(), [], "one box only")
            self.assertEqual(s.close(), 0)

    def test_installer_leaves_the_program_its_start_menu_or_uninstall_entry_behind(self):
        msi = glob.glob(os.path.join(BUILD, "nolvex-keyboard-*-x64.msi"))[0]
        with WineSession(self, recorder=False) as s:
            drive_c = os.path.join(s.prefix, "drive_c")
            installed = lambda: sorted(sum((glob.glob(f"{drive_c}/**/{f}", recursive=True) for f in (
                "Nolvex MIDI keyboard*/**/*.exe", "Start Menu/Programs/Nolvex MIDI keyboard.lnk")), []))
            for action, present in (("/i", True), ("/x", False)):
                with self.subTest(action):
                    s.run(["wine", "msiexec", action, windows_path(msi), "/qn"])
                    files = [os.path.relpath(f, drive_c) for f in installed()]
                    exe = "Program Files/Nolvex MIDI keyboard/nolvex-keyboard.exe"
                    self.assertEqual((files[:1], len(files)), ([exe], 2) if present else ([], 0))
                    entry = s.run(["wine", "reg", "query", UNINSTALL, "/s"], check=False).stdout
                    self.assertEqual(f"DisplayName    REG_SZ    {harness.WINDOW_NAME}" in entry,
                                     present, entry)
