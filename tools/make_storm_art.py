#!/usr/bin/env python3
"""Draws the storm's look (see make_level_art.py for the files): rain-soaked hills under a low,
dark cloud bank, wind-bent trees and grass, puddles, a pale sun behind a cloud and storm clouds
strewn over the sky.

The far ring is taller than the meadow's (its levels draw it from radius 1100 to 1860): its top is
the cloud bank, rain falls from it onto the far hills.

Usage: make_storm_art.py OUTPUT_DIR
"""

import math
import random

from PIL import ImageChops

import make_level_art as level
from art.paint import INK, Canvas, bezier, darker, lighter, mix

GRASS = (84, 142, 76)
SOIL = (118, 84, 58)
GROUND_FILL = (86, 60, 44)  # the storm levels' "ground_fill_colour"
LEAF = (70, 128, 84)
BARK = (110, 80, 60)
RAIN = (214, 226, 242)
WATER = (150, 170, 196)
CLOUD = (92, 98, 118)
WIND = 1.0  # the wind blows towards +x: trees lean, grass bends, rain slants that way


def rain(c, box, count, seed, length=(10, 24), width=1.0, opacity=0.45, slant=0.25, wrap=None):
    """Streaks of rain falling down and to the right over `box`; with `wrap` (a texture width)
    the streaks that cross an edge come back at the other."""
    rng = random.Random(seed)
    x0, y0, x1, y1 = box
    segments = []
    for _ in range(count):
        x, y, l = rng.uniform(x0, x1), rng.uniform(y0, y1), rng.uniform(*length)
        for dx in ((-wrap, 0, wrap) if wrap else (0,)):
            segments.append(((x + dx, y), (x + dx + slant * l * WIND, y + l)))
    c.fill(c.lines_mask(segments, width), RAIN, opacity)


def drops(c, points, r=1.8):
    """Raindrops resting on leaves and stones: blue beads with a white glint."""
    for x, y in points:
        c.ellipse((x - r, y - r * 1.1, x + r, y + r * 1.1), lighter(WATER, 0.45), outline=0.6,
                  ink=darker(WATER, 0.4), shine=0.8)


def cloud_blob(c, cx, cy, w, h, seed, colour=CLOUD):
    """A flat-bottomed heap of cloud puffs, lit from above, no outline (a backdrop, not a foe)."""
    rng = random.Random(seed)
    mask = c.ellipse_mask((cx - w / 2, cy - h * 0.25, cx + w / 2, cy + h * 0.25))
    for k in range(6):
        px = cx - w * 0.38 + w * 0.76 * k / 5 + rng.uniform(-3, 3)
        r = h * (0.28 + 0.22 * math.sin(math.pi * (k + 0.5) / 6)) + rng.uniform(-2, 2)
        mask = ImageChops.lighter(mask, c.ellipse_mask((px - r, cy - r * 1.1, px + r, cy + r * 0.6)))
    c.shade(mask, (cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2), colour, light=lighter(colour, 0.3),
            dark=darker(colour, 0.3), light_at=(0.45, 0.0))
    return mask


# --- rings -----------------------------------------------------------------------------------

def ring_far():
    """1024 x 512: the cloud bank along the top, curtains of rain under it, misty hills below."""
    w, h = 1024, 512
    c = Canvas(w, h, supersample=2)
    # Curtains: denser rain in a few bands, thin everywhere else.
    for k, (centre, spread) in enumerate(((120, 90), (430, 120), (760, 100))):
        rain(c, (centre - spread, 110, centre + spread, 420), 260, 300 + k, length=(18, 40), width=1.4,
             opacity=0.35, wrap=w)
    rain(c, (0, 110, w, 430), 420, 310, length=(12, 30), width=1.0, opacity=0.22, wrap=w)
    hills = level.hills(w, h, (92, 128, 120), (74, 110, 100), 321, 0, 350, [(3, 26), (7, 12), (13, 5)], 22, 15,
                        supersample=2, lean=0.5)
    c.image.alpha_composite(hills.resize(c.image.size))
    # The cloud bank: rows of puffs along the top, darker underneath.
    rng = random.Random(331)
    for row, (y, size, colour) in enumerate(((60, 70, (96, 104, 124)), (100, 56, (80, 86, 106)))):
        for i in range(14):
            x = (i + rng.uniform(0, 0.6)) * w / 14
            for dx in (-w, 0, w):
                cloud_blob(c, x + dx, y + rng.uniform(-10, 10), size * 2.4, size, 340 + row * 20 + i, colour)
    return c.result()


