"""The window of the real program: its exact name and the size of its client area."""

import unittest

import harness
from harness import Session


class WindowTest(unittest.TestCase):
    def test_window_is_named_exactly_and_its_client_area_is_619_by_139(self):
        with Session(self) as s:
            for prop in ("_NET_WM_NAME", "WM_NAME"):
                self.assertIn(f'"{harness.WINDOW_NAME}"', s.xprop(prop))
            _, _, width, height = s.geometry()
            menu = s.menu_height()
            self.assertGreater(menu, 10, "a menu bar above the client area")
            self.assertEqual((width, height - menu), (619, 139))
            shot = s.screenshot("window")
            # The grey client area reaches its bottom-left and top-right corners.
            for x, y in [(0, 138), (618, 0)]:
                self.assertEqual(shot.pixel(x, y + menu), harness.GREY, (x, y))


if __name__ == "__main__":
    harness.main()
