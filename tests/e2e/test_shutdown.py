"""However the program ends while a key is held, the held note ends first: the close box, a quit
signal, the X server going away. A window hidden while a key is held lets go of the key at once.
A JACK server that is alive but does not answer, or a missing display, does not hang or abort the
program."""

import os
import signal
import subprocess
import unittest

import harness
from harness import WHITE, Session, key_point, poll, settle

HELD = 7  # a white key: note 43


def held_then_ended():
    return [bytes([0xC8, 0]), bytes([0x98, 43, 0x7F]), bytes([0x88, 43, 0])]


class ShutdownTest(unittest.TestCase):
    def hold(self, s):
        since = s.capture.mark()
        s.press(key_point(HELD))
        s.capture.wait_messages(2, since)
        return since

    def test_each_way_of_ending_while_a_key_is_held_sends_its_note_off_first(self):
        endings = [("close box", Session.close_window, 0),
                   ("SIGTERM", lambda s: s.program.send_signal(signal.SIGTERM), -signal.SIGTERM),
                   ("SIGINT", lambda s: s.program.send_signal(signal.SIGINT), -signal.SIGINT),
                   ("SIGHUP", lambda s: s.program.send_signal(signal.SIGHUP), -signal.SIGHUP),
                   ("X server killed", lambda s: s.xvfb.kill(), 1)]  # last: no X after it
        with Session(self, program=False) as s:
            for what, end, status in endings:
                with self.subTest(what):
                    s.start_program()
                    since = self.hold(s)
                    end(s)
                    self.assertEqual(s.wait_exit(), status)
                    self.assertEqual(s.capture.wait_messages(3, since), held_then_ended())
                    if s.xvfb.poll() is None:
                        s.release()

    def test_a_window_minimised_while_a_key_is_held_lets_go_of_the_key(self):
        with Session(self) as s:
            since = self.hold(s)
            s.xdotool("windowminimize", "--sync", s.window)
            self.assertEqual(s.capture.wait_messages(3, since), held_then_ended())
            s.release()
            s.xdotool("windowmap", "--sync", s.window)
            point = key_point(HELD)
            self.assertEqual(settle(lambda: s.pixel("back", point), WHITE), WHITE)
            s.close_window()
            self.assertEqual(s.wait_exit(), 0)
            self.assertEqual(s.capture.messages(since), held_then_ended(), "no stray note off")

    def test_a_stopped_jack_server_leaves_the_window_usable_and_closable(self):
        with Session(self, program=False) as s:
            s.jackd.send_signal(signal.SIGSTOP)
            s._stack.callback(s.jackd.send_signal, signal.SIGCONT)  # before jackd is stopped
            s.start_program()
            # Without JACK there is no sound output either: the box says so.
            box = poll(s.popups, 20, "the message box")[0]
            s.xdotool("windowactivate", "--sync", box)
            s.xdotool("key", "Return")
            poll(lambda: not s.popups(), 10, "the message box to close")
            s.press(key_point(HELD))
            self.assertEqual(settle(lambda: s.pixel("held", key_point(HELD)), harness.GREEN),
                             harness.GREEN)
            s.release()
            s.close_window()
            self.assertEqual(s.wait_exit(), 0)

    def test_without_a_display_one_line_says_so_and_the_status_is_1(self):
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        run = subprocess.run([harness.BINARY], env=env, capture_output=True, text=True,
                             timeout=30)
        self.assertEqual(run.returncode, 1)
        self.assertRegex(run.stderr, r"^[^\n]*DISPLAY[^\n]*\n$")


if __name__ == "__main__":
    harness.main()
