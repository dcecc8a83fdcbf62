#!/usr/bin/env python3
"""Draws the meadow's look and what every level shares: the planet's rings, the sky and decoration
sheets, the effects and the particle texture.

A level group's look is written by write_look(), for the meadow here and for the other groups by
make_<group>_art.py, into OUTPUT_DIR as:
  <group>_ring_ground.png      the ground ring: the surface along the top, soil fading to the
                               group's fill colour at the bottom; repeats around the planet
  <group>_ring_near.png        near background ring, clear sky above its scenery
  <group>_ring_near_low.png    the same at half size (low-quality setting)
  <group>_ring_far.png         far background ring
  <group>_sky.png + .plist     layer 1: the sun and the pictures strewn over the sky
  <group>_background.png + .plist  layer 2: the frames the levels place behind the ground's edge
                               (bg_tree_round, bg_tree_tall, bg_bush, bg_cottage, bg_fence)
  <group>_foreground.png + .plist  layer 3: the small things on the ground (fg_grass_1, fg_grass_2,
                               fg_daisies, fg_mushroom, fg_stones, fg_clover)
  menu_bg_<group>.png          the group's stretch of the menu world (1024 x 256, surface at
                               mid-height): its far and near rings standing on its ground
Every group draws the frames the shared level layouts place under the same names and at the same
sizes, feet on the bottom row, so a layout stands the same in every group's look.

Shared by every level:
  front.png + front.plist      layer 4: tall grass, fern and leaves
  effects.png + effects.plist  one-shot effects, four frames each: puff, sparkle, hit, and bolt (a
                               lightning bolt hanging from the top centre of its frame)
  particle_generic.png         the soft round particle shared by the nectar streams

Pictures other scripts reuse are drawn once per run (cached). The ring textures wrap seamlessly left
to right (their shapes repeat with the texture width) and their top edge is the ring's outer edge.

Usage: make_level_art.py OUTPUT_DIR
"""

import functools
import math
import os
import random
import sys
from dataclasses import dataclass

from PIL import Image, ImageChops

from art import output, sheet
from art.paint import INK, SS, Canvas, bezier, darker, downsample, lighter, mix, soft_disc

GRASS = (116, 190, 72)
SOIL = (150, 98, 58)
GROUND_FILL = (104, 64, 40)
LEAF = (88, 168, 78)
BARK = (132, 86, 52)


def wavy(width, x, waves, phase_seed):
    """A seamless height profile: integer numbers of waves across the width."""
    rng = random.Random(phase_seed)
    return sum(amp * math.sin(2 * math.pi * (n * x / width) + rng.uniform(0, 6.283)) for n, amp in waves)


def tiled(width, x):
    """x and its copies one texture width to either side, so shapes crossing the edge wrap."""
    return (x - width, x, x + width)


# --- rings ----------------------------------------------------------------------------------

def soil(c, top, colour, fill):
    """The soil of a ground ring below the surface line `top` (points from left to right): warm
    `colour` under the surface, the level's fill colour over the bottom quarter, where the ring
    meets the fill disc."""
    w, h = c.width, c.height
    c.shade(c.polygon_mask(top + [(w, h), (0, h)]), (0, 0, w, h), colour, light=lighter(colour, 0.1), dark=fill,
            light_at=(0.5, -1.2))
    c.fill(c.blur(c.polygon_mask([(0, h - 40), (w, h - 40), (w, h + 40), (0, h + 40)]), 10), fill)


def pebbles(c, rng, count, colour, stone, spread=(0.25, 0.5), size=((3, 7), (2, 4.5)), shine=0.3):
    """Pebbles in a ground ring's soil, between `colour` and `stone`, wrapping round its edges."""
    w, h = c.width, c.height
    for _ in range(count):
        x, y = rng.uniform(0, w), rng.uniform(40, h - 36)
        rx, ry = rng.uniform(*size[0]), rng.uniform(*size[1])
        pebble = Canvas(round(rx * 2 + 4), round(ry * 2 + 4))
        pebble.ellipse((2, 2, 2 + rx * 2, 2 + ry * 2), mix(colour, stone, rng.uniform(*spread)), outline=0.9,
                       ink=darker(colour, 0.45), shine=shine)
        c.paste_tiled(pebble, (x - rx - 2, y - ry - 2))


