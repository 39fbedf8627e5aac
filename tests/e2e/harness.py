"""End-to-end harness: runs the real keyboard program on a virtual X server (Xvfb + openbox)
against a real JACK server whose only MIDI input is a capture client, and drives it with xdotool.

A test starts everything with one context manager and reads what reached the wire:

    with Session(self) as s:
        s.click_key(0)
        self.assertEqual(s.capture.wait_messages(3), [b"\\xc8\\x00", ...])

Everything the session starts is stopped and reaped when the block ends, also when it fails.
Python 3 standard library only; the tools are called as programs.
"""

import argparse
import contextlib
import ctypes
import itertools
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

WINDOW_NAME = "Nolvex MIDI keyboard"
JACK_CLIENT = "Nolvex MIDI keyboard"
CAPTURE_CLIENT = "e2e capture"
CLIENT_SIZE = (619, 139)  # pixels, below the menu bar
TWIPS_PER_PIXEL = 15
GREY = (128, 128, 128)
GREEN = (0, 255, 0)
WHITE = (255, 255, 255)

TOOLS = ("Xvfb", "openbox", "wmctrl", "xdotool", "xwininfo", "xprop", "import", "convert",
         "jackd", "jack_lsp", "xclip")

# Set by main() from the command line.
BINARY = None
CAPTURE = None
ARTEFACTS = None

_serial = itertools.count()

_libc = ctypes.CDLL(None, use_errno=True)
PR_SET_PDEATHSIG = 1


def _forget_dead_jack_servers():
    """JACK keeps a machine-wide table of eight servers in shared memory, and a server that was
    killed outright never gives its entry back. With no JACK server running at all, every entry
    is stale: the table is removed and the next server starts a fresh one."""
    if subprocess.run(["pgrep", "-x", "jackd|jackdbus"], stdout=subprocess.DEVNULL).returncode == 0:
        return
    with contextlib.suppress(FileNotFoundError):
        os.remove("/dev/shm/jack-shm-registry")


def _stop_with_parent():
    """In a child: ends it when the test process dies, even when a time-out kills that outright,
    so that no X or JACK server outlives its test (JACK has only eight server slots)."""
    _libc.prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


# Key geometry in twips, relative to the client area (below the menu bar).
WHITE_OFFSETS = (0, 2, 4, 5, 7, 9, 11)
BLACK_LEFT = {
    1: 540, 3: 810, 6: 1260, 8: 1530, 10: 1800,
    13: 2220, 15: 2490, 18: 2940, 20: 3180, 22: 3450,
    25: 3900, 27: 4140, 30: 4620, 32: 4860, 34: 5130,
    37: 5580, 39: 5820, 42: 6270, 44: 6540, 46: 6810,
    49: 7230, 51: 7500, 54: 7980, 56: 8220, 58: 8490,
}
KEY_TOP, KEY_WIDTH, WHITE_HEIGHT, BLACK_HEIGHT = 570, 225, 975, 615


def is_white(key):
    return key % 12 in WHITE_OFFSETS


def key_left(key):
    if is_white(key):
        whites_before = sum(1 for k in range(key) if is_white(k))
        return 450 + 240 * whites_before
    return BLACK_LEFT[key]


def key_rect(key):
    """(left, top, width, height) of key `key` in twips."""
    return (key_left(key), KEY_TOP, KEY_WIDTH, WHITE_HEIGHT if is_white(key) else BLACK_HEIGHT)


def key_point(key, upper=False):
    """A pixel (client coordinates) inside key `key` that no other key covers: the middle of a
    black key, the lower part of a white key. With `upper`, the upper part of a white key instead,
    where a black key may lie over it."""
    left, top, width, height = key_rect(key)
    x = left + width // 2
    if is_white(key) and not upper:
        y = (top + BLACK_HEIGHT + top + height) // 2
    else:
        y = top + BLACK_HEIGHT // 2
    return x // TWIPS_PER_PIXEL, y // TWIPS_PER_PIXEL


