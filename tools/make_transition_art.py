#!/usr/bin/env python3
"""Draws the pictures of the scene shown between the menu and a game.

Writes, into OUTPUT_DIR:
  transition_bg.png            the backdrop (1024 x 768): a warm evening meadow seen from under a
                               hive hanging on the left, dark enough that the white facts read
                               over the right half, where they are written
  transition_bee_1.png .. _3.png
                               the flying bee, facing right, wings up, level and back (the scene
                               plays 1, 2, 3, 2); its shadow is the same picture tinted black

Usage: make_transition_art.py OUTPUT_DIR
"""

import math
import os
import random
import sys

from PIL import ImageChops

import make_level_art as level
import make_menu_art as menu
from art import output
from art.paint import Canvas, bezier, darker, hexagon, mix

W, H = 1024, 768
DUSK_TOP, DUSK_BOTTOM = (58, 36, 44), (112, 62, 38)
HILL_FAR, HILL_NEAR = (62, 44, 40), (44, 30, 24)
HONEY_GLOW = (255, 190, 70)
BEE_ZOOM = 2.0


def sky(c):
    everything = c.polygon_mask([(0, 0), (W, 0), (W, H), (0, H)])
    # Late light low on the horizon, the evening deepening upwards.
    c.shade(everything, (0, 0, W, H), mix(DUSK_TOP, DUSK_BOTTOM, 0.5), light=DUSK_BOTTOM, dark=DUSK_TOP,
            light_at=(0.55, 1.15))
    # A faint honeycomb over the sky, strongest near the hive.
    cells = [hexagon(col * 56 + (row % 2) * 28, row * 49, 30, math.pi / 6) for row in range(17) for col in range(20)]
    rims = ImageChops.subtract(c.polygon_mask(*cells), shrunk_cells(c, cells))
    fade = c.blur(c.ellipse_mask((-300, -200, 560, 700)), 80)
    c.fill(ImageChops.multiply(rims, fade), (255, 200, 120), 0.10)


def shrunk_cells(c, cells):
    """The cells drawn 2.5 pixels smaller, so that what remains of the full ones are thin rims."""
    smaller = []
    for cell in cells:
        cx = sum(x for x, _ in cell) / len(cell)
        cy = sum(y for _, y in cell) / len(cell)
        smaller.append([(cx + (x - cx) * 0.92, cy + (y - cy) * 0.92) for x, y in cell])
    return c.polygon_mask(*smaller)


def glow_spots(c):
    """Drifting pollen and fireflies: soft honey-coloured dots, more of them near the hive."""
    rng = random.Random(17)
    for _ in range(70):
        x = rng.triangular(0, W, 180)
        y = rng.uniform(60, 600)
        r = rng.uniform(1.5, 4.0)
        spot = c.ellipse_mask((x - r, y - r, x + r, y + r))
        c.glow(spot, HONEY_GLOW, r * 2.5, 0.55)
        c.fill(spot, (255, 236, 170), rng.uniform(0.35, 0.8))


def hills(c):
    far = [(0, H)] + [(x, 560 + level.wavy(W, x, [(1, 26), (3, 12)], 5)) for x in range(0, W + 1, 8)] + [(W, H)]
    near = [(0, H)] + [(x, 640 + level.wavy(W, x, [(2, 18), (5, 7)], 9)) for x in range(0, W + 1, 8)] + [(W, H)]
    c.fill(c.blur(c.polygon_mask(far), 1.0), HILL_FAR)
    c.fill(c.blur(c.polygon_mask(near), 0.8), HILL_NEAR)
    # Dark grass blades and a few sleeping flowers along the near hill's edge.
    rng = random.Random(23)
    for _ in range(140):
        x = rng.uniform(0, W)
        top = 640 + level.wavy(W, x, [(2, 18), (5, 7)], 9)
        height = rng.uniform(10, 26)
        lean = rng.uniform(-8, 8)
        c.stroke(bezier([(x, top + 6), (x + lean * 0.3, top - height * 0.5), (x + lean, top - height)], 8),
                 rng.uniform(1.5, 2.6), darker(HILL_NEAR, 0.2))
    for x in (120, 300, 610, 880, 960):
        top = 640 + level.wavy(W, x, [(2, 18), (5, 7)], 9)
        c.stroke(bezier([(x, top + 4), (x - 4, top - 30), (x + 2, top - 52)], 10), 2.2, (60, 78, 44))
        flower = c.new_mask()
        for k in range(5):
            a = k * 2 * math.pi / 5
            px, py = x + 2 + math.cos(a) * 8, top - 52 + math.sin(a) * 8
            flower = ImageChops.lighter(flower, c.ellipse_mask((px - 6, py - 6, px + 6, py + 6)))
        c.fill(c.dilate(flower, 1.2), darker(HILL_NEAR, 0.3))
        c.fill(flower, (170, 96, 110))
        c.fill(c.ellipse_mask((x - 2.5, top - 56.5, x + 6.5, top - 47.5)), (230, 170, 60))


