"""Sound servers for a Session, in a runtime folder of their own, with a null sink "out" as the
default sink: a headless PipeWire (session bus, pipewire, wireplumber, pipewire-pulse) or a
PulseAudio daemon. They are spawned through the Session, so they end with it."""

import os

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

    def _server_env(self, vm=False):
        run, config = os.path.join(self.tmp, "sound"), os.path.join(self.tmp, "config")
        os.makedirs(run, mode=0o700, exist_ok=True)
        self.sound_env = dict(PIPEWIRE_RUNTIME_DIR=run, PULSE_SERVER=f"unix:{run}/pulse/native",
                              DBUS_SESSION_BUS_ADDRESS=f"unix:path={run}/bus")
        for folder, text in VM_CONFIG.items() if vm else ():
            os.makedirs(os.path.join(config, "pipewire", folder), exist_ok=True)
            with open(os.path.join(config, "pipewire", folder, "vm.conf"), "w") as f:
                f.write(text + "\n")
        return self.env(XDG_RUNTIME_DIR=run, XDG_CONFIG_HOME=config)

    def start_pipewire(self, vm=False):  # again after stop_servers: the session bus stays
        env, bus = self._server_env(vm), os.path.join(self.tmp, "sound", "bus")
        if not os.path.exists(bus):
            self.spawn("dbus", ["dbus-daemon", "--session", "--nofork",
                                f"--address=unix:path={bus}"], env=env)
            poll(lambda: os.path.exists(bus), 10, "the session bus")
        self.servers = [self.spawn(name, [name], env=env) for name in PIPEWIRE]
        self._null_sink()

    def start_pulseaudio(self):
        self.servers = [self.spawn("pulseaudio", [
            "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
            "-L", "module-native-protocol-unix", "-L", f"module-null-sink sink_name={SINK} "
            "rate=48000", "-L", "module-always-sink"], env=self._server_env())]
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
        """Records the sink's left channel to a WAV file until stopped, in small fragments."""
        return self.spawn("parecord", ["parecord", f"--device={SINK}.monitor", "--channels=1",
                                       "--rate=48000", "--format=s16le", "--file-format=wav",
                                       "--latency-msec=20", path])
