"""Start-up: the window, its MIDI output and its markers, and the message box when JACK does not
answer."""

import glob
import os
import re
import shutil
import signal
import subprocess
import tempfile
import unittest

import harness
from harness import GREEN, OCTAVE_DOWN, Session, key_point, markers, poll


class StartupTest(unittest.TestCase):
    def test_window_misnamed_missized_not_above_or_not_wired_to_the_capture_port(self):
        with Session(self) as s:
            for prop in ("_NET_WM_NAME", "WM_NAME"):
                self.assertIn(f'"{harness.WINDOW_NAME}"', s.xprop(prop))
            # The client area, below a menu bar, grey to its bottom-left and top-right corners.
            _, _, width, height = s.geometry()
            self.assertEqual((width, height - s.menu_height()), (619, 139))
            for x, y in [(0, 138), (618, 0)]:
                self.assertEqual(s.pixel("window", (x, y)), harness.GREY, (x, y))
            for key, colour in [(0, harness.WHITE), (1, (0, 0, 0))]:  # black: the menu text colour
                self.assertEqual(s.pixel("window", key_point(key)), colour, key)
            poll(lambda: "_NET_WM_STATE_ABOVE" in s.xprop("_NET_WM_STATE"), 20,
                 "_NET_WM_STATE_ABOVE on the window")
            ports = poll(lambda: harness.jack_connections(s).get(harness.CAPTURE_PORT), 20,
                         "a connection to the capture port")
            self.assertEqual([p.split(":")[0] for p in ports], [harness.WINDOW_NAME])
            self.assertEqual(s.popups(), [], "no message box when the device opens")
            # The marking: C major at first, a chord on another root, two octaves down and no
            # further; a key's notes after the clicks show them handled.
            for name, choice, shown in (("c-major", None, {24, 26, 28, 29, 31, 33, 35}),
                                        ("dominant-seventh", (1, 7), {24, 28, 31, 34})):
                if choice:
                    s.choose(*choice)
                self.assertEqual(harness.settle(lambda: markers(s, name), shown), shown, name)
            s.choose(2, 2)  # "Ré"
            for _ in range(3):
                s.click(OCTAVE_DOWN)
            s.click(key_point(0))
            s.capture.wait_messages(3)
            self.assertEqual(markers(s, "re-two-octaves-down"), {6, 9, 12, 14})
            self.assertEqual(s.close(), 0)

    def test_no_or_stopped_jack_server_hangs_the_window_or_nags_more_than_once(self):
        for stopped in (False, True):
            with self.subTest(jackd="stopped" if stopped else "none"), \
                    Session(self, jack=stopped, capture=False, program=False) as s:
                if stopped:
                    s.jackd.send_signal(signal.SIGSTOP)
                    s._stack.callback(s.jackd.send_signal, signal.SIGCONT)  # before it is stopped
                s.start_program(wait_drawn=False)
                box = poll(s.popups, 20, "a message box")[0]
                self.assertIn(f"window id # {hex(s.window)}", s.xprop("WM_TRANSIENT_FOR", box))
                poll(lambda: s.screenshot("message-box", "root").pixel(*s.geometry(box)[:2]) !=
                     (0, 0, 0), 20, "the message box to be drawn")
                s.xdotool("windowactivate", "--sync", box)
                s.xdotool("key", "--clearmodifiers", "ctrl+c")
                text = poll(lambda: s.run(["xclip", "-selection", "clipboard", "-o"],
                                          check=False).stdout, 5, "the box's text from Ctrl+C")
                self.assertRegex(text, r"(?m)^Couldn't open midi out, rc = -?\d+$")
                s.dismiss(box)  # a second box would stay up
                for key in (0, 30, 59):
                    s.click(key_point(key))
                s.press(key_point(24))
                self.assertEqual(s.pixel("held", key_point(24), settle_on=GREEN), GREEN)
                s.release()
                self.assertEqual(s.popups(), [], "no box after OK, also not on a press")
                self.assertEqual(s.close(), 0)


    def test_wayland_only_session_not_run_natively(self):
        # Qt looks for its platform plugins in QT_PLUGIN_PATH, then in its own plugin folder.
        qt = shutil.which("qtpaths6") and subprocess.run(
            ["qtpaths6", "--query", "QT_INSTALL_PLUGINS"], capture_output=True, text=True).stdout
        if not (shutil.which("weston") and any(glob.glob(f"{d.strip()}/platforms/libqwayland-*.so")
                for d in [*os.environ.get("QT_PLUGIN_PATH", "").split(os.pathsep), qt] if d)):
            self.skipTest("needs weston and Qt's Wayland platform plugin (qt6-wayland)")
        with tempfile.TemporaryDirectory() as runtime:
            env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM")
                   } | dict(XDG_RUNTIME_DIR=runtime, WAYLAND_DISPLAY="wayland-e2e")
            for argv, log in (["weston", "--backend=headless-backend.so", "--socket=wayland-e2e"],
                              "weston"), ([harness.BINARY], "program"):
                with open(os.path.join(runtime, log), "w") as out:
                    proc = subprocess.Popen(argv, stderr=out, env=env | dict(WAYLAND_DEBUG="client"))
                self.addCleanup(Session.stop, proc)
                poll(lambda: os.path.exists(os.path.join(runtime, "wayland-e2e")), 20, "weston")
            # Its requests to the compositor, as WAYLAND_DEBUG writes them: a top-level window.
            title = re.compile(rf'xdg_toplevel@\d+\.set_title\("{harness.WINDOW_NAME}"\)')
            poll(lambda: title.search(open(os.path.join(runtime, "program")).read()), 30,
                 "a Wayland window")
            proc.terminate()
            self.assertEqual(proc.wait(timeout=20), -signal.SIGTERM)
