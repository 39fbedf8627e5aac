"""Clicks on the keys with each button; the MIDI bytes read back from the capture port."""

import unittest

from harness import Session, key_point, played, px

# (what is pressed, point in client pixels, mouse button, note expected on the wire)
PRESSES = [
    ("key 0", key_point(0), 1, 36),
    ("key 59", key_point(59), 1, 95),
    ("black key 1", key_point(1), 1, 37),
    ("key 0 under black key 1", px(600, 800), 1, 37),
    ("key 2 under black key 1", px(720, 800), 1, 37),
    ("key 59 under black key 58", px(8650, 800), 1, 94),
    ("key 12, right button", key_point(12), 3, 48),
    ("key 13, middle button", key_point(13), 2, 49),
]


class KeysTest(unittest.TestCase):
    def test_wrong_bytes_or_note_for_a_key_or_button(self):
        with Session(self) as s:
            for what, point, button, note in PRESSES:
                with self.subTest(what):
                    since = s.capture.mark()
                    s.click(point, button)
                    self.assertEqual(s.capture.wait_messages(3, since), played(note))
