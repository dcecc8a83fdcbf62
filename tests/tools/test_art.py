"""The shared drawing helpers of the art generators: sheet packing and its property list,
supersampled drawing, and the atomic writers; and that a generator's output does not vary."""

import filecmp
import math
import os
import plistlib
import random
import re
import tempfile
import unittest

from PIL import Image

import make_bee_art
import make_fonts
from art import output, sheet
from art.paint import Canvas, downsample

FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


def numbers(text):
    return [int(n) for n in re.findall(r"-?\d+", text)]


class SheetTest(unittest.TestCase):
    def frames(self, count, seed):
        rng = random.Random(seed)
        return {"f%d.png" % i: Image.new("RGBA", (rng.randint(1, 90), rng.randint(1, 60)), (i, 0, 0, 255))
                for i in range(count)}

    def test_packed_frames_keep_apart_inside_a_power_of_two_texture(self):
        for count, seed in ((1, 1), (7, 2), (60, 3)):
            frames = self.frames(count, seed)
            frames["wide.png"] = Image.new("RGBA", (300, 4))
            texture, rects = sheet.pack(frames)
            w, h = texture.size
            self.assertEqual(w & (w - 1), 0)
            self.assertEqual(h & (h - 1), 0)
            boxes = list(rects.values())
            for x, y, bw, bh in boxes:
                self.assertTrue(x >= 1 and y >= 1 and x + bw < w and y + bh < h)
            pad = sheet.PADDING
            for i, (ax, ay, aw, ah) in enumerate(boxes):
                for bx, by, bw, bh in boxes[i + 1:]:
                    apart = ax + aw + pad <= bx or bx + bw + pad <= ax or ay + ah + pad <= by or by + bh + pad <= ay
                    self.assertTrue(apart, "frames closer than the padding")

    def test_written_list_describes_each_frame_exactly(self):
        frames = self.frames(12, 4)
        with tempfile.TemporaryDirectory() as folder:
            texture, _ = sheet.write(frames, os.path.join(folder, "s.png"), os.path.join(folder, "s.plist"))
            with open(os.path.join(folder, "s.plist"), "rb") as source:
                listing = plistlib.load(source)
            self.assertEqual(listing["metadata"]["format"], 2)
            self.assertEqual(listing["metadata"]["textureFileName"], "s.png")
            stored = Image.open(os.path.join(folder, "s.png")).convert("RGBA")
            self.assertEqual(sorted(listing["frames"]), sorted(frames))
            for name, entry in listing["frames"].items():
                x, y, w, h = numbers(entry["frame"])
                self.assertEqual((w, h), frames[name].size)
                self.assertEqual(numbers(entry["sourceSize"]), [w, h])
                self.assertFalse(entry["rotated"])
                self.assertEqual(stored.crop((x, y, x + w, y + h)).tobytes(), frames[name].tobytes())


class PaintTest(unittest.TestCase):
    def test_shrinking_keeps_the_colour_of_soft_edges(self):
        # Straight-alpha filtering would mix the transparent black around the shape into its edge.
        big = Image.new("RGBA", (8, 8), (0, 0, 0, 0))
        big.paste((255, 255, 255, 255), (0, 0, 2, 8))
        edge = downsample(big, (2, 2)).getpixel((0, 0))
        self.assertGreater(edge[3], 0)
        self.assertGreaterEqual(min(edge[:3]), 250)

    def test_grown_disc_reaches_the_asked_radius(self):
        c = Canvas(64, 64)
        grown = c.dilate(c.ellipse_mask((22, 22, 42, 42)), 3).resize((64, 64), Image.Resampling.BOX)
        across = [x for x in range(64) if grown.getpixel((x, 32)) >= 128]
        self.assertAlmostEqual((across[-1] - across[0] + 1) / 2, 13, delta=1)

    def test_pasting_cuts_what_falls_outside(self):
        target, piece = Canvas(10, 10), Canvas(4, 4)
        piece.fill(piece.polygon_mask([(0, 0), (4, 0), (4, 4), (0, 4)]), (10, 200, 30))
        for at in ((-2, -2), (8, 8), (20, 0)):
            target.paste(piece, at)
        image = target.result()
        for corner in ((0, 0), (9, 9)):
            for got, wanted in zip(image.getpixel(corner), (10, 200, 30, 255)):
                self.assertAlmostEqual(got, wanted, delta=12)  # the shrinking filter rings a little
        self.assertEqual(image.getpixel((5, 5))[3], 0)

    def test_zoom_draws_the_same_design_larger(self):
        small, large = Canvas(20, 10), Canvas(20, 10, zoom=2.5)
        self.assertEqual(large.result().size, (50, 25))
        for c in (small, large):
            c.fill(c.ellipse_mask((5, 0, 15, 10)), (255, 0, 0))
        cover = [sum(1 for a in c.result().getchannel("A").getdata() if a > 128) / (c.size[0] * c.size[1])
                 for c in (small, large)]
        self.assertAlmostEqual(cover[0], cover[1], delta=0.03)
        self.assertAlmostEqual(cover[1], math.pi * 25 / 200, delta=0.03)


class OutputTest(unittest.TestCase):
    def test_files_appear_whole_in_new_folders(self):
        with tempfile.TemporaryDirectory() as folder:
            target = os.path.join(folder, "a", "b", "x.png")
            output.save_png(Image.new("RGBA", (3, 3)), target)
            output.save_text("hi\n", os.path.join(folder, "a", "t.fnt"))
            self.assertEqual(sorted(os.listdir(os.path.join(folder, "a"))), ["b", "t.fnt"])
            self.assertEqual(os.listdir(os.path.join(folder, "a", "b")), ["x.png"])


class GeneratorTest(unittest.TestCase):
    def test_generators_write_the_same_files_every_run(self):
        with tempfile.TemporaryDirectory() as first, tempfile.TemporaryDirectory() as second:
            for folder in (first, second):
                make_bee_art.main(folder)
            names = sorted(os.listdir(first))
            self.assertEqual(names, ["vantrel.plist", "vantrel.png", "vantrel_trail.png"])
            self.assertEqual(filecmp.cmpfiles(first, second, names, shallow=False)[0], names)

    def test_font_glyphs_lie_on_their_page_and_sit_on_one_baseline(self):
        page, text = make_fonts.build(FONT, "T", 20, 2.0)
        common = dict(re.findall(r"(\w+)=(\d+)", text.splitlines()[1]))
        glyphs = {}
        for line in text.splitlines():
            if line.startswith("char id="):
                fields = dict((k, int(v)) for k, v in re.findall(r"(\w+)=(-?\d+)", line))
                glyphs[chr(fields["id"])] = fields
        self.assertEqual(set(glyphs), set(make_fonts.CHARACTERS))
        for g in glyphs.values():
            self.assertLessEqual(g["x"] + g["width"], page.width)
            self.assertLessEqual(g["y"] + g["height"], page.height)
        # Capitals of one height share their top and bottom once placed.
        for letter in "EHIT":
            self.assertEqual(glyphs[letter]["yoffset"], glyphs["H"]["yoffset"], letter)
            self.assertEqual(glyphs[letter]["height"], glyphs["H"]["height"], letter)
        self.assertLessEqual(glyphs["H"]["yoffset"] + glyphs["H"]["height"], int(common["lineHeight"]))


if __name__ == "__main__":
    unittest.main()
