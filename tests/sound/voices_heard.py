#!/usr/bin/env python3
"""voices_heard.py RECORDING.wav VOICES.txt: which of the chime's voices ring
in a recording of the null sink, e.g. "153 156". A ring starts where a 10 ms
frame is louder than -50 dBFS and four times the frame before; it is named by
the strongest fundamental in the 100 ms after, if that voice at least doubled
there: a voice still ringing from before only fades."""
import math
import struct
import sys
import wave


def power(samples, hz, rate):  # Goertzel
    c, a, b = 2 * math.cos(2 * math.pi * hz / rate), 0.0, 0.0
    for x in samples:
        a, b = x + c * a - b, a
    return a * a + b * b - c * a * b


fundamentals, voice = {}, None
for words in (line.split("#")[0].split() for line in open(sys.argv[2])):
    voice = words[1] if words[:1] == ["voice"] else voice
    fundamentals.update({voice: float(words[1])} if words[:1] == ["fundamental"] else {})
with wave.open(sys.argv[1]) as w:
    rate, channels, data = w.getframerate(), w.getnchannels(), w.readframes(w.getnframes())
data = struct.unpack("<%dh" % (len(data) // 2), data)
mono = [sum(data[i:i + channels]) / (channels * 32768) for i in range(0, len(data), channels)]
frame, window = rate // 100, rate // 10
level = [sum(x * x for x in mono[i:i + frame]) / frame for i in range(0, len(mono) - frame, frame)]
heard = set()
for k in range(1, len(level)):
    if level[k] > 1e-5 and level[k] > 4 * level[k - 1]:
        start = k * frame
        before, after = ({v: power(part, hz, rate) for v, hz in fundamentals.items()}
                         for part in (mono[max(0, start - window):start], mono[start:start + window]))
        loudest = max(after, key=after.get)
        if after[loudest] > 2 * before[loudest]:
            heard.add(loudest)
print(*sorted(heard))
