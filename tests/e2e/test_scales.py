"""The scale markers of the running program, read from screenshots: green bars on the keys of
the chosen scale or chord, moved by the octave labels."""

import unittest

import harness
from harness import Session, poll

SCALE_MENU, ROOT_MENU = 1, 2
DOMINANT_SEVENTH = 7  # "Accord de 7è de dominante"
RE = 2  # "Ré"
OCTAVE_DOWN = harness.twips(120, 1410, 345, 285)  # Lbl_OctaMoins "<<"
C_MAJOR = {24, 26, 28, 29, 31, 33, 35}


def markers(s, name):
    """Markers whose visible band is green."""
    shot = s.screenshot(name)
    return {k for k in range(60) if s.client_pixel(shot, harness.marker_point(k)) == harness.GREEN}


def wait_markers(s, name, expected):
    """Polls the screen until the markers are `expected`; gives the markers last seen."""
    seen = []

    def check():
        seen.append(markers(s, name))
        return seen[-1] == expected
    try:
        poll(check, 10, f"markers {sorted(expected)}", interval=0.1)
    except TimeoutError:
        pass
    return seen[-1]


class ScalesTest(unittest.TestCase):
    def test_c_major_at_start_then_dominant_seventh_on_re(self):
        with Session(self) as s:
            self.assertEqual(wait_markers(s, "start", C_MAJOR), C_MAJOR)
            s.choose(SCALE_MENU, DOMINANT_SEVENTH)
            self.assertEqual(wait_markers(s, "dominant-seventh-do", {24, 28, 31, 34}),
                             {24, 28, 31, 34})
            s.choose(ROOT_MENU, RE)
            self.assertEqual(wait_markers(s, "dominant-seventh-re", {30, 33, 36, 38}),
                             {30, 33, 36, 38})

    def test_octave_down_moves_the_marking_two_octaves_and_no_further(self):
        with Session(self) as s:
            self.assertEqual(wait_markers(s, "start", C_MAJOR), C_MAJOR)
            s.click(OCTAVE_DOWN)
            lower = {k - 12 for k in C_MAJOR}
            self.assertEqual(wait_markers(s, "octave-down-1", lower), lower)
            s.click(OCTAVE_DOWN)
            lowest = {0, 2, 4, 5, 7, 9, 11}
            self.assertEqual(wait_markers(s, "octave-down-2", lowest), lowest)
            s.click(OCTAVE_DOWN)
            # A third click changes nothing; a key press afterwards proves the click was handled.
            since = s.capture.mark()
            s.click_key(0)
            s.capture.wait_messages(3, since)
            self.assertEqual(markers(s, "octave-down-3"), lowest)


if __name__ == "__main__":
    harness.main()
