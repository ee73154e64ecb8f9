#!/usr/bin/env python3
"""Build Quillet's pictures (BMP, ICO, CUR) from the text sources in resources/art.

Usage:
    python3 tools/art.py                 # write into resources/images/
    python3 tools/art.py --out DIR       # write into DIR instead
    python3 tools/art.py --preview DIR   # also write enlarged PNG previews into DIR

Output is byte-for-byte the same on every run: no timestamps, and everything is
walked in a fixed order.

Text format
-----------
palette.txt holds the shared 16-colour palette, one colour a line, in index order:

    L R G B    # comment

L is one printable character (not '#', '-' or a space).  The first entry must
be '.', pure black, index 0: it is the background of every bitmap.

Each picture file (chime0.txt ... chime5.txt, iconNNN.txt, cursorNNN.txt) is:

    # comment lines start with '#'; blank lines are ignored
    size W H            # required: grid width and height
    hotspot X Y         # cursors only: hot spot, from the top-left corner
    bits 4|8            # colour depth of the output (default 4)
    palette own         # start from an empty palette instead of the shared one
    colour L R G B      # add a colour (after the shared ones, or to 'own')
    ...then exactly H grid lines of exactly W characters each, top row first.

A grid character is a palette letter, or '-' for a transparent pixel (icons and
cursors only: AND mask 1, colour index 0).  A 4-bit picture may hold at most 16
colours, an 8-bit one at most 256 (the file gets a full 256-entry palette).

What is built
-------------
chimeP.txt (P = 0..5, 32x64)  -> chime{128+P}.bmp, 4 bpp
                              -> strip{200+10*(P+1)+K}.bmp, K = 0..7: the bottom
                                 half of the chime with the paper strip filled
                                 with pink from its bottom up; the fill gets
                                 lower as K grows, and its top row is light pink.
iconN.txt                     -> iconN.ico
cursorN.txt                   -> cursorN.cur

A chime must keep black strictly as background: every black pixel has to be
4-connected to the image border, and every pixel so connected is black.  The
program cuts the chime out by its black, so a black hole or outline inside it
would show the desktop through.  The generator refuses art that breaks this.
"""

import argparse
import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ART_DIR = os.path.join(ROOT, "resources", "art")
IMAGE_DIR = os.path.join(ROOT, "resources", "images")

TRANSPARENT = "-"
BACKGROUND = "."

CHIME_POSES = 6
CHIME_W, CHIME_H = 32, 64
HALF = CHIME_H // 2            # rows 0..31 bell, rows 32..63 strip
GAUGE_LEVELS = 8

# Palette letters with a fixed role; the palette file must define them all.
STRIP_LETTERS = "bvh"          # paper strip: plain, dark edge, highlight
PINK, LIGHT_PINK = "p", "q"    # gauge fill and its border row
STRING_LETTERS = "cs"          # clapper string: cream, shadow

# Fill heights as a fraction of the strip's height, level 0 .. level 7.  Evenly
# spaced from "almost all" down to "a thin band".
FILL_TOP = 0.92
FILL_BOTTOM = 0.10
MIN_STEP_PIXELS = 3            # consecutive levels must differ by this much


class ArtError(Exception):
    pass


# ---------------------------------------------------------------- parsing

def _colour(fields, where):
    if len(fields) != 4 or len(fields[0]) != 1:
        raise ArtError(f"{where}: expected 'L R G B'")
    letter = fields[0]
    if letter in "#-" or letter.isspace():
        raise ArtError(f"{where}: '{letter}' cannot be a palette letter")
    try:
        rgb = tuple(int(v) for v in fields[1:])
    except ValueError:
        raise ArtError(f"{where}: colour values must be integers") from None
    if any(not 0 <= v <= 255 for v in rgb):
        raise ArtError(f"{where}: colour values must be 0..255")
    return letter, rgb


def _strip_comment(line):
    i = line.find("#")
    return line if i < 0 else line[:i]


def read_palette(path):
    entries = []
    with open(path, encoding="utf-8") as f:
        for n, raw in enumerate(f, 1):
            line = _strip_comment(raw).strip()
            if not line:
                continue
            entries.append(_colour(line.split(), f"{path}:{n}"))
    letters = [l for l, _ in entries]
    if len(set(letters)) != len(letters):
        raise ArtError(f"{path}: a letter is defined twice")
    if len(entries) > 16:
        raise ArtError(f"{path}: {len(entries)} colours, at most 16 allowed")
    if not entries or entries[0] != (BACKGROUND, (0, 0, 0)):
        raise ArtError(f"{path}: the first entry must be '{BACKGROUND} 0 0 0'")
    needed = STRIP_LETTERS + PINK + LIGHT_PINK + STRING_LETTERS
    missing = [l for l in needed if l not in letters]
    if missing:
        raise ArtError(f"{path}: missing letters {''.join(missing)}")
    return entries


