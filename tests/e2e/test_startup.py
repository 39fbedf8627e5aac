"""Start-up and shut-down of the real program: kept above other windows, its MIDI output wired to
the first JACK MIDI input, the message box when there is no MIDI service, exit status 0."""

import re
import unittest

import harness
from harness import Session, poll

BOX_TEXT = re.compile(r"^Couldn't open midi out, rc = (-?[1-9]\d*|0)$", re.M)


def output_connected(s):
    """The program's ports connected to the capture port, once there are any."""
    capture = f"{harness.CAPTURE_CLIENT}:in"
    ports = harness.jack_connections(s).get(capture, set())
    return {p for p in ports if p.startswith(f"{harness.JACK_CLIENT}:")}


class StartupTest(unittest.TestCase):
    def test_window_is_kept_above_and_its_output_reaches_the_first_midi_input(self):
        with Session(self) as s:
            poll(lambda: "_NET_WM_STATE_ABOVE" in s.xprop("_NET_WM_STATE"), 20,
                 "_NET_WM_STATE_ABOVE on the window")
            connected = poll(lambda: output_connected(s), 20, "the program's MIDI output")
            self.assertEqual(len(connected), 1, connected)
            self.assertEqual(s.dialogs(), [], "no message box when the device opens")
            s.close_window()
            self.assertEqual(s.wait_exit(), 0)
            harness.record_figure("start_to_mapped_s", f"{s.figures['start_to_mapped_s']:.3f}")

    def test_without_a_midi_service_a_message_box_shows_over_the_window_and_it_runs_on(self):
        with Session(self, jack=False) as s:
            box = s.wait_dialog()
            self.assertIn(f"window id # {hex(s.window)}", s.xprop("WM_TRANSIENT_FOR", box))
            s.dismiss_dialog(box)
            self.assertIsNone(s.program.poll(), "the program runs on after OK")
            self.assertIn(s.window, s.visible_windows(f"^{harness.WINDOW_NAME}$"))
            # Still answering: a press turns a key green.
            point = harness.key_point(0)
            s.press(point)
            poll(lambda: s.client_pixel(s.screenshot("pressed-without-midi"), point) ==
                 harness.GREEN, 20, "key 0 to turn green")
            s.release()
            s.close_window()
            self.assertEqual(s.wait_exit(), 0)

    def test_the_message_box_names_the_failed_open_and_its_code(self):
        with Session(self, jack=False) as s:
            box = s.wait_dialog()
            poll(lambda: s.screenshot("message-box", "root").pixel(*s.geometry(box)[:2]) !=
                 (0, 0, 0), 20, "the message box to be drawn")
            text = s.dialog_text(box)
            self.assertIsNotNone(text, "Ctrl+C put no text on the clipboard "
                                       "(see the message-box.png artefact)")
            s.save("message-box.txt", text)
            self.assertRegex(text, BOX_TEXT)


if __name__ == "__main__":
    harness.main()
