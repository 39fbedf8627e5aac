"""The built-in synthesiser, heard with no MIDI input port anywhere: on its own PipeWire and
PulseAudio streams here, through ALSA in the guest (tests/guest)."""

import array
import json
import math
import os
import re
import shutil
import subprocess
import time
import unittest
import wave

import harness
from harness import key_point, poll, settle
from sound_servers import PIPEWIRE, SoundSession

SF2 = "/usr/share/sounds/sf2"  # where the program looks first
MIDDLE_C = 440.0 * 2 ** ((60 - 69) / 12)  # 261.63 Hz, the note of key 24
RECORD_S, PRESS_AT_S, HOLD_S = 4, 1.0, 1.5  # from the moment the recorder is connected; 0.5 s after
SILENT_RMS = 1e-4  # -80 dBFS


def rms(samples):
    return math.sqrt(sum(v * v for v in samples) / len(samples))


def amplitude(samples, rate, freq):
    """Amplitude of one frequency in Hann-windowed samples (Goertzel)."""
    n, coeff, s1, s2 = len(samples), 2 * math.cos(2 * math.pi * freq / rate), 0.0, 0.0
    for i, v in enumerate(samples):
        s1, s2 = v * (0.5 - 0.5 * math.cos(2 * math.pi * i / (n - 1))) + coeff * s1 - s2, s1
    return 2 * math.sqrt(max(s1 * s1 + s2 * s2 - coeff * s1 * s2, 0.0)) / (n / 2)


def native_stream(s):  # its own PipeWire stream's properties and state, not pipewire-pulse's
    nodes = [o["info"]["props"] | {"state": o["info"]["state"]}
             for o in json.loads(s.run(["pw-dump"]).stdout) if o["type"].endswith(":Node")]
    return next((p for p in nodes if p.get("node.name") == harness.WINDOW_NAME
                 and p.get("client.api") != "pipewire-pulse"), None)


def beside_a_damaged_default(s):  # a command running the program with its own SF2 folder, or ()
    user = [] if os.geteuid() == 0 else ["--map-root-user"]  # a chroot refuses a user namespace
    unshare = ["unshare", *user, "--mount", "--propagation", "unchanged", "sh", "-c"]
    # Only where the bind mount stays private: not in a chroot, whose root is no mount point.
    if subprocess.run([*unshare, "mount --make-rprivate /"], capture_output=True).returncode:
        return ()
    d = os.path.join(s.tmp, "sf2")  # default-GM.sf2 cut after 3 MB, then a good TimGM6mb.sf2
    return [*unshare, f"mount --make-rprivate / && mkdir {d} && cp {SF2}/Tim* {d}"
            f" && head -c 3000000 {d}/Tim* >{d}/default-GM.sf2 && mount --bind {d} {SF2}"
            ' && exec "$0"']


class MiddleC:
    """Key 24 played, and a recording of it judged; also for the tests in the Debian guest."""

    def play_key_24(self, s, held=lambda: None):  # `held()` while the key is down
        time.sleep(PRESS_AT_S)
        s.press(key_point(24))
        held()
        time.sleep(HOLD_S)
        s.release()
        time.sleep(0.5)

    def assert_middle_c(self, path):
        with wave.open(path) as w:
            rate = w.getframerate()
            samples = [v / 32768 for v in array.array("h", w.readframes(w.getnframes()))
                       ][::w.getnchannels()]
        quiet = samples[:int(0.8 * PRESS_AT_S * rate)]
        self.assertLess(rms(quiet), SILENT_RMS, "silence before the press")
        loud = max(map(abs, samples))
        onset = next(i for i, v in enumerate(samples) if abs(v) > loud / 10)
        tone = samples[onset + int(0.2 * rate):onset + int(0.7 * rate)]  # past the attack
        self.assertGreater(rms(tone), 100 * SILENT_RMS, "a tone was recorded")
        # The fundamental, not the strongest partial (the octave may be louder).
        spectrum = {f: amplitude(tone, rate, f) for f in range(200, 321)}
        pitch = max(spectrum, key=spectrum.get)
        self.assertAlmostEqual(pitch, MIDDLE_C, delta=MIDDLE_C * 0.02)
        median = sorted(spectrum.values())[len(spectrum) // 2]
        self.assertGreater(spectrum[pitch], 10 * median, "a clear peak at the fundamental")


class SynthTest(MiddleC, unittest.TestCase):
    def need(self, *tools):
        if missing := [t for t in tools if not shutil.which(t)]:
            self.skipTest(f"missing {', '.join(missing)}")

    def test_own_pipewire_stream_missing_or_not_middle_c_also_after_a_server_restart(self):
        """Also: a damaged first SoundFont is passed over; the stream pauses after the rest."""
        self.need(*PIPEWIRE, "dbus-daemon", "pactl", "parecord", "pw-dump", "unshare")
        with SoundSession(self) as s:
            s.start_pipewire()
            s.start_program(wrap=(wrap := beside_a_damaged_default(s)))
            stream = poll(lambda: native_stream(s), 20, "the synthesiser's PipeWire stream")
            self.assertEqual((stream["media.name"], stream["application.name"]),
                             (harness.WINDOW_NAME,) * 2)
            paths = [os.path.join(s.artefacts, f"key24-{take}.wav") for take in ("1", "2")]
            state, states = lambda: (native_stream(s) or {}).get("state"), []
            for path in paths:
                if path == paths[1]:  # the stream reconnects at the next note
                    s.stop_servers()
                    s.start_pipewire()
                rec = s.record(path)
                self.play_key_24(s, held=lambda: states.append(settle(state, "running")))
                s.stop(rec)
                states.append(settle(state, "idle"))
            self.assertEqual(states, ["running", "idle"] * 2,
                             "running while the note sounds, paused after the musician's pause")
            self.assertEqual(s.popups(), [], "no message box, also not after the restart")
            self.assertEqual(s.close(), 0)
        with self.subTest("a damaged first SoundFont"), \
                open(os.path.join(s.artefacts, "program.log")) as log:
            if not wrap:
                self.skipTest("no private mount namespace here (a chroot)")
            self.assertIn(f"{SF2}/default-GM.sf2 is damaged and was not loaded", log.read())
        for path in paths:
            self.assert_middle_c(path)

    def test_own_pulseaudio_stream_missing_or_not_corked_while_silent(self):
        self.need("pulseaudio", "dbus-daemon", "pactl")
        with SoundSession(self) as s:
            s.start_pulseaudio()
            s.start_program()
            corked = lambda: re.findall(r"Corked: (\w+)", s.run(["pactl", "list", "sink-inputs"]).stdout)
            self.assertEqual(settle(corked, ["yes"]), ["yes"], "paused until the first note")
            stream = s.run(["pactl", "list", "sink-inputs"]).stdout
            for key in ("media.name", "application.name"):
                self.assertIn(f'{key} = "{harness.WINDOW_NAME}"', stream)
            s.press(key_point(24))
            self.assertEqual(settle(corked, ["no"]), ["no"], "playing while the key is held")
            s.release()
            self.assertEqual(settle(corked, ["yes"]), ["yes"], "corked after the musician's pause")
            self.assertEqual(s.close(), 0)
