#!/usr/bin/env python3
"""Render Quillet's chime voices from resources/sounds/voices.txt to WAV.

    python3 tools/sound.py              # writes resources/sounds/chime152.wav ...
    python3 tools/sound.py --out DIR    # writes the same files into DIR

Output is byte-for-byte reproducible: noise comes from a seeded xorshift32,
and every sample is rounded half away from zero before it is stored.

voices.txt format
-----------------
'#' starts a comment; blank lines are ignored.  Each voice is a block that
starts with "voice ID" (written to chimeID.wav) and holds these lines:

  samples N             exact length in samples (data chunk = 2*N bytes)
  peak DB               level of the loudest sample, dBFS (must be < 0)
  fundamental HZ        partial ratios are multiplied by this
  attack MS             raised-cosine rise applied to the ringing partials
  strike MS LEVEL HZ Q  the clapper's tick: a noise burst MS long, band-passed
                        at HZ with quality Q, peaking at LEVEL (same scale as
                        partial amplitudes)
  seed N                xorshift32 seed for the strike noise (nonzero)
  tail FADE_MS SIL_MS   raised-cosine fade to zero, then SIL_MS of exact
                        silence at the very end of the file
  partial RATIO +HZ AMP DECAY
                        a sine at RATIO*fundamental + HZ, starting at phase 0
                        with amplitude AMP, decaying as exp(-t/DECAY seconds).
                        Two partials at the same ratio with a small +HZ apart
                        beat at that rate, like the split modes of a real bell.

All levels are relative: the finished mix is scaled so its peak sits at
'peak' dBFS.  Format: 22050 Hz, mono, 16-bit PCM, canonical 44-byte header.
"""

import argparse
import math
import os
import struct
import sys

RATE = 22050
# Partials above this alias audibly once rounded; keep voices under it.
MAX_PARTIAL_HZ = 10000.0

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
DEFAULT_VOICES = os.path.join(ROOT, "resources", "sounds", "voices.txt")
DEFAULT_OUT = os.path.join(ROOT, "resources", "sounds")

SINGLE_KEYS = {
    "samples": 1, "peak": 1, "fundamental": 1, "attack": 1,
    "strike": 4, "seed": 1, "tail": 2,
}


class VoiceError(Exception):
    pass


def parse_voices(text):
    """Return a list of voice dicts in file order."""
    voices = []
    cur = None
    for lineno, raw in enumerate(text.splitlines(), 1):
        line = raw.split("#", 1)[0].strip()
        if not line:
            continue
        words = line.split()
        key, args = words[0], words[1:]
        where = "line %d" % lineno
        if key == "voice":
            if len(args) != 1 or not args[0].isdigit():
                raise VoiceError("%s: 'voice' needs a numeric id" % where)
            cur = {"id": int(args[0]), "partials": [], "line": lineno}
            voices.append(cur)
            continue
        if cur is None:
            raise VoiceError("%s: '%s' before any 'voice'" % (where, key))
        try:
            if key == "partial":
                if len(args) != 4:
                    raise VoiceError("%s: partial needs RATIO +HZ AMP DECAY" % where)
                cur["partials"].append(tuple(float(a) for a in args))
            elif key in SINGLE_KEYS:
                if len(args) != SINGLE_KEYS[key]:
                    raise VoiceError("%s: '%s' takes %d value(s)"
                                     % (where, key, SINGLE_KEYS[key]))
                if key in cur:
                    raise VoiceError("%s: '%s' given twice" % (where, key))
                if key in ("samples", "seed"):
                    cur[key] = int(args[0], 0)
                else:
                    vals = [float(a) for a in args]
                    cur[key] = vals[0] if len(vals) == 1 else vals
            else:
                raise VoiceError("%s: unknown key '%s'" % (where, key))
        except ValueError:
            raise VoiceError("%s: bad number in '%s'" % (where, line))
    for v in voices:
        check_voice(v)
    ids = [v["id"] for v in voices]
    if len(set(ids)) != len(ids):
        raise VoiceError("duplicate voice id")
    return voices


def check_voice(v):
    name = "voice %d" % v["id"]
    missing = [k for k in SINGLE_KEYS if k not in v]
    if missing:
        raise VoiceError("%s: missing %s" % (name, ", ".join(missing)))
    if not v["partials"]:
        raise VoiceError("%s: no partials" % name)
    if v["samples"] <= 0:
        raise VoiceError("%s: samples must be positive" % name)
    if not v["peak"] < 0:
        raise VoiceError("%s: peak must be below 0 dBFS" % name)
    if not 0 < v["seed"] < 2 ** 32:
        raise VoiceError("%s: seed must be a nonzero 32-bit value" % name)
    fade_ms, sil_ms = v["tail"]
    if (fade_ms + sil_ms) / 1000.0 * RATE >= v["samples"]:
        raise VoiceError("%s: tail longer than the voice" % name)
    for ratio, offset, amp, decay in v["partials"]:
        hz = ratio * v["fundamental"] + offset
        if not 0 < hz < MAX_PARTIAL_HZ:
            raise VoiceError("%s: partial at %.0f Hz out of range" % (name, hz))
        if decay <= 0:
            raise VoiceError("%s: decay must be positive" % name)
    if not 0 < v["strike"][2] < MAX_PARTIAL_HZ:
        raise VoiceError("%s: strike centre out of range" % name)


