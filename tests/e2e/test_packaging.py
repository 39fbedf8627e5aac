"""The .deb that cpack makes, installed with apt on this machine and removed again."""

import glob
import os
import shutil
import subprocess
import tempfile
import unittest

import harness
from harness import Session

PACKAGE, BINARY = "nolvex-keyboard", "/usr/bin/nolvex-keyboard"
DESKTOP = "/usr/share/applications/io.github.nolvex.keyboard.desktop"
METAINFO = "/usr/share/metainfo/io.github.nolvex.keyboard.metainfo.xml"
APT = ("apt-get", "-o", "DPkg::Lock::Timeout=300", "-y", "-q")


def run(*argv):
    return subprocess.run(argv, check=True, capture_output=True, text=True,
                          env=dict(os.environ, DEBIAN_FRONTEND="noninteractive")).stdout


def installed():
    return "install ok installed" in subprocess.run(
        ["dpkg-query", "-W", "-f=${Status}", PACKAGE], capture_output=True, text=True).stdout


class PackageTest(unittest.TestCase):
    def test_deb_not_installable_invalid_windowless_or_left_installed(self):
        if os.geteuid() != 0:
            self.skipTest("installing a package needs root")
        was_installed, build = installed(), os.path.dirname(os.path.dirname(harness.BINARY))
        with tempfile.TemporaryDirectory(prefix="nolvex-pkg-") as tmp:
            run("cpack", "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"),
                "-B", tmp)
            (deb,) = glob.glob(os.path.join(tmp, "*.deb"))  # exactly one
            run(*APT, "install", "--no-install-recommends", deb)
            try:
                run("desktop-file-validate", DESKTOP)
                run("appstreamcli", "validate", "--no-net", METAINFO)
                with open(DESKTOP, encoding="utf-8") as f:
                    entry = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
                self.assertEqual(entry["Name"], harness.WINDOW_NAME)
                self.assertEqual(shutil.which(entry["Exec"].split()[0]), BINARY)
                self.assertTrue(os.path.exists(
                    f"/usr/share/icons/hicolor/scalable/apps/{entry['Icon']}.svg"))
                harness.BINARY = BINARY
                with Session(self, jack=False) as s:
                    self.assertIn(f'"{entry["StartupWMClass"]}"', s.xprop("WM_CLASS"))
            finally:
                if not was_installed:
                    run(*APT, "remove", PACKAGE)
        self.assertEqual(installed(), was_installed, f"{PACKAGE} left as found")

