#!/usr/bin/env python3
"""Draws the level objects of the foreground layer and makes their sounds.

Writes, into OUTPUT_DIR:
  objects_fg.png + objects_fg.plist   layer 3 frames:
      hive_inner, hive_honey, hive_outer       the hive: dark interior, the honey that rises in
                                               its window (same size, drawn over the interior),
                                               and the straw skep around the window
      daisy_1 .. daisy_5, daisy_sleep          a flower's growth frames, empty to full, and its
                                               closed night frame; tulip (one frame)
      nectar_drop, honey_pot, hourglass, buddy_bee, sour_berry, nectar_jar, barrel
                                               pickups; acorn, acorn_cracked_1, acorn_cracked_2,
                                               acorn_open: the armoured acorn, intact to broken
      butterfly_1 .. butterfly_4               a decoration's wing beat
      crate, pebble, flower_pot, tree_trunk    loose props
      plank_box_1 .. plank_box_4, clay_jar_1 .. clay_jar_3
                                               breakable props, broken (1) to intact (last)
      and the machines and composites of machine_art.py
  rope_plain.png, balloon_rope.png   rope textures, repeated along the ropes (machine_art.py)
  <name>.wav   16-bit mono sounds of the objects: pickup_nectar, pickup_honey, pickup_time,
               pickup_buddy, pickup_sour, shell_crack, shell_open, wood_knock, wood_break,
               pot_break

Frame sizes are points of the game (one pixel each); the anchors in gameobject_data.plist are
measured from a frame's lower left corner. Output is the same on every run.

Usage: make_objects_art.py OUTPUT_DIR
"""

import math
import os
import random
import struct
import sys
import wave

from PIL import Image, ImageChops

import machine_art
from art import output, sheet
from art.paint import INK, Canvas, bezier, darker, lighter, mix

HONEY = (246, 178, 40)
HONEY_DARK = (196, 112, 20)
STRAW = (226, 180, 98)
HIVE_INSIDE = (92, 52, 30)
PETAL = (255, 250, 240)
PETAL_SLEEP = (190, 184, 214)
STEM = (92, 166, 70)
LEAF = (108, 184, 80)
WOOD = (184, 128, 72)
CLAY = (204, 112, 76)
GLASS = (196, 226, 240)

# --- the hive ----------------------------------------------------------------------------------

HIVE_W, HIVE_H = 112, 140
# The tall window in the skep, design pixels, y down. The honey fills the window's width from the
# window's top to just above the frame's bottom; the game scales it upwards from the bottom, so a
# fill of s puts the honey's top near s x the frame height, where it anchors the hive's messages.
WINDOW = (32, 24, 80, 130)


def hive_outline():
    """The skep's dome: a rounded top falling to a flat base."""
    return bezier([(8, 138), (2, 40), (56, -4), (56, -4)], 16)[:-1] + bezier(
        [(56, -4), (110, 40), (104, 138), (104, 138)], 16) + [(8, 138)]


def hive_inner():
    c = Canvas(HIVE_W, HIVE_H)
    window = c.rounded_mask(WINDOW, 12)
    c.shade(window, WINDOW, HIVE_INSIDE, light=lighter(HIVE_INSIDE, 0.15), dark=darker(HIVE_INSIDE, 0.5),
            light_at=(0.5, 0.9))
    # Comb cells at the back of the opening.
    for row in range(6):
        for col in range(4):
            x = WINDOW[0] + 6 + col * 12 + (6 if row % 2 else 0)
            y = WINDOW[1] + 10 + row * 18
            cell = c.polygon_mask([(x + 5 * math.cos(a), y + 5 * math.sin(a)) for a in
                                   (k * math.pi / 3 for k in range(6))])
            c.fill(cell, darker(HIVE_INSIDE, 0.2), 0.7)
    c.clip(window)
    return c.result()


def hive_honey():
    """Honey over the whole window: the game scales it upwards from the bottom edge."""
    c = Canvas(HIVE_W, HIVE_H)
    box = (WINDOW[0], WINDOW[1], WINDOW[2], HIVE_H - 4)
    honey = c.polygon_mask([(box[0], box[1]), (box[2], box[1]), (box[2], box[3]), (box[0], box[3])])
    c.shade(honey, box, HONEY, light=lighter(HONEY, 0.3), dark=HONEY_DARK, light_at=(0.3, 0.0))
    c.fill(c.polygon_mask([(box[0], box[1]), (box[2], box[1]), (box[2], box[1] + 3), (box[0], box[1] + 3)]),
           lighter(HONEY, 0.5))
    return c.result()


