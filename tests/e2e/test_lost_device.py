"""The MIDI device goes away under the running program: the capture client quits, or the JACK
server is killed (also under the built-in synthesiser). The program runs on, keys still turn green
while held, no stream of errors reaches stderr, and closing exits 0."""

import os
import unittest

import harness
from harness import GREEN, Session, key_point, poll, settle

STDERR_LINE_BOUND = 5  # a warning or two once the device is gone, not a stream


def stderr_lines(s):
    with open(os.path.join(s.artefacts, "program.log"), errors="replace") as f:
        return [line for line in f.read().splitlines() if line.strip()]


def stop_capture(s):
    s.stop(s.capture.proc)
    poll(lambda: harness.CAPTURE_PORT not in s.run(["jack_lsp"]).stdout, 10,
         "the capture port to go away")


def kill_jackd(s):
    # A killed server keeps its entry in JACK's table of eight servers until a server of the same
    # name starts: one is started and stopped again.
    s.jackd.kill()
    s.jackd.wait()
    s.start_jack("jackd-again")
    s.stop(s.jackd)


class LostDeviceTest(unittest.TestCase):
    def check_runs_on(self, s, lose):
        s.click(key_point(0))
        if s.capture:
            s.capture.wait_messages(3)
        before = len(stderr_lines(s))
        lose(s)
        for i in range(20):
            s.click(key_point(i * 3 % 60), button=1 + i % 3)
        s.press(key_point(24))
        self.assertEqual(settle(lambda: s.pixel("held-after-loss", key_point(24)), GREEN), GREEN)
        s.release()
        self.assertIsNone(s.program.poll(), "the program runs on")
        s.close_window()
        self.assertEqual(s.wait_exit(), 0)
        self.assertLessEqual(len(stderr_lines(s)) - before, STDERR_LINE_BOUND,
                             stderr_lines(s)[before:])

    def test_capture_client_quits(self):
        with Session(self) as s:
            self.check_runs_on(s, stop_capture)

    def test_jack_server_killed_under_the_midi_port(self):
        with Session(self) as s:
            self.check_runs_on(s, kill_jackd)

    def test_jack_server_killed_under_the_built_in_synthesiser(self):
        with Session(self, capture=False) as s:
            poll(lambda: "playback" in str(harness.jack_connections(s)), 20,
                 "the synthesiser's audio on the playback ports")
            self.check_runs_on(s, kill_jackd)


if __name__ == "__main__":
    harness.main()
