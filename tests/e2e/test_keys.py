"""Clicks on the keys and the velocity bar; the MIDI bytes read back from the capture port."""

import unittest

import harness
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

# The velocity bar: left 8880, top 570, 165 x 915 twips.
VOL_X, VOL_TOP = px(8880 + 165 // 2, 570)
VOL_BOTTOM = (570 + 915) // harness.TWIPS_PER_PIXEL


class KeysTest(unittest.TestCase):
    def play(self, s, point, button=1):
        since = s.capture.mark()
        s.click(point, button)
        return s.capture.wait_messages(3, since)

    def test_wrong_bytes_or_note_for_a_key_or_button(self):
        with Session(self) as s:
            for what, point, button, note in PRESSES:
                with self.subTest(what):
                    self.assertEqual(self.play(s, point, button), played(note))

    def test_velocity_bar_does_not_lower_the_velocity_down_to_zero(self):
        with Session(self) as s:
            trough = (VOL_X, VOL_BOTTOM - (VOL_BOTTOM - VOL_TOP) // 3)
            s.click(trough)
            self.assertLess(self.play(s, key_point(0))[1][2], 127, "lowered by a trough click")
            # Page down until the thumb covers the point, then drag the thumb below the bar.
            for _ in range(20):
                s.click(trough)
            s.press(trough)
            s.move_to((VOL_X, VOL_BOTTOM + 60))
            s.release()
            self.assertEqual(self.play(s, key_point(0)), played(36, 0))