def ring_near():
    """512 x 256, laid out like the meadow's: wind-bent trees on dark wet hills, rain over them."""
    w, h = 512, 256
    c = Canvas(w, h)
    rain(c, (0, 0, w, 200), 240, 401, length=(10, 22), width=1.1, opacity=0.4, wrap=w)
    hills = level.hills(w, h, (92, 150, 96), (58, 118, 78), 21, 1.2, 120, [(2, 22), (5, 10), (11, 4)], 9, 28,
                        lean=0.6)
    c.image.alpha_composite(hills.resize(c.image.size))
    # A few streaks in front of the hills too.
    rain(c, (0, 110, w, 240), 60, 402, length=(8, 16), width=1.0, opacity=0.3, wrap=w)
    return c.result()


def ring_ground():
    """512 x 128: dark wet grass bent by the wind, puddles along the surface, muddy soil fading to
    the fill colour."""
    w, h = 512, 128
    c = Canvas(w, h)
    rng = random.Random(501)
    top = [(x, 10 + level.wavy(w, x, [(4, 1.5), (9, 1.0)], 503)) for x in range(0, w + 1, 4)]
    level.soil(c, [(x, y + 4) for x, y in top], SOIL, GROUND_FILL)
    level.pebbles(c, rng, 22, SOIL, (170, 166, 170), spread=(0.4, 0.6), size=((3, 6), (2, 4)), shine=0.5)
    under = [(x, 30 + level.wavy(w, x, [(16, 3.0), (32, 1.5), (5, 2.0)], 504)) for x in range(w, -1, -4)]
    band = c.polygon_mask(top + under)
    c.outline(band, 1.5, darker(GRASS, 0.5))
    c.shade(band, (0, 6, w, 36), GRASS, light=lighter(GRASS, 0.25), dark=darker(GRASS, 0.3), light_at=(0.5, 0.0))
    # Puddles lying in the grass, the sky's grey in them and rings from the drops; the blades
    # in front of them are drawn afterwards.
    for i in range(2):
        x = (i + rng.uniform(0.25, 0.75)) * w / 2
        pw = rng.uniform(44, 70)
        puddle = Canvas(round(pw + 8), 22)
        box = (4, 6, pw + 4, 16)
        puddle.shape(puddle.ellipse_mask(box), box, WATER, outline=1.0, ink=darker(GRASS, 0.5),
                     light=lighter(WATER, 0.45), dark=darker(WATER, 0.25), light_at=(0.5, 1.0))
        for k in range(2):
            rx, ry = 4 + pw * (0.3 + 0.4 * k) + rng.uniform(-4, 4), 11 + rng.uniform(-1, 1)
            puddle.stroke(bezier([(rx - 5, ry), (rx, ry - 2), (rx + 5, ry)], 8), 0.7, (232, 240, 250))
        c.paste_tiled(puddle, (x - pw / 2 - 4, 6))
    blades = []
    for i in range(150):
        x = i * w / 150 + rng.uniform(-1, 1)
        base = 10 + level.wavy(w, x, [(4, 1.5), (9, 1.0)], 503) + 3
        tip = (x + rng.uniform(2, 6) * WIND, rng.uniform(1, 5))
        for tx in level.tiled(w, x):
            blades.append([(tx - 2.2, base), (tip[0] - x + tx, tip[1]), (tx + 2.2, base)])
    c.shade(c.polygon_mask(*blades), (0, 0, w, 14), GRASS, light=lighter(GRASS, 0.35), dark=GRASS,
            light_at=(0.5, 0.0))
    return c.result()


