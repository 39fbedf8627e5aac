"""The real program on Xvfb and openbox, driven with xdotool, its MIDI read back from JACK."""

import argparse
import contextlib
import ctypes
import glob
from itertools import count, takewhile
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

WINDOW_NAME = "Nolvex MIDI keyboard"  # also the program's JACK client name
CAPTURE_PORT = "e2e capture:input"
TWIPS_PER_PIXEL = 15
HEX = re.compile("[0-9a-f]{2}")
GREY, GREEN, WHITE = (128, 128, 128), (0, 255, 0), (255, 255, 255)
TOOLS = ("Xvfb", "openbox", "wmctrl", "xdotool", "xwininfo", "xprop", "import", "convert",
         "jackd", "jack_lsp", "jack_midi_dump", "xclip")

BINARY = ARTEFACTS = None  # set by main()
_serial = count()
_libc = ctypes.CDLL(None)


def _jack_servers():  # the pids in JACK's table of eight servers, once dead ones are forgotten
    # A JACK server killed outright never gives back its entries in JACK's machine-wide registry
    # (eight servers, 256 shared memory segments); once it is full, no server starts. Entries of
    # processes that are gone are freed as their owner would free them (from its pid on, zeros),
    # their segments removed. The registry: a header (the file's length at byte 12, the header's
    # own at 16, a segment entry's at 20), eight server entries (pid, name), then the segment
    # entries (index, pid, size, name).
    with contextlib.suppress(FileNotFoundError), open("/dev/shm/jack-shm-registry", "r+b") as f:
        table = f.read()
        size, servers_end, entry = (int.from_bytes(table[i:i + 4], "little") for i in (12, 16, 20))
        server = (servers_end - 24) // 8
        entries = [(o, o + server, None) for o in range(24, servers_end, server)] + [
            (o + 4, o + entry, table[o + 12:o + entry].split(b"\0")[0]) for o in
            range(servers_end, size, entry)]
        for start, end, segment in entries:
            pid = int.from_bytes(table[start:start + 4], "little")
            if pid and not os.path.exists(f"/proc/{pid}"):
                f.seek(start)
                f.write(bytes(end - start))
                if segment:
                    with contextlib.suppress(FileNotFoundError):
                        os.remove("/dev/shm/" + segment.decode().lstrip("/"))
        return [pid for o in range(24, servers_end, server) if os.path.exists(
            f"/proc/{(pid := int.from_bytes(table[o:o + 4], 'little'))}") and pid]
    return []


# Keys in twips from the top left of the client area: white keys 240 apart from 450, each black
# key over the white key to its left.
BLACK_LEFT = {1: 540, 3: 810, 6: 1260, 8: 1530, 10: 1800, 13: 2220, 15: 2490, 18: 2940, 20: 3180,
              22: 3450, 25: 3900, 27: 4140, 30: 4620, 32: 4860, 34: 5130, 37: 5580, 39: 5820,
              42: 6270, 44: 6540, 46: 6810, 49: 7230, 51: 7500, 54: 7980, 56: 8220, 58: 8490}
KEY_TOP, KEY_WIDTH, BLACK_HEIGHT, WHITE_HEIGHT = 570, 225, 615, 975


def is_white(key):
    return key % 12 in (0, 2, 4, 5, 7, 9, 11)


def key_left(key):
    return 450 + 240 * sum(map(is_white, range(key))) if is_white(key) else BLACK_LEFT[key]


def px(x, y):  # twips to client pixels
    return x // TWIPS_PER_PIXEL, y // TWIPS_PER_PIXEL


