#!/usr/bin/env python3
"""deb_install_test.py CPACK BUILD_DIR: the .deb installs with apt, its desktop entry and metainfo
validate, and the installed program shows its window; the package is removed again afterwards.
Exit 77: skipped, the reason printed."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import harness  # noqa: E402

PACKAGE, BINARY = "nolvex-keyboard", "/usr/bin/nolvex-keyboard"
DESKTOP = "/usr/share/applications/io.github.nolvex.keyboard.desktop"
METAINFO = "/usr/share/metainfo/io.github.nolvex.keyboard.metainfo.xml"
TOOLS = ["apt-get", "dpkg", "dpkg-deb", "desktop-file-validate", "appstreamcli", "Xvfb", "openbox",
         "wmctrl", "xdotool", "xprop", "xwininfo", "import", "convert"]


class Skip(Exception):
    pass


def run(*cmd, **kw):
    """The output of `cmd`; fails the test with its output when it exits non-zero."""
    r = subprocess.run(cmd, capture_output=True, text=True, **kw)
    if r.returncode != 0:
        raise AssertionError(f"{' '.join(cmd)} exited {r.returncode}:\n{r.stdout}{r.stderr}")
    return r.stdout


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def apt(*args):
    run("apt-get", "-o", "DPkg::Lock::Timeout=300", "-y", "-q", *args,
        env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))


def installed():
    r = subprocess.run(["dpkg-query", "-W", "-f=${Status}", PACKAGE], capture_output=True,
                       text=True)
    return "install ok installed" in r.stdout


def build_deb(cpack, build_dir, out_dir):
    run(cpack, "-G", "DEB", "--config", os.path.join(build_dir, "CPackConfig.cmake"), "-B", out_dir)
    debs = [os.path.join(out_dir, f) for f in os.listdir(out_dir) if f.endswith(".deb")]
    check(len(debs) == 1, f"cpack made {debs}, expected one .deb")
    if f".{BINARY}" not in run("dpkg-deb", "-c", debs[0]).split():
        raise Skip("the package holds no program: nolvex-keyboard is not built in this tree")
    return debs[0]


def check_desktop_files():
    run("desktop-file-validate", DESKTOP)
    run("appstreamcli", "validate", "--no-net", METAINFO)
    with open(DESKTOP, encoding="utf-8") as f:
        entry = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
    check(entry["Name"] == harness.WINDOW_NAME, f"desktop entry Name is {entry['Name']!r}")
    check(shutil.which(entry["Exec"].split()[0]) == BINARY, f"Exec={entry['Exec']}: not {BINARY}")
    check(os.path.exists(f"/usr/share/icons/hicolor/scalable/apps/{entry['Icon']}.svg"),
          f"no icon {entry['Icon']}")
    return entry


def check_window(entry, artefacts):
    harness.BINARY, harness.ARTEFACTS = BINARY, artefacts
    with harness.Session(None, jack=False) as s:
        wm_class = s.xprop("WM_CLASS")
        check(f'"{entry["StartupWMClass"]}"' in wm_class,
              f"StartupWMClass={entry['StartupWMClass']}, but the window has {wm_class}")


def main():
    cpack, build_dir = sys.argv[1:3]
    if os.geteuid() != 0:
        raise Skip("installing a package needs root")
    missing = [t for t in TOOLS if shutil.which(t) is None]
    if missing:
        raise Skip(f"not installed: {' '.join(missing)}")
    was_installed = installed()
    with tempfile.TemporaryDirectory(prefix="nolvex-pkg-") as tmp:
        deb = build_deb(cpack, build_dir, tmp)
        apt("install", "--no-install-recommends", deb)
        try:
            check_window(check_desktop_files(), os.path.join(build_dir, "tests", "packaging"))
        finally:
            if was_installed:
                print(f"{PACKAGE} was installed before this test; this build stays installed")
            else:
                apt("remove", PACKAGE)
    check(installed() == was_installed, f"{PACKAGE} left in another state than found")
    print("package installed, validated, started and removed")


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda signum, _: sys.exit(f"stopped by signal {signum}"))
    try:
        main()
    except Skip as reason:
        print(f"SKIP: {reason}")
        sys.exit(77)
    except AssertionError as failure:
        print(f"FAIL: {failure}")
        sys.exit(1)
