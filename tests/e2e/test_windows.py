"""The Windows program under Wine, on the same X server and window manager, in a Wine prefix of
each session's own: its window, its notes (a stand-in winmm.dll beside it writes down each short
message), what Windows sends and Wine never does (send_to_window.exe sends it), Wine's own WinMM
without a MIDI device, and its installer."""

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
from harness import GREEN, GREY, WHITE, Session, key_point, markers, poll, px

if not shutil.which("wine"):
    print("SKIP: missing wine")
    sys.exit(77)
BUILD = os.environ.get("NOLVEX_WINDOWS_BUILD", "")
RECORDER, BOX_TEXT, SEND = (os.path.join(BUILD, "tests", "win32", f)
                            for f in ("winmm.dll", "box_text.exe", "send_to_window.exe"))
# No Mono or Gecko to install, no desktop entries written for the Start menu, no chatter.
WINE = dict(WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winmm=n,b", WINEDEBUG="-all")
BLACK, CYAN = (0, 0, 0), (0, 255, 255)  # system colour 7 (menu text) in Wine's scheme; cyan


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def session_prefix():
    """A Wine prefix of the session's own, copied from one made once for this version of Wine
    (wineboot takes seconds) and never run in: sessions side by side, or one that failed half-way
    (a program left running, a package left installed), change no other's result. The DLLs, 670
    MB that Wine only reads, are hard links to the template's; the rest is copied."""
    cache = os.environ.get("NOLVEX_WINE_CACHE") or (
        "/var/cache/nolvex-wine" if os.geteuid() == 0 else os.path.expanduser("~/.cache/nolvex-wine"))
    version = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout
    template = os.path.join(cache, re.sub(r"[^\w.]+", "-", version.strip()))
    os.makedirs(sessions := os.path.join(cache, "sessions"), exist_ok=True)
    if not os.path.exists(os.path.join(template, "system.reg")):
        build = tempfile.mkdtemp(dir=cache, prefix=".build-")  # renamed when complete
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"} | WINE | dict(WINEPREFIX=build)
        subprocess.run(["wine", "wineboot", "--init"], env=env, check=True, capture_output=True,
                       timeout=300)
        subprocess.run(["wineserver", "-w"], env=env, check=True, timeout=60)
        with contextlib.suppress(OSError):  # another run's prefix may have come first
            os.rename(build, template)
        shutil.rmtree(build, ignore_errors=True)
    for stale in os.listdir(sessions):  # left by runs that were killed
        if not os.path.exists(f"/proc/{stale.split('-')[0]}"):
            shutil.rmtree(os.path.join(sessions, stale), ignore_errors=True)
    own = tempfile.mkdtemp(dir=sessions, prefix=f"{os.getpid()}-")
    shutil.copytree(template, own, symlinks=True, dirs_exist_ok=True, copy_function=lambda a, b: (
        os.link if f"{os.sep}system32{os.sep}" in a else shutil.copy2)(a, b))
    return own


def down(note, velocity=0x7F, program=0):  # what the stand-in hears of a press, then a release
    return [f"send C8 {program:02X} 00 00", f"send 98 {note:02X} {velocity:02X} 00"]


def up(*notes):
    return [f"send 88 {note:02X} 00 00" for note in notes]


class WineSession(Session):
    """A Session without JACK whose program runs from a folder of its own with, if `recorder`, the
    stand-in beside it, whose open returns `open_result`. Wine's own WinMM finds no MIDI device:
    the prefix has no audio driver. `dpi`: the screen's."""

    def __init__(self, test, recorder=True, dpi=96, open_result=0):
        super().__init__(test, jack=False, capture=False, program=False)
        self.test, self.recorder, self.dpi, self.open_result = test, recorder, dpi, open_result
        self.prefix, self.seen = None, 0

    def __enter__(self):
        super().__enter__()
        self.log, self.prefix = os.path.join(self.tmp, "winmm.log"), session_prefix()
        self._stack.callback(shutil.rmtree, self.prefix, ignore_errors=True)
        self._stack.callback(self.run, ["wineserver", "-k"], check=False)  # before the folder goes
        os.makedirs(folder := os.path.join(self.tmp, "app"))
        for f in [harness.BINARY] + [RECORDER] * self.recorder:
            shutil.copy(f, folder)
        with open(settings := os.path.join(self.tmp, "settings.reg"), "w") as f:
            f.write(f'REGEDIT4\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:'
                    f'{self.dpi:08x}\n[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\n"Audio"=""\n')
        self.run(["wine", "regedit", "/S", windows_path(settings)])
        return self

    def env(self, **extra):
        wine = WINE | dict(WINEPREFIX=self.prefix, NOLVEX_WINMM_LOG=windows_path(self.log),
                           NOLVEX_WINMM_OPEN_RESULT=str(self.open_result)) if self.prefix else {}
        return super().env(**(wine | extra))

    def start(self):
        self.start_program(wait_drawn=False, wrap=["wine"], binary=os.path.join(
            self.tmp, "app", os.path.basename(harness.BINARY)))
        # Ended first, by Wine: a Windows program takes no signal as a request to end.
        self._stack.callback(self.run, ["wineserver", "-k"], check=False)

    def send(self, *command):  # send_to_window.exe's output
        return self.run(["wine", SEND, *map(str, command)]).stdout

    def calls(self):  # what the stand-in winmm.dll was asked, one call a line
        with contextlib.suppress(FileNotFoundError), open(self.log) as f:
            return f.read().splitlines()
        return []

    def expect(self, calls, what=""):
        """The next calls after those already expected; one too many, late or early, fails this
        expectation or the next."""
        got = poll(lambda: len(c := self.calls()[self.seen:]) >= len(calls) and c, 10,
                   f"{len(calls)} calls {what}")
        self.seen += len(calls)
        self.test.assertEqual(got, calls, what)

    def play(self, point, note, velocity=0x7F, program=0, what=""):
        self.press(point)
        self.expect(down(note, velocity, program), what)
        self.release()
        self.expect(up(note), what)

    def shows(self, what, point, colour):
        self.test.assertEqual(self.pixel(what, point, settle_on=colour), colour, what)

    def rows(self, name, x0, y0, x1, y1):  # the colours of each row of a client rectangle
        shot, top = self.screenshot(name), self.menu_height()
        return [{shot.pixel(x, y + top) for x in range(x0, x1)} for y in range(y0, y1)]

    def ended(self, status, calls):  # the program ended, with these last calls
        self.test.assertEqual(status, 0)
        self.test.assertEqual(self.calls()[self.seen:], calls)


class WindowsTest(unittest.TestCase):
    def test_window_mouse_velocity_bar_or_menus_wrong_or_a_key_left_held(self):
        with WineSession(self) as s:
            s.start()
            s.expect(["open 0"])
            self.assertEqual(s.geometry()[2:], (619, 139 + s.menu_height()))
            self.assertIn("_NET_WM_STATE_ABOVE", s.xprop("_NET_WM_STATE"))
            colours = lambda *rect: set().union(*s.rows("colours", *rect))
            self.assertEqual([colours(*p, p[0] + 1, p[1] + 1) for p in (key_point(0), key_point(1))]
                             + [colours(30, 10, 433, 33) & {WHITE, CYAN}, colours(32, 110, 317,
                                135) & {WHITE, CYAN}], [{WHITE}, {BLACK}, {WHITE}, {CYAN}])
            raised = lambda key: px(harness.key_left(key) + 15, 570 + 15)  # its inner top left
            for what, key, button, own in (("left", 0, 1, WHITE), ("right", 12, 3, WHITE),
                                           ("middle", 13, 2, BLACK), ("off the window", 59, 1, WHITE)):
                s.press(key_point(key), button)
                s.expect(down(36 + key), what)  # a box would hold every key back
                s.shows(what, key_point(key), GREEN)
                if what == "off the window":
                    x, y, width, height = s.geometry()
                    s.xdotool("mousemove", x + width + 50, y + height + 50)
                s.release(button)
                s.expect(up(36 + key), what)
                s.shows(what, key_point(key), own)
            s.shows("left click", raised(0), WHITE)  # unset again after its release
            # The bar runs from 127 at the top to 0: an arrow steps 1, the trough 10, a notch of
            # the wheel 3, and the thumb sets it when let go.
            for y, xdotool, velocity in ((90, "click 1", 126), (77, "click 1", 116),
                                         (77, "click 5", 113), (45, "click 1", 114),
                                         (64, "mousedown 1 mousemove_relative -- 0 45 mouseup 1", 0),
                                         (45, "click 1", 1)):
                s.move_to((597, y))
                s.xdotool(*xdotool.split())
                s.play(key_point(0), 36, velocity, what=xdotool)
            s.choose(0, 8, 7)  # "071 - Clarinet "
            s.play(key_point(0), 36, 1, 71)
            s.choose(1, 4)  # "Accord Majeur", an octave down
            s.click(harness.OCTAVE_DOWN)
            s.press(px(8850 + 140, 1410 + 190))  # ">>": its press is forgotten with the capture
            s.send("cancelmode")
            s.release()
            s.play(key_point(2), 38, 1, 71)
            self.assertEqual(markers(s, "chord"), {12, 16, 19})
            s.press(key_point(2))  # two buttons on one key, let go in the order pressed
            s.press(key_point(2), 3)
            s.release()
            s.release(3)
            s.expect(down(38, 1, 71) * 2 + up(38, 38))
            s.shows("two buttons", key_point(2), WHITE)
            # A key held through a minimise as the taskbar does it, or a cancelled mode, lets go
            # of the mouse: drawn raised (its inner top left light), and the next click plays the
            # key clicked.
            for what, key in (("minimise", 0), ("cancelmode", 5)):
                s.press(key_point(key))
                s.expect(down(36 + key, 1, 71), what)
                s.send(what)
                s.expect(up(36 + key), what)
                s.release()
                s.send("restore")
                s.shows(what, raised(key), WHITE)
                s.play(key_point(30), 66, 1, 71, what=what)
            s.press(key_point(7))  # a stray WM_QUIT with a key held: all ends, once
            s.expect(down(43, 1, 71))
            s.send("quit")
            s.ended(s.wait_exit(), up(43) + ["close"])

    def test_fingers_not_each_playing_their_own_key_from_contact_to_lift(self):
        with WineSession(self) as s:
            s.start()
            s.expect(["open 0"])
            windows = {}  # each contact's messages go to the window it came down on

            def finger(command, n, key=0, black=False):
                windows[n] = s.send(command, n, *key_point(key, black),
                                    *[windows.get(n)][:command != "down"])

            for n, key in ((1, 0), (2, 4), (3, 7)):  # a chord: three notes before any lift
                finger("down", n, key)
            s.expect(down(36) + down(40) + down(43))
            s.shows("chord", key_point(4), GREEN)
            finger("up", 2, 4)  # lifted in another order
            s.expect(up(40))
            finger("move", 1, 2)  # a slide plays no other key and ends nothing
            finger("down", 4, 1, black=True)
            s.expect(down(37))
            finger("up", 1, 2)
            s.expect(up(36), "the lift of the finger that slid")
            finger("lost", 3)
            s.expect(up(43), "a lost pointer")
            finger("cancel", 4)
            s.expect(up(37), "a cancelled contact")
            s.shows("lifted", key_point(7), WHITE)
            finger("down", 5, 12)
            finger("down", 6, 14)
            s.expect(down(48) + down(50))
            s.ended(s.close(), up(48, 50) + ["close"])  # with two fingers down

    def test_window_not_at_its_screen_s_scale_or_not_closing_when_the_session_ends(self):
        with WineSession(self, dpi=144) as s:  # 150 %
            s.start()
            s.expect(["open 0"])
            self.assertEqual(s.geometry()[2:], (929, 209 + s.menu_height()))
            at = lambda key, dpi=192: tuple(round(v * dpi / 96) for v in key_point(key))
            s.play(at(59, 144), 95)
            s.send("dpi", 192)  # moved to a screen at 200 %: laid out and drawn anew
            self.assertEqual(s.geometry()[2:], (1238, 278 + s.menu_height()))
            # Key 0 was 98 pixels high at 150 %: where its lower edge was drawn, its face is now.
            s.shows("200 %", (at(0)[0], 76 + 97), WHITE)
            # "<<" where it stands at 200 %, on what was the grey surface at 150 %; the
            # instrument's name in its 12-point face at 200 %, over 20 pixels high.
            self.assertIn(WHITE, set().union(*s.rows("200 %", 16, 186, 48, 206)))
            self.assertGreater(sum(WHITE in row for row in s.rows("200 %", 60, 20, 866, 66)), 20)
            s.play(at(30), 66)
            s.press(at(24))
            s.expect(down(60))
            self.assertEqual(s.send("endsession", "cancelled"), "query 1\n")
            s.release()  # still playing after a session end that was called off
            s.expect(up(60))
            s.press(at(24))
            s.expect(down(60))
            # The Restart Manager closes it for an update: it ends by itself.
            self.assertEqual(s.send("endsession", "closeapp"), "query 1\n")
            s.ended(s.wait_exit(), up(60) + ["close"])

    def test_failed_open_not_one_box_with_winmm_s_code_or_keys_not_colouring(self):
        for what, recorder, code in (("device held elsewhere", True, 4),
                                     ("Wine's WinMM without a device", False, 2)):
            with self.subTest(what), WineSession(self, recorder, open_result=code) as s:
                s.start()
                box = poll(s.popups, 20, "a message box")[0]
                self.assertEqual(poll(lambda: s.run(["wine", BOX_TEXT]).stdout, 10, "its text"),
                                 f"Couldn't open midi out, rc = {code}\n")
                s.dismiss(box)
                s.press(key_point(36))
                s.shows("held", key_point(36), GREEN)
                s.release()
                s.shows("released", key_point(36), WHITE)
                self.assertEqual(s.popups(), [], "one box only")
                self.assertEqual(s.close(), 0)
                if recorder:
                    self.assertEqual(s.calls(), ["open 0"], "nothing sent or closed")

    def test_installer_not_replacing_an_older_version_or_leaving_itself_behind(self):
        (new,), (old,) = (glob.glob(os.path.join(BUILD, *d, "nolvex-keyboard-*-x64.msi"))
                          for d in ((), ("tests", "win32")))
        version = lambda msi: re.search(r"-([\d.]+)-x64\.msi$", msi)[1]
        with WineSession(self, recorder=False) as s:
            for action, msi, status, installed in (("/i", old, 0, old), ("/i", new, 0, new),
                                                   ("/i", old, 1603, new), ("/x", new, 0, None)):
                what = f"{action} {version(msi)}"
                proc = s.spawn("msiexec", ["wine", "msiexec", action, windows_path(msi),
                                           "/qb" if status else "/qn"])
                if status:  # refused, saying why in a box
                    box = poll(lambda: s.windows("--onlyvisible", "--name", "^Install Failed$"),
                               20, "the refusal")[0]
                    self.assertEqual(s.run(["wine", BOX_TEXT]).stdout, "A newer version of "
                                     "Nolvex MIDI keyboard is already installed.\n")
                    s.xdotool("windowactivate", "--sync", box, "key", "Return")
                self.assertEqual(proc.wait(60), status % 256, what)  # msiexec's code, as a byte
                entries = s.run(["wine", "reg", "query", r"HKLM\Software\Microsoft\Windows\Current"
                                 r"Version\Uninstall", "/s"]).stdout.split("\n\n")
                self.assertEqual([re.search(r"DisplayVersion\s+REG_SZ\s+(\S+)", e)[1] for e in
                                  entries if "Nolvex" in e], [version(installed)] if installed else [],
                                 what)
                # The program, its folder, its Start-menu entry and one product's icon; not
                # through the links to the user's own folders.
                drive_c = os.path.join(s.prefix, "drive_c")
                files = [os.path.relpath(os.path.join(d, f), drive_c) for d, dirs, names in
                         os.walk(drive_c) for f in dirs + names if "olvex" in f]
                self.assertEqual((len(files), "Program Files/Nolvex MIDI keyboard/nolvex-keyboard"
                                  ".exe" in files), (4, True) if installed else (0, False), what)
