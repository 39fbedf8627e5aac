"""The MIDI device goes away under the running program: the capture client quits, or the JACK
server is killed (also under the built-in synthesiser). The program runs on, keys still turn
green while held, no stream of errors reaches stderr, and closing exits 0. Without any MIDI
service at start exactly one message box shows."""

import os
import time
import unittest

import harness
from harness import Session, poll

# Lines the program may write to stderr once its device is gone: a warning or two, not a stream.
STDERR_LINE_BOUND = 5
PRESSES_AFTER_LOSS = 20


def stderr_lines(s):
    with open(os.path.join(s.artefacts, "program.log"), errors="replace") as f:
        return [line for line in f.read().splitlines() if line.strip()]


class LostDeviceTest(unittest.TestCase):
    def keys_still_colour_and_close_exits_0(self, s, before):
        """Presses after the loss; a held key turns green; then close. `before` is the stderr
        line count at the loss."""
        for i in range(PRESSES_AFTER_LOSS):
            s.click_key(i * 3 % 60, button=1 + i % 3)
        point = harness.key_point(24)
        s.press(point)
        poll(lambda: s.client_pixel(s.screenshot("held-after-loss"), point) == harness.GREEN,
             20, "key 24 to turn green")
        s.release()
        self.assertIsNone(s.program.poll(), "the program runs on")
        s.close_window()
        self.assertEqual(s.wait_exit(), 0)
        after = stderr_lines(s)
        self.assertLessEqual(len(after) - before, STDERR_LINE_BOUND, after[before:])

    @staticmethod
    def kill_jackd(s):
        """SIGKILL to the JACK server. A killed server leaves its slot in JACK's registry (eight
        slots for the whole machine); a server started under the same name frees it, so one is
        started and stopped again before the test goes on."""
        jackd = next(p for p in s.processes if p.args[0] == "jackd")
        jackd.kill()
        jackd.wait()
        s._start_jack()
        s._stop(s.processes[-1])

    def test_capture_client_quits(self):
        with Session(self) as s:
            s.click_key(0)
            s.capture.wait_messages(3)
            capture = next(p for p in s.processes if p.args[0] == harness.CAPTURE)
            s._stop(capture)
            poll(lambda: f"{harness.CAPTURE_CLIENT}:in" not in s.run(["jack_lsp"]).stdout, 10,
                 "the capture port to go away")
            self.keys_still_colour_and_close_exits_0(s, len(stderr_lines(s)))

    def test_jack_server_killed_under_the_midi_port(self):
        with Session(self) as s:
            s.click_key(0)
            s.capture.wait_messages(3)
            before = len(stderr_lines(s))
            self.kill_jackd(s)
            self.keys_still_colour_and_close_exits_0(s, before)

    def test_jack_server_killed_under_the_built_in_synthesiser(self):
        with Session(self, capture=False) as s:
            poll(lambda: "playback" in str(harness.jack_connections(s)), 20,
                 "the synthesiser's audio on the playback ports")
            s.click_key(0)
            before = len(stderr_lines(s))
            self.kill_jackd(s)
            self.keys_still_colour_and_close_exits_0(s, before)

    def test_without_a_midi_service_exactly_one_message_box(self):
        with Session(self, jack=False) as s:
            box = s.wait_dialog()
            time.sleep(1.0)  # a second box would be up by now
            self.assertEqual(s.dialogs(), [box])
            s.dismiss_dialog(box)
            for key in (0, 30, 59):
                s.click_key(key)
            time.sleep(0.5)
            self.assertEqual(s.dialogs(), [], "no box after OK, also not on a press")
            s.close_window()
            self.assertEqual(s.wait_exit(), 0)
            self.assertEqual(s.dialogs(), [])


if __name__ == "__main__":
    harness.main()
