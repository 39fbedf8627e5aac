"""The window of the real program under Xvfb and openbox: its exact name and the size of its
client area below the menu bar."""

import unittest

import harness
from harness import Session


class WindowTest(unittest.TestCase):
    def test_window_is_named_exactly_and_its_client_area_is_619_by_139(self):
        with Session(self) as s:
            self.assertIn(f'"{harness.WINDOW_NAME}"', s.xprop("_NET_WM_NAME"))
            self.assertIn(f'"{harness.WINDOW_NAME}"', s.xprop("WM_NAME"))
            _, _, width, height = s.geometry()
            menu = s.menu_height()
            shot = s.screenshot("window")
            self.assertGreater(menu, 10, "a menu bar above the client area")
            self.assertEqual((width, height - menu), harness.CLIENT_SIZE)
            # The grey client area reaches its bottom-left and top-right corners.
            for corner in [(0, 138), (618, 0), (2, 70)]:
                self.assertEqual(s.client_pixel(shot, corner), harness.GREY, corner)
            harness.record_figure("start_to_mapped_s", f"{s.figures['start_to_mapped_s']:.3f}")


if __name__ == "__main__":
    harness.main()