def hive_outer():
    c = Canvas(HIVE_W, HIVE_H)
    body = c.polygon_mask(hive_outline())
    c.shadow(body, (2, 3), 3)
    c.shape(body, (2, -4, 110, 138), STRAW, outline=2.0, shine=0.25)
    # Straw coils: bands across the dome.
    for k in range(1, 8):
        y = 138 - k * 18
        c.stroke([(4, y), (56, y - 5), (108, y)], 2.2, darker(STRAW, 0.3))
    c.clip(body)
    # The window cut out with a dark rim, and the entrance below it.
    rim = c.rounded_mask((WINDOW[0] - 3, WINDOW[1] - 3, WINDOW[2] + 3, WINDOW[3] + 3), 14)
    c.fill(rim, INK)
    hole = c.rounded_mask(WINDOW, 12)
    c.image.putalpha(ImageChops.subtract(c.image.getchannel("A"), hole))
    for x in (14, 88):  # entrances either side of the window
        c.fill(c.ellipse_mask((x, 120, x + 10, 130)), (60, 32, 20))
    return c.result()


# --- flowers -----------------------------------------------------------------------------------

DAISY_W, DAISY_H = 64, 128
DAISY_HEAD = (32, 30)  # centre of the head, design pixels from the top left


def stem(c, head, height, lean=0.0):
    x, y = head
    c.stroke(bezier([(x, height - 2), (x + lean, (y + height) / 2), (x, y)], 12), 4, STEM, outline=1.2)
    leaf = c.polygon_mask(bezier([(x, height - 30), (x + 18, height - 46), (x + 22, height - 58)], 8) +
                          bezier([(x + 22, height - 58), (x + 6, height - 50), (x, height - 30)], 8))
    c.shape(leaf, (x, height - 58, x + 22, height - 30), LEAF, outline=1.0)


def daisy(fill, sleeping=False):
    """fill 0..1: how much nectar glows in the centre; a sleeping daisy folds its petals."""
    c = Canvas(DAISY_W, DAISY_H)
    stem(c, DAISY_HEAD, DAISY_H, lean=4)
    cx, cy = DAISY_HEAD
    petal_colour = PETAL_SLEEP if sleeping else mix((236, 228, 214), PETAL, 0.4 + 0.6 * fill)
    count = 6 if sleeping else 10
    for k in range(count):
        a = k * 2 * math.pi / count
        length = 17 if sleeping else 14 + 7 * fill
        width = 8 if sleeping else 7
        if sleeping:  # folded down around the stem for the night
            a = math.pi / 2 + (k - (count - 1) / 2) * 0.32
        tip = (cx + math.cos(a) * length, cy + math.sin(a) * length)
        side = (math.cos(a + math.pi / 2) * width / 2, math.sin(a + math.pi / 2) * width / 2)
        base = (cx + math.cos(a) * 4, cy + math.sin(a) * 4)
        mask = c.polygon_mask(bezier([base, (base[0] + side[0] * 2 + (tip[0] - base[0]) * 0.5,
                                             base[1] + side[1] * 2 + (tip[1] - base[1]) * 0.5), tip], 8) +
                              bezier([tip, (base[0] - side[0] * 2 + (tip[0] - base[0]) * 0.5,
                                            base[1] - side[1] * 2 + (tip[1] - base[1]) * 0.5), base], 8))
        c.shape(mask, (cx - length, cy - length, cx + length, cy + length), petal_colour, outline=1.0)
    r = 6 if sleeping else 6 + 3 * fill
    centre = mix((196, 160, 110), HONEY, fill)
    if fill >= 0.75 and not sleeping:
        c.glow(c.ellipse_mask((cx - 12, cy - 12, cx + 12, cy + 12)), (255, 236, 150), 4, 0.5 * fill)
    c.ellipse((cx - r, cy - r, cx + r, cy + r), darker(centre, 0.2) if sleeping else centre, outline=1.2,
              shine=0.2 + 0.5 * fill)
    if fill > 0 and not sleeping:
        # A nectar bead that swells with the fill.
        b = 1.5 + 3 * fill
        c.ellipse((cx - b, cy - b - 1, cx + b, cy + b - 1), lighter(HONEY, 0.3), outline=0, shine=0.8)
    return c.result()


TULIP_W, TULIP_H = 56, 120
TULIP_HEAD = (28, 28)