def key_point(key, upper=False):  # a pixel no other key covers; `upper`: at black key level
    lower = is_white(key) and not upper
    return px(key_left(key) + KEY_WIDTH // 2,
              KEY_TOP + ((BLACK_HEIGHT + WHITE_HEIGHT) // 2 if lower else BLACK_HEIGHT // 2))


OCTAVE_DOWN = px(120 + 345 // 2, 1410 + 285 // 2)  # Lbl_OctaMoins


def marker_point(key):
    """A pixel in the visible band of the marker of `key`: below a white key, above a black one."""
    white = is_white(key)
    return px(key_left(key) + (0 if white else 30) + 195 // 2, 1575 if white else 540)


def markers(s, name):  # the keys whose markers show, on a screenshot <name>
    shot, menu = s.screenshot(name), s.menu_height()
    return {k for k, (x, y) in enumerate(map(marker_point, range(60)))
            if shot.pixel(x, y + menu) == GREEN}


def played(note, velocity=0x7F, program=0):  # the MIDI of one click on a key
    return [bytes([0xC8, program]), bytes([0x98, note, velocity]), bytes([0x88, note, 0])]


def poll(predicate, timeout, what, interval=0.02, before_failing=lambda: None):
    deadline = time.monotonic() + timeout  # the first true result of `predicate`
    while not (result := predicate()):
        if time.monotonic() > deadline:
            before_failing()
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)
    return result


def settle(get, expected, timeout=30, interval=0.05):  # `get` until it gives `expected`
    deadline = time.monotonic() + timeout
    while (value := get()) != expected and time.monotonic() < deadline:
        time.sleep(interval)
    return value


def running(*procs):  # for poll: fails at once when one of the processes has exited
    if exited := [p for p in procs if p.poll() is not None]:
        raise RuntimeError(f"{exited[0].args[0]} exited with {exited[0].returncode}")
    return True


class Image:
    """An RGB screenshot read through ImageMagick as binary PPM."""

    def __init__(self, path):
        data = subprocess.run(["convert", path, "ppm:-"], check=True, capture_output=True).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+\d+\s", data)
        self.width, self.height = int(header[1]), int(header[2])
        self.pixels = data[header.end():]

    def pixel(self, x, y):
        return tuple(self.pixels[(i := 3 * (y * self.width + x)):i + 3])


class Capture:
    """The MIDI messages that jack_midi_dump heard, in arrival order."""

    def __init__(self, session):
        self.proc = session.spawn("capture", ["jack_midi_dump", "e2e capture"])
        self.path = os.path.join(session.artefacts, "capture.log")

    def messages(self, since=0):  # "<frame>: <hex bytes> <description>", one a line
        with open(self.path) as f:
            words = [line.partition(":")[2].split() for line in f if line.endswith("\n")]
        return [m for w in words if (m := bytes(int(h, 16) for h in takewhile(HEX.fullmatch, w)))
                ][since:]

    def mark(self):  # a position in the stream, to pass as `since`
        return len(self.messages())

    def wait_messages(self, count, since=0, timeout=10):
        """All messages after `since`, once there are at least `count`."""
        return poll(lambda: len(got := self.messages(since)) >= count and got, timeout,
                    f"{count} MIDI messages in capture.log")


class RawCapture(Capture):
    """What an ALSA raw MIDI device "hw:CARD,DEVICE" received (amidi), message by message."""

    def __init__(self, session, device, name="capture"):
        self.proc = session.spawn(name, ["amidi", "-p", device, "-d"])
        self.path = os.path.join(session.artefacts, f"{name}.log")
        node = "/dev/snd/midiC{}D{}".format(*device[3:].split(","))
        poll(lambda: running(self.proc) and node in map(
            os.path.realpath, glob.glob(f"/proc/{self.proc.pid}/fd/*")), 10, f"amidi on {device}")

    def messages(self, since=0):
        with open(self.path) as f:  # hex, a line for each read
            data = bytes.fromhex("".join(re.findall(r"^[0-9A-F ]+$", f.read(), re.M)))
        messages = []  # a data byte after a whole message repeats its status (running status)
        for b in data:  # program change and channel pressure: one data byte, the others two
            if b & 0x80 or len(messages[-1]) == 3 - (0xC0 <= messages[-1][0] < 0xE0):
                messages.append(b"" if b & 0x80 else messages[-1][:1])
            messages[-1] += bytes([b])
        return messages[since:]


class Session:
    """X, window manager, JACK, capture client and program; all stopped when the block ends."""

    def __init__(self, test, jack=True, program=True, capture=True, period=1024, depth=24,
                 server=None):  # `server`: an X server's command in place of Xvfb's
        # `period`: JACK's frames a cycle at 48 kHz.
        self.period, self.depth, self.server = period, depth, server
        name = (test._subtest or test).id().split(".", 1)[-1] if test else f"s{next(_serial)}"
        self.artefacts = os.path.join(ARTEFACTS, name)
        self.jack_server = f"nolvex-e2e-{os.getpid()}-{next(_serial)}"
        self._wanted = jack, capture, program
        self.capture = self.program = self.window = self.jackd = self._menu_height = None
        self._stack = contextlib.ExitStack()

    def __enter__(self):
        os.makedirs(self.artefacts, exist_ok=True)
        jack, capture, program = self._wanted
        with contextlib.ExitStack() as on_failure:  # what started is stopped if a start fails
            on_failure.enter_context(self._stack)
            self.tmp = tempfile.mkdtemp(prefix="nolvex-e2e-")
            self._stack.callback(shutil.rmtree, self.tmp, ignore_errors=True)
            self._start_x()
            if jack:
                self.start_jack()
            if jack and capture:
                self.capture = Capture(self)
                poll(lambda: CAPTURE_PORT in self.run(["jack_lsp"]).stdout, 10, "the capture port")
            if program:
                self.start_program(wait_drawn=jack)
            on_failure.pop_all()
        return self

    def __exit__(self, *exc):
        self._stack.close()

    def env(self, **extra):
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("JACK_", "QT_", "XDG_RUNTIME")) and k != "DISPLAY"}
        return env | dict(DISPLAY=self.display, JACK_NO_START_SERVER="1",
                          JACK_DEFAULT_SERVER=self.jack_server, QT_QPA_PLATFORM="xcb") | extra

    def spawn(self, name, argv, env=None, pass_fds=()):
        """A process of this session, logged to <name>.log; stopped and reaped at the end."""
        log = open(os.path.join(self.artefacts, f"{name}.log"), "wb")
        self._stack.callback(log.close)
        proc = subprocess.Popen(argv, env=env or self.env(), stdin=subprocess.DEVNULL,
                                stdout=log, stderr=log, pass_fds=pass_fds,
                                # PR_SET_PDEATHSIG: no server outlives a test killed by a time-out
                                preexec_fn=lambda: _libc.prctl(1, signal.SIGTERM))
        self._stack.callback(self.stop, proc)
        return proc

    @staticmethod
    def stop(proc, patience=30):  # asked to end; killed only after `patience` s, and said so
        # SIGINT, the interactive quit, which every program here takes as a request to end:
        # jack_midi_dump closes its JACK client only on it; after SIGTERM, the server's shut-down
        # waits 6 s for that client. A JACK server killed in its shut-down can leave JACK's
        # metadata database locked (see start_jack).
        proc.send_signal(signal.SIGINT)  # not once reaped
        try:
            proc.wait(timeout=patience)
        except subprocess.TimeoutExpired:
            sys.stderr.write(f"harness: killed {proc.args[0]}, {patience} s after asking to end\n")
            proc.kill()
            proc.wait()

    def _start_x(self):  # Xvfb picks a free display itself, also beside others starting at once
        read_fd, write_fd = os.pipe()
        self.xvfb = self.spawn("xvfb", [
            *(self.server or ["Xvfb", "-screen", "0", f"1280x1024x{self.depth}"]), "-displayfd",
            str(write_fd), "-nolisten", "tcp"], env=dict(os.environ), pass_fds=(write_fd,))
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            self.display = ":" + pipe.readline().strip()
        # Openbox takes windows once its event loop runs, just after its startup command: a
        # window mapped before, while it still starts, can wait unseen in its queue until some
        # other event comes.
        ready = os.path.join(self.tmp, "openbox-ready")
        self.wm = wm = self.spawn("openbox", ["openbox", "--startup", f"touch {ready}"])
        poll(lambda: running(wm, self.xvfb) and os.path.exists(ready), 60, "openbox",
             interval=0.05)

    def start_jack(self, log="jackd", within=5):  # the session's own JACK server, once it answers
        # Real-time where allowed: without it a loaded machine makes JACK overrun its cycles, and
        # the capture misses MIDI then.
        argv = ["jackd", "--realtime", "-n", self.jack_server, "-d", "dummy", "-r", "48000",
                "-p", str(self.period)]
        if len(_jack_servers()) == 8:  # jackd would exit at once, saying nothing
            sys.stderr.write("harness: JACK's table of eight servers is full: waiting\n")
            poll(lambda: len(_jack_servers()) < 8, 240, "a free entry in JACK's table of servers",
                 interval=0.5)
        self.jackd = self.spawn(log, argv)
        with contextlib.suppress(TimeoutError, subprocess.TimeoutExpired):  # else within 1 s
            return poll(lambda: running(self.jackd) and self.run(
                ["jack_lsp"], check=False, timeout=within).returncode == 0, within, "jackd")
        self.stop(self.jackd, patience=1)  # waiting on the lock, it does not end on SIGINT
        db = f"/dev/shm/jack_db-{os.getuid()}"
        raise RuntimeError(f"jackd answered no client in {within} s. Likely cause: JACK's metadata "
                           f"database {db}, locked by a JACK process killed as it wrote there. If "
                           f"no JACK server runs (pgrep -x jackd), remove it: rm -r {db}")

    def start_program(self, wait_drawn=True, wrap=(), binary=None):
        """Starts the program (after the `wrap` command, which execs it as its last argument) and
        waits for its window to be mapped and, if `wait_drawn`, drawn."""
        runtime = tempfile.mkdtemp(prefix="xdg-", dir=self.tmp)
        self.program = self.spawn("program", [*wrap, binary or BINARY],
                                  env=self.env(XDG_RUNTIME_DIR=runtime))
        self.window = poll(lambda: running(self.program) and next(
            (w for w in self.windows("--onlyvisible", "--name", f"^{WINDOW_NAME}$")
             if "window id" not in self.xprop("WM_TRANSIENT_FOR", w)), None),
            120, f"a window named {WINDOW_NAME!r}", interval=0.5,  # the Debian guest: slow
            before_failing=lambda: self.snapshot("unmapped"))
        if wait_drawn:
            self.menu_height()

    def snapshot(self, name):  # <name>.txt: what the program, the window manager and X do
        out = lambda *argv: self.run(list(map(str, argv)), check=False).stdout
        tasks = [f"{t}/{what}" for p in (self.program, self.wm, self.xvfb)
                 for t in glob.glob(f"/proc/{p.pid}/task/*") for what in ("comm", "wchan", "stack")]
        windows = self.windows("--name", f"^{WINDOW_NAME}$")  # each one's WM_STATE and map state
        with open(os.path.join(self.artefacts, f"{name}.txt"), "w") as f:
            f.write(out("head", "-n20", *tasks) + out("xwininfo", "-root", "-tree") + "".join(
                out("xprop", "-id", w, "WM_STATE") + out("xwininfo", "-id", w) for w in windows))

    def wait_exit(self):
        return self.program.wait(timeout=20)

    def close(self):
        """Closes the main window as its close box does; the program's exit status."""
        self.run(["wmctrl", "-i", "-c", str(self.window)])
        return self.wait_exit()

    def run(self, argv, check=True, timeout=30):
        return subprocess.run(argv, env=self.env(), check=check, capture_output=True, text=True,
                              timeout=timeout)

    def xdotool(self, *args):
        return self.run(["xdotool", *map(str, args)]).stdout

    def windows(self, *search):  # those that xdotool search finds
        return list(map(int, self.run(["xdotool", "search", *search], check=False).stdout.split()))

    def geometry(self, window=None):  # (x, y, width, height) on the screen
        out = self.run(["xwininfo", "-id", str(window or self.window)]).stdout
        f = dict(re.findall(r"^\s*([\w -]+):\s+(-?\d+)$", out, re.M))
        return tuple(int(f[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y",
                                         "Width", "Height"))

    def xprop(self, prop, window=None):
        return self.run(["xprop", "-id", str(window or self.window), prop], check=False).stdout

    def popups(self):  # the program's other visible windows: message boxes, menus
        return [w for w in self.windows("--onlyvisible", "--pid", str(self.program.pid))
                if w != self.window]

    def dismiss(self, box):
        self.xdotool("windowactivate", "--sync", box)
        self.xdotool("key", "Return")
        poll(lambda: not self.popups(), 10, "the message box to close")

    def screenshot(self, name, window=None):  # kept as <name>.png; window "root": the screen
        path = os.path.join(self.artefacts, f"{name}.png")
        self.run(["import", "-window", str(window or self.window), path])
        return Image(path)

    def pixel(self, name, point, settle_on=None):  # at a client point; once `settle_on` if given
        get = lambda: self.screenshot(name).pixel(point[0], point[1] + self.menu_height())
        return get() if settle_on is None else settle(get, settle_on)

    def menu_height(self):
        """Where the grey client area starts, once the window is drawn."""
        def measure():
            shot = self.screenshot("menu-measure")
            column = [shot.pixel(2, y) for y in range(shot.height)]
            return next((y for y in range(1, shot.height - 10)
                         if column[y:y + 10] == [GREY] * 10), None)
        if self._menu_height is None:
            self._menu_height = poll(measure, 20, "the grey client area", interval=0.1)
        return self._menu_height

    def move_to(self, point):  # in client pixels
        self.xdotool("mousemove", "--window", self.window, point[0], point[1] + self.menu_height())

    def press(self, point, button=1):
        self.move_to(point)
        self.xdotool("mousedown", button)

    def release(self, button=1):
        self.xdotool("mouseup", button)

    def click(self, point, button=1):
        self.press(point, button)
        self.release(button)

    def choose(self, menu, *path, shot=None):
        """Chooses entry path[0] of top-level menu `menu` (0 Instruments, 1 Gamme et Accord,
        2 Clé), in its submenu path[1] and so on; `shot`: a screenshot before Return."""
        self.xdotool("mousemove", "--window", self.window, 15, self.menu_height() // 2,
                     "click", 1)
        poll(self.popups, 10, "the menu to open")
        # A clicked menu opens with its first entry highlighted or none, as the menu bar's state
        # has it; one reached with Right, with the first. Up then Down: the first, from either.
        self.xdotool("key", *["Right"] * menu, "Up", "Down", *["Down"] * path[0],
                     *sum((["Right"] + ["Down"] * index for index in path[1:]), []))
        if shot:
            self.screenshot(shot, "root")
        self.xdotool("key", "Return")
        poll(lambda: not self.popups(), 10, "the menu to close")


def jack_connections(session):  # port -> the ports connected to it
    out = session.run(["jack_lsp", "-c"]).stdout
    return {port: {p.strip() for p in peers.splitlines()}
            for port, peers in re.findall(r"^(\S.*)\n((?:[ \t].*\n)*)", out, re.M)}


def main():
    """run.py test_NAME [--binary PROGRAM] --artefacts DIR [unittest's]; exit 77: a tool missing"""
    global BINARY, ARTEFACTS
    parser = argparse.ArgumentParser()
    parser.add_argument("module")
    for option in ("--binary", "--artefacts"):
        parser.add_argument(option, type=os.path.abspath)
    args, rest = parser.parse_known_args()
    BINARY, ARTEFACTS = args.binary, args.artefacts
    missing = [t for t in TOOLS if not shutil.which(t)]
    missing += [BINARY] if BINARY and not os.access(BINARY, os.X_OK) else []
    if missing:
        print(f"SKIP: missing {', '.join(missing)}")
        sys.exit(77)
    # A time-out's SIGTERM unwinds the test, so that what it started is stopped and undone.
    signal.signal(signal.SIGTERM, lambda signum, _: sys.exit(f"stopped by signal {signum}"))
    unittest.main(module=args.module, argv=[sys.argv[0], *rest], verbosity=2)