def marker_point(key):
    """A pixel (client coordinates) in the visible band of marker `key`."""
    if is_white(key):
        left, y = key_left(key), (1545 + 1605) // 2
    else:
        left, y = key_left(key) + 30, (510 + 570) // 2
    return (left + 195 // 2) // TWIPS_PER_PIXEL, y // TWIPS_PER_PIXEL


def twips(left, top, width, height):
    """Middle of a twip rectangle, in client pixels."""
    return (left + width // 2) // TWIPS_PER_PIXEL, (top + height // 2) // TWIPS_PER_PIXEL


def poll(predicate, timeout, what, interval=0.02):
    """Calls `predicate` until it gives something true and returns that; fails after `timeout`."""
    deadline = time.monotonic() + timeout
    while True:
        result = predicate()
        if result:
            return result
        if time.monotonic() > deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


class Image:
    """An RGB screenshot read through ImageMagick as binary PPM."""

    def __init__(self, path):
        self.path = path
        data = subprocess.run(["convert", path, "ppm:-"], check=True, capture_output=True).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
        self.width, self.height = int(header.group(1)), int(header.group(2))
        self.pixels = data[header.end():]

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])


def pixel_at(path, x, y):
    """The colour of one pixel of a picture, asked of ImageMagick directly."""
    channel = "%[fx:int(255*p{{{x},{y}}}.{c}+0.5)]"
    fmt = ",".join(channel.format(x=x, y=y, c=c) for c in "rgb")
    out = subprocess.run(["convert", path, "-format", fmt, "info:"],
                         check=True, capture_output=True, text=True).stdout
    return tuple(int(v) for v in out.split(","))


class Capture:
    """The MIDI capture client's output: every event whole, in arrival order."""

    def __init__(self, proc):
        self._proc = proc
        self._events = []
        self._cond = threading.Condition()
        self.port = None
        self._thread = threading.Thread(target=self._read, daemon=True)
        self._thread.start()

    def _read(self):
        for line in self._proc.stdout:
            words = line.split()
            with self._cond:
                if words and words[0] == "ready":
                    self.port = words[1] if len(words) == 2 else line[len("ready "):].strip()
                elif words:
                    self._events.append((int(words[0]), bytes(int(w, 16) for w in words[1:])))
                self._cond.notify_all()

    def wait_ready(self, timeout=10):
        with self._cond:
            if not self._cond.wait_for(lambda: self.port is not None, timeout):
                raise TimeoutError("the capture client did not register its port")
        return self.port

    def mark(self):
        """A position in the stream; messages(since=mark) gives what came after it."""
        with self._cond:
            return len(self._events)

    def messages(self, since=0):
        with self._cond:
            return [b for _, b in self._events[since:]]

    def events(self, since=0):
        """(frame time, bytes) pairs."""
        with self._cond:
            return list(self._events[since:])

    def wait_messages(self, count, since=0, timeout=10):
        """Waits for at least `count` messages after `since` and returns all of them."""
        with self._cond:
            if not self._cond.wait_for(lambda: len(self._events) - since >= count, timeout):
                got = [b.hex(" ") for _, b in self._events[since:]]
                raise TimeoutError(f"expected {count} MIDI messages, got {got}")
            return [b for _, b in self._events[since:]]

    def wait_for(self, message, since=0, timeout=10):
        """Waits until `message` has arrived after `since`; returns the messages up to it."""
        def found():
            msgs = [b for _, b in self._events[since:]]
            return message in msgs
        with self._cond:
            if not self._cond.wait_for(found, timeout):
                got = [b.hex(" ") for _, b in self._events[since:]]
                raise TimeoutError(f"expected {message.hex(' ')}, got {got}")
            msgs = [b for _, b in self._events[since:]]
            return msgs[:msgs.index(message) + 1]


