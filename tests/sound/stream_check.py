#!/usr/bin/env python3
"""The streaming test's sounds and what their recordings must show.

  stream_check.py make FOLDER        writes the WAVE files the player streams
  stream_check.py SCENE RECORDING    checks the recording of a scene

The 16-bit stereo files number their frames: the left channel is a triangle
rising or falling 2 steps a frame, the right channel counts the triangle's
8192-frame legs. Every frame of the recording thus tells which frame of the
file it is, to within a frame, and a skipped, repeated or stale block shows as
a jump. Silence is no valid frame, so the padding after the end shows too.

Under load the audio path itself now and then plays a few milliseconds of
silence and then goes on with the very next frame: such a pause loses no
frame of the file, unlike a gap of the stream's own, and short ones are let
through.
"""
import array
import sys
import wave

RATE = 44100
LEG = 8192  # frames per leg of the triangle
STEP = 500  # right channel per leg
BASE = 2000  # right channel of leg 0, far from silence
QUIET = 64  # below this both channels are silence
SLACK = 3  # frames a decoded position may be off
LONG_FRAMES = 10 * RATE
LOOP_FRAMES = RATE * 105 // 100  # ends inside a half of a 200 ms buffer
HALF_FRAMES = RATE // 10  # a half of the 200 ms buffer
DROPOUT = RATE // 40  # the longest pause of the audio path let through
TONE_FRAMES = RATE // 2


def numbered_frame(n):
    leg, phase = divmod(n, LEG)
    left = 2 * phase - LEG if leg % 2 == 0 else LEG - 2 * phase
    return left, BASE + leg * STEP


def write_wave(path, channels, width, frames):
    with wave.open(path, "wb") as out:
        out.setnchannels(channels)
        out.setsampwidth(width)
        out.setframerate(RATE)
        out.writeframes(frames)


def make(folder):
    for name, count in (("long.wav", LONG_FRAMES), ("loop.wav", LOOP_FRAMES)):
        samples = array.array("h")
        for n in range(count):
            samples.extend(numbered_frame(n))
        write_wave(f"{folder}/{name}", 2, 2, samples.tobytes())
    # 8-bit mono: a 441 Hz square wave around the unsigned midpoint.
    tone = bytes(0x80 + (48 if n % 100 < 50 else -48) for n in range(TONE_FRAMES))
    write_wave(f"{folder}/tone8.wav", 1, 1, tone)


def recording(path):
    with wave.open(path, "rb") as rec:
        if (rec.getnchannels(), rec.getsampwidth(), rec.getframerate()) != (2, 2, RATE):
            sys.exit(f"{path}: not 16-bit stereo at {RATE} Hz")
        samples = array.array("h", rec.readframes(rec.getnframes()))
    if sys.byteorder == "big":
        samples.byteswap()
    return list(zip(samples[0::2], samples[1::2]))


def decode(left, right):
    """The file frame a recorded frame shows; None for silence, -1 for
    anything else."""
    if abs(left) < QUIET and abs(right) < QUIET:
        return None
    leg = round((right - BASE) / STEP)
    if leg < 0 or abs(right - BASE - leg * STEP) > STEP // 4:
        return -1
    phase = (left + LEG) / 2 if leg % 2 == 0 else (LEG - left) / 2
    return leg * LEG + phase


class Run:
    """Frames of the file recorded one after another: where the run starts
    and ends in the file, and the recorded frames between that were silent
    or undecodable."""

    def __init__(self, at, frame):
        self.start = self.end = frame
        self.frames = 1
        self.first_at = self.last_at = at
        self.pauses = []  # (recording frame, silent frames, file frame) where it went on
        self.unreadable = 0

    def __repr__(self):
        return (f"file frames {self.start:.0f} to {self.end:.0f} ({self.frames} recorded), "
                f"pauses {self.pauses}, unreadable {self.unreadable}")


def runs(frames, wrap=None):
    """Splits the recording into runs of consecutive file frames; with wrap,
    the file's end continues at its start."""
    found, silent, unreadable = [], 0, 0
    for at, (left, right) in enumerate(frames):
        frame = decode(left, right)
        if frame is None:
            silent += 1
            continue
        if frame < 0:
            unreadable += 1
            continue
        run = found[-1] if found else None
        step = frame - run.end if run else 0
        if run and wrap and step < -wrap / 2:
            step += wrap
        if run and abs(step - 1) <= SLACK:
            run.end, run.frames, run.last_at = frame, run.frames + 1, at
            if silent:
                run.pauses.append((at, silent, frame))
            run.unreadable += unreadable
        else:
            found.append(Run(at, frame))
        silent = unreadable = 0
    return found


