"""The built-in synthesiser: with a JACK server and no MIDI input port anywhere, a held key sounds
in JACK audio. The synthesiser's port is recorded with jack_rec and the pitch measured here."""

import array
import math
import os
import shutil
import time
import unittest
import wave

import harness
from harness import Session, key_point, poll

MIDDLE_C = 440.0 * 2 ** ((60 - 69) / 12)  # 261.63 Hz, the note of key 24
RECORD_S, PRESS_AT_S, HOLD_S = 4, 1.0, 1.5  # from the moment the recorder is connected
SILENT_RMS = 1e-4  # -80 dBFS


def amplitude(samples, rate, freq):
    """Amplitude of one frequency in Hann-windowed samples (Goertzel)."""
    n, coeff, s1, s2 = len(samples), 2 * math.cos(2 * math.pi * freq / rate), 0.0, 0.0
    for i, v in enumerate(samples):
        s1, s2 = v * (0.5 - 0.5 * math.cos(2 * math.pi * i / (n - 1))) + coeff * s1 - s2, s1
    return 2 * math.sqrt(max(s1 * s1 + s2 * s2 - coeff * s1 * s2, 0.0)) / (n / 2)


def rms(samples):
    return math.sqrt(sum(v * v for v in samples) / len(samples))


def synth_port(s):
    """The synthesiser's first audio port, once it is connected to the playback ports."""
    return next((port for port, peers in sorted(harness.jack_connections(s).items())
                 if port.startswith("nolvex-keyboard:")
                 and any(p.startswith("system:playback_") for p in peers)), None)


class SynthTest(unittest.TestCase):
    def test_a_held_key_sounds_middle_c_through_the_synthesiser_into_jack(self):
        if not shutil.which("jack_rec"):
            self.skipTest("jack_rec is missing")
        with Session(self, capture=False) as s:
            port = poll(lambda: synth_port(s), 20, "the synthesiser's ports on system:playback")
            self.assertEqual(s.popups(), [], "no message box: the synthesiser opened")
            path = os.path.join(s.artefacts, "key24.wav")
            rec = s.spawn("jack_rec", ["jack_rec", "-f", path, "-d", str(RECORD_S), "-b", "16",
                                       port])
            poll(lambda: any(not p.startswith("system:")
                             for p in harness.jack_connections(s).get(port, ())), 10,
                 "jack_rec to connect")
            time.sleep(PRESS_AT_S)
            s.press(key_point(24))
            time.sleep(HOLD_S)
            s.release()
            self.assertEqual(rec.wait(timeout=RECORD_S + 10), 0, "jack_rec's exit status")
            s.close_window()
            self.assertEqual(s.wait_exit(), 0)

        with wave.open(path) as w:
            rate, channels = w.getframerate(), w.getnchannels()
            frames = array.array("h", w.readframes(w.getnframes()))
        samples = [v / 32768 for v in frames[::channels]]
        quiet = samples[:int(0.8 * PRESS_AT_S * rate)]
        self.assertLess(rms(quiet), SILENT_RMS, "silence before the press")
        loud = max(map(abs, samples))
        onset = next(i for i, v in enumerate(samples) if abs(v) > loud / 10)
        self.assertGreater(onset, len(quiet), "the sound starts after the press")
        tone = samples[onset + int(0.2 * rate):onset + int(0.7 * rate)]  # past the attack
        self.assertGreater(rms(tone), 100 * SILENT_RMS, "a tone was recorded")
        # The fundamental, not the strongest partial (the octave may be louder).
        spectrum = {f: amplitude(tone, rate, f) for f in range(200, 321)}
        pitch = max(spectrum, key=spectrum.get)
        median = sorted(spectrum.values())[len(spectrum) // 2]
        print(f"key 24 sounds at {pitch} Hz (middle C is {MIDDLE_C:.2f} Hz)")
        self.assertAlmostEqual(pitch, MIDDLE_C, delta=MIDDLE_C * 0.02)
        self.assertGreater(spectrum[pitch], 10 * median, "a clear peak at the fundamental")


if __name__ == "__main__":
    harness.main()
