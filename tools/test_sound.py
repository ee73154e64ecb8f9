#!/usr/bin/env python3
"""Checks for the chime generator and the WAV files it left in the tree.

    python3 tools/test_sound.py
"""

import math
import os
import struct
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
SOUNDS = os.path.join(ROOT, "resources", "sounds")
sys.path.insert(0, HERE)
import sound  # noqa: E402

# Data-chunk sizes the program's resource table expects.
DATA_BYTES = {152: 190200, 153: 165970, 154: 91800, 155: 86878,
              156: 76200, 157: 82748, 158: 90544}


def read_wav(path):
    with open(path, "rb") as f:
        b = f.read()
    head = struct.unpack("<4sI4s4sIHHIIHH4sI", b[:44])
    n = (len(b) - 44) // 2
    return b, head, struct.unpack("<%dh" % n, b[44:44 + 2 * n])


def voices():
    with open(sound.DEFAULT_VOICES, encoding="utf-8") as f:
        return sound.parse_voices(f.read())


class Files(unittest.TestCase):
    def test_regenerates_identical_bytes(self):
        with tempfile.TemporaryDirectory() as tmp:
            subprocess.run([sys.executable, os.path.join(HERE, "sound.py"),
                            "--out", tmp, "-q"], check=True)
            made = sorted(os.listdir(tmp))
            self.assertEqual(made, ["chime%d.wav" % i for i in sorted(DATA_BYTES)])
            for name in made:
                with open(os.path.join(tmp, name), "rb") as a, \
                        open(os.path.join(SOUNDS, name), "rb") as b:
                    self.assertEqual(a.read(), b.read(), name)

    def test_header_and_size(self):
        for vid, size in DATA_BYTES.items():
            b, head, _ = read_wav(os.path.join(SOUNDS, "chime%d.wav" % vid))
            self.assertEqual(len(b), 44 + size)
            self.assertEqual(head, (b"RIFF", 36 + size, b"WAVE", b"fmt ", 16,
                                    1, 1, 22050, 44100, 2, 16, b"data", size))

    def test_level_and_edges(self):
        for vid in DATA_BYTES:
            _, _, s = read_wav(os.path.join(SOUNDS, "chime%d.wav" % vid))
            peak_db = 20 * math.log10(max(abs(x) for x in s) / 32768.0)
            self.assertTrue(-6.5 < peak_db < -3.0, (vid, peak_db))
            self.assertEqual(s[0], 0, vid)
            # The tail ends in true silence, reached gradually.
            self.assertEqual(set(s[-400:]), {0}, vid)
            last = max(i for i, x in enumerate(s) if x)
            self.assertLessEqual(max(abs(x) for x in s[last - 200:last + 1]), 8, vid)
            # The first millisecond only swells; the strike is not a step.
            self.assertLess(max(abs(x) for x in s[:5]), 2000, vid)

    def test_rings_and_decays(self):
        for vid in DATA_BYTES:
            _, _, s = read_wav(os.path.join(SOUNDS, "chime%d.wav" % vid))
            w = 2205

            def rms(at):
                seg = s[at:at + w]
                return math.sqrt(sum(x * x for x in seg) / len(seg))
            early, mid, late = rms(w), rms(len(s) // 3), rms(2 * len(s) // 3)
            self.assertGreater(early, 4 * mid, vid)
            self.assertGreater(mid, 4 * late, vid)


class Voices(unittest.TestCase):
    def test_voice_set(self):
        vs = voices()
        self.assertEqual({v["id"]: 2 * v["samples"] for v in vs}, DATA_BYTES)
        self.assertEqual(len({v["fundamental"] for v in vs}), len(vs))
        for v in vs:
            self.assertTrue(1500 <= v["fundamental"] <= 4000, v["id"])
            ratios = [p[0] for p in v["partials"]]
            self.assertTrue(any(abs(r - round(r)) > 0.1 for r in ratios), v["id"])
            # Ringing has died well down before the closing fade begins.
            fade_at = v["samples"] / sound.RATE - sum(v["tail"]) / 1000.0
            self.assertLess(sound.natural_level_db(v, fade_at), -45, v["id"])

    def test_noise_is_seeded(self):
        v = voices()[0]
        self.assertEqual(sound.strike_burst(v), sound.strike_burst(v))
        other = dict(v, seed=v["seed"] ^ 1)
        self.assertNotEqual(sound.strike_burst(v), sound.strike_burst(other))

    def test_rounding(self):
        self.assertEqual([sound.round_half_away(x) for x in (0.5, -0.5, 1.49, -2.5)],
                         [1, -1, 1, -3])

    def test_parser_rejects_bad_blocks(self):
        good = ("voice 1\n samples 100\n peak -3\n fundamental 2000\n attack 1\n"
                " strike 2 0.1 6000 1\n seed 7\n tail 1 1\n partial 1 0 1 0.1\n")
        self.assertEqual(sound.parse_voices(good)[0]["samples"], 100)
        for bad in (good.replace(" seed 7\n", ""),
                    good.replace("peak -3", "peak 1"),
                    good.replace("partial 1 0 1 0.1", "partial 6 0 1 0.1"),
                    good.replace("partial 1 0 1 0.1", "partial 1 0 1"),
                    good + " colour red\n"):
            with self.assertRaises(sound.VoiceError):
                sound.parse_voices(bad)


if __name__ == "__main__":
    unittest.main()