class Session:
    """One run of the program: X server, window manager, optional JACK server with (unless
    `capture` is false) the capture client, and the program. `test` is the running TestCase (its
    id names the artefact folder)."""

    def __init__(self, test, jack=True, program=True, capture=True, period=1024):
        self.period = period  # JACK frames at 48 kHz: long enough that a loaded machine keeps up
        self.name = test.id().split(".", 1)[-1] if test else f"session{next(_serial)}"
        self.want_jack = jack
        self.want_capture = capture
        self.want_program = program
        self.artefacts = os.path.join(ARTEFACTS, self.name)
        self.figures = {}
        self.capture = None
        self.program = None
        self.window = None
        self._menu_height = None
        self.processes = []
        self._stack = contextlib.ExitStack()

    # --- lifecycle ---------------------------------------------------------------------------

    def __enter__(self):
        os.makedirs(self.artefacts, exist_ok=True)
        try:
            self._tmp = tempfile.mkdtemp(prefix="nolvex-e2e-")
            self._stack.callback(shutil.rmtree, self._tmp, ignore_errors=True)
            self.jack_server = f"nolvex-e2e-{os.getpid()}-{next(_serial)}"
            self._start_x()
            if self.want_jack:
                self._start_jack()
                if self.want_capture:
                    self._start_capture()
            if self.want_program:
                self.start_program(wait_drawn=self.want_jack)
        except BaseException:
            self._stack.close()
            raise
        return self

    def __exit__(self, *exc):
        self._stack.close()
        return False

    def env(self, **extra):
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("JACK_", "QT_", "XDG_RUNTIME")) and k != "DISPLAY"}
        env.update(DISPLAY=self.display, JACK_NO_START_SERVER="1",
                   JACK_DEFAULT_SERVER=self.jack_server, QT_QPA_PLATFORM="xcb")
        env.update(extra)
        return env

    def _spawn(self, name, argv, env=None, stdout=None, pass_fds=()):
        """Starts a process that this session owns: it is stopped and reaped on exit."""
        log = open(os.path.join(self.artefacts, f"{name}.log"), "wb")
        self._stack.callback(log.close)
        proc = subprocess.Popen(argv, env=env if env is not None else self.env(),
                                stdin=subprocess.DEVNULL, stdout=stdout or log, stderr=log,
                                pass_fds=pass_fds, text=stdout is not None,
                                preexec_fn=_stop_with_parent)
        self._stack.callback(self._stop, proc)
        self.processes.append(proc)
        return proc

    @staticmethod
    def _stop(proc):
        if proc.poll() is None:
            proc.terminate()
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                proc.kill()
        proc.wait()
        if proc.stdout:
            proc.stdout.close()

    def _start_x(self, attempts=3):
        """Xvfb on a display number that it picks itself, then openbox. Two servers starting at
        the same moment can race for one number; the loser is stopped and started again."""
        for attempt in range(attempts):
            xvfb, self.display = self._start_xvfb(attempt)
            wm = self._spawn(f"openbox{attempt}", ["openbox"])

            def answering():
                if wm.poll() is not None or xvfb.poll() is not None:
                    raise RuntimeError("openbox or Xvfb exited")
                return self.run(["wmctrl", "-m"], check=False).returncode == 0
            try:
                poll(answering, 20, "openbox to answer wmctrl -m", interval=0.05)
                return
            except RuntimeError:
                self._stop(wm)
                self._stop(xvfb)
        raise RuntimeError(f"no X server with openbox after {attempts} attempts")

    def _start_xvfb(self, attempt):
        read_fd, write_fd = os.pipe()
        try:
            xvfb = self._spawn(f"xvfb{attempt}", ["Xvfb", "-displayfd", str(write_fd), "-screen",
                                                  "0", "1280x1024x24", "-nolisten", "tcp"],
                               env=dict(os.environ), pass_fds=(write_fd,))
            os.close(write_fd)
            write_fd = None
            number = b""
            while not number.endswith(b"\n"):
                chunk = os.read(read_fd, 16)
                if not chunk:
                    raise RuntimeError("Xvfb exited without giving a display number")
                number += chunk
        finally:
            os.close(read_fd)
            if write_fd is not None:
                os.close(write_fd)
        return xvfb, f":{int(number)}"

    def _start_jack(self):
        _forget_dead_jack_servers()
        self._spawn("jackd", ["jackd", "--no-realtime", "-n", self.jack_server, "-d", "dummy",
                              "-r", "48000", "-p", str(self.period)])
        poll(lambda: self.run(["jack_lsp"], check=False).returncode == 0, 20,
             "jackd to answer jack_lsp", interval=0.05)

    def _start_capture(self):
        proc = self._spawn("capture", [CAPTURE, CAPTURE_CLIENT], stdout=subprocess.PIPE)
        self.capture = Capture(proc)
        self.capture.wait_ready()

    def start_program(self, wait_drawn=True):
        """Starts the program in a fresh runtime folder and waits for its window to be mapped
        and, with `wait_drawn`, drawn."""
        runtime = tempfile.mkdtemp(prefix="xdg-", dir=self._tmp)
        os.chmod(runtime, 0o700)
        started = time.monotonic()
        self.program = self._spawn("program", [BINARY], env=self.env(XDG_RUNTIME_DIR=runtime))
        self.window = poll(self._find_window, 30, f"a window named {WINDOW_NAME!r}")
        self.figures["start_to_mapped_s"] = time.monotonic() - started
        if wait_drawn:
            self.menu_height()
        return self.window

    def wait_exit(self, timeout=20):
        return self.program.wait(timeout=timeout)

    # --- tools -------------------------------------------------------------------------------

    def run(self, argv, check=True, **kw):
        return subprocess.run(argv, env=self.env(), check=check, capture_output=True, text=True,
                              timeout=30, **kw)

    def xdotool(self, *args):
        return self.run(["xdotool", *map(str, args)]).stdout

    def save(self, name, text):
        with open(os.path.join(self.artefacts, name), "w") as f:
            f.write(text)

    # --- windows -----------------------------------------------------------------------------

    def visible_windows(self, pattern):
        out = self.run(["xdotool", "search", "--onlyvisible", "--name", pattern], check=False)
        return [int(w) for w in out.stdout.split()]

    def is_transient(self, window):
        out = self.run(["xprop", "-id", str(window), "WM_TRANSIENT_FOR"], check=False).stdout
        return "window id" in out

    def _find_window(self):
        if self.program.poll() is not None:
            raise RuntimeError(f"the program exited with {self.program.returncode}")
        mains = [w for w in self.visible_windows(f"^{WINDOW_NAME}$") if not self.is_transient(w)]
        return mains[0] if mains else None

    def xwininfo(self, window=None):
        out = self.run(["xwininfo", "-id", str(window or self.window)]).stdout
        fields = dict(re.findall(r"^\s*([\w -]+):\s+(-?\d+)\s*$", out, re.M))
        return {k: int(v) for k, v in fields.items()}

    def geometry(self, window=None):
        """(x, y, width, height) of a window on the screen."""
        info = self.xwininfo(window)
        return (info["Absolute upper-left X"], info["Absolute upper-left Y"],
                info["Width"], info["Height"])

    def xprop(self, prop, window=None):
        return self.run(["xprop", "-id", str(window or self.window), prop]).stdout

    def dialogs(self):
        """Visible windows of the program other than its main window."""
        out = self.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.program.pid)],
                       check=False).stdout
        return [int(w) for w in out.split() if int(w) != self.window]

    def wait_dialog(self, timeout=20):
        return poll(lambda: next(iter(self.dialogs()), None), timeout, "a message box")

    def dialog_text(self, dialog, timeout=5):
        """The text of a message box as the program copies it to the clipboard on Ctrl+C (the
        clipboard of a fresh X server starts empty), or None when nothing reaches the clipboard
        in `timeout` seconds."""
        self.xdotool("windowactivate", "--sync", dialog)
        self.xdotool("key", "--clearmodifiers", "ctrl+c")

        def read():
            out = self.run(["xclip", "-selection", "clipboard", "-o"], check=False)
            return out.stdout if out.returncode == 0 and out.stdout else None
        try:
            return poll(read, timeout, "the message box text on the clipboard", interval=0.05)
        except TimeoutError:
            return None

    def dismiss_dialog(self, dialog):
        self.xdotool("windowactivate", "--sync", dialog)
        self.xdotool("key", "Return")
        poll(lambda: dialog not in self.dialogs(), 10, "the message box to close")

    def close_window(self):
        """Asks the window manager to close the main window (as the close box does)."""
        self.run(["wmctrl", "-i", "-c", str(self.window)])

    # --- pixels ------------------------------------------------------------------------------

    def screenshot(self, name, window=None):
        """Saves a PNG of a window (default: the main window; "root": the screen) as an
        artefact and returns it as an Image."""
        path = os.path.join(self.artefacts, f"{name}.png")
        self.run(["import", "-window", str(window or self.window), path])
        return Image(path)

    def menu_height(self):
        """Height of the menu bar: the first row from the top where the grey client area starts
        (measured on the left edge, where no control lies). Waits for the window to be drawn."""
        if self._menu_height is None:
            self._menu_height = poll(self._measure_menu, 20, "the grey client area to be drawn",
                                     interval=0.1)
        return self._menu_height

    def _measure_menu(self):
        shot = self.screenshot("menu-measure")
        column = [shot.pixel(2, y) for y in range(shot.height)]
        for y in range(1, shot.height - 10):
            if all(c == GREY for c in column[y:y + 10]):
                return y
        return None

    def client_pixel(self, image, point):
        x, y = point
        return image.pixel(x, y + self.menu_height())

    def client_region(self, image, left, top, width, height):
        """The pixels of a rectangle of the client area given in twips, row by row."""
        t = TWIPS_PER_PIXEL
        return [self.client_pixel(image, (x, y))
                for y in range(top // t, (top + height) // t)
                for x in range(left // t, (left + width) // t)]

    # --- mouse -------------------------------------------------------------------------------

    def move_to(self, point):
        x, y = point
        self.xdotool("mousemove", "--window", self.window, x, y + self.menu_height())

    def press(self, point, button=1):
        self.move_to(point)
        self.xdotool("mousedown", button)

    def release(self, button=1):
        self.xdotool("mouseup", button)

    def click(self, point, button=1):
        self.press(point, button)
        self.release(button)

    def press_key(self, key, button=1, upper=False):
        self.press(key_point(key, upper), button)

    def click_key(self, key, button=1, upper=False):
        self.click(key_point(key, upper), button)

    def move_off_window(self):
        x, y, w, h = self.geometry()
        self.xdotool("mousemove", x + w + 100, y + h + 100)

    # --- menus -------------------------------------------------------------------------------

    def open_menu(self, menu):
        """Opens top-level menu number `menu` (0 "Instruments", 1 "Gamme et Accord", 2 "Clé")
        with its first entry highlighted: a click on the first menu title, then Right to walk
        along the menu bar (a menu reached that way opens with its first entry highlighted)."""
        self.xdotool("mousemove", "--window", self.window, 15, self.menu_height() // 2,
                     "click", 1)
        poll(self.popups, 10, "the menu to open")
        self.xdotool("key", "Right" if menu else "Down", *(["Right"] * (menu - 1)))

    def popups(self):
        """Open popup menus (override-redirect windows of the program's X client)."""
        out = self.run(["xdotool", "search", "--onlyvisible", "--class", "."], check=False).stdout
        found = []
        for w in map(int, out.split()):
            if w == self.window:
                continue
            attrs = self.run(["xwininfo", "-id", str(w)], check=False).stdout
            if "Override Redirect State: yes" in attrs and "Map State: IsViewable" in attrs:
                found.append(w)
        return found

    def highlight(self, *path):
        """In a menu just opened, walks to entry path[0] (counted from 0), then into its
        submenu to entry path[1], and so on, with the arrow keys."""
        for i, index in enumerate(path):
            keys = (["Right"] if i else []) + ["Down"] * index
            if keys:
                self.xdotool("key", *keys)

    def choose_highlighted(self):
        self.xdotool("key", "Return")
        poll(lambda: not self.popups(), 10, "the menu to close")

    def choose(self, menu, *path):
        """Opens top-level menu `menu` and chooses the entry at `path` (see highlight)."""
        self.open_menu(menu)
        self.highlight(*path)
        self.choose_highlighted()


def jack_connections(session):
    """Port -> set of ports it is connected to, from jack_lsp -c."""
    out = session.run(["jack_lsp", "-c"]).stdout
    connections, port = {}, None
    for line in out.splitlines():
        if line.startswith((" ", "\t")):
            connections[port].add(line.strip())
        elif line:
            port = line
            connections[port] = set()
    return connections


def record_figure(name, value):
    with open(os.path.join(ARTEFACTS, "figures.txt"), "a") as f:
        f.write(f"{name} {value}\n")


def main():
    """Entry of every test file: [--binary PROGRAM] --capture MIDI_CAPTURE --artefacts DIR, then
    the usual unittest arguments. Exits 77 (skipped) when a tool is missing."""
    global BINARY, CAPTURE, ARTEFACTS
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary")
    parser.add_argument("--capture", required=True)
    parser.add_argument("--artefacts", required=True)
    args, rest = parser.parse_known_args()
    BINARY = os.path.abspath(args.binary) if args.binary else None
    CAPTURE = os.path.abspath(args.capture)
    ARTEFACTS = os.path.abspath(args.artefacts)
    missing = [t for t in TOOLS if not shutil.which(t)]
    missing += [p for p in (BINARY, CAPTURE) if p and not os.access(p, os.X_OK)]
    if missing:
        print(f"SKIP: missing {', '.join(missing)}")
        sys.exit(77)
    os.makedirs(ARTEFACTS, exist_ok=True)
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)
