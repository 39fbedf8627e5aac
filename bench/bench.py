#!/usr/bin/env python3
"""Benchmarks of the keyboard program on a virtual X server with a JACK server (256 frames at
48 kHz), reusing the end-to-end harness. One command:

    python3 bench/bench.py BUILD_DIR [--program PROGRAM] [startup] [memory] [idle] [latency]
                           [audio] [sound]

(all of them without names; PROGRAM instead of the build's own, say an older one). Prints a
Markdown section per benchmark; RESULTS.md collects them.
"""

import array
import contextlib
import math
import os
import statistics
import subprocess
import sys
import tempfile
import time
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
import harness  # noqa: E402
import sound_servers  # noqa: E402
from harness import Session, poll  # noqa: E402

PERIOD_MS = 256 / 48000 * 1000
CLOCK_TICK = os.sysconf("SC_CLK_TCK")
KEY = 24  # plays note 60


def machine():
    cpu = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo")
                if line.startswith("model name")), "?")
    mem = next(line.split()[1] for line in open("/proc/meminfo") if line.startswith("MemTotal"))
    return f"{os.cpu_count()} cores, {cpu}, {int(mem) // 1024 // 1024 + 1} GiB"


@contextlib.contextmanager
def session():
    """X server, window manager and a JACK server; nothing else yet."""
    with Session(None, capture=False, program=False, period=256) as s:
        yield s


def key_on_screen(s, key=KEY):
    x, y, _, _ = s.geometry()
    px, py = harness.key_point(key)
    return x + px, y + py + s.menu_height()


def start_probe(s, tools, kind, argv=None, **env):
    """bench_probe in latency mode (or `argv`); its commands go through `proc.commands`."""
    read_fd, write_fd = os.pipe()
    log = open(os.path.join(s.artefacts, f"probe-{kind}.log"), "wb")
    s._stack.callback(log.close)
    argv = argv or [os.path.join(tools, "bench_probe"), "latency", kind]
    proc = subprocess.Popen(argv, env=s.env(**env),
                            stdin=read_fd, stdout=subprocess.PIPE, stderr=log, text=True)
    os.close(read_fd)
    proc.commands = os.fdopen(write_fd, "w")
    s._stack.callback(s.stop, proc)
    s._stack.callback(proc.commands.close)
    if proc.stdout.readline().strip() != "ready":
        raise RuntimeError("the probe did not start")
    return proc


def run_clicks(probe, point, count, mode):
    probe.commands.write(f"{point[0]} {point[1]} {count} {mode}\n")
    probe.commands.flush()
    rows = []
    for line in probe.stdout:
        words = line.split()
        if words == ["done"]:
            return rows
        if words and words[0] == "click":
            rows.append(tuple(int(w) for w in words[1:]))
    raise RuntimeError("the probe stopped")


def percentiles(values):
    values = sorted(values)
    pick = lambda q: values[min(len(values) - 1, int(q * len(values)))]  # noqa: E731
    return {"n": len(values), "p50": statistics.median(values), "p95": pick(0.95),
            "p99": pick(0.99), "max": values[-1], "min": values[0]}


def ms(us):
    return f"{us / 1000:.2f}"


def latency_rows(name, rows):
    got = [r[2] for r in rows if r[2] >= 0]
    p = percentiles(got)
    return (f"| {name} | {p['n']}/{len(rows)} | {ms(p['min'])} | {ms(p['p50'])} | "
            f"{ms(p['p95'])} | {ms(p['p99'])} | {ms(p['max'])} |"), p