def hive(c):
    """A round straw hive hanging from a branch on the left, a warm glow around its doorway."""
    c.stroke(bezier([(-20, 70), (110, 60), (220, 96), (330, 70)]), 16, (70, 44, 30), outline=2.0)
    c.stroke(bezier([(230, 88), (262, 60), (300, 52)]), 6, (70, 44, 30), outline=1.5)
    for x, y, a in ((150, 64, 0.5), (250, 86, -0.3), (300, 50, 0.9)):
        leaf = c.polygon_mask(bezier([(x, y), (x + 30 * math.cos(a) - 10, y - 26), (x + 46 * math.cos(a), y - 6)], 8)
                              + bezier([(x + 46 * math.cos(a), y - 6), (x + 20, y + 8), (x, y)], 8))
        c.shape(leaf, (x, y - 26, x + 46, y + 8), (70, 110, 60), outline=1.4, light=(104, 140, 80), dark=(44, 70, 40))
    c.stroke([(170, 70), (170, 120)], 5, (84, 58, 36), outline=1.2)
    body = (80, 110, 262, 330)
    mask = c.ellipse_mask(body)
    c.shadow(mask, (8, 10), 10, strength=0.5)
    c.shape(mask, body, (196, 138, 64), outline=2.4, light=(240, 196, 120), dark=(120, 72, 34), light_at=(0.7, 0.3))
    # Coils of straw.
    for k in range(1, 8):
        y = body[1] + k * (body[3] - body[1]) / 8
        half = math.sqrt(max(0.0, 1 - ((y - 220) / 110) ** 2)) * 91
        c.stroke(bezier([(171 - half, y - 4), (171, y + 8), (171 + half, y - 4)], 16), 2.2, (118, 74, 36))
    door = (148, 236, 196, 272)
    c.glow(c.ellipse_mask(door), HONEY_GLOW, 18, 0.8)
    # The doorway: dark inside, lit warm from within at its lower edge.
    c.ellipse(door, (66, 36, 18), outline=2.0, light=(150, 90, 36), dark=(40, 20, 10), light_at=(0.5, 0.9))
    # Honey drips from the bottom of the hive.
    for x, length in ((152, 22), (172, 36), (190, 16)):
        drip = c.stroke_mask([(x, 322), (x, 322 + length)], 6)
        c.fill(c.dilate(drip, 1.2), (120, 70, 20))
        c.fill(drip, (250, 184, 50))
        c.fill(c.ellipse_mask((x - 4.5, 318 + length, x + 4.5, 327 + length)), (250, 184, 50))


def vignette(c):
    edges = ImageChops.invert(c.blur(c.ellipse_mask((-140, -120, W + 140, H + 120)), 90))
    c.fill(edges, (20, 10, 8), 0.7)


def backdrop():
    c = Canvas(W, H, supersample=2)
    sky(c)
    glow_spots(c)
    hills(c)
    hive(c)
    vignette(c)
    return c.result().convert("RGB")


def main(out_dir):
    output.save_png(backdrop(), os.path.join(out_dir, "transition_bg.png"))
    for frame in (1, 2, 3):
        output.save_png(menu.rank_bee(frame, BEE_ZOOM), os.path.join(out_dir, "transition_bee_%d.png" % frame))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
