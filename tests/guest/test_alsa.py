"""The installed package on a real kernel's ALSA: presses heard on a Virtual Raw MIDI card, a
quit signal, a card unplugged under a held key, the built-in synthesiser on a loopback card."""

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
DESKTOP = "/usr/share/applications/io.github.nolvex.keyboard.desktop"
PLAYBACK = "/proc/asound/Loopback/pcm0p/sub0/status"  # the loopback card's first playback


def modprobe(*argv):
    subprocess.run(["modprobe", *argv], check=True)


def desktop_entry():
    with open(DESKTOP, encoding="utf-8") as f:
        return dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)


# The tests run in name order (built-in, desktop, first): the sequencer is loaded after the
# synthesiser's test.
class AlsaTest(MiddleC, unittest.TestCase):
    def test_built_in_synthesiser_not_on_the_loopback_card_without_ports_or_not_middle_c(self):
        with Session(self, jack=False, capture=False, program=False) as s:
            for what, module in [("no sequencer", "snd-aloop"), ("Midi Through", "snd-seq-dummy")]:
                with self.subTest(what):
                    modprobe(module)  # the loopback card is card 0, ALSA's default
                    self.assertEqual(os.path.exists("/dev/snd/seq"), what != "no sequencer")
                    s.start_program()
                    poll(lambda: "RUNNING" in s.run(["cat", PLAYBACK]).stdout, 20,
                         "the synthesiser's sound on the loopback card")
                    self.assertEqual(s.popups(), [], "no message box")
                    if what != "no sequencer":
                        path = os.path.join(s.artefacts, "key24.wav")
                        rec = s.spawn("arecord", ["arecord", "-D", "plughw:Loopback,1,0", "-r",
                                                  "16000", "-fS16_LE", f"-d{RECORD_S}", path])
                        self.play_key_24(s)
                        self.assertEqual(rec.wait(timeout=30), 0, "arecord's exit status")
                        self.assert_middle_c(path)
                    self.assertEqual(s.close(), 0)

    def test_desktop_entry_or_metainfo_invalid_or_not_the_installed_program(self):
        subprocess.run(["desktop-file-validate", DESKTOP], check=True)
        subprocess.run(["appstreamcli", "validate", "--no-net",
                        "/usr/share/metainfo/io.github.nolvex.keyboard.metainfo.xml"], check=True)
        entry = desktop_entry()
        self.assertEqual((entry["Name"], shutil.which(entry["Exec"].split()[0]), os.path.exists(
            f"/usr/share/icons/hicolor/scalable/apps/{entry['Icon']}.svg")),
            (harness.WINDOW_NAME, harness.BINARY, True))

    def test_first_card_not_device_0_wrong_bytes_or_note_left_on_at_a_signal_or_an_unplug(self):
        modprobe("snd-seq-dummy")  # Midi Through, then two Virtual Raw MIDI cards: 1 and 2
        modprobe("snd-virmidi", "index=1,2", "enable=1,1", "midi_devs=2")
        with Session(self, jack=False, capture=False, program=False) as s:
            first, other = RawCapture(s, "hw:1,0"), RawCapture(s, "hw:2,0", "other")
            s.start_program()
            self.assertIn(f'"{desktop_entry()["StartupWMClass"]}"', s.xprop("WM_CLASS"))
            for what, point, button, note in PRESSES:
                with self.subTest(what):
                    since = first.mark()
                    s.click(point, button)
                    self.assertEqual(first.wait_messages(3, since), played(note))
            # (family, entry, program): "071 - Clarinet ", "119 - Reverse Cymbal"; their labels
            # are checked in kelvora_window_test
            for family, entry, program in [(8, 7, 71), (14, 7, 119)]:
                since = first.mark()
                s.choose(0, family, entry)
                s.click(key_point(0))  # nothing is sent by the choice itself
                self.assertEqual(first.wait_messages(3, since), played(36, program=program))
            since = first.mark()
            s.move_to(px(8960, 1030))  # on the velocity bar
            s.xdotool("click", 5)  # the wheel: 3 steps down, to velocity 124
            s.click(key_point(0))
            s.press(key_point(0))
            first.wait_messages(5, since)
            s.program.send_signal(signal.SIGTERM)
            self.assertEqual(s.wait_exit(), -signal.SIGTERM)
            s.release()
            self.assertEqual(first.wait_messages(6, since), played(36, 124, 119) * 2)
            s.start_program()  # card 1 unplugged under a held key, card 2 still listening
            s.run(["aconnect", f"{harness.WINDOW_NAME}:0", "Virtual Raw MIDI 2-0:0"])
            s.press(key_point(0))
            other.wait_messages(2)
            with open("/sys/bus/platform/drivers/snd_virmidi/unbind", "w") as f:
                f.write("snd_virmidi.0")
            self.assertFalse(os.path.exists("/proc/asound/card1"), "card 1 unplugged")
            self.assertEqual(s.close(), 0)
            self.assertEqual(other.wait_messages(3), played(36))
