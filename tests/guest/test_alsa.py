"""The installed package on a real kernel's ALSA: presses heard on a Virtual Raw MIDI card, a
card unplugged under a held key, a quit signal, the built-in synthesiser on a loopback card."""

import os
import shutil
import signal
import subprocess
import unittest

import harness
from harness import RawCapture, Session, key_point, played, poll, px
from test_synth import RECORD_S, MiddleC

# (what is pressed, point in client pixels, mouse button, note expected on the wire)
PRESSES = [
    ("key 0", key_point(0), 1, 36),
    ("key 59", key_point(59), 1, 95),
    ("black key 1", key_point(1), 1, 37),
    ("key 0 under black key 1", px(600, 800), 1, 37),
    ("key 2 under black key 1", px(720, 800), 1, 37),
    ("key 59 under black key 58", px(8650, 800), 1, 94),
    ("key 12, right button", key_point(12), 3, 48),
    ("key 13, middle button", key_point(13), 2, 49),
]
LABEL = (450, 150, 6045, 345)  # Lbl_Instrument_Name, twips
# (family, entry in the family, program): "071 - Clarinet ", "119 - Reverse Cymbal"
CHOICES = [(8, 7, 71), (14, 7, 119)]
VOL_BAR = px(8960, 1030)
SHARE = "/usr/share/{}/io.github.nolvex.keyboard.{}"
DESKTOP, METAINFO = SHARE.format("applications", "desktop"), SHARE.format("metainfo", "metainfo.xml")
PLAYBACK = "/proc/asound/Loopback/pcm0p/sub0/status"


def sequencer(*drivers):  # the ALSA sequencer loaded anew with these drivers; none: unloaded
    subprocess.run(["modprobe", "-r", "-q", "snd-virmidi"])
    if os.path.isdir("/sys/module/snd_seq"):
        subprocess.run(["modprobe", "-r", *os.listdir("/sys/module/snd_seq/holders"), "snd-seq"],
                       check=True)
    for driver in drivers:
        subprocess.run(["modprobe", *driver.split()], check=True)


def desktop_entry():
    with open(DESKTOP, encoding="utf-8") as f:
        return dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)


def label(s, name):
    left, top, width, height = LABEL
    shot = s.screenshot(name)
    return [shot.pixel(x, y + s.menu_height()) for x in range(*px(left, left + width))
            for y in range(*px(top, top + height))]


class AlsaTest(MiddleC, unittest.TestCase):
    @classmethod
    def setUpClass(cls):  # one X server for all: each costs seconds under emulation
        subprocess.run(["modprobe", "snd-aloop", "index=0"], check=True)
        cls.s = Session(None, jack=False, capture=False, program=False).__enter__()
        cls.addClassCleanup(cls.s.__exit__, None, None, None)

    def setUp(self):  # the logs and recordings of each test in a folder of its own
        self.s.artefacts = os.path.join(harness.ARTEFACTS, self.id().split(".", 1)[-1])
        os.makedirs(self.s.artefacts)

    def capture(self, device, name="capture"):
        capture = RawCapture(self.s, device, name)
        self.addCleanup(self.s.stop, capture.proc)
        return capture

    def test_desktop_entry_or_metainfo_invalid_or_not_the_installed_program(self):
        subprocess.run(["desktop-file-validate", DESKTOP], check=True)
        subprocess.run(["appstreamcli", "validate", "--no-net", METAINFO], check=True)
        entry = desktop_entry()
        self.assertEqual((entry["Name"], shutil.which(entry["Exec"].split()[0])),
                         (harness.WINDOW_NAME, harness.BINARY))
        self.assertTrue(os.path.exists(f"/usr/share/icons/hicolor/scalable/apps/{entry['Icon']}.svg"))

    def test_first_card_not_device_0_or_wrong_bytes_for_presses_choices_velocity_signal(self):
        sequencer("snd-seq-dummy", "snd-virmidi index=1,2 enable=1,1 midi_devs=2")
        s, capture = self.s, self.capture("hw:1,0")
        s.start_program()
        self.assertIn(f'"{desktop_entry()["StartupWMClass"]}"', s.xprop("WM_CLASS"))
        for what, point, button, note in PRESSES:
            with self.subTest(what):
                since = capture.mark()
                s.click(point, button)
                self.assertEqual(capture.wait_messages(3, since), played(note))
        shown = label(s, "label-at-start")
        for family, entry, program in CHOICES:
            since, before = capture.mark(), shown
            s.choose(0, family, entry)
            shown = poll(lambda: (new := label(s, f"label-{program}")) != before and new, 20,
                         "the label to show the new name")
            s.click(key_point(0))  # nothing is sent by the choice itself
            self.assertEqual(capture.wait_messages(3, since), played(36, program=program))
        since = capture.mark()
        s.move_to(VOL_BAR)
        s.xdotool("click", 5)  # the wheel: 3 steps down, to velocity 124
        s.click(key_point(0))
        s.press(key_point(0))
        capture.wait_messages(5, since)
        s.program.send_signal(signal.SIGTERM)
        self.assertEqual(s.wait_exit(), -signal.SIGTERM)
        s.release()
        self.assertEqual(capture.wait_messages(6, since), played(36, 124, 119) * 2)

    def test_card_unplugged_under_a_held_key_stops_the_program_or_the_other_loses_its_note_off(self):
        sequencer("snd-seq-dummy", "snd-virmidi index=1,2 enable=1,1 midi_devs=2")
        s, other = self.s, self.capture("hw:2,0", "other")
        s.start_program()
        s.run(["aconnect", f"{harness.WINDOW_NAME}:0", "Virtual Raw MIDI 2-0:0"])  # a listener left
        s.press(key_point(0))
        other.wait_messages(2)
        with open("/sys/bus/platform/drivers/snd_virmidi/unbind", "w") as f:
            f.write("snd_virmidi.0")
        self.assertFalse(os.path.exists("/proc/asound/card1"), "card 1 unplugged")
        self.assertEqual(s.close(), 0)
        s.release()
        self.assertEqual(other.wait_messages(3), played(36))

    def test_synthesiser_not_on_the_loopback_card_without_a_sequencer_or_not_middle_c(self):
        s = self.s
        for what in ("no sequencer", "Midi Through only"):
            with self.subTest(what):
                sequencer(*["snd-seq-dummy"] * (what != "no sequencer"))
                self.assertEqual(os.path.exists("/dev/snd/seq"), what != "no sequencer")
                s.start_program()
                poll(lambda: "RUNNING" in open(PLAYBACK).read(), 20, "sound on the loopback card")
                self.assertEqual(s.popups(), [], "no message box: the synthesiser opened")
                if what != "no sequencer":
                    path = os.path.join(s.artefacts, "key24.wav")
                    rec = s.spawn("arecord", ["arecord", "-D", "plughw:Loopback,1,0", "-f",
                                              "S16_LE", "-r", "16000", "-d", str(RECORD_S), path])
                    self.play_key_24(s)
                    self.assertEqual(rec.wait(timeout=30), 0, "arecord's exit status")
                    self.assert_middle_c(path)
                self.assertEqual(s.close(), 0)
