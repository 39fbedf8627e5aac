"""The MIDI device goes away under the running program."""

import os
import unittest

import harness
from harness import GREEN, Session, key_point, poll

STDERR_LINE_BOUND = 5  # a warning or two once the device is gone, not a stream


def stderr_lines(s):
    with open(os.path.join(s.artefacts, "program.log"), errors="replace") as f:
        return [line for line in f.read().splitlines() if line.strip()]


def kill_jackd(s):
    # A killed server keeps its entry in JACK's table of eight servers until a server of the same
    # name starts: one is started and stopped again.
    s.jackd.kill()
    s.jackd.wait()
    s.start_jack("jackd-again")
    s.stop(s.jackd)


# (what goes away, with the capture client (else the synthesiser plays), how). A MIDI device
# unplugged from under the program: in the Debian guest, tests/guest.
LOSSES = [("JACK under the MIDI port", True, kill_jackd),
          ("JACK under the synthesiser", False, kill_jackd)]


class LostDeviceTest(unittest.TestCase):
    def test_lost_device_stops_the_program_or_floods_stderr(self):
        for what, capture, lose in LOSSES:
            with self.subTest(what), Session(self, capture=capture) as s:
                s.click(key_point(0))
                if capture:
                    s.capture.wait_messages(3)
                else:
                    poll(lambda: "playback" in str(harness.jack_connections(s)), 20,
                         "the synthesiser's audio on the playback ports")
                before = len(stderr_lines(s))
                lose(s)
                for i in range(20):
                    s.click(key_point(i * 3 % 60), button=1 + i % 3)
                s.press(key_point(25))  # a black key; white ones are held green elsewhere
                self.assertEqual(s.pixel("held-after-loss", key_point(25), settle_on=GREEN),
                                 GREEN)
                s.release()
                self.assertEqual(s.close(), 0)
                self.assertLessEqual(len(stderr_lines(s)) - before, STDERR_LINE_BOUND,
                                     stderr_lines(s)[before:])