@functools.cache
def ring_ground():
    w, h = 512, 128
    c = Canvas(w, h)
    rng = random.Random(11)
    top = [(x, 10 + wavy(w, x, [(4, 1.5), (9, 1.0)], 3)) for x in range(0, w + 1, 4)]
    soil(c, [(x, y + 4) for x, y in top], SOIL, GROUND_FILL)
    pebbles(c, rng, 26, SOIL, (214, 190, 160))
    # Grass: a scalloped band with a darker underside and short blade tips along the surface.
    under = [(x, 30 + wavy(w, x, [(16, 3.0), (32, 1.5), (5, 2.0)], 4)) for x in range(w, -1, -4)]
    band = c.polygon_mask(top + under)
    c.outline(band, 1.5, darker(GRASS, 0.5))
    c.shade(band, (0, 6, w, 36), GRASS, light=lighter(GRASS, 0.35), dark=darker(GRASS, 0.3), light_at=(0.5, 0.0))
    blades = []
    for i in range(150):
        x = i * w / 150 + rng.uniform(-1, 1)
        base = 10 + wavy(w, x, [(4, 1.5), (9, 1.0)], 3) + 3
        tip = (x + rng.uniform(-3, 3), rng.uniform(0, 4))
        for tx in tiled(w, x):
            blades.append([(tx - 2.2, base), (tip[0] - x + tx, tip[1]), (tx + 2.2, base)])
    c.shade(c.polygon_mask(*blades), (0, 0, w, 14), GRASS, light=lighter(GRASS, 0.45), dark=GRASS,
            light_at=(0.5, 0.0))
    # Tiny flowers dotted in the grass.
    for i in range(14):
        x, y = (i + rng.uniform(0.1, 0.9)) * w / 14, rng.uniform(15, 23)
        flower = Canvas(10, 10)
        petal = rng.choice([(255, 255, 255), (255, 226, 90), (255, 170, 200)])
        for k in range(5):
            a = k * 2 * math.pi / 5
            px, py = 5 + math.cos(a) * 2.2, 5 + math.sin(a) * 2.2
            flower.ellipse((px - 1.8, py - 1.8, px + 1.8, py + 1.8), petal, outline=0)
        flower.ellipse((3.7, 3.7, 6.3, 6.3), (250, 190, 40), outline=0)
        c.paste_tiled(flower, (x - 5, y - 5))
    return c.result()


def hills(w, h, base, tree_colour, seed, outline, ridge, waves, trees, tree_size, supersample=SS, lean=0.0):
    """Rolling hills with round trees along the ridge; `lean` bends the trees sideways (their
    crowns shift by that many tree sizes), as in a strong wind."""
    c = Canvas(w, h, supersample=supersample)
    rng = random.Random(seed)
    ink = darker(base, 0.4)
    profile = [(x, ridge + wavy(w, x, waves, seed)) for x in range(0, w + 1, 4)]
    land = c.polygon_mask(profile + [(w, h), (0, h)])
    # Trees stand on the ridge, drawn first so the hill hides their trunks' feet.
    for i in range(trees):
        x = (i + rng.uniform(0.15, 0.85)) * w / trees
        ground = ridge + wavy(w, x, waves, seed)
        size = rng.uniform(0.7, 1.15) * tree_size
        colour = mix(tree_colour, base, rng.uniform(0.0, 0.3))
        tree = Canvas(round(size * 3.6), round(size * 2.8 + 8), supersample=supersample)
        mid, foot = tree.size[0] / 2, size * 2.6
        tree.stroke([(mid, foot + 4), (mid + lean * size * 0.3, foot - size * 0.9)], size * 0.28, darker(colour, 0.3),
                    outline=outline, ink=ink)
        blob = tree.new_mask()
        for bx, by, r in ((0, -1.4, 0.95), (-0.7, -0.8, 0.7), (0.7, -0.85, 0.72)):
            bx += lean * -by * 0.5
            blob = ImageChops.lighter(blob, tree.ellipse_mask((mid + (bx - r) * size, foot + (by - r) * size,
                                                               mid + (bx + r) * size, foot + (by + r) * size)))
        tree.shape(blob, (mid - 1.6 * size, foot - 2.4 * size, mid + 1.6 * size, foot), colour, outline=outline,
                   ink=ink, light=lighter(colour, 0.3), dark=darker(colour, 0.2))
        c.paste_tiled(tree, (x - mid, ground - foot))
    if outline:
        c.outline(land, outline, ink)
    c.shade(land, (0, ridge - 30, w, h), base, light=lighter(base, 0.3), dark=darker(base, 0.25), light_at=(0.5, 0.0))
    # Lighter rolling fields in front.
    front = [(x, ridge + 40 + wavy(w, x, [(3, 10), (7, 5)], seed + 1)) for x in range(0, w + 1, 4)]
    c.shade(c.polygon_mask(front + [(w, h), (0, h)]), (0, ridge + 20, w, h), lighter(base, 0.12),
            light=lighter(base, 0.35), dark=base, light_at=(0.5, 0.0))
    return c.result()


@functools.cache
def ring_hills_near():
    return hills(512, 256, (120, 184, 96), (74, 150, 84), 21, 1.2, 120, [(2, 22), (5, 10), (11, 4)], 9, 28)


@functools.cache
def ring_hills_far():
    return hills(512, 256, (146, 198, 178), (120, 178, 160), 31, 0, 90, [(3, 30), (7, 12), (13, 5)], 11, 13)