def tulip():
    c = Canvas(TULIP_W, TULIP_H)
    stem(c, (TULIP_HEAD[0], TULIP_HEAD[1] + 10), TULIP_H, lean=-3)
    x, y = TULIP_HEAD
    cup = c.polygon_mask(bezier([(x - 16, y - 14), (x - 20, y + 18), (x, y + 20)], 10) +
                         bezier([(x, y + 20), (x + 20, y + 18), (x + 16, y - 14)], 10) +
                         [(x + 8, y - 4), (x, y - 16), (x - 8, y - 4)])
    c.shape(cup, (x - 20, y - 16, x + 20, y + 20), (236, 86, 110), outline=1.4, shine=0.35)
    c.stroke([(x, y - 12), (x, y + 14)], 1.2, darker((236, 86, 110), 0.25))
    return c.result()


# --- pickups -----------------------------------------------------------------------------------

def drop(c, box, colour):
    x0, y0, x1, y1 = box
    cx = (x0 + x1) / 2
    h = y1 - y0
    mask = c.polygon_mask(bezier([(cx, y0), (cx + (x1 - x0) * 0.2, y0 + h * 0.3), (x1 + 1, y0 + h * 0.55),
                                  (x1, y0 + h * 0.7)], 12) +
                          bezier([(x1, y0 + h * 0.7), (x1, y1 + 1), (x0, y1 + 1), (x0, y0 + h * 0.7)], 16) +
                          bezier([(x0, y0 + h * 0.7), (x0 - 1, y0 + h * 0.55), (cx - (x1 - x0) * 0.2, y0 + h * 0.3),
                                  (cx, y0)], 12))
    c.shadow(mask, (1, 2), 2)
    c.shape(mask, box, colour, outline=1.5, shine=0.6)


def nectar_drop():
    c = Canvas(36, 44)
    drop(c, (8, 4, 28, 40), (255, 214, 90))
    return c.result()


def sour_berry():
    c = Canvas(36, 40)
    c.stroke([(18, 10), (22, 2)], 2, STEM, outline=0.8)
    c.ellipse((5, 8, 31, 36), (142, 86, 170), outline=1.5, shine=0.5)
    for dx, dy in ((12, 18), (22, 24), (15, 28)):
        c.ellipse((dx - 1.5, dy - 1.5, dx + 1.5, dy + 1.5), darker((142, 86, 170), 0.4), outline=0)
    return c.result()


def honey_pot():
    c = Canvas(44, 44)
    body = c.ellipse_mask((4, 10, 40, 42))
    c.shadow(body, (1, 2), 2)
    c.shape(body, (4, 10, 40, 42), CLAY, outline=1.5, shine=0.3)
    c.ellipse((10, 6, 34, 16), darker(CLAY, 0.2), outline=1.2)
    c.ellipse((13, 8, 31, 14), HONEY, outline=0, shine=0.5)
    drip = c.polygon_mask(bezier([(16, 12), (17, 22), (20, 24), (22, 14)], 8))
    c.fill(drip, HONEY)
    c.fill(c.rounded_mask((12, 24, 32, 32), 3), (255, 236, 190), 0.9)
    return c.result()


def hourglass():
    c = Canvas(36, 48)
    glass = c.polygon_mask(bezier([(8, 6), (8, 20), (18, 24)], 8) + bezier([(18, 24), (8, 28), (8, 42)], 8) +
                           [(28, 42)] + bezier([(28, 42), (28, 28), (18, 24)], 8) +
                           bezier([(18, 24), (28, 20), (28, 6)], 8))
    c.shape(glass, (8, 6, 28, 42), GLASS, outline=1.2, shine=0.6)
    sand = c.polygon_mask([(11, 40), (25, 40), (18, 31)])
    c.fill(sand, HONEY)
    c.fill(c.polygon_mask([(13, 12), (23, 12), (18, 20)]), HONEY)
    for y in (2, 42):
        c.shape(c.rounded_mask((4, y, 32, y + 5), 2), (4, y, 32, y + 5), WOOD, outline=1.2)
    return c.result()


