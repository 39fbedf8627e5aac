"""Choosing instruments through the real menus: the choice itself sends nothing, the label shows
it, and the next press carries the new program in its program change."""

import unittest

import harness
from harness import Session, key_point, poll, px

LABEL = (450, 150, 6045, 345)  # Lbl_Instrument_Name, twips

# (family, entry in the family, program, name of the screenshots)
CHOICES = [(8, 7, 71, "clarinet"),  # "071 - Clarinet "
           (14, 7, 119, "reverse-cymbal")]  # "119 - Reverse Cymbal"


def label(s, name):
    left, top, width, height = LABEL
    shot = s.screenshot(name)
    return [shot.pixel(x, y + s.menu_height()) for x in range(*px(left, left + width))
            for y in range(*px(top, top + height))]


class InstrumentsTest(unittest.TestCase):
    def test_a_menu_choice_changes_the_label_and_the_next_press_carries_its_program(self):
        with Session(self) as s:
            shown = label(s, "label-at-start")
            for family, entry, program, name in CHOICES:
                since = s.capture.mark()
                s.choose(0, family, entry, shot=f"menu-{name}")
                before = shown
                shown = poll(lambda: (new := label(s, f"label-{name}")) != before and new, 10,
                             "the label to show the new name")
                s.click(key_point(0))
                self.assertEqual(s.capture.wait_messages(3, since),
                                 [bytes([0xC8, program]), bytes([0x98, 36, 0x7F]),
                                  bytes([0x88, 36, 0])])


if __name__ == "__main__":
    harness.main()