# --- sky (layer 1) ---------------------------------------------------------------------------

@functools.cache
def sun():
    size = 144
    c = Canvas(size, size)
    m = size / 2
    c.glow(c.ellipse_mask((m - 46, m - 46, m + 46, m + 46)), (255, 236, 150), 8, 0.9)
    rays = c.new_mask()
    for k in range(12):
        a = k * math.pi / 6
        ca, sa = math.cos(a), math.sin(a)
        rays = ImageChops.lighter(rays, c.polygon_mask([
            (m + ca * 40 - sa * 7, m + sa * 40 + ca * 7), (m + ca * 64, m + sa * 64),
            (m + ca * 40 + sa * 7, m + sa * 40 - ca * 7)]))
    c.shade(rays, (m - 64, m - 64, m + 64, m + 64), (255, 206, 70), light=(255, 240, 150), dark=(255, 170, 50),
            light_at=(0.5, 0.5))
    c.ellipse((m - 40, m - 40, m + 40, m + 40), (255, 214, 72), outline=2.0, ink=(214, 120, 40),
              light=(255, 250, 190), dark=(255, 160, 40), shine=0.4)
    # A sleepy, content face.
    for ex in (-14, 14):
        c.stroke(bezier([(m + ex - 6, m - 4), (m + ex, m + 2), (m + ex + 6, m - 4)]), 2.4, (196, 104, 40))
    c.fill(c.blur(c.ellipse_mask((m - 30, m + 4, m - 16, m + 14)), 2), (255, 130, 90), 0.5)
    c.fill(c.blur(c.ellipse_mask((m + 16, m + 4, m + 30, m + 14)), 2), (255, 130, 90), 0.5)
    c.stroke(bezier([(m - 8, m + 12), (m, m + 19), (m + 8, m + 12)]), 2.4, (196, 104, 40))
    return c.result()


@functools.cache
def moon():
    size = 112
    c = Canvas(size, size)
    m = size / 2
    c.glow(c.ellipse_mask((m - 38, m - 38, m + 38, m + 38)), (220, 230, 255), 7, 0.7)
    disc = c.ellipse_mask((m - 36, m - 36, m + 36, m + 36))
    bite = c.ellipse_mask((m - 16, m - 46, m + 52, m + 24))
    crescent = ImageChops.subtract(disc, bite)
    c.shape(crescent, (m - 36, m - 36, m + 36, m + 36), (246, 240, 206), outline=1.8, ink=(150, 140, 120),
            light=(255, 255, 240), dark=(214, 200, 160))
    c.stroke(bezier([(m - 22, m + 2), (m - 17, m + 7), (m - 12, m + 3)]), 1.8, (150, 130, 110))
    return c.result()


def star(size, points, colour, inner=0.45):
    c = Canvas(size, size)
    m = size / 2
    r = size / 2 - 3
    outline = []
    for k in range(points * 2):
        a = -math.pi / 2 + k * math.pi / points
        rr = r if k % 2 == 0 else r * inner
        outline.append((m + math.cos(a) * rr, m + math.sin(a) * rr))
    mask = c.polygon_mask(outline)
    c.glow(mask, lighter(colour, 0.5), 2, 0.8)
    c.shape(mask, (m - r, m - r, m + r, m + r), colour, outline=1.0, ink=darker(colour, 0.45), shine=0.5)
    return c.result()


def sparkle(size, colour, thickness=0.22):
    c = Canvas(size, size)
    m = size / 2
    r = size / 2 - 2
    t = r * thickness
    mask = c.polygon_mask([(m, m - r), (m + t, m - t), (m + r, m), (m + t, m + t), (m, m + r), (m - t, m + t),
                           (m - r, m), (m - t, m - t)])
    c.glow(mask, colour, size * 0.08, 1.0)
    c.fill(mask, lighter(colour, 0.6))
    c.fill(c.blur(c.ellipse_mask((m - t, m - t, m + t, m + t)), t * 0.5), (255, 255, 255))
    return c.result()


def puff(w, h, seed):
    c = Canvas(w, h)
    rng = random.Random(seed)
    blob = c.new_mask()
    boxes = []
    for k in range(5):
        cx = w * (0.25 + 0.5 * k / 4) + rng.uniform(-2, 2)
        r = h * (0.22 + 0.14 * math.sin(math.pi * k / 4)) + rng.uniform(0, 2)
        cy = h * 0.58 - r * 0.3
        boxes.append((cx - r, cy - r, cx + r, cy + r))
        blob = ImageChops.lighter(blob, c.ellipse_mask(boxes[-1]))
    c.outline(blob, 1.4, (150, 170, 200))
    c.shade(blob, (0, 0, w, h), (246, 250, 255), light=(255, 255, 255), dark=(196, 212, 236), light_at=(0.4, 0.2))
    return c.result()