def bee(c, cx, cy, scale=1.0):
    s = scale
    for side in (-1, 1):
        c.ellipse((cx + side * 2 * s - 7 * s, cy - 15 * s, cx + side * 2 * s + 7 * s, cy - 3 * s),
                  (236, 246, 255), outline=1.0, shine=0.4)
    body = c.ellipse_mask((cx - 11 * s, cy - 7 * s, cx + 11 * s, cy + 7 * s))
    c.shape(body, (cx - 11 * s, cy - 7 * s, cx + 11 * s, cy + 7 * s), (255, 204, 60), outline=1.3, shine=0.4)
    for dx in (-3, 3):
        c.stroke([(cx + dx * s, cy - 6 * s), (cx + dx * s, cy + 6 * s)], 2.5 * s, (74, 44, 26))
    c.ellipse((cx + 6 * s, cy - 3 * s, cx + 9 * s, cy), INK, outline=0)


def buddy_bee():
    c = Canvas(44, 40)
    c.glow(c.ellipse_mask((4, 6, 40, 38)), (255, 240, 160), 4, 0.6)
    bee(c, 22, 24)
    return c.result()


def nectar_jar():
    c = Canvas(40, 48)
    jar = c.rounded_mask((6, 10, 34, 46), 8)
    c.shadow(jar, (1, 2), 2)
    c.shape(jar, (6, 10, 34, 46), GLASS, outline=1.4, shine=0.5)
    c.fill(c.rounded_mask((9, 22, 31, 43), 6), (255, 206, 80), 0.9)
    c.shape(c.rounded_mask((8, 4, 32, 12), 3), (8, 4, 32, 12), (200, 80, 70), outline=1.2)
    return c.result()


def barrel():
    c = Canvas(44, 52)
    body = c.polygon_mask(bezier([(8, 4), (2, 26), (8, 48)], 10) + bezier([(36, 48), (42, 26), (36, 4)], 10))
    c.shadow(body, (1, 2), 2)
    c.shape(body, (2, 4, 42, 48), WOOD, outline=1.5, shine=0.25)
    for x in (15, 22, 29):
        c.stroke([(x, 6), (x + (x - 22) * 0.2, 26), (x, 46)], 1.0, darker(WOOD, 0.3))
    for y in (12, 40):
        c.stroke([(5, y), (22, y + 2), (39, y)], 2.5, (120, 120, 130), outline=0.8)
    return c.result()


def acorn(damage):
    """damage 0 intact, 1 and 2 cracked, 3 broken open with the nectar showing."""
    c = Canvas(44, 52)
    nut = c.ellipse_mask((8, 16, 36, 50))
    c.shadow(nut, (1, 2), 2)
    c.shape(nut, (8, 16, 36, 50), (196, 136, 70), outline=1.5, shine=0.4)
    if damage < 3:
        cap = c.polygon_mask(bezier([(4, 24), (6, 6), (22, 4)], 10) + bezier([(22, 4), (38, 6), (40, 24)], 10))
        c.shape(cap, (4, 4, 40, 24), (140, 96, 54), outline=1.5)
        for k in range(5):
            c.stroke([(8 + k * 7, 22), (12 + k * 6, 10)], 1.0, darker((140, 96, 54), 0.35))
        c.stroke([(22, 4), (24, 0)], 2.5, (110, 76, 40))
    if damage >= 1:
        c.stroke([(22, 22), (18, 32), (24, 38)], 1.4, INK)
    if damage >= 2:
        c.stroke([(30, 26), (26, 36), (30, 44)], 1.4, INK)
        c.stroke([(14, 30), (12, 40)], 1.2, INK)
    if damage == 3:
        c.ellipse((13, 20, 31, 34), HONEY, outline=1.2, shine=0.7)
    return c.result()


# --- decorations and props ---------------------------------------------------------------------

def butterfly(frame):
    """Wing beat in four frames: open, half, closed, half."""
    c = Canvas(48, 40)
    spread = {1: 1.0, 2: 0.6, 3: 0.2, 4: 0.6}[frame]
    for side in (-1, 1):
        for (w, h, y) in ((16, 14, 10), (12, 10, 24)):
            x0 = 24 + side * 2
            x1 = 24 + side * (2 + w * spread)
            box = (min(x0, x1), y, max(x0, x1) + 0.5, y + h)
            c.ellipse(box, (120, 170, 240) if h == 14 else (250, 150, 190), outline=1.0, shine=0.3)
    c.shape(c.rounded_mask((22, 8, 26, 34), 2), (22, 8, 26, 34), (80, 56, 40), outline=0.8)
    c.stroke([(24, 9), (19, 2)], 1.0, INK)
    c.stroke([(24, 9), (29, 2)], 1.0, INK)
    return c.result()