class Picture:
    def __init__(self, name, width, height, rows, palette, bits, hotspot):
        self.name = name
        self.width = width
        self.height = height
        self.rows = rows            # list of strings, top row first
        self.palette = palette      # list of (letter, rgb), index order
        self.bits = bits
        self.hotspot = hotspot
        self.index = {l: i for i, (l, _) in enumerate(palette)}

    def pixel(self, x, y):
        return self.rows[y][x]


def read_picture(path, shared):
    name = os.path.splitext(os.path.basename(path))[0]
    size = hotspot = None
    bits = 4
    own = False
    extra = []
    rows = []
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    for n, raw in enumerate(lines, 1):
        where = f"{path}:{n}"
        if raw.startswith("#") or not raw.strip():
            continue
        line = raw.rstrip()
        if " " not in line and "\t" not in line:
            rows.append(line)
            continue
        if rows:
            raise ArtError(f"{where}: header line after the grid started")
        fields = _strip_comment(line).split()
        key, args = fields[0], fields[1:]
        if key in ("size", "hotspot") and len(args) == 2:
            if not all(a.isdigit() for a in args):
                raise ArtError(f"{where}: '{key}' takes two whole numbers")
            value = (int(args[0]), int(args[1]))
            if key == "size":
                size = value
            else:
                hotspot = value
        elif key == "bits" and args in (["4"], ["8"]):
            bits = int(args[0])
        elif key == "palette" and args == ["own"]:
            own = True
        elif key == "colour":
            extra.append(_colour(args, where))
        else:
            raise ArtError(f"{where}: cannot read header '{line.strip()}'")
    if size is None:
        raise ArtError(f"{path}: no 'size' line")
    width, height = size
    if not (0 < width <= 256 and 0 < height <= 256):
        raise ArtError(f"{path}: size out of range")
    if len(rows) != height:
        raise ArtError(f"{path}: {len(rows)} grid rows, 'size' says {height}")
    for y, row in enumerate(rows):
        if len(row) != width:
            raise ArtError(f"{path}: row {y} is {len(row)} wide, not {width}")
    palette = ([] if own else list(shared)) + extra
    letters = [l for l, _ in palette]
    if len(set(letters)) != len(letters):
        raise ArtError(f"{path}: a palette letter is defined twice")
    if len(palette) > (1 << bits):
        raise ArtError(f"{path}: {len(palette)} colours do not fit in {bits} bits")
    known = set(letters) | {TRANSPARENT}
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            if ch not in known:
                raise ArtError(f"{path}: unknown letter '{ch}' at column {x}, row {y}")
    if hotspot is not None:
        hx, hy = hotspot
        if not (0 <= hx < width and 0 <= hy < height):
            raise ArtError(f"{path}: hot spot outside the picture")
    return Picture(name, width, height, rows, palette, bits, hotspot)


# ---------------------------------------------------------------- checks

def outside_black(pic):
    """Pixels reachable from the border through 4-connected black."""
    w, h = pic.width, pic.height
    seen = set()
    stack = [(x, y) for y in range(h) for x in range(w)
             if (x in (0, w - 1) or y in (0, h - 1)) and pic.pixel(x, y) == BACKGROUND]
    seen.update(stack)
    while stack:
        x, y = stack.pop()
        for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
            if 0 <= nx < w and 0 <= ny < h and (nx, ny) not in seen \
                    and pic.pixel(nx, ny) == BACKGROUND:
                seen.add((nx, ny))
                stack.append((nx, ny))
    return seen


def check_chime(pic, shared):
    where = f"{pic.name}.txt"
    if (pic.width, pic.height) != (CHIME_W, CHIME_H):
        raise ArtError(f"{where}: a chime is {CHIME_W}x{CHIME_H}")
    if pic.bits != 4 or pic.palette != shared or pic.hotspot:
        raise ArtError(f"{where}: a chime uses the shared palette, 4 bits, no hot spot")
    if any(TRANSPARENT in row for row in pic.rows):
        raise ArtError(f"{where}: chimes have no transparent pixels; use '.'")
    if pic.pixel(0, CHIME_H - 1) != BACKGROUND:
        raise ArtError(f"{where}: the bottom-left pixel must be background")
    outside = outside_black(pic)
    for y in range(pic.height):
        for x in range(pic.width):
            if pic.pixel(x, y) == BACKGROUND and (x, y) not in outside:
                raise ArtError(
                    f"{where}: black pixel at column {x}, row {y} is enclosed by the "
                    f"chime; black may only be background (use the dark rim colour)")
    for y in range(pic.height):
        for x in range(pic.width):
            ch = pic.pixel(x, y)
            if ch in STRIP_LETTERS + PINK + LIGHT_PINK and y < HALF:
                raise ArtError(f"{where}: strip colour in the bell half at {x},{y}")
            if ch not in STRIP_LETTERS + STRING_LETTERS + BACKGROUND and y >= HALF:
                raise ArtError(f"{where}: only string and strip may be below row "
                               f"{HALF - 1}; found '{ch}' at {x},{y}")
            if ch in PINK + LIGHT_PINK:
                raise ArtError(f"{where}: pink is kept for the gauge fill")
    if not any(ch in STRIP_LETTERS for row in pic.rows[HALF:] for ch in row):
        raise ArtError(f"{where}: no strip in the bottom half")


