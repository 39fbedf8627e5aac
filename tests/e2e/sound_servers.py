"""Sound servers for a Session, with a null sink "out" as the default sink."""

import os

from harness import Session, poll, running

SINK = "out"
PIPEWIRE = ("pipewire", "wireplumber", "pipewire-pulse")


class SoundSession(Session):
    """A Session without JACK whose programs reach the sound server started in it."""

    def __init__(self, test, **kwargs):
        super().__init__(test, jack=False, capture=False, program=False, **kwargs)
        self.sound_env, self.servers = {}, []

    def env(self, **extra):
        return super().env(**(self.sound_env | extra))

    def server_env(self):  # a sound server's, its configuration read from <tmp>/config
        run = os.path.join(self.tmp, "sound")
        os.makedirs(run, mode=0o700, exist_ok=True)
        self.sound_env = dict(PIPEWIRE_RUNTIME_DIR=run, PULSE_SERVER=f"unix:{run}/pulse/native",
                              DBUS_SESSION_BUS_ADDRESS=f"unix:path={run}/bus")
        return self.env(XDG_RUNTIME_DIR=run, XDG_CONFIG_HOME=os.path.join(self.tmp, "config"))

    def start_pipewire(self):  # again after stop_servers: the session bus stays
        env, bus = self.server_env(), os.path.join(self.tmp, "sound", "bus")
        if not os.path.exists(bus):
            self.spawn("dbus", ["dbus-daemon", "--session", "--nofork",
                                f"--address=unix:path={bus}"], env=env)
            poll(lambda: os.path.exists(bus), 10, "the session bus")
        # No Bluetooth: its monitor needs logind, and wireplumber quits on a machine without it.
        lua = os.path.join(self.tmp, "config", "wireplumber", "bluetooth.lua.d")
        os.makedirs(lua, exist_ok=True)
        with open(os.path.join(lua, "51-no-bluetooth.lua"), "w") as f:
            f.write("bluez_monitor.enabled = false\n")
        # The session manager and the PulseAudio server exit when pipewire's socket is not there
        # yet, as on a loaded machine.
        self.servers = [self.spawn("pipewire", ["pipewire"], env=env)]
        poll(lambda: running(*self.servers) and os.path.exists(
            os.path.join(self.tmp, "sound", "pipewire-0")), 20, "pipewire's socket")
        self.servers += [self.spawn(name, [name], env=env) for name in PIPEWIRE[1:]]
        self.null_sink()

    def start_pulseaudio(self):
        self.servers = [self.spawn("pulseaudio", [
            "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
            "-L", "module-native-protocol-unix", "-L", "module-always-sink"], env=self.server_env())]
        self.null_sink()

    def stop_servers(self):
        for proc in reversed(self.servers):
            self.stop(proc)

    def null_sink(self):  # once the server answers; the sink shows up a moment after its module
        poll(lambda: self.run(["pactl", "info"], check=False).returncode == 0, 20,
             "the sound server to answer pactl")
        self.run(["pactl", "load-module", "module-null-sink", f"sink_name={SINK}", "rate=48000"])
        poll(lambda: self.run(["pactl", "set-default-sink", SINK], check=False).returncode == 0,
             10, "the null sink")
        poll(lambda: f"Default Sink: {SINK}\n" in self.run(["pactl", "info"]).stdout, 10,
             "the null sink as the default")

    def record(self, path):
        """Records the sink's left channel to a WAV file until stopped, in small fragments; returns
        once the first samples are written."""
        rec = self.spawn("parecord", ["parecord", f"--device={SINK}.monitor", "--channels=1",
                                      "--rate=48000", "--format=s16le", "--file-format=wav",
                                      "--latency-msec=20", path])
        poll(lambda: os.path.exists(path) and os.path.getsize(path) > 4096, 10, "the recording")
        return rec
