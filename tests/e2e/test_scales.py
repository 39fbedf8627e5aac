"""The scale markers of the running program, read from screenshots: green bars on the keys of the
chosen scale or chord, moved by the octave label "<<"."""

import unittest

import harness
from harness import GREEN, Session, key_point, px, settle

OCTAVE_DOWN = px(120 + 345 // 2, 1410 + 285 // 2)  # Lbl_OctaMoins
C_MAJOR = {24, 26, 28, 29, 31, 33, 35}


def marker_point(key):
    """A pixel in the visible band of the marker of `key`: below a white key, above a black one."""
    white = harness.is_white(key)
    return px(harness.key_left(key) + (0 if white else 30) + 195 // 2, 1575 if white else 540)


def markers(s, name):
    shot, menu = s.screenshot(name), s.menu_height()
    points = {k: marker_point(k) for k in range(60)}
    return {k for k, (x, y) in points.items() if shot.pixel(x, y + menu) == GREEN}


class ScalesTest(unittest.TestCase):
    def expect(self, s, name, keys):
        self.assertEqual(settle(lambda: markers(s, name), keys), keys)

    def test_c_major_at_start_then_dominant_seventh_on_re(self):
        with Session(self) as s:
            self.expect(s, "start", C_MAJOR)
            s.choose(1, 7)  # "Accord de 7è de dominante"
            self.expect(s, "dominant-seventh-do", {24, 28, 31, 34})
            s.choose(2, 2)  # "Ré"
            self.expect(s, "dominant-seventh-re", {30, 33, 36, 38})

    def test_octave_down_moves_the_marking_two_octaves_and_no_further(self):
        with Session(self) as s:
            self.expect(s, "start", C_MAJOR)
            s.click(OCTAVE_DOWN)
            self.expect(s, "octave-down-1", {k - 12 for k in C_MAJOR})
            s.click(OCTAVE_DOWN)
            self.expect(s, "octave-down-2", {0, 2, 4, 5, 7, 9, 11})
            s.click(OCTAVE_DOWN)
            # A key press after the third click proves that click was handled.
            s.click(key_point(0))
            s.capture.wait_messages(3)
            self.assertEqual(markers(s, "octave-down-3"), {0, 2, 4, 5, 7, 9, 11})


if __name__ == "__main__":
    harness.main()