# --- sky -------------------------------------------------------------------------------------

def sun():
    """The sun, pale behind the overcast, half hidden by a cloud; 144 x 144 like the meadow's."""
    size = 144
    c = Canvas(size, size)
    m = size / 2
    c.glow(c.ellipse_mask((m - 50, m - 50, m + 50, m + 50)), (255, 250, 220), 12, 0.6)
    c.ellipse((m - 38, m - 38, m + 38, m + 38), (250, 236, 180), outline=1.6, ink=(190, 170, 130),
              light=(255, 252, 230), dark=(236, 214, 150), shine=0.3)
    for ex in (-13, 13):
        c.stroke(bezier([(m + ex - 6, m - 6), (m + ex, m - 2), (m + ex + 6, m - 6)]), 2.2, (170, 140, 100))
    cloud_blob(c, m + 8, m + 24, 120, 50, 611, (132, 140, 160))
    return c.result()


# --- background (layer 2) --------------------------------------------------------------------

def swept_tree(w, h, seed, trunk_height, crown):
    """A round tree bowed by the wind: the trunk bends right, the crown streams after it and a few
    leaves fly off. `crown` is (x, y, r) of its puffs before the wind."""
    c = Canvas(w, h)
    rng = random.Random(seed)
    foot = (w / 2 - 6, h - 1)
    top = (w / 2 + 4 * WIND, h - trunk_height)
    c.stroke(bezier([foot, (w / 2 - 6, h - trunk_height * 0.5), top], 10), 9, BARK, outline=1.4)
    blob = c.new_mask()
    boxes = []
    for x, y, r in crown:
        x += (h - y) / h * 8 * WIND
        boxes.append((x - r, y - r * 0.9, x + r, y + r * 0.9))
        blob = ImageChops.lighter(blob, c.ellipse_mask(boxes[-1]))
    c.outline(blob, 1.5)
    for box in sorted(boxes, key=lambda b: -b[1]):
        colour = mix(LEAF, (100, 150, 90), rng.uniform(0, 0.4))
        c.shade(c.ellipse_mask(box), box, colour, light=lighter(colour, 0.25), dark=darker(colour, 0.3))
    for _ in range(3):
        x, y = rng.uniform(w * 0.8, w - 6), rng.uniform(h * 0.08, h * 0.3)
        leaf = c.polygon_mask(bezier([(x - 4, y), (x, y - 3), (x + 4, y)], 5) + bezier([(x + 4, y), (x, y + 3),
                                                                                       (x - 4, y)], 5))
        c.shape(leaf, (x - 4, y - 3, x + 4, y + 3), LEAF, outline=0.8)
    drops(c, [(rng.uniform(w * 0.25, w * 0.8), rng.uniform(h * 0.15, h * 0.55)) for _ in range(5)])
    return c.result()


def poplar():
    """56 x 140: a tall poplar bending with the wind."""
    c = Canvas(56, 140)
    c.stroke(bezier([(22, 139), (22, 120), (26, 100)], 8), 5, BARK, outline=1.2)
    mask = c.new_mask()
    for k in range(12):
        t = k / 11
        x = 22 + 12 * t * t * WIND
        y = 108 - 100 * t
        r = 15 * math.sin(math.pi * (0.15 + 0.8 * t)) + 3
        mask = ImageChops.lighter(mask, c.ellipse_mask((x - r, y - r * 1.3, x + r, y + r * 1.3)))
    c.shape(mask, (6, 4, 50, 112), (62, 124, 84), light=(110, 170, 116), dark=(36, 86, 60))
    for y in (34, 56, 78, 96):
        x = 22 + 12 * ((108 - y) / 100) ** 2 * WIND
        c.stroke(bezier([(x - 9, y), (x + 1, y + 6), (x + 10, y)]), 1.2, (46, 100, 66))
    drops(c, [(30, 40), (18, 70), (34, 88)], 1.6)
    return c.result()


