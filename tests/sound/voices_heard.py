#!/usr/bin/env python3
"""Which of the chime's voices ring in a recording of the null sink.

    voices_heard.py RECORDING.wav VOICES.txt    prints e.g. "heard voices: 153 156"

Each ring is found by its onset, where the level jumps, and named by the
loudest fundamental in the 100 ms after it, if that voice at least doubled its
power there: a voice still ringing from before, which only fades, is not taken
for the new ring, nor is a dropout within one ring taken for a ring of its own.
"""
import math
import struct
import sys
import wave

FRAME = 0.01  # seconds per level frame
WINDOW = 0.1  # seconds heard on each side of an onset: 10 Hz apart, finer than the voices
JUMP = 4.0  # a frame with four times the power of the one before starts a ring (6 dB)
LOUD = 10 ** (-50 / 10)  # a ring's first frame is louder than -50 dBFS


def goertzel(samples, hz, rate):
    c, a, b = 2 * math.cos(2 * math.pi * hz / rate), 0.0, 0.0
    for x in samples:
        a, b = x + c * a - b, a
    return a * a + b * b - c * a * b


recording, voices_txt = sys.argv[1], sys.argv[2]
fundamentals, voice = {}, None
for line in open(voices_txt):
    words = line.split("#")[0].split()
    if words[:1] == ["voice"]:
        voice = words[1]
    elif words[:1] == ["fundamental"]:
        fundamentals[voice] = float(words[1])

with wave.open(recording) as w:
    rate, channels, n = w.getframerate(), w.getnchannels(), w.getnframes()
    data = struct.unpack("<%dh" % (n * channels), w.readframes(n))
mono = [sum(data[i:i + channels]) / (channels * 32768) for i in range(0, len(data), channels)]
frame, window = int(rate * FRAME), int(rate * WINDOW)
power = [sum(x * x for x in mono[i:i + frame]) / frame for i in range(0, len(mono) - frame, frame)]

heard = set()
for k in range(1, len(power)):
    if power[k] > LOUD and power[k] > JUMP * power[k - 1]:
        start = k * frame
        before, after = ({v: goertzel(part, hz, rate) for v, hz in fundamentals.items()}
                         for part in (mono[max(0, start - window):start], mono[start:start + window]))
        loudest = max(after, key=after.get)
        if after[loudest] > 2 * before[loudest]:
            heard.add(loudest)
print("heard voices:", *sorted(heard))
