"""Ending the program, or hiding its window, while a key is held; starting it where no display
can be used."""

import os
import signal
import socket
import subprocess
import tempfile
import unittest

import harness
from harness import GREEN, WHITE, Session, key_point, played

HELD = 7  # a white key: note 43


class ShutdownTest(unittest.TestCase):
    def hold(self, s):
        since = s.capture.mark()
        s.press(key_point(HELD))
        s.capture.wait_messages(2, since)
        return since

    def test_held_note_left_on_at_the_close_box_a_signal_or_the_x_server_going(self):
        endings = [("close box", Session.close, 0)] + [
            (sig.name, lambda s, sig=sig: s.program.send_signal(sig), -sig)
            for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP)] + [
            ("window destroyed by another program", lambda s: s.xdotool("windowclose", s.window), 0),
            ("X server killed", lambda s: s.xvfb.kill(), 1)]  # last: no X after it
        with Session(self, program=False) as s:
            for what, end, status in endings:
                with self.subTest(what):
                    s.start_program()
                    since = self.hold(s)
                    end(s)
                    self.assertEqual(s.wait_exit(), status)
                    self.assertEqual(s.capture.wait_messages(3, since), played(43))
                    if s.xvfb.poll() is None:
                        s.release()

    def test_key_held_through_minimising_or_wrong_colour_or_second_note_off_after(self):
        with Session(self) as s:
            since = self.hold(s)
            s.move_to((key_point(HELD)[0] + 3, key_point(HELD)[1]))  # events short of losing it
            self.assertEqual(s.pixel("held", key_point(HELD), settle_on=GREEN), GREEN)
            s.xdotool("windowminimize", "--sync", s.window)
            self.assertEqual(s.capture.wait_messages(3, since), played(43))
            s.release()
            s.xdotool("windowmap", "--sync", s.window)
            self.assertEqual(s.pixel("back", key_point(HELD), settle_on=WHITE), WHITE)
            self.assertEqual(s.close(), 0)
            self.assertEqual(s.capture.messages(since), played(43), "no stray note off")

    def test_display_that_cannot_be_used_not_one_line_naming_it_and_status_1(self):
        with Session(self, jack=False, program=False, depth=8) as s, \
                tempfile.TemporaryDirectory() as runtime:
            dead = os.path.join(runtime, "wayland-dead")  # a socket nobody listens on
            socket.socket(socket.AF_UNIX).bind(dead)
            # Free now: no socket, no lock file. From 200 on, past where Xvfb -displayfd (0 up) and
            # xvfb-run (99 up) look first.
            stale = next(f":{n}" for n in range(200, 65536) if not any(map(os.path.exists, (
                f"/tmp/.X11-unix/X{n}", f"/tmp/.X{n}-lock"))))
            cases = [("no display", {}, "DISPLAY"), ("stale X display", {"DISPLAY": stale}, stale),
                     ("dead Wayland socket", {"WAYLAND_DISPLAY": dead}, dead),
                     ("8-bit X display", {"DISPLAY": s.display}, "8-bit colour")]
            for what, variables, named in cases:
                with self.subTest(what):
                    env = {k: v for k, v in os.environ.items() if k not in (
                        "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")} | variables
                    run = subprocess.run([harness.BINARY], env=env, capture_output=True,
                                         text=True, timeout=30)
                    self.assertEqual(run.returncode, 1)
                    self.assertRegex(run.stderr, r"^nolvex-keyboard: [^\n]*\n$")
                    self.assertIn(named, run.stderr)