def heap(w, h, seed, colour, opacity=0.9):
    """A soft heap of cloud or smoke for the sky's backdrop. The sky strews its pictures at any
    angle, so it is round and lit from its middle, with no up or down; no outline, so that it
    never passes for a danger."""
    c = Canvas(w, h)
    rng = random.Random(seed)
    m = (w / 2, h / 2)
    r0 = min(w, h) * 0.3
    boxes = [(m[0] - r0, m[1] - r0, m[0] + r0, m[1] + r0)]
    for k in range(9):
        a = k * 2 * math.pi / 9 + rng.uniform(-0.2, 0.2)
        d = r0 * rng.uniform(0.55, 0.8)
        r = min(w, h) * rng.uniform(0.15, 0.21)
        x, y = m[0] + math.cos(a) * d * w / min(w, h), m[1] + math.sin(a) * d
        boxes.append((x - r, y - r, x + r, y + r))
    soft = c.blur(c.ellipses_mask(boxes), 1.2)
    c.shade(soft, (0, 0, w, h), colour, light=lighter(colour, 0.3), dark=darker(colour, 0.3), light_at=(0.5, 0.5))
    image = c.result()
    image.putalpha(image.getchannel("A").point(lambda v: round(v * opacity)))
    return image


def seed_fluff():
    c = Canvas(24, 32)
    c.stroke([(12, 30), (12, 13)], 1.1, (150, 130, 100))
    c.ellipse((10.5, 27, 13.5, 31), (170, 130, 90), outline=0)
    for k in range(9):
        a = -math.pi + k * math.pi / 8
        tip = (12 + math.cos(a) * 10, 12 + math.sin(a) * 10)
        c.stroke([(12, 13), tip], 0.8, (255, 255, 255))
        c.fill(c.blur(c.ellipse_mask((tip[0] - 1.6, tip[1] - 1.6, tip[0] + 1.6, tip[1] + 1.6)), 0.4),
               (255, 255, 255), 0.9)
    return c.result()


# --- decoration layers 2 to 4 ----------------------------------------------------------------

def blob_tree(w, h, canopy, seed, trunk_height):
    c = Canvas(w, h)
    rng = random.Random(seed)
    trunk = c.polygon_mask([(w / 2 - 6, h - 2), (w / 2 - 3.5, h - trunk_height), (w / 2 + 3.5, h - trunk_height),
                            (w / 2 + 6, h - 2)])
    c.shape(trunk, (w / 2 - 6, h - trunk_height, w / 2 + 6, h), BARK)
    blob = c.new_mask()
    parts = []
    for cx, cy, r in canopy:
        box = (cx - r, cy - r, cx + r, cy + r)
        parts.append(box)
        blob = ImageChops.lighter(blob, c.ellipse_mask(box))
    c.outline(blob, 1.6)
    for box in sorted(parts, key=lambda b: -b[1]):
        colour = mix(LEAF, (130, 200, 90), rng.uniform(0, 0.4))
        c.shade(c.ellipse_mask(box), box, colour, light=lighter(colour, 0.35), dark=darker(colour, 0.3))
    # A few apples or blossoms.
    for _ in range(5):
        x, y = rng.uniform(w * 0.2, w * 0.8), rng.uniform(h * 0.12, h * 0.5)
        c.ellipse((x - 3, y - 3, x + 3, y + 3), (240, 96, 80), outline=0.8, shine=0.5)
    return c.result()


def tall_tree():
    c = Canvas(56, 140)
    c.shape(c.polygon_mask([(24, 138), (26, 100), (30, 100), (32, 138)]), (22, 100, 34, 138), BARK)
    mask = c.ellipse_mask((6, 4, 50, 112))
    c.shape(mask, (6, 4, 50, 112), (70, 150, 86), light=(140, 206, 120), dark=(40, 104, 62), shine=0.2)
    for y in (30, 52, 74, 92):
        c.stroke(bezier([(14, y), (28, y + 7), (42, y)]), 1.2, (56, 124, 70))
    return c.result()


def bush(base=(92, 172, 80), light=(160, 216, 120), dark=(56, 120, 60), blossoms=True):
    c = Canvas(80, 48)
    blob = c.new_mask()
    boxes = [(4, 18, 34, 46), (20, 4, 58, 44), (46, 14, 76, 46)]
    for box in boxes:
        blob = ImageChops.lighter(blob, c.ellipse_mask(box))
    c.outline(blob, 1.5)
    for box in boxes:
        c.shade(c.ellipse_mask(box), box, base, light=light, dark=dark)
    if blossoms:
        for x, y in ((22, 24), (44, 16), (60, 30), (34, 34)):
            c.ellipse((x - 3, y - 3, x + 3, y + 3), (255, 240, 250), outline=0.6)
            c.ellipse((x - 1, y - 1, x + 1, y + 1), (250, 200, 60), outline=0)
    return c.result()