def crate():
    c = Canvas(48, 48)
    box = c.rounded_mask((2, 2, 46, 46), 3)
    c.shape(box, (2, 2, 46, 46), WOOD, outline=1.6, shine=0.15)
    for y in (16, 32):
        c.stroke([(4, y), (44, y)], 1.2, darker(WOOD, 0.3))
    c.stroke([(6, 6), (42, 42)], 4, lighter(WOOD, 0.15), outline=1.0, ink=darker(WOOD, 0.4))
    return c.result()


def pebble():
    c = Canvas(32, 24)
    c.ellipse((2, 4, 30, 22), (176, 170, 160), outline=1.4, shine=0.35)
    return c.result()


def flower_pot():
    c = Canvas(48, 44)
    pot = c.polygon_mask([(6, 10), (42, 10), (36, 42), (12, 42)])
    c.shadow(pot, (1, 2), 2)
    c.shape(pot, (6, 10, 42, 42), CLAY, outline=1.5, shine=0.2)
    c.shape(c.rounded_mask((2, 4, 46, 14), 3), (2, 4, 46, 14), lighter(CLAY, 0.1), outline=1.5)
    c.fill(c.rounded_mask((6, 6, 42, 10), 2), (110, 70, 44))
    return c.result()


def tree_trunk():
    c = Canvas(96, 160)
    trunk = c.polygon_mask([(36, 158), (40, 60), (56, 60), (62, 158)])
    c.shape(trunk, (36, 60, 62, 158), (132, 86, 52), outline=1.6)
    for k in range(4):
        c.stroke([(44 + k * 3, 150 - k * 20), (46 + k * 3, 132 - k * 20)], 1.0, darker((132, 86, 52), 0.3))
    rng = random.Random(7)
    for _ in range(9):
        x, y, r = rng.uniform(18, 78), rng.uniform(16, 64), rng.uniform(16, 22)
        c.ellipse((x - r, y - r, x + r, y + r), LEAF, outline=1.4, shine=0.2)
    return c.result()


def plank_box(state):
    """state 1 broken .. 4 intact."""
    c = Canvas(56, 56)
    if state == 1:
        rng = random.Random(3)
        for k in range(6):
            x, y = 6 + k * 8, 36 + rng.uniform(-4, 6)
            a = rng.uniform(-0.6, 0.6)
            pts = [(x - 10 * math.cos(a), y - 10 * math.sin(a)), (x + 10 * math.cos(a), y + 10 * math.sin(a))]
            c.stroke(pts, 5, WOOD, outline=1.0)
        return c.result()
    box = c.rounded_mask((3, 3, 53, 53), 3)
    c.shape(box, (3, 3, 53, 53), WOOD, outline=1.6, shine=0.15)
    for x in (16, 28, 40):
        c.stroke([(x, 5), (x, 51)], 1.2, darker(WOOD, 0.3))
    c.stroke([(4, 12), (52, 12)], 3, darker(WOOD, 0.1), outline=0.8)
    c.stroke([(4, 44), (52, 44)], 3, darker(WOOD, 0.1), outline=0.8)
    if state <= 3:
        c.stroke([(20, 14), (26, 26), (22, 36)], 1.5, INK)
    if state <= 2:
        c.stroke([(36, 20), (32, 32), (40, 42)], 1.5, INK)
        c.fill(c.polygon_mask([(42, 3), (53, 3), (53, 14)]), (0, 0, 0, 0))
    return c.result()


def clay_jar(state):
    """state 1 broken .. 3 intact."""
    c = Canvas(40, 52)
    if state == 1:
        for box in ((4, 34, 20, 50), (18, 38, 36, 50), (10, 26, 22, 38)):
            c.shape(c.polygon_mask([(box[0], box[3]), (box[2], box[3]), ((box[0] + box[2]) / 2, box[1])]), box, CLAY,
                    outline=1.2)
        return c.result()
    body = c.polygon_mask(bezier([(14, 6), (0, 26), (12, 50)], 12) + bezier([(28, 50), (40, 26), (26, 6)], 12))
    c.shape(body, (0, 6, 40, 50), CLAY, outline=1.5, shine=0.3)
    c.shape(c.rounded_mask((11, 2, 29, 8), 2), (11, 2, 29, 8), darker(CLAY, 0.15), outline=1.2)
    c.stroke([(4, 28), (20, 30), (36, 28)], 2, lighter(CLAY, 0.3))
    if state == 2:
        c.stroke([(16, 12), (22, 24), (18, 34), (24, 44)], 1.5, INK)
    return c.result()


