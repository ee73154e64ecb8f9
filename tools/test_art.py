#!/usr/bin/env python3
"""Checks for tools/art.py and the pictures in resources/images.

Run: python3 tools/test_art.py   (or python3 -m unittest discover -s tools -p 'test_*.py')

The files are read back with an independent little decoder, so a writer bug
shows up as a wrong picture rather than passing because both sides agree.
"""

import os
import shutil
import struct
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import art  # noqa: E402

IMAGES = art.IMAGE_DIR
BLACK = (0, 0, 0)


def unpack_row(data, width, bits):
    if bits == 8:
        return list(data[:width])
    if bits == 4:
        out = []
        for byte in data[:(width + 1) // 2]:
            out += [byte >> 4, byte & 15]
        return out[:width]
    return [(data[i // 8] >> (7 - i % 8)) & 1 for i in range(width)]


def stride(width, bits):
    return (width * bits + 31) // 32 * 4


def read_dib(data, height_div):
    """BITMAPINFOHEADER + palette + rows.  Returns a dict, rows top first."""
    (size, width, height, planes, bits, comp, image_size, _, _, used, _) = \
        struct.unpack_from("<IiiHHIIiiII", data, 0)
    assert size == 40 and planes == 1 and comp == 0 and height > 0
    height //= height_div
    colours = used or (1 << bits)
    palette = [tuple(reversed(data[40 + 4 * i:43 + 4 * i])) for i in range(colours)]
    pos = 40 + 4 * colours
    rows = []
    for _ in range(height):
        rows.append(unpack_row(data[pos:pos + stride(width, bits)], width, bits))
        pos += stride(width, bits)
    rows.reverse()
    mask = None
    if height_div == 2:
        mask = []
        for _ in range(height):
            mask.append(unpack_row(data[pos:pos + stride(width, 1)], width, 1))
            pos += stride(width, 1)
        mask.reverse()
    assert pos == len(data), "trailing or missing bytes"
    return {"width": width, "height": height, "bits": bits, "palette": palette,
            "colours_used": used, "image_size": image_size, "rows": rows, "mask": mask}


def read_bmp(path):
    with open(path, "rb") as f:
        data = f.read()
    magic, size, r1, r2, offset = struct.unpack_from("<2sIHHI", data, 0)
    assert magic == b"BM" and size == len(data) and r1 == r2 == 0
    dib = read_dib(data[14:], 1)
    assert offset == 14 + 40 + 4 * len(dib["palette"])
    dib["rgb"] = [[dib["palette"][i] for i in row] for row in dib["rows"]]
    return dib


def read_icon(path):
    with open(path, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert reserved == 0 and count == 1
    w, h, ncol, res, a, b, nbytes, offset = struct.unpack_from("<BBBBHHII", data, 6)
    assert res == 0 and offset == 22 and offset + nbytes == len(data)
    dib = read_dib(data[offset:], 2)
    dib.update(kind=kind, entry=(w, h, ncol, a, b))
    return dib


def outside_black(rgb):
    h, w = len(rgb), len(rgb[0])
    stack = [(x, y) for y in range(h) for x in range(w)
             if (x in (0, w - 1) or y in (0, h - 1)) and rgb[y][x] == BLACK]
    seen = set(stack)
    while stack:
        x, y = stack.pop()
        for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
            if 0 <= nx < w and 0 <= ny < h and (nx, ny) not in seen and rgb[ny][nx] == BLACK:
                seen.add((nx, ny))
                stack.append((nx, ny))
    return seen


def strip_id(p, k):
    return 200 + 10 * (p + 1) + k


class Generated(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        palette = dict(art.read_palette(os.path.join(art.ART_DIR, "palette.txt")))
        cls.pink = palette[art.PINK]
        cls.light = palette[art.LIGHT_PINK]
        cls.paper = {palette[l] for l in art.STRIP_LETTERS}
        cls.chimes = [read_bmp(os.path.join(IMAGES, f"chime{128 + p}.bmp")) for p in range(6)]

    def test_regenerating_gives_identical_bytes(self):
        with tempfile.TemporaryDirectory() as tmp:
            names = art.build(tmp)
            self.assertEqual(sorted(os.listdir(tmp)), names)
            for name in names:
                with open(os.path.join(tmp, name), "rb") as a, \
                        open(os.path.join(IMAGES, name), "rb") as b:
                    self.assertEqual(a.read(), b.read(), f"{name} is out of date")

    def test_file_names(self):
        expected = {f"chime{i}.bmp" for i in range(128, 134)}
        expected |= {f"strip{strip_id(p, k)}.bmp" for p in range(6) for k in range(8)}
        expected |= {"icon103.ico", "icon125.ico", "icon127.ico",
                     "cursor142.cur", "cursor143.cur", "cursor145.cur"}
        self.assertEqual(len(expected), 60)
        present = {n for n in os.listdir(IMAGES) if n.endswith((".bmp", ".ico", ".cur"))}
        self.assertEqual(present, expected)
        self.assertNotIn("strip218.bmp", present)

    def test_bitmaps_are_4_bit_with_16_colours(self):
        for name in sorted(os.listdir(IMAGES)):
            if not name.endswith(".bmp"):
                continue
            bmp = read_bmp(os.path.join(IMAGES, name))
            self.assertEqual(bmp["bits"], 4, name)
            self.assertEqual(bmp["colours_used"], 16, name)
            self.assertEqual(bmp["palette"][0], BLACK, name)
            self.assertEqual(bmp["width"], 32, name)
            self.assertEqual(bmp["height"], 64 if name.startswith("chime") else 32, name)
            self.assertEqual(bmp["image_size"], 16 * bmp["height"], name)

    def test_chime_black_is_only_background(self):
        for p, chime in enumerate(self.chimes):
            rgb = chime["rgb"]
            self.assertEqual(rgb[63][0], BLACK)
            black = {(x, y) for y in range(64) for x in range(32) if rgb[y][x] == BLACK}
            self.assertEqual(black, outside_black(rgb), f"pose {p}")
            drawn = 32 * 64 - len(black)
            self.assertGreater(drawn, 300, f"pose {p} is nearly empty")

    def test_bell_is_the_same_in_every_pose(self):
        for chime in self.chimes[1:]:
            self.assertEqual(chime["rgb"][:32], self.chimes[0]["rgb"][:32])
        for p, chime in enumerate(self.chimes):
            top = chime["rgb"][:32]
            bottom = chime["rgb"][32:]
            self.assertFalse(any(c in self.paper for row in top for c in row), p)
            self.assertTrue(any(c in self.paper for row in bottom for c in row), p)

    def test_poses_differ_where_they_should(self):
        half = [c["rgb"][32:] for c in self.chimes]
        # Every pose its own outline: the window's shape tells the pose.
        outline = [[[c == BLACK for c in row] for row in h] for h in half]
        for a in range(6):
            for b in range(a + 1, 6):
                self.assertNotEqual(outline[a], outline[b], f"poses {a} and {b}")

        def centre_x(rows, lo, hi):
            xs = [x for y in range(lo, hi) for x, c in enumerate(rows[y]) if c in self.paper]
            return sum(xs) / len(xs)

        def spread(rows):
            ys = [y for y, row in enumerate(rows) if any(c in self.paper for c in row)]
            return ys[0], ys[-1]

        for p in range(6):
            top, bottom = spread(half[p])
            lean = centre_x(half[p], bottom - 3, bottom + 1) - centre_x(half[p], top, top + 4)
            if p == 0:
                self.assertGreater(lean, 0.5)        # slightly right
            elif p in (1, 5):
                self.assertAlmostEqual(lean, 0, delta=0.5)
            elif p in (2, 4):
                self.assertLess(lean, -3)            # clearly left
            else:
                self.assertLess(lean, -5)            # tip down and to the left

    def test_strips_are_the_chime_bottom_with_a_falling_pink_fill(self):
        for p, chime in enumerate(self.chimes):
            half = chime["rgb"][32:]
            paper = [(x, y) for y in range(32) for x in range(32) if half[y][x] in self.paper]
            counts = []
            for k in range(8):
                strip = read_bmp(os.path.join(IMAGES, f"strip{strip_id(p, k)}.bmp"))["rgb"]
                pinkish = 0
                border_rows = set()
                for y in range(32):
                    for x in range(32):
                        a, b = half[y][x], strip[y][x]
                        self.assertEqual(a == BLACK, b == BLACK, (p, k, x, y))
                        if a not in self.paper:
                            self.assertEqual(a, b, (p, k, x, y))
                        elif b in (self.pink, self.light):
                            pinkish += 1
                            if b == self.light:
                                border_rows.add(y)
                        else:
                            self.assertEqual(a, b, (p, k, x, y))
                # One light border row, on top of the fill.
                self.assertEqual(len(border_rows), 1, (p, k))
                border = border_rows.pop()
                fill_ys = [y for y in range(32) for x in range(32)
                           if strip[y][x] in (self.pink, self.light)]
                self.assertEqual(min(fill_ys), border, (p, k))
                # Every paper pixel below the border is filled.
                for x, y in paper:
                    self.assertEqual(strip[y][x] in (self.pink, self.light), y >= border,
                                     (p, k, x, y))
                counts.append(pinkish)
            total = len(paper)
            self.assertGreater(counts[0], 0.75 * total, f"pose {p} level 0")
            self.assertLess(counts[0], total, f"pose {p} level 0")
            self.assertGreater(counts[7], 0, f"pose {p} level 7")
            self.assertLess(counts[7], 0.2 * total, f"pose {p} level 7")
            for k in range(1, 8):
                self.assertGreaterEqual(counts[k - 1] - counts[k], art.MIN_STEP_PIXELS,
                                        f"pose {p} levels {k - 1}/{k}")

    def test_icons_and_cursors(self):
        table = {"icon103.ico": (1, 32, 4, None), "icon125.ico": (1, 16, 4, None),
                 "icon127.ico": (1, 16, 4, None), "cursor142.cur": (2, 32, 4, (5, 5)),
                 "cursor143.cur": (2, 32, 4, (5, 5)), "cursor145.cur": (2, 32, 8, (4, 30))}
        for name, (kind, size, bits, hot) in table.items():
            ico = read_icon(os.path.join(IMAGES, name))
            w, h, ncol, a, b = ico["entry"]
            self.assertEqual((ico["kind"], w, h, ico["width"], ico["height"]),
                             (kind, size, size, size, size), name)
            self.assertEqual(ico["bits"], bits, name)
            self.assertEqual(len(ico["palette"]), 1 << bits, name)
            self.assertEqual(ncol, 16 if bits == 4 else 0, name)
            self.assertEqual((a, b), hot if hot else (1, bits), name)
            mask, rows = ico["mask"], ico["rows"]
            for y in range(size):
                for x in range(size):
                    if mask[y][x]:
                        self.assertEqual(rows[y][x], 0, (name, x, y))
            opaque = sum(1 - m for row in mask for m in row)
            self.assertGreater(opaque, size * size // 5, name)
            if hot:
                hx, hy = hot
                near = [mask[y][x] for y in range(hy - 1, hy + 2) for x in range(hx - 1, hx + 2)
                        if 0 <= x < size and 0 <= y < size]
                self.assertIn(0, near, f"{name}: hot spot is not on the picture")
                outline = sum(1 for y in range(size) for x in range(size)
                              if not mask[y][x] and ico["palette"][rows[y][x]] == BLACK)
                self.assertGreater(outline, 20, f"{name}: needs a dark outline")
        self.assertNotEqual(read_icon(os.path.join(IMAGES, "icon125.ico"))["rows"],
                            read_icon(os.path.join(IMAGES, "icon127.ico"))["rows"])


class Validation(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp()
        self.art = os.path.join(self.tmp, "art")
        shutil.copytree(art.ART_DIR, self.art)

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def edit(self, name, y, x, ch):
        """Change grid cell (x, y) of a picture file."""
        path = os.path.join(self.art, name)
        with open(path) as f:
            lines = f.read().split("\n")
        grid = [i for i, l in enumerate(lines) if l and not l.startswith("#") and " " not in l]
        row = lines[grid[y]]
        lines[grid[y]] = row[:x] + ch + row[x + 1:]
        with open(path, "w") as f:
            f.write("\n".join(lines))

    def build(self):
        return art.build(os.path.join(self.tmp, "out"), art_dir=self.art)

    def test_unchanged_copy_builds(self):
        self.assertEqual(len(self.build()), 60)

    def test_black_hole_inside_the_bell_is_refused(self):
        self.edit("chime2.txt", 12, 12, ".")
        with self.assertRaisesRegex(art.ArtError, "enclosed"):
            self.build()

    def test_bell_must_match_across_poses(self):
        self.edit("chime4.txt", 12, 12, "W")
        with self.assertRaisesRegex(art.ArtError, "bell half differs"):
            self.build()

    def test_unknown_letter_is_refused(self):
        self.edit("icon125.txt", 3, 3, "Z")
        with self.assertRaisesRegex(art.ArtError, "unknown letter 'Z'"):
            self.build()

    def test_short_row_is_refused(self):
        path = os.path.join(self.art, "cursor142.txt")
        with open(path) as f:
            text = f.read()
        with open(path, "w") as f:
            f.write(text.replace("--------------------------------\n",
                                 "-------------------------------\n", 1))
        with self.assertRaisesRegex(art.ArtError, "31 wide"):
            self.build()

    def test_nothing_written_on_error(self):
        self.edit("chime0.txt", 63, 0, "b")
        with self.assertRaises(art.ArtError):
            self.build()
        self.assertFalse(os.path.exists(os.path.join(self.tmp, "out")))


if __name__ == "__main__":
    unittest.main()