def xorshift32(state):
    """Endless stream of floats in [-1, 1) from a 32-bit xorshift."""
    while True:
        state ^= (state << 13) & 0xFFFFFFFF
        state ^= state >> 17
        state ^= (state << 5) & 0xFFFFFFFF
        yield state / 2147483648.0 - 1.0


def strike_burst(v):
    """The clapper's tick: band-passed noise under a quick, click-free swell."""
    dur_ms, level, centre, q = v["strike"]
    n = max(2, int(round(dur_ms / 1000.0 * RATE)))
    rise = max(1, int(round(0.001 * RATE)))  # 1 ms: sharp, yet no step to click
    # RBJ band-pass (0 dB peak gain); glass-on-glass contact is bright, not broadband.
    w0 = 2.0 * math.pi * centre / RATE
    alpha = math.sin(w0) / (2.0 * q)
    a0 = 1.0 + alpha
    b0, b2 = alpha / a0, -alpha / a0
    a1, a2 = -2.0 * math.cos(w0) / a0, (1.0 - alpha) / a0
    noise = xorshift32(v["seed"])
    x1 = x2 = y1 = y2 = 0.0
    out = []
    for i in range(n):
        x = next(noise)
        y = b0 * x + b2 * x2 - a1 * y1 - a2 * y2
        x2, x1, y2, y1 = x1, x, y1, y
        if i < rise:
            env = 0.5 - 0.5 * math.cos(math.pi * i / rise)
        else:
            env = math.exp(-(i - rise) / (n / 5.0))
        # Taper the last fifth so the burst lands exactly on zero.
        taper_from = n - n // 5
        if i >= taper_from:
            env *= 0.5 + 0.5 * math.cos(math.pi * (i - taper_from) / (n - taper_from))
        out.append(env * y)
    # LEVEL is the burst's peak, so it reads on the same scale as partial amps.
    top = max(abs(s) for s in out)
    return [level * s / top for s in out]


def render(v):
    """Float mix of one voice, before scaling; exact zeros in the silent tail."""
    n = v["samples"]
    attack_n = max(1, int(round(v["attack"] / 1000.0 * RATE)))
    fade_ms, sil_ms = v["tail"]
    sil_n = int(round(sil_ms / 1000.0 * RATE))
    fade_n = int(round(fade_ms / 1000.0 * RATE))
    end = n - sil_n               # first sample of exact silence
    fade_start = end - fade_n

    mix = [0.0] * n
    for ratio, offset, amp, decay in v["partials"]:
        w = 2.0 * math.pi * (ratio * v["fundamental"] + offset) / RATE
        k = 1.0 / (decay * RATE)
        for i in range(end):
            mix[i] += amp * math.exp(-i * k) * math.sin(w * i)

    for i in range(min(attack_n, end)):
        mix[i] *= 0.5 - 0.5 * math.cos(math.pi * i / attack_n)

    for i, s in enumerate(strike_burst(v)):
        if i < end:
            mix[i] += s

    for i in range(fade_start, end):
        mix[i] *= 0.5 + 0.5 * math.cos(math.pi * (i - fade_start) / fade_n)
    return mix


def round_half_away(x):
    return int(math.floor(x + 0.5)) if x >= 0 else -int(math.floor(-x + 0.5))


def quantise(mix, peak_db):
    top = max(abs(s) for s in mix)
    scale = 32767.0 * 10.0 ** (peak_db / 20.0) / top
    return [max(-32767, min(32767, round_half_away(s * scale))) for s in mix]


def wav_bytes(samples):
    data = struct.pack("<%dh" % len(samples), *samples)
    header = struct.pack("<4sI4s4sIHHIIHH4sI",
                         b"RIFF", 36 + len(data), b"WAVE",
                         b"fmt ", 16, 1, 1, RATE, RATE * 2, 2, 16,
                         b"data", len(data))
    return header + data


def natural_level_db(v, t):
    """Envelope of the ringing at time t (s) relative to its start, in dB,
    summing partials by amplitude (worst case, ignoring phase)."""
    start = sum(p[2] for p in v["partials"])
    at = sum(p[2] * math.exp(-t / p[3]) for p in v["partials"])
    return 20.0 * math.log10(at / start)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", default=DEFAULT_OUT, help="output folder")
    ap.add_argument("--voices", default=DEFAULT_VOICES, help="parameter file")
    ap.add_argument("-q", "--quiet", action="store_true")
    args = ap.parse_args(argv)

    with open(args.voices, encoding="utf-8") as f:
        try:
            voices = parse_voices(f.read())
        except VoiceError as e:
            sys.exit("%s: %s" % (args.voices, e))
    os.makedirs(args.out, exist_ok=True)
    for v in voices:
        pcm = quantise(render(v), v["peak"])
        path = os.path.join(args.out, "chime%d.wav" % v["id"])
        with open(path, "wb") as f:
            f.write(wav_bytes(pcm))
        if not args.quiet:
            fade_s = v["samples"] / RATE - sum(v["tail"]) / 1000.0
            print("%s  %6.0f Hz  peak %5.1f dBFS  %.3f s  ringing at fade %.0f dB"
                  % (os.path.basename(path), v["fundamental"],
                     20 * math.log10(max(abs(s) for s in pcm) / 32768.0),
                     v["samples"] / RATE, natural_level_db(v, fade_s)))


if __name__ == "__main__":
    main()