def cottage():
    """112 x 104: a stone cottage with warm lit windows, smoke torn sideways from its chimney."""
    c = Canvas(112, 104)
    stone = (176, 172, 168)
    wall = (18, 46, 94, 102)
    c.shape(c.rounded_mask(wall, 3), wall, stone, light=(206, 204, 200), dark=(130, 126, 124))
    rng = random.Random(701)
    for _ in range(16):
        x, y = rng.uniform(22, 88), rng.uniform(50, 98)
        c.stroke([(x, y), (x + rng.uniform(5, 9), y)], 0.8, (140, 136, 134))
    door = (44, 70, 62, 102)
    c.shape(c.rounded_mask(door, 7), door, (110, 74, 52))
    for window in ((70, 62, 86, 78), (24, 62, 38, 78)):
        c.glow(c.rounded_mask(window, 2), (255, 214, 110), 4, 0.8)
        c.shape(c.rounded_mask(window, 2), window, (255, 210, 110), light=(255, 244, 190), dark=(236, 160, 70))
        cx, cy = (window[0] + window[2]) / 2, (window[1] + window[3]) / 2
        c.stroke([(cx, window[1]), (cx, window[3])], 1.2, INK)
        c.stroke([(window[0], cy), (window[2], cy)], 1.2, INK)
    c.shape(c.rounded_mask((78, 10, 90, 36), 2), (78, 10, 90, 36), (150, 120, 110))
    for k, (x, y, r) in enumerate(((92, 6, 5), (100, 4, 4), (107, 3, 3))):
        c.fill(c.blur(c.ellipse_mask((x - r, y - r * 0.7, x + r, y + r * 0.7)), 1), (200, 204, 212), 0.8 - k * 0.2)
    roof = c.polygon_mask([(6, 52), (56, 12), (106, 52), (100, 58), (12, 58)])
    slate = (84, 94, 118)
    c.shape(roof, (6, 12, 106, 58), slate, light=(130, 140, 164), dark=(56, 62, 84))
    for k in range(1, 5):
        y = 12 + k * 9.5
        c.stroke([(56 - (y - 12) * 1.2, y), (56 + (y - 12) * 1.2, y)], 1.0, darker(slate, 0.3))
    # Rain running off the eaves.
    c.fill(c.lines_mask([((x, 60), (x + 1.5, 70)) for x in (10, 16, 98, 104)], 1.0), RAIN, 0.8)
    return c.result()


def fence():
    """128 x 40: an old grey fence, one post leaning, a rail broken, a puddle at its foot."""
    c = Canvas(128, 40)
    wood = (150, 142, 130)
    c.shape(c.ellipse_mask((30, 33, 96, 40)), (30, 33, 96, 40), WATER, outline=1.0, light=lighter(WATER, 0.5),
            light_at=(0.5, 0.9))
    c.shape(c.rounded_mask((2, 11, 126, 17), 2), (2, 11, 126, 17), wood)
    c.shape(c.polygon_mask([(2, 25), (70, 25), (64, 31), (2, 31)]), (2, 25, 70, 31), wood)
    c.shape(c.polygon_mask([(84, 27), (126, 25), (126, 31), (86, 33)]), (84, 25, 126, 33), wood)
    for k, x in enumerate(range(8, 128, 24)):
        tilt = 5 if k == 3 else 0
        post = c.polygon_mask([(x - 5, 39), (x - 5 + tilt, 8), (x + tilt, 2), (x + 5 + tilt, 8), (x + 5, 39)])
        c.shape(post, (x - 5, 2, x + 5 + tilt, 39), wood, light=(186, 180, 170), dark=(110, 102, 94))
    drops(c, [(20, 11), (60, 11), (108, 25)], 1.4)
    return c.result()


# --- foreground (layer 3) --------------------------------------------------------------------