def staircase_lead(rows):
    """The lead that half of the presses need: the mean of the staircase's last two thirds."""
    leads = [r[1] for r in rows[len(rows) // 3:]]
    return statistics.mean(leads), statistics.stdev(leads) / (len(leads) / 10) ** 0.5


def bench_latency(build, clicks=500, stairs=300):
    tools = os.path.join(build, "bench")
    out = ["## Click-to-MIDI latency", "",
           f"XTest press at key {KEY} to the note on arriving at a JACK client; both stamped with "
           f"CLOCK_MONOTONIC. The JACK period, {PERIOD_MS:.2f} ms, is the floor's spread: a "
           "message waits for the next cycle, so the latency is spread over one period.", "",
           "| client | answered | min ms | p50 ms | p95 ms | p99 ms | max ms |",
           "|---|---|---|---|---|---|---|"]
    leads, medians = {}, []
    for name in ("nolvex-keyboard", "bare Xlib + JACK client"):
        with session() as s:
            probe = start_probe(s, tools, "midi")
            if name == "nolvex-keyboard":
                s.start_program()
                poll(lambda: "bench probe:midi_in" in str(harness.jack_connections(s)), 20,
                     "the program's MIDI output on the probe")
                point = key_on_screen(s)
            else:
                s.spawn("bare", [os.path.join(tools, "bench_bare_client"),
                                 "bench probe:midi_in"])
                window = poll(lambda: s.visible_windows("^bench bare client$"), 20, "bare")[0]
                x, y, w, h = s.geometry(window)
                point = (x + w // 2, y + h // 2)
            row, p = latency_rows(name, run_clicks(probe, point, clicks, "random"))
            out.append(row)
            medians.append(p["p50"] / 1000)
            leads[name] = staircase_lead(run_clicks(probe, point, stairs, "staircase"))
    out += ["", f"The program's own share at the median: **{medians[0] - medians[1]:.2f} ms** "
            f"(p50 {medians[0]:.2f} ms against the bare client's {medians[1]:.2f} ms; the press "
            "times are random over the JACK period, so the standard error of each median is about "
            "0.1 ms).", "",
            f"Staircase ({stairs} presses, 20 µs steps): the lead before a JACK cycle that half of "
            "the presses need to make that cycle, "
            + ", ".join(f"{n} {v[0]:.0f} ± {v[1]:.0f} µs" for n, v in leads.items())
            + ". It also holds where in the cycle each client's JACK callback runs, so it is not "
            "a difference of the two programs' own work."]
    return out


def bench_audio(build, clicks=60):
    tools = os.path.join(build, "bench")
    with session() as s:
        probe = start_probe(s, tools, "audio")
        s.start_program()

        def synth_ports():
            ports = s.run(["jack_lsp", "-t"]).stdout.splitlines()
            outs = [p for p, kind in zip(ports, ports[1:]) if "audio" in kind
                    and not p.startswith(("\t", " ", "system:", "bench probe:"))]
            return outs if len(outs) >= 2 else None
        ports = poll(synth_ports, 20, "the synthesiser's audio ports")
        for port, dest in zip(ports[:2], ("audio_in_1", "audio_in_2")):
            s.run(["jack_connect", port, f"bench probe:{dest}"])
        rows = run_clicks(probe, key_on_screen(s), clicks, "random")
    row, _ = latency_rows("built-in synthesiser", rows)
    return ["## Click-to-audio latency (built-in synthesiser on JACK)", "",
            "JACK running, no MIDI input port: device 0 is the built-in FluidSynth, which plays "
            f"through JACK. XTest press to the first callback holding a sample above -60 dBFS "
            f"after 100 ms of silence; {clicks} presses, 1.5 s apart.", "",
            "| device | answered | min ms | p50 ms | p95 ms | p99 ms | max ms |",
            "|---|---|---|---|---|---|---|", row, "",
            f"Ports read: {', '.join(ports[:2])}"]


def bench_startup(build, runs=9):
    tools = os.path.join(build, "bench")
    results = []
    with session() as s:
        s.start_program()
        point = key_on_screen(s)
        s.stop(s.program)
        for _ in range(runs):
            runtime = tempfile.mkdtemp(prefix="xdg-", dir=s.tmp)
            out = subprocess.run([os.path.join(tools, "bench_probe"), "startup", str(point[0]),
                                  str(point[1]), harness.BINARY],
                                 env=s.env(XDG_RUNTIME_DIR=runtime), capture_output=True,
                                 text=True, timeout=60).stdout
            words = next(line for line in out.splitlines() if line.startswith("startup")).split()
            results.append((int(words[1]), int(words[2])))
            time.sleep(0.3)
    mapped = [m / 1000 for m, _ in results]
    answered = [a / 1000 for _, a in results if a >= 0]
    fmt = lambda v: f"{statistics.median(v):.1f} | {min(v):.1f} | {max(v):.1f}"  # noqa: E731
    return ["## Start-up", "",
            f"{runs} runs (warm caches), exec to the first top-level window mapped (X MapNotify), "
            "and to the first note on of a press injected at that moment (answered once the load "
            "event, which opens the MIDI port, has finished). JACK running, a MIDI input present.",
            "", "| | median ms | min ms | max ms |", "|---|---|---|---|",
            f"| exec → window mapped | {fmt(mapped)} |",
            f"| exec → first press answered | {fmt(answered)} ({len(answered)}/{runs}) |"]


def smaps_rollup(pid):
    fields = {}
    for line in open(f"/proc/{pid}/smaps_rollup"):
        words = line.split()
        if len(words) == 3 and words[2] == "kB":
            fields[words[0].rstrip(":")] = int(words[1])
    return fields


def program_under(s, synth):
    """Starts the program with a MIDI input to open (a capture client) or with the built-in
    synthesiser (JACK running, no MIDI input)."""
    if not synth:
        s.start_capture()
    s.start_program()
    time.sleep(2)
    return s.program.pid


def bench_memory(build):
    out = ["## Memory after start-up", "",
           "/proc/PID/smaps_rollup 2 s after the window is mapped; USS = Private_Clean + "
           "Private_Dirty. RSS and PSS include JACK's shared memory segments.", "",
           "| device 0 | RSS MB | PSS MB | USS MB |", "|---|---|---|---|"]
    for synth in (False, True):
        with session() as s:
            f = smaps_rollup(program_under(s, synth))
            uss = f["Private_Clean"] + f["Private_Dirty"]
            name = "built-in synthesiser (FluidSynth on JACK)" if synth else "JACK MIDI port"
            out.append(f"| {name} | {f['Rss'] / 1024:.1f} | {f['Pss'] / 1024:.1f} | "
                       f"{uss / 1024:.1f} |")
    return out


def threads(pid):
    found = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            stat = open(f"/proc/{pid}/task/{tid}/stat").read()
            status = open(f"/proc/{pid}/task/{tid}/status").read()
        except FileNotFoundError:
            continue
        name = stat[stat.index("(") + 1:stat.rindex(")")]
        fields = stat[stat.rindex(")") + 2:].split()
        cpu = int(fields[11]) + int(fields[12])  # utime + stime, in clock ticks
        ctx = dict(line.split(":") for line in status.splitlines()
                   if line.endswith(tuple("0123456789")) and "ctxt" in line)
        found[int(tid)] = (name, cpu, int(ctx["voluntary_ctxt_switches"]),
                           int(ctx["nonvoluntary_ctxt_switches"]))
    return found


def bench_idle(build, seconds=10):
    out = ["## Idle cost", "",
           f"{seconds} idle seconds after start-up (pointer off the window), per thread: CPU time "
           "(utime + stime) and context switches (each voluntary switch is a wake-up).", ""]
    for synth in (False, True):
        with session() as s:
            pid = program_under(s, synth)
            x, y, w, h = s.geometry()
            s.xdotool("mousemove", x + w + 100, y + h + 100)  # the pointer off the window
            time.sleep(1)
            before = threads(pid)
            time.sleep(seconds)
            after = threads(pid)
        name = "built-in synthesiser (FluidSynth on JACK)" if synth else "JACK MIDI port"
        out += [f"Device 0: {name}", "", "| thread (tid) | CPU ms | voluntary | involuntary |",
                "|---|---|---|---|"]
        for tid in sorted(after):
            if tid not in before:
                continue
            n, c, v, i = after[tid]
            _, c0, v0, i0 = before[tid]
            label = f"{n} ({'UI, main' if tid == pid else tid})"
            out.append(f"| {label} | {(c - c0) * 1000 / CLOCK_TICK:.0f} | {v - v0} | {i - i0} |")
        out.append("")
    out.append(f"JACK's period is {PERIOD_MS:.2f} ms: a thread of the JACK client wakes "
               f"{1000 / PERIOD_MS:.0f} times a second, {seconds * 1000 / PERIOD_MS:.0f} in "
               f"{seconds} s.")
    return out


def start_realtime_jack(s, period=128):
    """A JACK server as a musician runs one: real-time, 128 frames (the harness's runs without)."""
    s.jackd = s.spawn("jackd", ["jackd", "-R", "-n", s.jack_server, "-d", "dummy", "-r", "48000",
                                "-p", str(period)])
    poll(lambda: s.run(["jack_lsp"], check=False).returncode == 0, 20, "jackd")
    return [s.jackd]


def cpu_ticks(pids):
    total = 0
    for pid in pids:
        fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
        total += int(fields[11]) + int(fields[12])
    return total


# What PipeWire raises in a virtual machine (vm.overrides in its configuration files).
VM_CONFIG = {"pipewire.conf.d": "context.properties = { default.clock.min-quantum = 1024 }",
             "pipewire-pulse.conf.d": "pulse.properties = { pulse.min.quantum = 1024/48000 }"}


def start_pipewire(s, vm):
    for folder, text in VM_CONFIG.items() if vm else ():
        os.makedirs(os.path.join(s.tmp, "config", "pipewire", folder), exist_ok=True)
        with open(os.path.join(s.tmp, "config", "pipewire", folder, "vm.conf"), "w") as f:
            f.write(text + "\n")
    s.start_pipewire()


def start_player(s, seconds=150):
    """Another program playing: paplay through pipewire-pulse at the server's default latency, a
    440 Hz tone at -70 dBFS (below the probe's onset level) for longer than the benchmark runs."""
    path = os.path.join(s.tmp, "quiet.wav")
    second = array.array("h", (round(10 * math.sin(2 * math.pi * 440 * i / 48000))
                               for i in range(48000))).tobytes()
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(48000)
        w.writeframes(second * seconds)
    s.spawn("player", ["paplay", "--client-name=player", "--stream-name=player", path])
    poll(lambda: "player" in s.run(["pactl", "list", "sink-inputs"]).stdout, 20, "the player")


def synth_jack_ports(s):
    ports = s.run(["jack_lsp"]).stdout.splitlines()
    outs = [p for p in ports if p.startswith(harness.WINDOW_NAME + ":")
            or p.startswith("nolvex-keyboard:")]
    return outs if len(outs) >= 2 else None


def synth_stream(s):
    return "Stream/Output/Audio" in s.run(["pw-cli", "ls", "Node"], check=False).stdout


def sound_path(s, path, tools):
    """Starts the path's server, the program and the probe listening at the sink; returns the
    probe and the server processes."""
    probe_argv = [os.path.join(tools, "bench_probe"), "latency", "audio"]
    if path == "jack":
        servers = start_realtime_jack(s)
    elif path == "pulseaudio":
        s.start_pulseaudio()
        servers, probe_argv[-1] = s.servers, f"pulse:{sound_servers.SINK}.monitor"
    else:
        start_pipewire(s, vm=path == "pipewire-vm")
        if path == "pipewire-playing":
            start_player(s)
        # The probe asks for PipeWire's default quantum, so that it never lowers the graph's.
        servers, probe_argv = s.servers, ["pw-jack", *probe_argv]
    s.start_program()
    if path == "pulseaudio":
        poll(lambda: "Sink Input" in s.run(["pactl", "list", "sink-inputs"]).stdout, 20, "stream")
    elif path != "jack":
        poll(lambda: synth_stream(s), 20, "the synthesiser's stream")
    probe = start_probe(s, tools, path, probe_argv, PIPEWIRE_LATENCY="1024/48000",
                        PIPEWIRE_PROPS="{ node.passive = true node.lock-quantum = false }")
    if path == "jack":
        sources = poll(lambda: synth_jack_ports(s), 20, "the synthesiser's ports")
    else:
        sources = [f"{sound_servers.SINK}:monitor_FL", f"{sound_servers.SINK}:monitor_FR"]
    for port, dest in zip(sources[:2], ("audio_in_1", "audio_in_2")):
        if path != "pulseaudio":
            # Passive under PipeWire: the probe never keeps the sink running by itself.
            link = ["pw-link", "--passive"] if path.startswith("pipewire") else ["jack_connect"]
            s.run([*link, port, f"bench probe:{dest}"])
    time.sleep(1)  # links take effect, the first sound (if any) ends
    return probe, servers


# The program keeps its output running for a musician's pause (5 s) after the last sound.
PAUSED_AFTER_S = 8


def bench_sound(build, clicks=20, holds=10, idle_seconds=10,
                paths=("jack", "pipewire", "pipewire-playing", "pipewire-vm", "pulseaudio")):
    """Click to sound at the sink, dropouts in held notes under load and the idle cost, per sound
    server."""
    tools = os.path.join(build, "bench")
    out = ["## Click to sound at the sink, dropouts and idle cost, per sound server", "",
           f"Null sink; XTest press to the first sample above -60 dBFS after 100 ms of silence "
           f"at the sink ({clicks} presses 1.5 s apart, piano). Dropouts: gaps of 1 ms or more of "
           f"silence in {holds} church-organ notes held 2 s each (from 50 ms after the onset), "
           f"with two busy loops running. Idle: CPU over {idle_seconds} s with nothing sounding, "
           f"program and server(s), from {PAUSED_AFTER_S} s after the last sound (the program's "
           "output has paused). pipewire-playing: pipewire with paplay playing a tone below the "
           "onset level throughout (the server's CPU includes serving it).", "",
           "| path | p50 ms | p90 ms | answered | dropouts in held notes | idle CPU program | "
           "idle CPU server |", "|---|---|---|---|---|---|---|"]
    for path in paths:
        with sound_servers.SoundSession(None) as s:
            probe, servers = sound_path(s, path, tools)
            point = key_on_screen(s)
            got = [r[2] / 1000 for r in run_clicks(probe, point, clicks, "random") if r[2] >= 0]
            s.choose(0, 2, 3)  # "019. Church Organ": a level that holds
            busy = [s.spawn("busy", ["sh", "-c", "while :; do :; done"]) for _ in range(2)]
            gaps = [r[4] for r in run_clicks(probe, point, holds, "hold")]
            for proc in [*busy, probe]:  # a recording would keep the server busy
                s.stop(proc)
            time.sleep(PAUSED_AFTER_S)
            pids = [p.pid for p in servers]
            before = cpu_ticks([s.program.pid]), cpu_ticks(pids)
            time.sleep(idle_seconds)
            after = cpu_ticks([s.program.pid]), cpu_ticks(pids)
        pct = [100 * (a - b) / CLOCK_TICK / idle_seconds for a, b in zip(after, before)]
        q = statistics.quantiles(got, n=10) if len(got) > 1 else [float("nan")] * 9
        out.append(f"| {path} | {statistics.median(got):.1f} | {q[8]:.1f} | {len(got)}/{clicks} | "
                   f"{sum(gaps)} in {len(gaps)} ({', '.join(map(str, gaps))}) | {pct[0]:.1f} % | "
                   f"{pct[1]:.1f} % |")
    return out


BENCHES = {"startup": bench_startup, "memory": bench_memory, "idle": bench_idle,
           "latency": bench_latency, "audio": bench_audio, "sound": bench_sound}


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    build, args = os.path.abspath(sys.argv[1]), sys.argv[2:]
    harness.BINARY = os.path.join(build, "app", "nolvex-keyboard")
    if args[:1] == ["--program"]:
        harness.BINARY, args = os.path.abspath(args[1]), args[2:]
    harness.ARTEFACTS = os.path.join(build, "bench", "artefacts")
    os.makedirs(harness.ARTEFACTS, exist_ok=True)
    names = args or list(BENCHES)
    load = open("/proc/loadavg").read().split()[0]
    print(f"Machine: {machine()}, load average {load}. Command: `python3 bench/bench.py BUILD_DIR "
          f"{' '.join(names)}` ({time.strftime('%Y-%m-%d')}); program {harness.BINARY}.\n")
    for name in names:
        print("\n".join(BENCHES[name](build)) + "\n", flush=True)


if __name__ == "__main__":
    main()