def check_same_bell(chimes):
    first = chimes[0]
    for pic in chimes[1:]:
        if pic.rows[:HALF] != first.rows[:HALF]:
            raise ArtError(f"{pic.name}.txt: the bell half differs from {first.name}.txt")


# ---------------------------------------------------------------- strips

def fill_heights(strip_rows):
    """Rows of pink for levels 0..7, evenly spaced over the strip's height."""
    span = strip_rows
    top = max(2, round(span * FILL_TOP))
    bottom = max(1, round(span * FILL_BOTTOM))
    return [round(top - (top - bottom) * k / (GAUGE_LEVELS - 1))
            for k in range(GAUGE_LEVELS)]


def strip_levels(chime):
    """The eight gauge pictures (lists of row strings, 32x32) for one pose."""
    half = chime.rows[HALF:]
    ys = [y for y, row in enumerate(half) if any(ch in STRIP_LETTERS for ch in row)]
    top, bottom = ys[0], ys[-1]
    heights = fill_heights(bottom - top + 1)
    levels = []
    counts = []
    for h in heights:
        border = bottom - h + 1
        out = []
        n = 0
        for y, row in enumerate(half):
            if y < border:
                out.append(row)
                continue
            colour = LIGHT_PINK if y == border else PINK
            new = "".join(colour if ch in STRIP_LETTERS else ch for ch in row)
            n += sum(ch in STRIP_LETTERS for ch in row)
            out.append(new)
        levels.append(out)
        counts.append(n)
    for k in range(1, GAUGE_LEVELS):
        if counts[k - 1] - counts[k] < MIN_STEP_PIXELS:
            raise ArtError(f"{chime.name}.txt: gauge levels {k - 1} and {k} differ by "
                           f"only {counts[k - 1] - counts[k]} pixels")
    return levels


# ---------------------------------------------------------------- writers

