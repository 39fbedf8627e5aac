"""The built-in synthesiser: with a JACK server running and no MIDI input port anywhere, device 0
is the built-in synthesiser, and a held key sounds in JACK audio. The sound is recorded from the
synthesiser's own JACK ports with jack_rec and its pitch measured here."""

import array
import math
import os
import shutil
import subprocess
import sys
import time
import unittest
import wave

import harness
from harness import Session, poll

SYNTH_CLIENT = "nolvex-keyboard"
KEY = 24  # plays note 60, middle C
MIDDLE_C = 440.0 * 2 ** ((60 - 69) / 12)  # 261.63 Hz
PITCH_TOLERANCE = 0.02

RECORD_S = 4
PRESS_AFTER_S = 1.0  # from the moment the recorder is connected
HOLD_S = 1.5
BEFORE_PRESS_S = 0.8  # the start of the recording, surely before the press
TONE_DELAY_S = 0.2  # past the attack
TONE_S = 0.5

SILENT_RMS = 1e-4  # -80 dBFS
SEARCH_HZ = (200, 320)  # around the fundamental: the octave may be the strongest partial
PEAK_OVER_MEDIAN = 10


def read_wav(path):
    """(sample rate, first channel as floats in [-1, 1)) of an integer PCM WAV file."""
    with wave.open(path) as w:
        rate, channels, width = w.getframerate(), w.getnchannels(), w.getsampwidth()
        frames = w.readframes(w.getnframes())
    if width == 1:
        values = [b - 128 for b in frames]
    elif width == 3:
        values = [int.from_bytes(frames[i:i + 3], "little", signed=True)
                  for i in range(0, len(frames), 3)]
    else:
        values = array.array({2: "h", 4: "i"}[width], frames)
        if sys.byteorder == "big":
            values.byteswap()
    scale = float(1 << (8 * width - 1))
    return rate, [v / scale for v in values[::channels]]


def rms(samples):
    return math.sqrt(sum(v * v for v in samples) / len(samples)) if samples else 0.0


def amplitude(samples, rate, freq):
    """Amplitude of one frequency in Hann-windowed samples (Goertzel)."""
    n = len(samples)
    coeff = 2 * math.cos(2 * math.pi * freq / rate)
    s1 = s2 = 0.0
    for i, v in enumerate(samples):
        window = 0.5 - 0.5 * math.cos(2 * math.pi * i / (n - 1))
        s1, s2 = v * window + coeff * s1 - s2, s1
    return 2 * math.sqrt(max(s1 * s1 + s2 * s2 - coeff * s1 * s2, 0.0)) / (n / 2)


def strongest(samples, rate, low, high):
    """(frequency, amplitude) of the strongest partial between low and high Hz, and the median
    amplitude there: a 1 Hz scan refined to 0.05 Hz around its peak."""
    coarse = [(f, amplitude(samples, rate, f)) for f in range(low, high + 1)]
    peak, _ = max(coarse, key=lambda fa: fa[1])
    fine = [(peak + k / 20, amplitude(samples, rate, peak + k / 20)) for k in range(-20, 21)]
    median = sorted(a for _, a in coarse)[len(coarse) // 2]
    return max(fine, key=lambda fa: fa[1]), median


def synth_ports(s):
    """The synthesiser's audio ports, once they are connected to the playback ports."""
    return sorted(port for port, peers in harness.jack_connections(s).items()
                  if port.startswith(f"{SYNTH_CLIENT}:")
                  and any(p.startswith("system:playback_") for p in peers))


def recorder_connected(s, port):
    peers = harness.jack_connections(s).get(port, set())
    return any(not p.startswith("system:") for p in peers)


class SynthTest(unittest.TestCase):
    def record_key(self, s, port, path):
        """Records `port` while key KEY is held for HOLD_S seconds."""
        argv = ["jack_rec", "-f", path, "-d", str(RECORD_S), "-b", "16", port]
        with open(os.path.join(s.artefacts, "jack_rec.log"), "wb") as log, \
                subprocess.Popen(argv, env=s.env(), stdout=log, stderr=log) as rec:
            try:
                poll(lambda: recorder_connected(s, port), 10, "jack_rec to connect")
                time.sleep(PRESS_AFTER_S)
                s.press_key(KEY)
                self.assertEqual(s.dialogs(), [], "no message box while playing")
                time.sleep(HOLD_S)
                s.release()
                self.assertEqual(rec.wait(timeout=RECORD_S + 10), 0, "jack_rec's exit status")
            finally:
                if rec.poll() is None:
                    rec.kill()

    def test_a_held_key_sounds_middle_c_through_the_synthesiser_into_jack(self):
        if not shutil.which("jack_rec"):
            self.skipTest("jack_rec is missing")
        with Session(self, capture=False) as s:
            ports = poll(lambda: synth_ports(s), 20, "the synthesiser's ports on system:playback")
            self.assertEqual(s.dialogs(), [], "no message box: the synthesiser opened")
            wav = os.path.join(s.artefacts, "key24.wav")
            self.record_key(s, ports[0], wav)
            s.close_window()
            self.assertEqual(s.wait_exit(), 0)

        rate, samples = read_wav(wav)
        self.assertGreaterEqual(len(samples), int(RECORD_S * rate * 0.9), "recording length")
        quiet = samples[:int(BEFORE_PRESS_S * rate)]
        self.assertLess(rms(quiet), SILENT_RMS, "silence before the press")

        loud = max(abs(v) for v in samples)
        self.assertGreater(loud, 100 * SILENT_RMS, "a sound was recorded")
        onset = next(i for i, v in enumerate(samples) if abs(v) > loud / 10)
        self.assertGreater(onset, len(quiet), "the sound starts after the press")
        start = onset + int(TONE_DELAY_S * rate)
        tone = samples[start:start + int(TONE_S * rate)]
        self.assertGreater(rms(tone), 100 * max(rms(quiet), SILENT_RMS / 100), "tone level")

        (pitch, peak), median = strongest(tone, rate, *SEARCH_HZ)
        s.save("pitch.txt", f"{pitch:.2f} Hz (peak {peak:.5f}, median {median:.6f}, "
                            f"tone rms {rms(tone):.5f}, silence rms {rms(quiet):.2e})\n")
        harness.record_figure("synth_key24_pitch_hz", f"{pitch:.2f}")
        print(f"key {KEY} sounds at {pitch:.2f} Hz (middle C is {MIDDLE_C:.2f} Hz)")
        self.assertAlmostEqual(pitch, MIDDLE_C, delta=MIDDLE_C * PITCH_TOLERANCE)
        self.assertGreater(peak, PEAK_OVER_MEDIAN * median, "a clear peak at the fundamental")


if __name__ == "__main__":
    harness.main()
