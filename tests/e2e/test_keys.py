"""Playing keys with real clicks through xdotool; the bytes come from the JACK capture port."""

import unittest

import harness
from harness import Session, poll

PROGRAM_0 = bytes([0xC8, 0x00])


def note_on(note, velocity=0x7F):
    return bytes([0x98, note, velocity])


def note_off(note):
    return bytes([0x88, note, 0x00])


def px(x_twips, y_twips):
    return x_twips // harness.TWIPS_PER_PIXEL, y_twips // harness.TWIPS_PER_PIXEL


# (what is pressed, point in client pixels, mouse button, note expected on the wire)
PRESSES = [
    ("key 0, lower part", harness.key_point(0), 1, 36),
    ("key 24 (C)", harness.key_point(24), 1, 60),
    ("key 59", harness.key_point(59), 1, 95),
    ("black key 1", harness.key_point(1), 1, 37),
    ("key 0 under black key 1", px(600, 800), 1, 37),
    ("key 2 under black key 1", px(720, 800), 1, 37),
    ("key 4 under black key 3", px(990, 800), 1, 39),
    ("key 59 under black key 58", px(8650, 800), 1, 94),
    ("key 12, right button", harness.key_point(12), 3, 48),
    ("key 13, middle button", harness.key_point(13), 2, 49),
]

# The velocity bar `vol`: Left 8880, Top 570, 165 x 915 twips.
VOL_X = (8880 + 165 // 2) // harness.TWIPS_PER_PIXEL
VOL_TOP, VOL_BOTTOM = 570 // harness.TWIPS_PER_PIXEL, (570 + 915) // harness.TWIPS_PER_PIXEL


class KeysTest(unittest.TestCase):
    def play(self, s, point, button=1):
        """Clicks at a point and gives the three messages that the click sent."""
        since = s.capture.mark()
        s.click(point, button)
        return s.capture.wait_messages(3, since)

    def test_each_press_sends_program_change_and_note_on_and_the_release_note_off(self):
        with Session(self) as s:
            for what, point, button, note in PRESSES:
                with self.subTest(what):
                    self.assertEqual(self.play(s, point, button),
                                     [PROGRAM_0, note_on(note), note_off(note)])

    def test_release_off_the_window_ends_the_pressed_note(self):
        with Session(self) as s:
            since = s.capture.mark()
            s.press_key(5)
            s.capture.wait_messages(2, since)
            s.move_off_window()
            s.release()
            self.assertEqual(s.capture.wait_messages(3, since),
                             [PROGRAM_0, note_on(41), note_off(41)])

    def test_a_held_key_is_green_and_gets_its_own_colour_back(self):
        with Session(self) as s:
            for key in (0, 1):
                point = harness.key_point(key)
                before = s.client_pixel(s.screenshot(f"key{key}-before"), point)
                s.press_key(key)
                held = poll(lambda: self.pixel_if(s, f"key{key}-held", point, harness.GREEN),
                            10, f"key {key} to turn green")
                self.assertEqual(held, harness.GREEN)
                s.release()
                poll(lambda: self.pixel_if(s, f"key{key}-released", point, before), 10,
                     f"key {key} to get back {before}")
            self.assertEqual(before, s.client_pixel(s.screenshot("key1-after"), point))
            self.assertEqual(harness.WHITE, s.client_pixel(s.screenshot("key0-after"),
                                                           harness.key_point(0)))

    @staticmethod
    def pixel_if(s, name, point, wanted):
        pixel = s.client_pixel(s.screenshot(name), point)
        return pixel if pixel == wanted else None

    def test_velocity_bar_lowers_the_velocity_down_to_zero_at_its_bottom(self):
        with Session(self) as s:
            trough = (VOL_X, VOL_BOTTOM - (VOL_BOTTOM - VOL_TOP) // 3)
            s.click(trough)
            played = self.play(s, harness.key_point(0))
            self.assertEqual(played[0], PROGRAM_0)
            self.assertEqual(played[1][:2], note_on(36)[:2])
            self.assertLess(played[1][2], 127, "a click low in the trough lowers the velocity")
            # Page down until the thumb covers the point, then drag the thumb below the bar.
            for _ in range(20):
                s.click(trough)
            s.press(trough)
            s.move_to((VOL_X, VOL_BOTTOM + 60))
            s.release()
            played = self.play(s, harness.key_point(0))
            self.assertEqual(played, [PROGRAM_0, note_on(36, 0), note_off(36)])
            s.screenshot("velocity-zero")

    def test_closing_the_window_while_a_key_is_held_ends_its_note(self):
        with Session(self) as s:
            since = s.capture.mark()
            s.press_key(7)
            s.capture.wait_messages(2, since)
            s.close_window()
            self.assertEqual(s.wait_exit(), 0)
            self.assertEqual(s.capture.wait_messages(3, since),
                             [PROGRAM_0, note_on(43), note_off(43)])


if __name__ == "__main__":
    harness.main()