def cottage():
    c = Canvas(112, 104)
    wall = (18, 46, 94, 102)
    c.shape(c.rounded_mask(wall, 3), wall, (250, 232, 196), light=(255, 248, 226), dark=(214, 186, 146))
    c.shape(c.rounded_mask((44, 70, 62, 102), 7), (44, 70, 62, 102), (170, 104, 64))
    c.ellipse((57, 86, 60, 89), (250, 210, 90), outline=0.5)
    c.shape(c.rounded_mask((70, 62, 86, 78), 2), (70, 62, 86, 78), (150, 210, 240), light=(230, 250, 255))
    c.stroke([(78, 62), (78, 78)], 1.2, INK)
    c.stroke([(70, 70), (86, 70)], 1.2, INK)
    c.shape(c.rounded_mask((80, 8, 92, 36), 2), (80, 8, 92, 36), (196, 110, 86))
    roof = c.polygon_mask([(6, 52), (56, 10), (106, 52), (100, 58), (12, 58)])
    c.shape(roof, (6, 10, 106, 58), (220, 96, 72), light=(248, 150, 110), dark=(168, 62, 52))
    for k in range(1, 5):
        y = 10 + k * 10
        c.stroke([(56 - (y - 10) * 1.15, y), (56 + (y - 10) * 1.15, y)], 1.0, (176, 70, 56))
    c.shape(c.ellipse_mask((48, 30, 64, 46)), (48, 30, 64, 46), (250, 232, 196))
    c.stroke([(56, 31), (56, 45)], 1.0, INK)
    return c.result()


def fence():
    c = Canvas(128, 40)
    wood = (222, 196, 150)
    for y in (14, 28):
        c.shape(c.rounded_mask((2, y - 3, 126, y + 3), 2), (2, y - 3, 126, y + 3), wood)
    for x in range(8, 128, 24):
        post = c.polygon_mask([(x - 5, 39), (x - 5, 8), (x, 2), (x + 5, 8), (x + 5, 39)])
        c.shape(post, (x - 5, 2, x + 5, 39), wood, light=(250, 232, 196), dark=(176, 140, 96))
    return c.result()


def grass_tuft(w, h, seed, colour=GRASS, blades=9, wind=0.0):
    """Blades fanning out from the bottom edge; `wind` pushes every tip that many pixels sideways."""
    c = Canvas(w, h)
    rng = random.Random(seed)
    mask = c.new_mask()
    for i in range(blades):
        x = w * (0.15 + 0.7 * i / (blades - 1)) + rng.uniform(-2, 2)
        lean = (i - blades / 2) * rng.uniform(1.5, 3)
        top = (x + lean + wind, rng.uniform(2, h * 0.35))
        mask = ImageChops.lighter(mask, c.polygon_mask(
            [(x - 3, h - 1)] + bezier([(x - 1, h * 0.6), (top[0] - lean * 0.3, h * 0.3), top], 8)[1:] +
            [(x + 3, h - 1)]))
    c.shape(mask, (0, 0, w, h), colour, outline=1.2, ink=darker(colour, 0.5), light=lighter(colour, 0.4),
            dark=darker(colour, 0.25), light_at=(0.5, 0.0))
    return c.result()


def daisy(c, x, y, r, petal, centre=(250, 190, 40)):
    for k in range(8):
        a = k * math.pi / 4
        px, py = x + math.cos(a) * r * 0.62, y + math.sin(a) * r * 0.62
        c.ellipse((px - r * 0.42, py - r * 0.42, px + r * 0.42, py + r * 0.42), petal, outline=0.8)
    c.ellipse((x - r * 0.4, y - r * 0.4, x + r * 0.4, y + r * 0.4), centre, outline=0.8, shine=0.4)


def daisies():
    c = Canvas(72, 40)
    for x, top in ((16, 12), (38, 6), (58, 14)):
        c.stroke(bezier([(x, 39), (x - 3, 28), (x, top)]), 2.0, (90, 160, 70), outline=0.6)
    for x, y, petal in ((16, 12, (255, 255, 255)), (38, 8, (255, 206, 226)), (58, 14, (255, 255, 255))):
        daisy(c, x, y, 8, petal)
    return c.result()


def mushroom(cap=(226, 70, 60), light=(255, 130, 110), dark=(170, 40, 40)):
    c = Canvas(40, 44)
    stem = c.rounded_mask((14, 20, 26, 43), 5)
    c.shape(stem, (14, 20, 26, 43), (250, 240, 220))
    cap_mask = ImageChops.subtract(c.ellipse_mask((2, 2, 38, 34)),
                                   c.polygon_mask([(0, 24), (40, 24), (40, 44), (0, 44)]))
    c.shape(cap_mask, (2, 2, 38, 24), cap, light=light, dark=dark, shine=0.5)
    for x, y, r in ((12, 10, 3), (24, 7, 2.5), (29, 16, 3), (17, 18, 2)):
        c.fill(c.ellipse_mask((x - r, y - r, x + r, y + r)), (255, 250, 240))
    return c.result()