def frames():
    result = {
        "hive_inner.png": hive_inner(),
        "hive_honey.png": hive_honey(),
        "hive_outer.png": hive_outer(),
        "daisy_sleep.png": daisy(0.5, sleeping=True),
        "tulip.png": tulip(),
        "nectar_drop.png": nectar_drop(),
        "honey_pot.png": honey_pot(),
        "hourglass.png": hourglass(),
        "buddy_bee.png": buddy_bee(),
        "sour_berry.png": sour_berry(),
        "nectar_jar.png": nectar_jar(),
        "barrel.png": barrel(),
        "acorn.png": acorn(0),
        "acorn_cracked_1.png": acorn(1),
        "acorn_cracked_2.png": acorn(2),
        "acorn_open.png": acorn(3),
        "crate.png": crate(),
        "pebble.png": pebble(),
        "flower_pot.png": flower_pot(),
        "tree_trunk.png": tree_trunk(),
    }
    for k in range(1, 6):
        result["daisy_%d.png" % k] = daisy((k - 1) / 4)
    for k in range(1, 5):
        result["butterfly_%d.png" % k] = butterfly(k)
        result["plank_box_%d.png" % k] = plank_box(k)
    for k in range(1, 4):
        result["clay_jar_%d.png" % k] = clay_jar(k)
    result.update(machine_art.frames())
    return result


# --- sounds ------------------------------------------------------------------------------------

RATE = 22050


def envelope(t, attack, length):
    if t < attack:
        return t / attack
    return max(0.0, 1.0 - (t - attack) / max(1e-6, length - attack)) ** 2


def tone(freqs, length, attack=0.005, glide=0.0, noise=0.0, seed=1):
    """A sum of sine partials gliding by `glide` octaves, with an optional noise share."""
    rng = random.Random(seed)
    samples = []
    phases = [0.0] * len(freqs)
    for i in range(int(length * RATE)):
        t = i / RATE
        value = 0.0
        for k, f in enumerate(freqs):
            phases[k] += 2 * math.pi * f * 2 ** (glide * t / length) / RATE
            value += math.sin(phases[k]) / (k + 1)
        value = value * (1 - noise) + rng.uniform(-1, 1) * noise
        samples.append(value * envelope(t, attack, length))
    return samples


def knock(length, pitch, seed):
    """A short filtered-noise thump."""
    rng = random.Random(seed)
    samples, low = [], 0.0
    for i in range(int(length * RATE)):
        t = i / RATE
        low += (rng.uniform(-1, 1) - low) * 0.25
        body = math.sin(2 * math.pi * pitch * t) * 0.6
        samples.append((low * 1.6 + body) * envelope(t, 0.002, length))
    return samples


def sequence(*parts):
    samples = []
    for part in parts:
        samples.extend(part)
    return samples


def sounds():
    return {
        "pickup_nectar": tone([880, 1320], 0.22, glide=0.5),
        "pickup_honey": sequence(tone([523, 659, 784], 0.16), tone([659, 784, 1046], 0.26)),
        "pickup_time": sequence(tone([1568], 0.08), tone([1175], 0.08), tone([1568, 2349], 0.2)),
        "pickup_buddy": tone([220, 440, 660], 0.3, glide=0.3, noise=0.08, seed=4),
        "pickup_sour": tone([440, 466], 0.3, glide=-0.8),
        "shell_crack": knock(0.12, 520, 5),
        "shell_open": sequence(knock(0.08, 480, 6), tone([988, 1480], 0.2, glide=0.4)),
        "wood_knock": knock(0.16, 180, 7),
        "wood_break": sequence(knock(0.1, 160, 8), knock(0.14, 120, 9), knock(0.18, 90, 10)),
        "pot_break": sequence(knock(0.06, 700, 11), tone([2093, 2637], 0.16, noise=0.5, seed=12)),
    }


def save_wav(samples, path):
    """16-bit mono, peaks at about -6 dB."""
    peak = max(1e-6, max(abs(s) for s in samples))
    data = b"".join(struct.pack("<h", round(s / peak * 16000)) for s in samples)
    partial = output.prepare(path)
    with wave.open(partial, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(data)
    os.replace(partial, path)


def main(out_dir):
    sheet.write(frames(), os.path.join(out_dir, "objects_fg.png"), os.path.join(out_dir, "objects_fg.plist"))
    for name, image in machine_art.rope_images().items():
        output.save_png(image, os.path.join(out_dir, name))
    for name, samples in sounds().items():
        save_wav(samples, os.path.join(out_dir, name + ".wav"))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
