"""Instruments chosen through the real menus."""

import unittest

import harness
from harness import Session, key_point, played, poll, px

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
    def test_menu_choice_not_shown_or_not_sent_with_the_next_press(self):
        with Session(self) as s:
            shown = label(s, "label-at-start")
            for family, entry, program, name in CHOICES:
                since = s.capture.mark()
                s.choose(0, family, entry, shot=f"menu-{name}")
                before = shown
                shown = poll(lambda: (new := label(s, f"label-{name}")) != before and new, 10,
                             "the label to show the new name")
                s.click(key_point(0))
                # Nothing is sent by the choice itself.
                self.assertEqual(s.capture.wait_messages(3, since), played(36, program=program))