def wet(image, points, r=1.6):
    """A picture from the meadow's drawings with raindrops added on top."""
    c = Canvas(*image.size)
    c.image.alpha_composite(image.resize(c.image.size))
    drops(c, points, r)
    return c.result()


def bluebells():
    """72 x 40: bluebells bowing under the rain, in place of the meadow's daisies."""
    c = Canvas(72, 40)
    for x, top, n in ((14, 10, 3), (36, 4, 4), (58, 12, 3)):
        c.stroke(bezier([(x, 39), (x - 2, 20), (x + 8, top)]), 1.8, (70, 130, 70), outline=0.6)
        for k in range(n):
            t = (k + 1) / (n + 1)
            bx, by = x + 8 * t, top + (39 - top) * (1 - t) * 0.25 + 4 + k * 6
            bell = c.polygon_mask(bezier([(bx - 3, by), (bx - 4, by + 6), (bx - 5, by + 9)], 6) +
                                  bezier([(bx + 5, by + 9), (bx + 4, by + 6), (bx + 3, by)], 6))
            c.shape(bell, (bx - 5, by, bx + 5, by + 9), (120, 130, 220), outline=0.8, shine=0.3)
    drops(c, [(22, 30), (48, 26)], 1.5)
    return c.result()


def title_backdrop(w, h):
    """Behind the group's title on its menu screen: a storm cloud raining, a bolt under it."""
    c = Canvas(w, h)
    rain(c, (40, h * 0.55, w - 60, h - 18), 90, 901, length=(12, 22), width=1.6, opacity=0.8)
    bolt = [(w - 92, h * 0.55), (w - 104, h * 0.72), (w - 90, h * 0.76), (w - 100, h - 4)]
    c.glow(c.stroke_mask(bolt, 4), (255, 240, 150), 4, 0.9)
    c.stroke(bolt, 3.5, (255, 248, 200), outline=1.0, ink=(240, 170, 40))
    rng = random.Random(902)
    for k in range(9):
        x = 40 + (w - 80) * k / 8
        r = h * rng.uniform(0.2, 0.3) * (1 - abs(k - 4) / 10)
        cloud_blob(c, x, h * 0.42 - r * 0.3, r * 2.4, r * 1.6, 910 + k, (84, 90, 112))
    return c.result()


def look():
    # The storm levels draw the far ring from radius 1100 to 1860, the near one as usual.
    return level.Look(
        ground=ring_ground(), near=ring_near(), far=ring_far(), far_ground=level.ground_row(512, 1100, 1860),
        sky={
            "storm_sun.png": sun(),
            "storm_cloud_1.png": level.heap(120, 96, 801, CLOUD),
            "storm_cloud_2.png": level.heap(88, 72, 802, CLOUD),
            "storm_cloud_3.png": level.heap(64, 56, 803, CLOUD),
        },
        background=level.background(
            tree_round=swept_tree(96, 128, 711, 50, [(42, 36, 28), (24, 56, 20), (62, 56, 22), (42, 66, 24)]),
            tree_tall=poplar(),
            bush=wet(level.bush((74, 138, 82), (120, 176, 116), (44, 96, 58), blossoms=False),
                     [(18, 26), (34, 14), (50, 22), (62, 30), (40, 34)]),
            cottage=cottage(), fence=fence()),
        foreground=level.foreground(
            grass_1=wet(level.grass_tuft(64, 32, 81, colour=GRASS, wind=9), [(30, 14), (44, 10)]),
            grass_2=wet(level.grass_tuft(48, 28, 82, colour=GRASS, blades=7, wind=7), [(26, 12)]),
            daisies=bluebells(),
            mushroom=wet(level.mushroom((160, 104, 66), (206, 150, 104), (112, 70, 44)), [(12, 12), (26, 8), (30, 18)]),
            stones=wet(level.stones(), [(12, 12), (20, 10), (34, 17)], 1.4),
            clover=wet(level.clover(), [(10, 9), (28, 6)], 1.3)))


if __name__ == "__main__":
    level.look_main(look, "storm", __doc__)
