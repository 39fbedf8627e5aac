"""The harness on its own, without the program: servers come up and go away, the capture client
hears a JACK MIDI source whole, and the key geometry agrees with the layout's own numbers."""

import unittest

import harness
from harness import Session


class HarnessTest(unittest.TestCase):
    def test_servers_start_and_every_process_is_reaped(self):
        with Session(self, program=False) as s:
            self.assertRegex(s.display, r"^:\d+$")
            self.assertIn("Openbox", s.run(["wmctrl", "-m"]).stdout)
            ports = s.run(["jack_lsp"]).stdout.splitlines()
            self.assertIn(f"{harness.CAPTURE_CLIENT}:in", ports)
            owned = list(s.processes)
            running = [p.args[0] for p in owned if p.poll() is None]
            self.assertEqual(sorted(running), sorted(["Xvfb", "openbox", "jackd", harness.CAPTURE]))
        for proc in owned:
            self.assertIsNotNone(proc.returncode, proc.args)

    def test_capture_prints_each_event_whole_and_in_order(self):
        with Session(self, program=False) as s:
            # A sequencer loop: note 60 on at frame 0, off at 12000; note 63 on at 12000.
            s._spawn("midiseq", ["jack_midiseq", "seq", "24000", "0", "60", "8000",
                                 "12000", "63", "8000"])
            harness.poll(lambda: "seq:out" in s.run(["jack_lsp"]).stdout, 10, "seq:out")
            s.run(["jack_connect", "seq:out", f"{harness.CAPTURE_CLIENT}:in"])
            self.assertIn("seq:out", harness.jack_connections(s)[f"{harness.CAPTURE_CLIENT}:in"])
            messages = s.capture.wait_messages(4)[:4]
            events = s.capture.events()[:4]
        notes_on = [m[1] for m in messages if m[0] & 0xF0 == 0x90 and m[2] > 0]
        self.assertTrue(set(notes_on) <= {60, 63} and notes_on, [m.hex() for m in messages])
        self.assertTrue(all(len(m) == 3 for m in messages), messages)
        frames = [t for t, _ in events]
        self.assertEqual(frames, sorted(frames))

    def test_screenshot_pixels_agree_with_imagemagick(self):
        with Session(self, jack=False, program=False) as s:
            shot = s.screenshot("root", "root")
            self.assertEqual((shot.width, shot.height), (1280, 1024))
            for point in [(0, 0), (640, 512), (1279, 1023)]:
                self.assertEqual(shot.pixel(*point), harness.pixel_at(shot.path, *point))

    def test_key_geometry(self):
        # Whites side by side 240 twips apart; each black key overlaps the white key before it.
        whites = [k for k in range(60) if harness.is_white(k)]
        self.assertEqual(len(whites), 35)
        self.assertEqual([harness.key_left(k) for k in whites], list(range(450, 8611, 240)))
        for k in range(60):
            if not harness.is_white(k):
                self.assertTrue(60 <= harness.key_left(k) - harness.key_left(k - 1) <= 150, k)
        self.assertEqual(harness.key_point(0), (37, 91))
        self.assertEqual(harness.marker_point(0), (36, 105))
        self.assertEqual(harness.marker_point(1), (44, 36))


if __name__ == "__main__":
    harness.main()