def check(ok, text, failures):
    print(("  ok    " if ok else "  FAIL  ") + text)
    if not ok:
        failures.append(text)


def no_gap(pauses, failures):
    if pauses:
        print(f"  note  the audio path paused {len(pauses)} times, {sum(p[1] for p in pauses)} frames in all")
    check(all(p[1] <= DROPOUT for p in pauses), "no gap: only short pauses of the audio path, each losing no frame", failures)


def silent_after(frames, at):
    return max((max(abs(l), abs(r)) for l, r in frames[at:]), default=0)


def expect_runs(frames, count, what, failures, wrap=None):
    """The recording's runs when there are count of them, else None."""
    found = runs(frames, wrap)
    print(f"  runs: {found}")
    check(len(found) == count, what, failures)
    return found if len(found) == count else None


def scene_once(frames, failures):
    """The long file once, the buffer playing out by itself, then played
    again: from the data's start."""
    found = expect_runs(frames, 2, "two runs: the whole file, then the replay", failures)
    if not found:
        return
    whole, again = found
    check(whole.start <= SLACK and whole.end >= LONG_FRAMES - 1 - SLACK, "every frame from first to last", failures)
    check(whole.frames >= LONG_FRAMES - 2 * SLACK and whole.unreadable <= SLACK,
          "continuous: no repeated or missing block", failures)
    no_gap(whole.pauses, failures)
    check(again.first_at - whole.last_at > RATE // 2, "silent after the end until played again", failures)
    check(silent_after(frames[: again.first_at], whole.last_at + 1) < QUIET, "padded with 16-bit silence", failures)
    check(again.start <= SLACK and again.frames > RATE // 2, "played again from the data's start", failures)


def scene_loop(frames, failures):
    """The short file looped, the loop asked for while it was playing."""
    found = expect_runs(frames, 1, "one run across the file's end", failures, wrap=LOOP_FRAMES)
    if not found:
        return
    run = found[0]
    check(run.start <= SLACK, "from the data's start: playing again did not restart it", failures)
    check(run.frames > 2 * LOOP_FRAMES, "wrapped to the data's start at least twice", failures)
    check(run.unreadable <= SLACK, "nothing else at the wraps", failures)
    no_gap(run.pauses, failures)


def scene_resume(frames, failures):
    """Stopped after a second, played again: the buffer goes on where it was,
    then the file comes from the data's start."""
    found = expect_runs(frames, 2, "two runs: up to the stop and on, then from the start", failures)
    if not found:
        return
    before, after = found
    stop = max(before.pauses, key=lambda p: p[1], default=(0, 0, before.end + 1))
    check(before.start <= SLACK and stop[1] > RATE // 5, "the stop is the first run's long pause", failures)
    resumed = int(before.end - stop[2]) + 1
    check(0 < resumed <= 2 * HALF_FRAMES, f"the buffer went on for {resumed} frames", failures)
    check(after.start <= SLACK, "then the file from the data's start", failures)
    no_gap([p for p in before.pauses + after.pauses if p is not stop], failures)


def scene_eight(frames, failures):
    """An 8-bit file to its end: the tone, then silence, not a step."""
    loud = [at for at, (l, r) in enumerate(frames) if max(abs(l), abs(r)) > 4096]
    check(bool(loud), "the tone is recorded", failures)
    if not loud:
        return
    span = loud[-1] - loud[0] + 1
    check(abs(span - TONE_FRAMES) < RATE // 100, f"the tone lasts {span} frames: its padding is silent", failures)
    tail = silent_after(frames, loud[-1] + 100)
    check(tail < 4 * QUIET and len(frames) - loud[-1] > RATE // 4, f"silent after it (peak {tail})", failures)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    scene, path = sys.argv[1:]
    if scene == "make":
        make(path)
        return
    scenes = {"once": scene_once, "loop": scene_loop, "resume": scene_resume, "eight": scene_eight}
    failures = []
    scenes[scene](recording(path), failures)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
