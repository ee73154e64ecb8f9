#!/usr/bin/env python3
"""The chime as heard: records the null sink while the voice program rings
the chime through the program's own code, and finds each sample in the
recording by its pitch (every chime voice has a fundamental of its own).

    heard_test.py VOICE.EXE OUTPUT-FOLDER    (run by ./quillet test)
"""

import array
import math
import os
import shutil
import signal
import subprocess
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import sound  # noqa: E402

RATE = 44100
FRAME_MS = 5
# Resource ids by sample index, as the chime loads them.
CHIME_SOUNDS = [152, 153, 154, 158, 156, 157, 155]
# A band's onset: its first frame within this many dB of its loudest.
ONSET_DB = 20

with open(sound.DEFAULT_VOICES, encoding="utf-8") as f:
    PITCH = {v["id"]: v["fundamental"] for v in sound.parse_voices(f.read())}

VOICE, OUT = sys.argv[1:3] if len(sys.argv) == 3 else (None, None)


def record(name, scenario):
    """Records the scenario; returns the recording's path and what the voice
    program printed, as {word: [numbers...]} in the order printed."""
    path = os.path.join(OUT, name + ".wav")
    recorder = subprocess.Popen(
        ["parecord", "--device=null.monitor", "--file-format=wav", "--format=s16le",
         "--rate=%d" % RATE, "--channels=2", "--latency-msec=20", path])
    time.sleep(0.3)
    run = subprocess.run([os.environ["WINE"], VOICE, scenario], capture_output=True, text=True,
                         timeout=60)
    time.sleep(0.3)
    recorder.send_signal(signal.SIGINT)
    recorder.wait()
    if run.returncode != 0:
        raise AssertionError("the voice program failed for %s: %d\n%s"
                             % (scenario, run.returncode, run.stderr))
    printed = {}
    for line in run.stdout.splitlines():
        words = line.split()
        printed.setdefault(words[0], []).append([int(w) for w in words[1:]])
    return path, printed


def band(path, resource):
    """The level in dB of each 5 ms frame of the recording, in a narrow band
    around the fundamental of the resource's voice."""
    hz = PITCH[resource]
    raw = subprocess.run(["sox", path, "-t", "f32", "-c", "1", "-", "sinc", "-n", "4096",
                          "%d-%d" % (hz - 40, hz + 40)], capture_output=True, check=True).stdout
    samples = array.array("f")
    samples.frombytes(raw[:len(raw) // 4 * 4])
    n = RATE * FRAME_MS // 1000
    levels = []
    for i in range(0, len(samples) - n, n):
        power = sum(x * x for x in samples[i:i + n]) / n
        levels.append(10 * math.log10(max(power, 1e-14)))
    return levels


def onset(levels, after_ms=0):
    """Milliseconds to the first frame after the time within ONSET_DB of the
    band's loudest; None for a band that stays silent."""
    first = after_ms // FRAME_MS
    peak = max(levels[first:], default=-140)
    if peak < -60:
        return None
    for i in range(first, len(levels)):
        if levels[i] >= peak - ONSET_DB:
            return i * FRAME_MS
    return None


def level_at(levels, ms_from, ms_to):
    """The loudest frame between the two times."""
    return max(levels[ms_from // FRAME_MS:ms_to // FRAME_MS + 1])


class Heard(unittest.TestCase):
    def test_a_fan_click_rings_within_half_a_second_of_its_fan_tick(self):
        path, printed = record("fan", "fan")
        (click,), (tick,) = printed["click"][0], printed["tick"][0]
        self.assertGreater(tick - click, 300, "the fan tick comes 384 ms after the click")
        marker = onset(band(path, CHIME_SOUNDS[6]))
        self.assertIsNotNone(marker, "the marker is not in the recording")
        # The ring is the earliest onset among the samples a fan stroke rings.
        rings = [onset(band(path, CHIME_SOUNDS[k]), marker + click) for k in range(6)]
        heard = [r for r in rings if r is not None]
        self.assertTrue(heard, "no sample rang after the click")
        late = min(heard) - marker - tick
        print("fan: ring %d ms after its fan tick" % late)
        self.assertGreaterEqual(late, -100, "rung before the fan tick")
        self.assertLessEqual(late, 500, "not rung within half a second of the fan tick")

    def test_a_typhoon_swing_rings_four_times_one_tick_apart(self):
        path, printed = record("typhoon", "typhoon")
        rings = printed["ring"]
        self.assertEqual(len(rings), 4, "four ringing steps")
        self.assertEqual(len({k for k, _ in rings}), 4, "four different samples")
        onsets = [onset(band(path, CHIME_SOUNDS[k])) for k, _ in rings]
        print("typhoon: samples %s, ticks at %s ms, heard at %s ms"
              % ([k for k, _ in rings], [t for _, t in rings], onsets))
        self.assertNotIn(None, onsets, "a ring is missing from the recording")
        for i in range(1, 4):
            heard_gap = onsets[i] - onsets[i - 1]
            tick_gap = rings[i][1] - rings[i - 1][1]
            self.assertTrue(100 <= heard_gap <= 400, "rings %d ms apart" % heard_gap)
            self.assertLessEqual(abs(heard_gap - tick_gap), 100,
                                 "heard %d ms apart, rung %d ms apart" % (heard_gap, tick_gap))

    def test_seven_samples_sound_at_once(self):
        path, _ = record("seven", "seven")
        levels = [band(path, resource) for resource in CHIME_SOUNDS]
        onsets = [onset(each) for each in levels]
        print("seven: heard at %s ms" % onsets)
        self.assertNotIn(None, onsets, "a sample is missing from the recording")
        self.assertLessEqual(max(onsets) - min(onsets), 150, "not started together")
        # A while after the last start every sample still sounds, each one
        # decaying at its own pace; one that had been cut off would be silent.
        later = max(onsets) + 250
        for k, each in enumerate(levels):
            now = level_at(each, later, later + 20)
            self.assertGreaterEqual(now, max(max(each) - 30, -70),
                                    "sample %d is not sounding with the others" % k)

    def test_the_simple_sound_call_is_heard_and_a_second_call_cuts_off_the_first(self):
        path, printed = record("sndplay", "sndplay")
        (second,), = printed["second"]
        first_levels, second_levels = band(path, 152), band(path, 154)
        first = onset(first_levels)
        self.assertIsNotNone(first, "resource 152 is not in the recording")
        cut = onset(second_levels, first + 100)
        self.assertIsNotNone(cut, "resource 154 is not in the recording")
        # The first call opens the output device, so it is heard later after
        # its call than the second.
        print("sndplay: 152 at %d ms, 154 at %d ms (called %d ms later)" % (first, cut, second))
        before = level_at(first_levels, cut - 150, cut - 50)
        after = level_at(first_levels, cut + 200, cut + 400)
        print("sndplay: 152 at %.1f dB before the second call, %.1f dB after" % (before, after))
        self.assertGreaterEqual(before, max(first_levels) - 20, "152 stopped before the second call")
        self.assertLessEqual(after, before - 25, "152 sounds on after the second call")


if __name__ == "__main__":
    if VOICE is None:
        sys.exit(__doc__)
    if "WINE" not in os.environ or "PULSE_SERVER" not in os.environ:
        sys.exit("run the tests through ./quillet test")
    shutil.rmtree(OUT, ignore_errors=True)
    os.makedirs(OUT)
    unittest.main(argv=sys.argv[:1], verbosity=2)
