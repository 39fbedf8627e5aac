"""Choosing instruments through the real menus of the running program: the choice sends nothing,
the next key press carries the new program in its program change, and the label changes."""

import unittest

import harness
from harness import Session

INSTRUMENTS_MENU = 0
LABEL = (450, 150, 6045, 345)  # Lbl_Instrument_Name, twips

# (family position, entry position in the family, program the next press must carry)
CHOICES = [
    (8, 7, 71),    # REED, "071 - Clarinet "
    (0, 0, 0),     # PIANO, "000. Acoustic Grand Piano"
    (14, 7, 119),  # PERCUSSIVE, "119 - Reverse Cymbal"
    (2, 7, 23),    # ORGAN, "023 - Tango Accordion"
    (1, 0, 8),     # CHROMATIC PERCUSSION, "008. Celesta"
    (0, 7, 7),     # PIANO, "007. Clavi"
]


class InstrumentsTest(unittest.TestCase):
    def test_the_next_press_after_a_menu_choice_carries_the_new_program(self):
        with Session(self) as s:
            for family, entry, program in CHOICES:
                with self.subTest(program=program):
                    since = s.capture.mark()
                    s.choose(INSTRUMENTS_MENU, family, entry)
                    s.click_key(0)
                    self.assertEqual(s.capture.wait_messages(3, since),
                                     [bytes([0xC8, program]), bytes([0x98, 36, 0x7F]),
                                      bytes([0x88, 36, 0])])

    def test_choosing_clarinet_changes_the_label_and_sends_nothing(self):
        with Session(self) as s:
            before = s.client_region(s.screenshot("label-at-start"), *LABEL)
            since = s.capture.mark()
            s.open_menu(INSTRUMENTS_MENU)
            s.highlight(8, 7)
            s.screenshot("menu-reed-clarinet", "root")
            s.choose_highlighted()
            after = s.client_region(s.screenshot("label-clarinet"), *LABEL)
            self.assertNotEqual(before, after, "the instrument label shows the new name")
            s.click_key(0)
            # The program change of the press is the first message after the choice.
            self.assertEqual(s.capture.wait_messages(3, since)[0], bytes([0xC8, 71]))


if __name__ == "__main__":
    harness.main()
