#!/usr/bin/env python3
"""The .deb from CPack installs with apt, its desktop entry and metainfo validate, its Depends
cover every library the installed binary links, and the installed program shows its window on
a virtual X server. The package is removed again afterwards.

Usage: deb_install_test.py CPACK BUILD_DIR. Exit 77 means skipped (the reason is printed)."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET

PACKAGE = "nolvex-keyboard"
APP_ID = "io.github.nolvex.keyboard"
CAPTION = "Nolvex MIDI keyboard"
BINARY = "/usr/bin/nolvex-keyboard"
DESKTOP = f"/usr/share/applications/{APP_ID}.desktop"
METAINFO = f"/usr/share/metainfo/{APP_ID}.metainfo.xml"
ICON_DIR = "/usr/share/icons/hicolor/scalable/apps"
TOOLS = ["apt-get", "dpkg", "dpkg-deb", "desktop-file-validate", "appstreamcli", "ldd",
         "readelf", "Xvfb", "openbox", "wmctrl", "xdotool", "xprop"]
SKIP = 77


class Skip(Exception):
    pass


def run(*cmd, **kw):
    """Runs cmd; fails the test with its output when it exits non-zero."""
    r = subprocess.run(cmd, capture_output=True, text=True, **kw)
    if r.returncode != 0:
        raise AssertionError(f"{' '.join(cmd)} exited {r.returncode}:\n{r.stdout}{r.stderr}")
    return r.stdout


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def apt(*args):
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    return run("apt-get", "-o", "DPkg::Lock::Timeout=300", "-y", "-q", *args, env=env)


def installed(package):
    r = subprocess.run(["dpkg-query", "-W", "-f=${Status}", package], capture_output=True,
                       text=True)
    return r.returncode == 0 and "install ok installed" in r.stdout


def build_deb(cpack, build_dir, out_dir):
    run(cpack, "-G", "DEB", "--config", os.path.join(build_dir, "CPackConfig.cmake"),
        "-B", out_dir)
    debs = [f for f in os.listdir(out_dir) if f.endswith(".deb")]
    check(len(debs) == 1, f"cpack made {debs}, expected one .deb")
    deb = os.path.join(out_dir, debs[0])
    contents = [line.split()[-1] for line in run("dpkg-deb", "-c", deb).splitlines()]
    if "." + BINARY not in contents:
        raise Skip("the package holds no program: nolvex-keyboard is not built in this tree")
    return deb


def depends_alternatives(deb):
    """The package names of the Depends field, every alternative of every clause."""
    names = set()
    for clause in run("dpkg-deb", "-f", deb, "Depends").split(","):
        for alternative in clause.split("|"):
            names.add(alternative.split("(")[0].strip())
    return names


def owning_package(path):
    """The installed package that ships path, as dpkg knows it (without :arch)."""
    real = os.path.realpath(path)
    for candidate in (path, real, real.replace("/usr/lib/", "/lib/", 1)):
        r = subprocess.run(["dpkg", "-S", candidate], capture_output=True, text=True)
        if r.returncode == 0:
            return r.stdout.split(":")[0].split(",")[0].strip()
    raise AssertionError(f"no installed package ships {path}")


def check_links_are_depended_on(deb):
    needed = [line.split("[")[1].rstrip("]") for line in
              run("readelf", "-d", BINARY).splitlines() if "(NEEDED)" in line]
    paths = {}
    for line in run("ldd", BINARY).splitlines():
        if "=>" in line and "/" in line:
            name, rest = line.split("=>")
            paths[name.strip()] = rest.split("(")[0].strip()
    depends = depends_alternatives(deb)
    for soname in needed:
        check(soname in paths, f"ldd cannot resolve {soname}")
        package = owning_package(paths[soname])
        check(package in depends, f"{BINARY} links {soname} from {package}, "
              f"which is not in Depends: {sorted(depends)}")


def desktop_entry():
    entry = {}
    with open(DESKTOP, encoding="utf-8") as f:
        for line in f:
            if "=" in line and not line.startswith("#"):
                key, value = line.rstrip("\n").split("=", 1)
                entry[key] = value
    return entry


def check_desktop_files(deb):
    run("desktop-file-validate", DESKTOP)
    run("appstreamcli", "validate", "--no-net", METAINFO)
    entry = desktop_entry()
    check(entry.get("Name") == CAPTION, f"desktop entry Name is {entry.get('Name')!r}")
    check(shutil.which(entry["Exec"].split()[0]) == BINARY, f"Exec={entry['Exec']} is not on PATH")
    icon = os.path.join(ICON_DIR, entry["Icon"] + ".svg")
    check(ET.parse(icon).getroot().tag == "{http://www.w3.org/2000/svg}svg", f"{icon}: not SVG")
    root = ET.parse(METAINFO).getroot()
    check(root.findtext("launchable") == os.path.basename(DESKTOP), "launchable is not the entry")
    check(root.findtext("provides/binary") == os.path.basename(BINARY), "provides another binary")
    version = run("dpkg-deb", "-f", deb, "Version").strip()
    check(root.find("releases/release").get("version") == version,
          f"metainfo release is not the package version {version}")
    return entry


class Processes:
    """Background processes, stopped in reverse order of start."""

    def __init__(self):
        self.started = []

    def start(self, cmd, **kw):
        p = subprocess.Popen(cmd, **kw)
        self.started.append(p)
        return p

    def stop_all(self):
        for p in reversed(self.started):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()


def poll(what, predicate, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        result = predicate()
        if result:
            return result
        time.sleep(0.05)
    raise AssertionError(f"gave up waiting for {what}")


def start_display(procs, tmp):
    read_fd, write_fd = os.pipe()
    procs.start(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24",
                 "-nolisten", "tcp"], pass_fds=[write_fd], stderr=subprocess.DEVNULL)
    os.close(write_fd)
    with os.fdopen(read_fd) as pipe:
        number = pipe.readline().strip()
    check(number.isdigit(), "Xvfb reported no display number")
    env = dict(os.environ, DISPLAY=":" + number, XDG_RUNTIME_DIR=tmp, HOME=tmp,
               JACK_NO_START_SERVER="1")
    env.pop("QT_QPA_PLATFORM", None)
    procs.start(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    poll("openbox", lambda: subprocess.run(["wmctrl", "-m"], env=env,
                                           capture_output=True).returncode == 0)
    return env


def check_window(procs, tmp, entry):
    env = start_display(procs, tmp)
    log = open(os.path.join(tmp, "program.log"), "w")
    program = procs.start([BINARY], env=env, stdout=log, stderr=subprocess.STDOUT)

    def window():
        check(program.poll() is None, f"{BINARY} exited with {program.returncode}")
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{CAPTION}$"],
                           env=env, capture_output=True, text=True)
        return r.stdout.split()

    try:
        windows = poll(f"a visible window named {CAPTION!r}", window)
    finally:
        log.close()
        with open(log.name, encoding="utf-8", errors="replace") as f:
            print(f"{BINARY} said:\n{f.read()}")
    check(len(windows) == 1, f"{len(windows)} windows named {CAPTION!r}")
    wm_class = run("xprop", "-id", windows[0], "WM_CLASS", env=env)
    check(f'"{entry["StartupWMClass"]}"' in wm_class,
          f"StartupWMClass={entry['StartupWMClass']} does not match the window's {wm_class}")


def main():
    cpack, build_dir = sys.argv[1], sys.argv[2]
    if os.geteuid() != 0:
        raise Skip("installing a package needs root")
    missing = [t for t in TOOLS if shutil.which(t) is None]
    if missing:
        raise Skip(f"not installed: {' '.join(missing)}")
    was_installed = installed(PACKAGE)
    procs = Processes()
    with tempfile.TemporaryDirectory(prefix="nolvex-pkg-") as tmp:
        os.chmod(tmp, 0o700)
        deb = build_deb(cpack, build_dir, os.path.join(tmp, "out"))
        apt("install", "--no-install-recommends", deb)
        try:
            check_links_are_depended_on(deb)
            entry = check_desktop_files(deb)
            check_window(procs, tmp, entry)
        finally:
            procs.stop_all()
            if was_installed:
                print(f"{PACKAGE} was installed before this test; this build stays installed")
            else:
                apt("remove", PACKAGE)
    check(installed(PACKAGE) == was_installed, f"{PACKAGE} left in another state than found")
    print("package installed, validated, started and removed")


def on_signal(signum, _frame):
    raise SystemExit(f"stopped by signal {signum}")


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, on_signal)
    try:
        main()
    except Skip as reason:
        print(f"SKIP: {reason}")
        sys.exit(SKIP)
    except AssertionError as failure:
        print(f"FAIL: {failure}")
        sys.exit(1)
