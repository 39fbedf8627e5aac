"""Sound servers for a Session: a headless PipeWire (session bus, pipewire, wireplumber,
pipewire-pulse) or a PulseAudio daemon, in a runtime folder of their own, with a null sink "out"
as the default sink. They are spawned through the Session, so they end with it. Also what a
recording of the sink holds: its level and the pitch of a tone."""

import array
import math
import os
import wave

from harness import Session, poll

SINK = "out"
PIPEWIRE = ("pipewire", "wireplumber", "pipewire-pulse")
# What PipeWire raises in a virtual machine (vm.overrides in its configuration files).
VM_CONFIG = {"pipewire.conf.d": "context.properties = { default.clock.min-quantum = 1024 }",
             "pipewire-pulse.conf.d": "pulse.properties = { pulse.min.quantum = 1024/48000 }"}


class SoundSession(Session):
    """A Session without JACK whose programs reach the sound server started in it."""

    def __init__(self, test, **kwargs):
        super().__init__(test, jack=False, capture=False, program=False, **kwargs)
        self.sound_env, self.servers = {}, []

    def env(self, **extra):
        return super().env(**(self.sound_env | extra))

    def _runtime(self):
        run = os.path.join(self.tmp, "sound")
        os.makedirs(run, mode=0o700, exist_ok=True)
        self.sound_env = dict(PIPEWIRE_RUNTIME_DIR=run, PULSE_SERVER=f"unix:{run}/pulse/native",
                              DBUS_SESSION_BUS_ADDRESS=f"unix:path={run}/bus")
        return run

    def _server_env(self, run, vm):
        config = os.path.join(self.tmp, "config")
        for folder, text in VM_CONFIG.items() if vm else ():
            os.makedirs(os.path.join(config, "pipewire", folder), exist_ok=True)
            with open(os.path.join(config, "pipewire", folder, "vm.conf"), "w") as f:
                f.write(text + "\n")
        return self.env(XDG_RUNTIME_DIR=run, XDG_CONFIG_HOME=config)

    def start_pipewire(self, vm=False):
        run = self._runtime()
        env = self._server_env(run, vm)
        if not os.path.exists(os.path.join(run, "bus")):
            self.spawn("dbus", ["dbus-daemon", "--session", "--nofork",
                                f"--address=unix:path={run}/bus"], env=env)
            poll(lambda: os.path.exists(os.path.join(run, "bus")), 10, "the session bus")
        self.servers = [self.spawn(name, [name], env=env) for name in PIPEWIRE]
        self._null_sink()

    def start_pulseaudio(self):
        env = self._server_env(self._runtime(), False)
        self.servers = [self.spawn("pulseaudio", [
            "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
            "-L", "module-native-protocol-unix", "-L", f"module-null-sink sink_name={SINK} "
            "rate=48000", "-L", "module-always-sink"], env=env)]
        self._null_sink(load=False)

    def stop_servers(self):
        for proc in reversed(self.servers):
            self.stop(proc)

    def _null_sink(self, load=True):
        poll(lambda: self.run(["pactl", "info"], check=False).returncode == 0, 20,
             "the sound server to answer pactl")
        if load:  # the sink shows up a moment after the module has loaded
            self.run(["pactl", "load-module", "module-null-sink", f"sink_name={SINK}"])
            poll(lambda: self.run(["pactl", "set-default-sink", SINK], check=False).returncode == 0,
                 10, "the null sink")
        poll(lambda: f"Default Sink: {SINK}\n" in self.run(["pactl", "info"]).stdout, 10,
             "the null sink as the default")

    def record(self, path):
        """Records the sink's left channel to a WAV file until stopped (in small fragments, so that
        little is lost when it stops)."""
        return self.spawn("parecord", ["parecord", f"--device={SINK}.monitor", "--channels=1",
                                       "--rate=48000", "--format=s16le", "--file-format=wav",
                                       "--latency-msec=20", path])


def read_wav(path):
    """(rate, samples of the first channel as floats)."""
    with wave.open(path) as w:
        rate, channels = w.getframerate(), w.getnchannels()
        frames = array.array("h", w.readframes(w.getnframes()))
    return rate, [v / 32768 for v in frames[::channels]]


def amplitude(samples, rate, freq):
    """Amplitude of one frequency in Hann-windowed samples (Goertzel)."""
    n, coeff, s1, s2 = len(samples), 2 * math.cos(2 * math.pi * freq / rate), 0.0, 0.0
    for i, v in enumerate(samples):
        s1, s2 = v * (0.5 - 0.5 * math.cos(2 * math.pi * i / (n - 1))) + coeff * s1 - s2, s1
    return 2 * math.sqrt(max(s1 * s1 + s2 * s2 - coeff * s1 * s2, 0.0)) / (n / 2)


def rms(samples):
    return math.sqrt(sum(v * v for v in samples) / len(samples))
