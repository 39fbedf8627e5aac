"""A storm of mouse gestures on the real program: every gesture kind with every button and pair of
buttons, on white and black keys, released in either order, at a fast hand's pace. Afterwards
every note on has had its note off, no key is green, and closing exits 0."""

import collections
import itertools
import random
import unittest

import harness
from harness import GREEN, Session, key_point, poll

ROUNDS = 3  # each gesture once a round, on other keys
PAUSE = "0.02"  # between gestures: at 2 ms about 1 % of the presses never reach the program


class Storm:
    """xdotool arguments for the gestures, in screen coordinates, and the presses they make."""

    def __init__(self, origin, off_window):
        self.origin, self.off_window = origin, off_window
        self.rng, self.presses = random.Random(20240611), 0

    def key(self, black):
        key = self.rng.choice([k for k in range(60) if harness.is_white(k) != black])
        x, y = key_point(key, upper=self.rng.random() < 0.3)
        return ["mousemove", self.origin[0] + x, self.origin[1] + y]

    def down(self, button):
        self.presses += 1
        return ["mousedown", button]

    def gestures(self):
        for black, b in itertools.product((False, True), (1, 2, 3)):
            yield self.key(black) + self.down(b) + ["mouseup", b]  # a click
            yield self.key(black) + self.down(b) + self.key(not black) + ["mouseup", b]
            yield self.key(black) + self.down(b) + ["mousemove", *self.off_window, "mouseup", b]
            yield self.key(black) + self.down(b) + ["mouseup", b] + self.down(b) + ["mouseup", b]
            # A second button while the first is held, moved or not, released in either order.
            for other, move, b_first in itertools.product({1, 2, 3} - {b}, (0, 1), (0, 1)):
                order = (b, other) if b_first else (other, b)
                yield (self.key(black) + self.down(b) + self.down(other)
                       + (self.key(not black) if move else [])
                       + ["mouseup", order[0], "mouseup", order[1]])

    def batch(self):
        return sum(([*g, "sleep", PAUSE] for g in self.gestures()), [])


def settled(s):
    """All captured messages, once none has arrived for a second."""
    counts = [-1]
    poll(lambda: counts.append(s.capture.mark()) or counts[-1] == counts[-2], 120,
         "the MIDI stream to settle", interval=1.0)
    return s.capture.messages()


class StormTest(unittest.TestCase):
    def test_click_storm_leaves_no_note_hanging_and_no_key_green(self):
        with Session(self) as s:
            x, y, w, h = s.geometry()
            storm = Storm((x, y + s.menu_height()), (x + w + 80, y + h + 80))
            for _ in range(ROUNDS):
                s.xdotool(*storm.batch())
            s.xdotool("mousemove", *storm.off_window)
            messages = settled(s)
            shot = s.screenshot("after-storm")
            self.assertIsNone(s.program.poll(), "the program runs on")
            s.close_window()
            self.assertEqual(s.wait_exit(), 0)
            green = [k for k in range(60)
                     if shot.pixel(key_point(k)[0], key_point(k)[1] + s.menu_height()) == GREEN]

        kinds = collections.Counter(m[0] for m in messages)
        print(f"{storm.presses} presses, {kinds[0xC8]} played")
        # A few presses of a fast storm never reach the program (more of them under the
        # sanitizers); those that do must all be played.
        self.assertGreaterEqual(kinds[0xC8], 0.98 * storm.presses, "presses played")
        self.assertEqual(kinds[0x98], kinds[0xC8], "a note on after each program change")
        self.assertEqual(set(kinds), {0xC8, 0x98, 0x88})
        held = collections.Counter()
        for status, note, *_ in messages:
            if status == 0x98:
                held[note] += 1
            elif status == 0x88 and held[note] > 0:  # else its press never reached the program
                held[note] -= 1
        self.assertEqual(+held, collections.Counter(), "every note on has its note off")
        self.assertEqual(green, [], "keys left green")


if __name__ == "__main__":
    harness.main()