def _row_bytes(indices, bits):
    if bits == 8:
        data = bytes(indices)
    elif bits == 4:
        padded = list(indices) + [0] * (len(indices) % 2)
        data = bytes((padded[i] << 4) | padded[i + 1] for i in range(0, len(padded), 2))
    else:
        out = bytearray((len(indices) + 7) // 8)
        for i, bit in enumerate(indices):
            if bit:
                out[i // 8] |= 0x80 >> (i % 8)
        data = bytes(out)
    return data + b"\0" * (-len(data) % 4)


def _pixels(pic, rows):
    return [[0 if ch == TRANSPARENT else pic.index[ch] for ch in row] for row in rows]


def _palette_bytes(pic, entries):
    out = bytearray()
    for _, (r, g, b) in pic.palette:
        out += bytes((b, g, r, 0))
    out += b"\0" * (4 * (entries - len(pic.palette)))
    return bytes(out)


def _info_header(width, height, bits, image_size, colours):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0,
                       image_size, 2835, 2835, colours, 0)


def bmp_bytes(pic, rows):
    bits = 4
    pixels = b"".join(_row_bytes(r, bits) for r in reversed(_pixels(pic, rows)))
    palette = _palette_bytes(pic, 16)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + _info_header(pic.width, len(rows), bits, len(pixels), 16) \
        + palette + pixels


def icon_bytes(pic, kind):
    colours = 1 << pic.bits
    xor = b"".join(_row_bytes(r, pic.bits) for r in reversed(_pixels(pic, pic.rows)))
    mask = b"".join(_row_bytes([ch == TRANSPARENT for ch in row], 1)
                    for row in reversed(pic.rows))
    palette = _palette_bytes(pic, colours)
    image = _info_header(pic.width, pic.height * 2, pic.bits, len(xor) + len(mask),
                         colours) + palette + xor + mask
    if kind == 1:
        a, b = 1, pic.bits                  # planes, bit count
    else:
        a, b = pic.hotspot                  # hot spot x, y
    count = 16 if pic.bits == 4 else 0
    directory = struct.pack("<HHH", 0, kind, 1)
    entry = struct.pack("<BBBBHHII", pic.width % 256, pic.height % 256, count, 0,
                        a, b, len(image), 6 + 16)
    return directory + entry + image


# ---------------------------------------------------------------- previews

def png_bytes(rgb_rows, scale):
    height = len(rgb_rows) * scale
    width = len(rgb_rows[0]) * scale
    raw = bytearray()
    for row in rgb_rows:
        line = bytearray(b"\0")
        for px in row:
            line += bytes(px) * scale
        raw += bytes(line) * scale

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + \
            struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def preview_rows(pic, rows):
    colours = dict(pic.palette)
    out = []
    for y, row in enumerate(rows):
        line = []
        for x, ch in enumerate(row):
            if ch == TRANSPARENT:       # checkerboard so holes in the mask show
                line.append((96, 96, 96) if (x // 2 + y // 2) % 2 else (160, 160, 160))
            else:
                line.append(colours[ch])
        out.append(line)
    return out


def write_sheet(path, panels, scale, gap=2):
    """Panels (lists of RGB rows) side by side on a grey ground."""
    height = max(len(p) for p in panels)
    grey = (40, 40, 40)
    rows = [[] for _ in range(height)]
    for p in panels:
        width = len(p[0])
        for y in range(height):
            rows[y].extend(p[y] if y < len(p) else [grey] * width)
            rows[y].extend([grey] * gap)
    with open(path, "wb") as f:
        f.write(png_bytes(rows, scale))


# ---------------------------------------------------------------- main

def build(out_dir, preview_dir=None, art_dir=ART_DIR):
    shared = read_palette(os.path.join(art_dir, "palette.txt"))
    chimes = [read_picture(os.path.join(art_dir, f"chime{p}.txt"), shared)
              for p in range(CHIME_POSES)]
    for pic in chimes:
        check_chime(pic, shared)
    check_same_bell(chimes)

    outputs = {}
    previews = {}
    for p, pic in enumerate(chimes):
        outputs[f"chime{128 + p}.bmp"] = bmp_bytes(pic, pic.rows)
        previews[f"chime{128 + p}"] = preview_rows(pic, pic.rows)
        for k, rows in enumerate(strip_levels(pic)):
            ident = 200 + 10 * (p + 1) + k
            outputs[f"strip{ident}.bmp"] = bmp_bytes(pic, rows)
            previews[f"strip{ident}"] = preview_rows(pic, rows)

    for name, kind, size, bits, cursor in (
            ("icon103", 1, 32, 4, False), ("icon125", 1, 16, 4, False),
            ("icon127", 1, 16, 4, False), ("cursor142", 2, 32, 4, True),
            ("cursor143", 2, 32, 4, True), ("cursor145", 2, 32, 8, True)):
        pic = read_picture(os.path.join(art_dir, name + ".txt"), shared)
        if (pic.width, pic.height) != (size, size):
            raise ArtError(f"{name}.txt: must be {size}x{size}")
        if pic.bits != bits:
            raise ArtError(f"{name}.txt: must be {bits} bits")
        if cursor != (pic.hotspot is not None):
            raise ArtError(f"{name}.txt: " + ("a cursor needs a hot spot" if cursor
                                              else "an icon has no hot spot"))
        ext = ".cur" if cursor else ".ico"
        outputs[name + ext] = icon_bytes(pic, kind)
        previews[name] = preview_rows(pic, pic.rows)

    os.makedirs(out_dir, exist_ok=True)
    for fname in sorted(outputs):
        with open(os.path.join(out_dir, fname), "wb") as f:
            f.write(outputs[fname])

    if preview_dir:
        os.makedirs(preview_dir, exist_ok=True)
        for name in sorted(previews):
            with open(os.path.join(preview_dir, name + ".png"), "wb") as f:
                f.write(png_bytes(previews[name], 8))
        write_sheet(os.path.join(preview_dir, "sheet_chimes.png"),
                    [previews[f"chime{128 + p}"] for p in range(CHIME_POSES)], 6)
        for p in range(CHIME_POSES):
            write_sheet(os.path.join(preview_dir, f"sheet_strips{p}.png"),
                        [previews[f"strip{200 + 10 * (p + 1) + k}"]
                         for k in range(GAUGE_LEVELS)], 6)
        write_sheet(os.path.join(preview_dir, "sheet_icons.png"),
                    [previews[n] for n in ("icon103", "icon125", "icon127",
                                           "cursor142", "cursor143", "cursor145")], 8)
    return sorted(outputs)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=IMAGE_DIR, help="output folder")
    parser.add_argument("--preview", help="also write enlarged PNG previews here")
    args = parser.parse_args(argv)
    try:
        names = build(args.out, args.preview)
    except ArtError as e:
        print(f"art.py: {e}", file=sys.stderr)
        return 1
    print(f"wrote {len(names)} files to {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
