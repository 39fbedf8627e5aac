"""The scale markers: green bars on the keys of the chosen scale or chord, read from screenshots."""

import unittest

import harness
from harness import GREEN, Session, key_point, px, settle

OCTAVE_DOWN = px(120 + 345 // 2, 1410 + 285 // 2)  # Lbl_OctaMoins


def marker_point(key):
    """A pixel in the visible band of the marker of `key`: below a white key, above a black one."""
    white = harness.is_white(key)
    return px(harness.key_left(key) + (0 if white else 30) + 195 // 2, 1575 if white else 540)


def markers(s, name):
    shot, menu = s.screenshot(name), s.menu_height()
    return {k for k, (x, y) in enumerate(map(marker_point, range(60)))
            if shot.pixel(x, y + menu) == GREEN}


class ScalesTest(unittest.TestCase):
    def test_wrong_markers_for_a_scale_chord_key_or_octave(self):
        steps = [("start", None, {24, 26, 28, 29, 31, 33, 35}),  # C major
                 ("dominant-seventh-do", (1, 7), {24, 28, 31, 34}),  # "Accord de 7è de dominante"
                 ("dominant-seventh-re", (2, 2), {30, 33, 36, 38}),  # "Ré"
                 ("octave-down-1", OCTAVE_DOWN, {18, 21, 24, 26}),
                 ("octave-down-2", OCTAVE_DOWN, {6, 9, 12, 14})]
        with Session(self) as s:
            for name, action, keys in steps:
                if action == OCTAVE_DOWN:
                    s.click(OCTAVE_DOWN)
                elif action:
                    s.choose(*action)
                self.assertEqual(settle(lambda: markers(s, name), keys), keys, name)
            s.click(OCTAVE_DOWN)  # and no further
            # A key press after it proves that click was handled.
            s.click(key_point(0))
            s.capture.wait_messages(3)
            self.assertEqual(markers(s, "octave-down-3"), keys)

