"""Fingers on a real touchscreen (uinput, read by Xorg's evdev driver), heard on a raw MIDI card."""

import glob
import pathlib
import unittest

from evdev import AbsInfo, UInput, ecodes as e

from harness import ARTEFACTS, WHITE, RawCapture, Session, key_point, played, poll
from test_alsa import modprobe

NAME = "nolvex touchscreen"
XORG = """Section "Device" Identifier "card" Driver "dummy" VideoRam 16384 EndSection
Section "Monitor" Identifier "monitor" HorizSync 5-1000 VertRefresh 5-1000 EndSection
Section "Screen" Identifier "screen" Device "card" Monitor "monitor"
    SubSection "Display" Virtual 1024 768 EndSubSection EndSection
Section "InputDevice" Identifier "touch" Driver "evdev" Option "Device" "%s" EndSection
Section "ServerLayout" Identifier "layout" Screen "screen" InputDevice "touch"
    Option "AutoAddDevices" "false" EndSection"""
on, off = (lambda n: played(n)[:2]), (lambda n: played(n)[2:])
# Steps on the test and its session, each done once its effect shows (openbox animates).
MINIMISE = lambda t, s: s.xdotool("windowminimize", "--sync", s.window)
ACTIVATE = lambda t, s: (s.xdotool("windowactivate", "--sync", s.window),
                         poll(lambda: s.geometry() == s.where, 10, "the window back in place"))
MENU = lambda t, s: (s.xdotool("mousemove", "--window", s.window, 15, s.menu_height() // 2,
                               "click", 1), poll(s.popups, 10, "the menu to open"))
ESCAPE = lambda t, s: (s.xdotool("key", "Escape"), poll(lambda: not s.popups(), 10, "no menu"))
WHITE_50 = lambda t, s: t.assertEqual(s.pixel("key 50", key_point(50), settle_on=WHITE), WHITE)
# Finger F (0-9) down on or slid onto key K: (F, K), lifted: (F, None); or a step above; each
# with what it plays.
STEPS = {
    "three-finger chord": [((0, 24), on(60)), ((1, 28), on(64)), ((2, 31), on(67)),
                           ((1, None), off(64)), ((2, None), off(67)), ((0, None), off(60))],
    "slide": [((0, 40), on(76)), ((0, 41), []), ((0, 43), []), ((0, 45), []), ((0, None), off(76))],
    "hidden window": [((0, 5), on(41)), ((1, 7), on(43)), (MINIMISE, off(41) + off(43)),
                      ((1, None), []), ((0, None), []), (ACTIVATE, []), ((0, 9), on(45)),
                      ((0, None), off(45))],
    "menu opened by the mouse": [((0, 50), on(86)), (MENU, []), ((0, None), off(86)),
                                 (ESCAPE, []), (WHITE_50, [])]}


class Touchscreen(UInput):
    """Multi-touch protocol B over the 1024 x 768 screen, its fingers put on the window's keys."""

    def __init__(self):
        axes = [(e.ABS_X, 1024), (e.ABS_Y, 768), (e.ABS_MT_SLOT, 10), (e.ABS_MT_TRACKING_ID, 10),
                (e.ABS_MT_POSITION_X, 1024), (e.ABS_MT_POSITION_Y, 768)]
        super().__init__({e.EV_KEY: [e.BTN_TOUCH], e.EV_ABS: [
            (code, AbsInfo(0, 0, size - 1, 0, 0, 0)) for code, size in axes]}, NAME,
            input_props=[e.INPUT_PROP_DIRECT])
        self.down = set()

    def find(self, session):  # the client area's top left on the screen: the pointer put there
        session.move_to((0, 0))  # "x:X y:Y screen:S window:W"
        self.origin = [int(v[2:]) for v in session.xdotool("getmouselocation").split()[:2]]

    def touch(self, finger, key):
        (self.down.discard if key is None else self.down.add)(finger)
        # A slide writes its finger's tracking id again, which the kernel drops as unchanged.
        events = [(e.ABS_MT_SLOT, finger), (e.ABS_MT_TRACKING_ID, -1 if key is None else finger)]
        if key is not None:
            x, y = (o + p for o, p in zip(self.origin, key_point(key)))
            events += [(e.ABS_MT_POSITION_X, x), (e.ABS_MT_POSITION_Y, y)]
        for code, value in events:
            self.write(e.EV_ABS, code, value)
        self.write(e.EV_KEY, e.BTN_TOUCH, int(bool(self.down)))
        self.syn()


class TouchTest(unittest.TestCase):
    def test_touch_fingers_not_each_on_its_own_key_or_held_on_in_a_hidden_window_or_a_menu(self):
        # test_alsa leaves its card 1 unplugged: snd-virmidi is loaded again.
        for args in [["uinput"], ["evdev"], ["snd-seq-dummy"], ["-r", "snd-virmidi"],
                     ["snd-virmidi", "index=1", "enable=1"]]:
            modprobe(*args)
        with Touchscreen() as screen:
            event = poll(lambda: [p for p in glob.glob("/sys/class/input/event*/device/name")
                                  if pathlib.Path(p).read_text() == NAME + "\n"], 10, NAME)
            config = pathlib.Path("/tmp/touch.xorg")  # the guest's own
            config.write_text(XORG % f"/dev/input/{event[0].split('/')[4]}")
            with Session(self, jack=False, capture=False, program=False, server=[
                    "Xorg", "-config", config, "-configdir", "/tmp", "-logfile",
                    f"{ARTEFACTS}/xorg.log", "-noreset", "vt7"]) as s:
                raw, since = RawCapture(s, "hw:1,0"), 0
                s.start_program()
                screen.find(s)
                s.where = s.geometry()
                for what, steps in STEPS.items():
                    with self.subTest(what):
                        heard = []
                        try:
                            for step, plays in steps:
                                step(self, s) if callable(step) else screen.touch(*step)
                                heard += plays
                                self.assertEqual(raw.wait_messages(len(heard), since), heard)
                        finally:  # whatever happened: no finger down, no menu, the window back,
                            # then a tap on key 0, and the next row's bytes after the tap's
                            for step in [(f, None) for f in screen.down] + [ESCAPE, ACTIVATE,
                                                                            (9, 0), (9, None)]:
                                step(self, s) if callable(step) else screen.touch(*step)
                            since = poll(lambda: (m := raw.messages())[-3:] == played(36) and len(
                                m), 10, "the tap on key 0")