def stones():
    c = Canvas(48, 28)
    c.ellipse((2, 8, 30, 27), (170, 166, 160), shine=0.3)
    c.ellipse((22, 14, 46, 27), (196, 188, 176), shine=0.3)
    return c.result()


def clover():
    c = Canvas(40, 28)
    for x, y in ((10, 14), (28, 10)):
        c.stroke([(x, 27), (x, y)], 1.5, (80, 150, 60))
        for a in (-math.pi / 2, math.pi / 6, 5 * math.pi / 6):
            px, py = x + math.cos(a) * 4.5, y + math.sin(a) * 4.5
            c.ellipse((px - 4.5, py - 4.5, px + 4.5, py + 4.5), (110, 190, 80), outline=0.9)
    return c.result()


def fern():
    c = Canvas(96, 96)
    fronds = []
    for stem in ([(48, 95), (40, 50), (14, 14)], [(48, 95), (58, 46), (86, 18)], [(48, 95), (47, 50), (50, 4)]):
        points = bezier(stem, 12)
        fronds.append(c.stroke_mask(points, 2.2))
        leaflets = []
        for i in range(2, 12):
            (x0, y0), (x1, y1) = points[i - 1], points[i]
            dx, dy = x1 - x0, y1 - y0
            length = math.hypot(dx, dy) or 1
            nx, ny = -dy / length, dx / length
            leaf = 10 * (1 - i / 13) + 3
            for side in (1, -1):
                tip = (x1 + nx * side * leaf + dx * 0.5, y1 + ny * side * leaf + dy * 0.5)
                leaflets.append([(x0, y0), (x0 + nx * side * leaf * 0.6, y0 + ny * side * leaf * 0.6), tip, (x1, y1)])
        fronds.append(c.polygon_mask(*leaflets))
    mask = fronds[0]
    for frond in fronds[1:]:
        mask = ImageChops.lighter(mask, frond)
    c.shape(mask, (0, 0, 96, 96), (84, 170, 74), outline=1.0, light=(150, 214, 116), dark=(46, 116, 54),
            light_at=(0.5, 0.1))
    return c.result()


def leaves():
    c = Canvas(128, 96)
    c.stroke(bezier([(0, 8), (50, 4), (126, 30)]), 3, BARK, outline=1)
    for x, y, a, s in ((22, 10, 100, 1.0), (48, 8, 70, 0.9), (70, 16, 110, 1.1), (96, 24, 80, 0.95),
                       (116, 32, 120, 0.8), (36, 12, 135, 0.8)):
        ra = math.radians(a)
        ux, uy = math.cos(ra), math.sin(ra)
        length = 44 * s
        tip = (x + ux * length, y + uy * length)
        side = (-uy * 11 * s, ux * 11 * s)
        outline = bezier([(x, y), (x + ux * length * 0.4 + side[0], y + uy * length * 0.4 + side[1]), tip], 10)
        outline += bezier([tip, (x + ux * length * 0.4 - side[0], y + uy * length * 0.4 - side[1]), (x, y)], 10)
        mask = c.polygon_mask(outline)
        box = (min(x, tip[0]) - 12, min(y, tip[1]) - 12, max(x, tip[0]) + 12, max(y, tip[1]) + 12)
        c.shape(mask, box, (70, 156, 70), light=(130, 206, 104), dark=(40, 106, 54))
        c.stroke([(x, y), tip], 1.0, (50, 120, 56))
    return c.result()


# --- effects and particles -------------------------------------------------------------------

def effect_puff(frame):
    """A ring of cloud balls spreading out and fading."""
    c = Canvas(64, 64)
    t = frame / 4
    rng = random.Random(51)
    fade = 1.0 if frame < 3 else 0.55
    for k in range(7):
        a = k * 2 * math.pi / 7 + rng.uniform(-0.2, 0.2)
        d = 6 + 16 * t
        r = 7 + 6 * t - (3 if frame == 4 else 0)
        x, y = 32 + math.cos(a) * d, 32 + math.sin(a) * d
        mask = c.ellipse_mask((x - r, y - r, x + r, y + r))
        c.outline(mask, 1.2, (150, 150, 170))
        c.shade(mask, (x - r, y - r, x + r, y + r), (244, 244, 250), light=(255, 255, 255), dark=(200, 204, 222))
    image = c.result()
    image.putalpha(image.getchannel("A").point(lambda v: round(v * fade)))
    return image


