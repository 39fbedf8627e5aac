"""Playing keys with real clicks through xdotool; the bytes come from the JACK capture port."""

import unittest

import harness
from harness import GREEN, WHITE, Session, key_point, px, settle

PROGRAM_0 = bytes([0xC8, 0x00])


def played(note, velocity=0x7F):
    """What a click on a key sends: program change, note on, note off."""
    return [PROGRAM_0, bytes([0x98, note, velocity]), bytes([0x88, note, 0x00])]


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

    def test_each_press_sends_program_change_and_note_on_and_the_release_note_off(self):
        with Session(self) as s:
            for what, point, button, note in PRESSES:
                with self.subTest(what):
                    self.assertEqual(self.play(s, point, button), played(note))

    def test_release_off_the_window_ends_the_pressed_note(self):
        with Session(self) as s:
            s.press(key_point(5))
            s.capture.wait_messages(2)
            s.move_off_window()
            s.release()
            self.assertEqual(s.capture.wait_messages(3), played(41))

    def test_a_held_key_is_green_and_gets_its_own_colour_back(self):
        with Session(self) as s:
            for key in (0, 1):
                point = key_point(key)
                before = s.pixel(f"key{key}-before", point)
                s.press(point)
                self.assertEqual(settle(lambda: s.pixel(f"key{key}-held", point), GREEN), GREEN)
                s.release()
                self.assertEqual(settle(lambda: s.pixel(f"key{key}-released", point), before),
                                 before)
            self.assertEqual(s.pixel("key0-after", key_point(0)), WHITE)

    def test_velocity_bar_lowers_the_velocity_down_to_zero_at_its_bottom(self):
        with Session(self) as s:
            trough = (VOL_X, VOL_BOTTOM - (VOL_BOTTOM - VOL_TOP) // 3)
            s.click(trough)
            program, note_on, _ = self.play(s, key_point(0))
            self.assertEqual((program, note_on[:2]), (PROGRAM_0, bytes([0x98, 36])))
            self.assertLess(note_on[2], 127, "a click low in the trough lowers the velocity")
            # Page down until the thumb covers the point, then drag the thumb below the bar.
            for _ in range(20):
                s.click(trough)
            s.press(trough)
            s.move_to((VOL_X, VOL_BOTTOM + 60))
            s.release()
            self.assertEqual(self.play(s, key_point(0)), played(36, 0))
            s.screenshot("velocity-zero")


if __name__ == "__main__":
    harness.main()