def effect_sparkle(frame):
    """A glint that swells and shrinks while five small ones fly outwards."""
    big, ring = {1: (14, 0), 2: (30, 10), 3: (40, 18), 4: (22, 24)}[frame]
    glint = sparkle(64, (255, 230, 120)).resize((big, big), Image.Resampling.LANCZOS)
    canvas = Image.new("RGBA", (64, 64))
    canvas.alpha_composite(glint, ((64 - big) // 2, (64 - big) // 2))
    if ring:
        small = sparkle(16, (255, 250, 200))
        for k in range(5):
            a = k * 2 * math.pi / 5 + frame * 0.4
            canvas.alpha_composite(small, (round(24 + math.cos(a) * ring), round(24 + math.sin(a) * ring)))
    if frame == 4:
        canvas.putalpha(canvas.getchannel("A").point(lambda v: round(v * 0.6)))
    return canvas


def effect_hit(frame):
    """A ring of little stars bursting outwards."""
    canvas = Image.new("RGBA", (64, 64))
    reach = {1: 8, 2: 16, 3: 22, 4: 26}[frame]
    size = {1: 22, 2: 18, 3: 14, 4: 10}[frame]
    small = star(size, 5, (255, 220, 80))
    for k in range(6):
        a = k * math.pi / 3 + 0.3
        x = round(32 + math.cos(a) * reach - size / 2)
        y = round(32 + math.sin(a) * reach - size / 2)
        canvas.alpha_composite(small, (x, y))
    if frame == 4:
        canvas.putalpha(canvas.getchannel("A").point(lambda v: round(v * 0.6)))
    return canvas


def effect_bolt(frame):
    """A zigzag bolt striking down from the top centre, flaring then fading."""
    c = Canvas(48, 160)
    path = [(24, 0), (14, 40), (30, 58), (16, 100), (32, 118), (22, 160)]
    strength = {1: 1.0, 2: 0.9, 3: 0.6, 4: 0.3}[frame]
    c.glow(c.stroke_mask(path, 4), (255, 240, 150), 4, strength)
    c.stroke(path, {1: 5, 2: 4, 3: 3, 4: 2}[frame], (255, 248, 200), outline=1.0, ink=(240, 170, 40))
    if strength < 1:
        c.image.putalpha(c.image.getchannel("A").point(lambda v: round(v * strength)))
    return c.result()


def particle_generic():
    return soft_disc(32, falloff=1.6, core=0.35)


def title_backdrop(w, h):
    """Behind the meadow's title on its menu screen: a grassy bank with daisies at either end."""
    c = Canvas(w, h)
    for x0 in (10, w - 150):
        bank = c.ellipse_mask((x0, h - 40, x0 + 140, h + 30))
        c.shape(bank, (x0, h - 40, x0 + 140, h), GRASS, outline=1.4, light=lighter(GRASS, 0.35),
                dark=darker(GRASS, 0.2), light_at=(0.5, 0.0))
        for k, (dx, top) in enumerate(((30, 48), (66, 34), (104, 44))):
            c.stroke(bezier([(x0 + dx, h - 24), (x0 + dx - 4, h - 36), (x0 + dx, h - top)]), 2.4, (90, 160, 70),
                     outline=0.7)
            daisy(c, x0 + dx, h - top, 10, (255, 255, 255) if k != 1 else (255, 206, 226))
    return c.result()


# --- a group's look ----------------------------------------------------------------------------

# The frames the shared level layouts place, by sheet.
BACKGROUND_FRAMES = ("bg_tree_round.png", "bg_tree_tall.png", "bg_bush.png", "bg_cottage.png", "bg_fence.png")
FOREGROUND_FRAMES = ("fg_grass_1.png", "fg_grass_2.png", "fg_daisies.png", "fg_mushroom.png", "fg_stones.png",
                     "fg_clover.png")


def background(tree_round, tree_tall, bush, cottage, fence):
    """A group's pictures for the background frames the layouts place, under their names."""
    return dict(zip(BACKGROUND_FRAMES, (tree_round, tree_tall, bush, cottage, fence)))


def foreground(grass_1, grass_2, daisies, mushroom, stones, clover):
    """A group's pictures for the foreground frames the layouts place, under their names."""
    return dict(zip(FOREGROUND_FRAMES, (grass_1, grass_2, daisies, mushroom, stones, clover)))

MENU_STRIP = (1024, 256)  # the menu world's ground pictures; the surface is at mid-height


def ground_row(height, inner, outer, ground=1200.0):
    """The row of a ring texture `height` pixels high, drawn from radius `outer` (top row) down to
    `inner`, that lies on the level's ground surface (radii in points)."""
    return round(height * (outer - ground) / (outer - inner))


# The ground surface's rows in the background rings of levels that draw them at the usual radii,
# near 1150 to 1410 and far 1100 to 1480 (256 pixels high).
NEAR_GROUND = ground_row(256, 1150, 1410)
FAR_GROUND = ground_row(256, 1100, 1480)


@dataclass
class Look:
    """Everything a level group looks like. `near_ground` and `far_ground` are the rows of the
    background rings that lie on the ground surface in the group's levels; `background` and
    `foreground` are made by background() and foreground()."""
    ground: Image.Image
    near: Image.Image
    far: Image.Image
    sky: dict
    background: dict
    foreground: dict
    near_ground: int = NEAR_GROUND
    far_ground: int = FAR_GROUND


def menu_strip(look, scale=0.6):
    """The group's stretch of the menu world: its far and near rings, shrunk by `scale` (the menu
    world is small), standing on its ground ring; the surface at mid-height, the scenery fading
    out towards the top edge."""
    width, height = MENU_STRIP
    surface = height // 2
    scenery = Image.new("RGBA", MENU_STRIP)
    for ring, ground in ((look.far, look.far_ground), (look.near, look.near_ground)):
        small = downsample(ring, (round(ring.width * scale), round(ring.height * scale)))
        ground = round(ground * scale)
        top = ground - surface  # the ring's row at the strip's top edge
        # Down to the strip's bottom: the ground ring's grass shows the scenery between its blades.
        part = small.crop((0, max(0, top), small.width, min(small.height, top + height)))
        for x in range(0, width, small.width):
            scenery.alpha_composite(part.crop((0, 0, min(part.width, width - x), part.height)), (x, max(0, -top)))
    fade = Image.linear_gradient("L").resize((width, surface // 4))
    alpha = scenery.getchannel("A")
    alpha.paste(ImageChops.multiply(alpha.crop((0, 0, width, fade.height)), fade), (0, 0))
    scenery.putalpha(alpha)
    for x in range(0, width, look.ground.width):
        scenery.alpha_composite(look.ground, (x, surface))
    return scenery


def look_files(group):
    """The files write_look() writes for a group."""
    names = ["%s_ring_%s.png" % (group, ring) for ring in ("ground", "near", "near_low", "far")]
    for layer in ("sky", "background", "foreground"):
        names += ["%s_%s.png" % (group, layer), "%s_%s.plist" % (group, layer)]
    return names + ["menu_bg_%s.png" % group]


def write_look(look, group, out_dir):
    def out(name):
        return os.path.join(out_dir, name)

    output.save_png(look.ground, out("%s_ring_ground.png" % group))
    output.save_png(look.near, out("%s_ring_near.png" % group))
    output.save_png(downsample(look.near, (look.near.width // 2, look.near.height // 2)),
                    out("%s_ring_near_low.png" % group))
    output.save_png(look.far, out("%s_ring_far.png" % group))
    for layer, frames in (("sky", look.sky), ("background", look.background), ("foreground", look.foreground)):
        sheet.write(frames, out("%s_%s.png" % (group, layer)), out("%s_%s.plist" % (group, layer)))
    output.save_png(menu_strip(look), out("menu_bg_%s.png" % group))


@functools.cache
def meadow_look():
    return Look(
        ground=ring_ground(), near=ring_hills_near(), far=ring_hills_far(),
        sky={
            "sky_sun.png": sun(),
            "sky_moon.png": moon(),
            "sky_star.png": star(28, 5, (255, 236, 130)),
            "sky_sparkle.png": sparkle(28, (255, 250, 210)),
            "sky_puff_1.png": puff(72, 48, 61),
            "sky_puff_2.png": puff(52, 36, 62),
            "sky_seed.png": seed_fluff(),
        },
        background=background(
            tree_round=blob_tree(96, 128, [(48, 36, 30), (26, 56, 22), (70, 56, 22), (48, 66, 24)], 71, 50),
            tree_tall=tall_tree(), bush=bush(), cottage=cottage(), fence=fence()),
        foreground=foreground(
            grass_1=grass_tuft(64, 32, 81), grass_2=grass_tuft(48, 28, 82, blades=7), daisies=daisies(),
            mushroom=mushroom(), stones=stones(), clover=clover()))


def look_main(make_look, group, usage):
    """The command line of a group's generator: OUTPUT_DIR, where write_look() puts its files."""
    if len(sys.argv) != 2:
        sys.exit(usage)
    write_look(make_look(), group, sys.argv[1])


def main(out_dir):
    def out(name):
        return os.path.join(out_dir, name)

    write_look(meadow_look(), "meadow", out_dir)
    sheet.write({
        "front_grass_tall.png": grass_tuft(96, 80, 91, colour=(96, 176, 70), blades=12),
        "front_fern.png": fern(),
        "front_leaves.png": leaves(),
    }, out("front.png"), out("front.plist"))
    effects = {}
    for frame in range(1, 5):
        effects["effect_puff_%d.png" % frame] = effect_puff(frame)
        effects["effect_sparkle_%d.png" % frame] = effect_sparkle(frame)
        effects["effect_hit_%d.png" % frame] = effect_hit(frame)
        effects["effect_bolt_%d.png" % frame] = effect_bolt(frame)
    sheet.write(effects, out("effects.png"), out("effects.plist"))
    output.save_png(particle_generic(), out("particle_generic.png"))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
